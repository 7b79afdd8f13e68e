// Starts the program once the page's font can draw, and shows the end when it returns.

mergeInto(LibraryManager.library, {
  // The place the program runs in. The program's calls include it, and with it what it needs
  // at load: the page's files, and the input handlers, which nothing else calls.
  $pagePlace__deps: ['$pageFileData', '$pageFiles', '$pagePictures', '$pageEvents', '$pageMenuBar', '$pageInput'],
  $pagePlace__postset: 'pagePlace.start();',
  $pagePlace: {
    shown: false,

    // Runs while the browser still parses the page. The face and the first screen's pictures
    // come before this script: the pictures decode while the browser compiles the WebAssembly.
    // The program starts once the WebAssembly and the face are ready, whether or not the files
    // after this script are parsed by then.
    start: function () {
      // The WebAssembly is base64 in a data block just before this script, most often already
      // compiling (page/early-start.js).
      Module.instantiateWasm = (imports, receiveInstance) => {
        (pageEarlyStart.program || WebAssembly.compile(pageFiles.fromBase64(pageFileData['program.wasm'])))
          .then(async module => receiveInstance(await WebAssembly.instantiate(module, imports), module))
          .catch(abort);
        return {};
      };

      pageFiles.collect();
      const font = new FontFace('Mikroteilchen Serif', pageFiles.bytes('MikroteilchenSerif-Regular.woff2'));
      document.fonts.add(font);
      const fontReady = font.load().catch(() => {});   // without it the browser's serif stands in

      // The build leaves main() to us (INVOKE_RUN=0).
      Module.onRuntimeInitialized = async () => {
        await fontReady;
        // main() returns through every wait it was suspended in, and only then is the lesson over.
        await Module.ccall('main', 'number', ['number', 'number'], [0, 0], { async: true });
        pagePlace.close();
      };
      Module.onAbort = () => {
        document.body.classList.add('failed');
      };
    },

    // The program waits for the first time (a pause, a box, a paced step): its first screen is
    // drawn, and only now do the menu bar and the drawing show. So the browser takes the canvas
    // to the screen once for the whole first screen and not also halfway through it, while the
    // program waits for a picture (Chromium copies the 1024 x 768 canvas out for 12 ms a frame).
    // Only once a frame has shown it does the tab get its icon, which the browser renders from
    // the SVG on the page's own thread, for tens of milliseconds.
    startedUp: function () {
      if (this.shown)
        return;
      this.shown = true;
      document.body.classList.add('running');
      const painted = new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve)));
      Promise.all([painted, pageFiles.arrived('mikroteilchen.svg')]).then(() => {
        const icon = document.createElement('link');
        icon.rel = 'icon';
        icon.href = `data:image/svg+xml;base64,${pageFileData['mikroteilchen.svg']}`;
        document.head.append(icon);
      });
    },

    // The program's window title; the boxes carry it as their caption.
    open: function (title) {
      document.title = title.trim();
    },

    // Quit: the lesson is over. Nothing was stored; loading the page again starts afresh.
    close: function () {
      pageEvents.stop();
      pageMenuBar.disable();
      document.body.classList.remove('running');
      document.body.classList.add('ended');
    },
  },

  pageOpen__deps: ['$pagePlace'],
  pageOpen: function (title) {
    pagePlace.open(UTF8ToString(title));
  },

  // The shut-down has begun: no key, button or menu choice reaches the program any more.
  pageStopInput__deps: ['$pageEvents', '$pageMenuBar'],
  pageStopInput: function () {
    pageEvents.stop();
    pageMenuBar.disable();
  },

  pageClose__deps: ['$pagePlace'],
  pageClose: function () {
    pagePlace.close();
  },
});
