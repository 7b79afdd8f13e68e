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
    // File name -> Promise of the decoded picture, or of null if undecodable. Made at the first
    // call, with the pictures the page's first script started decoding (early-start.js).
    pictures: null,
    byHandle: null,
    nextHandle: 1,

    init: function () {
      this.byHandle = new Map();
    },

    // The picture, or null when the page does not carry the file or the browser cannot decode it.
    // The page's files never change: each is decoded once, however often it is loaded.
    decode: function (name) {
      this.pictures ??= new Map(pageEarlyStart.pictures);
      if (!this.pictures.has(name))
        this.pictures.set(name, pageFiles.has(name) ? pageDecodedPicture(name, pageFileData[name]) : Promise.resolve(null));
      return this.pictures.get(name);
    },

    // A handle above 0; -1 when the browser cannot decode the file.
    load: async function (name) {
      await pageFiles.arrived(name);
      const image = await this.decode(name);
      if (image === null)
        return -1;
      const handle = this.nextHandle++;
      this.byHandle.set(handle, image);
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
