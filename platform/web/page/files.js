// The page's own files, carried inside it as base64 (pageFileData, written at build time),
// and the pictures the browser decodes from them.

var pageFiles = {
  decoded: new Map(),

  // The file's bytes, or null when the page does not carry it.
  bytes(name) {
    if (!this.decoded.has(name)) {
      const base64 = Object.prototype.hasOwnProperty.call(pageFileData, name) ? pageFileData[name] : null;
      this.decoded.set(name, base64 === null ? null : this.fromBase64(base64));
    }
    return this.decoded.get(name);
  },

  // A plain loop: some five times faster than a mapping callback for the font's 400 KB.
  fromBase64(text) {
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i)
      bytes[i] = binary.charCodeAt(i);
    return bytes;
  },
};

var pagePictures = {
  bitmaps: new Map(),   // file name -> Promise of an ImageBitmap, or null if undecodable
  byHandle: new Map(),
  nextHandle: 1,

  // A handle above 0; -1 when the browser cannot decode the file.
  async load(name) {
    const bytes = pageFiles.bytes(name);
    if (bytes === null)
      return -1;
    // The page's files never change: each is decoded once, however often it is loaded.
    if (!this.bitmaps.has(name)) {
      const type = /\.gif$/i.test(name) ? 'image/gif' : /\.jpe?g$/i.test(name) ? 'image/jpeg' : '';
      this.bitmaps.set(name, createImageBitmap(new Blob([bytes], { type })).catch(() => null));
    }
    const bitmap = await this.bitmaps.get(name);
    if (bitmap === null)
      return -1;
    const handle = this.nextHandle++;
    this.byHandle.set(handle, bitmap);
    return handle;
  },

  release(handle) {
    this.byHandle.delete(handle);
  },
};
