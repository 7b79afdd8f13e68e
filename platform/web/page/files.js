// The page's own files, carried inside it as base64 (pageFileData, written at build time),
// and the pictures the browser decodes from them.

mergeInto(LibraryManager.library, {
  $pageFiles__deps: ['$pageFileData'],
  $pageFiles: {
    // File name -> bytes, or null when the page does not carry it. Made at the first call,
    // which may come from another script's set-up.
    decoded: null,

    // The file's bytes, or null when the page does not carry it.
    bytes: function (name) {
      this.decoded ??= new Map();
      if (!this.decoded.has(name)) {
        const base64 = Object.prototype.hasOwnProperty.call(pageFileData, name) ? pageFileData[name] : null;
        this.decoded.set(name, base64 === null ? null : this.fromBase64(base64));
      }
      return this.decoded.get(name);
    },

    // A plain loop: some five times faster than a mapping callback.
    fromBase64: function (text) {
      const binary = atob(text);
      const bytes = new Uint8Array(binary.length);
      for (let i = 0; i < binary.length; ++i)
        bytes[i] = binary.charCodeAt(i);
      return bytes;
    },
  },

  $pagePictures__deps: ['$pageFiles'],
  $pagePictures__postset: 'pagePictures.init();',
  $pagePictures: {
    bitmaps: null,   // file name -> Promise of an ImageBitmap, or null if undecodable
    byHandle: null,
    nextHandle: 1,

    init: function () {
      this.bitmaps = new Map();
      this.byHandle = new Map();
    },

    // A handle above 0; -1 when the browser cannot decode the file.
    load: async function (name) {
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

    release: function (handle) {
      this.byHandle.delete(handle);
    },
  },

  // The file's size in bytes; -1 when the page does not carry it.
  pageFileSize__deps: ['$pageFiles'],
  pageFileSize: function (name) {
    const bytes = pageFiles.bytes(UTF8ToString(name));
    return bytes === null ? -1 : bytes.length;
  },

  pageFileCopy__deps: ['$pageFiles'],
  pageFileCopy: function (name, target) {
    HEAPU8.set(pageFiles.bytes(UTF8ToString(name)), target);
  },

  // Suspends the program until the browser has decoded the picture.
  pageLoadPicture__deps: ['$pagePictures'],
  pageLoadPicture: function (name) {
    return Asyncify.handleAsync(() => pagePictures.load(UTF8ToString(name)));
  },

  pageReleasePicture__deps: ['$pagePictures'],
  pageReleasePicture: function (picture) {
    pagePictures.release(picture);
  },
});
