// The page's own files, carried inside it as base64 in data blocks (written at build time by
// embed-files.js): what the first screen needs before the program's script, the rest after it.
// And the pictures the browser decodes from them.

mergeInto(LibraryManager.library, {
  // File name -> base64, of the blocks parsed so far (pageFiles.collect).
  $pageFileData: {},

  $pageFiles__deps: ['$pageFileData'],
  $pageFiles: {
    parsed: null,
    // File name -> bytes. Made at the first call, which may come from another script's set-up.
    decoded: null,

    // Takes in the data blocks the browser has parsed so far.
    collect: function () {
      for (const block of document.querySelectorAll('script[data-file]'))
        pageFileData[block.dataset.file] ??= block.text;
    },

    // Resolves once the whole page is parsed and every file is taken in.
    ready: function () {
      this.parsed ??= new Promise(resolve => {
        const collect = () => {
          this.collect();
          resolve();
        };
        if (document.readyState === 'loading')
          document.addEventListener('DOMContentLoaded', collect, { once: true });
        else
          collect();
      });
      return this.parsed;
    },

    has: function (name) {
      return Object.prototype.hasOwnProperty.call(pageFileData, name);
    },

    // Resolves once the file is taken in, or the page is parsed without it: the program starts
    // before the files after its script are parsed, and asks for them only later.
    arrived: async function (name) {
      if (!this.has(name))
        this.collect();
      if (!this.has(name))
        await this.ready();
    },

    // The file's bytes, or null when the page does not carry it (or not yet: see ready).
    bytes: function (name) {
      this.decoded ??= new Map();
      if (!this.decoded.has(name) && this.has(name))
        this.decoded.set(name, this.fromBase64(pageFileData[name]));
      return this.decoded.get(name) ?? null;
    },

    // The browser's own decoder where it has one; else a plain loop, some five times faster
    // than a mapping callback.
    fromBase64: function (text) {
      if (Uint8Array.fromBase64)
        return Uint8Array.fromBase64(text);
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
    // File name -> Promise of an ImageBitmap, or of null if undecodable. Made at the first
    // call, which comes from the page's start before init().
    bitmaps: null,
    byHandle: null,
    nextHandle: 1,

    init: function () {
      this.byHandle = new Map();
    },

    // The pictures taken in so far, those of the first screen, start decoding now, while the
    // browser parses the rest of the page and compiles the program: the program then finds
    // them ready instead of waiting for each in turn. The others are decoded when the program
    // first loads them, so that they do not slow these down.
    decodeAll: function () {
      for (const name of Object.keys(pageFileData).filter(name => /\.(gif|jpe?g)$/i.test(name)))
        this.decode(name);
    },

    // The bitmap, or null when the page does not carry the file or the browser cannot decode it.
    // The page's files never change: each is decoded once, however often it is loaded.
    decode: function (name) {
      this.bitmaps ??= new Map();
      if (!this.bitmaps.has(name)) {
        const type = /\.gif$/i.test(name) ? 'image/gif' : /\.jpe?g$/i.test(name) ? 'image/jpeg' : '';
        this.bitmaps.set(name, pageFiles.has(name) ? this.fromAddress(`data:${type};base64,${pageFileData[name]}`)
          : Promise.resolve(null));
      }
      return this.bitmaps.get(name);
    },

    // An image element reads a data: address within the page's own process. A Blob would go
    // to the browser's process and be read back from there, which is at its busiest while the
    // page loads (on a busy machine a title picture took 100 to 300 ms so, against 20 ms).
    // The pixels are the same.
    fromAddress: async function (address) {
      try {
        const image = new Image();
        await new Promise((resolve, reject) => {
          image.onload = resolve;
          image.onerror = reject;
          image.src = address;
        });
        return await createImageBitmap(image);
      } catch (error) {
        return null;
      }
    },

    // A handle above 0; -1 when the browser cannot decode the file.
    load: async function (name) {
      await pageFiles.arrived(name);
      const bitmap = await this.decode(name);
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
