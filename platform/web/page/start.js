// Starts the program once the page's font can draw, and shows the end when it returns.

var pagePlace = {
  // The program's window title; the boxes carry it as their caption.
  open(title) {
    document.title = title.trim();
    document.body.classList.add('running');
  },

  // Quit: the lesson is over. Nothing was stored; loading the page again starts afresh.
  close() {
    pageEvents.stop();
    pageMenuBar.disable();
    document.body.classList.remove('running');
    document.body.classList.add('ended');
  },
};

(function () {
  const icon = document.createElement('link');
  icon.rel = 'icon';
  icon.href = `data:image/svg+xml;base64,${pageFileData['mikroteilchen.svg']}`;
  document.head.append(icon);

  const font = new FontFace('Mikroteilchen Serif', pageFiles.bytes('LiberationSerif-Regular.ttf'));
  document.fonts.add(font);
  const fontReady = font.load().catch(() => {});   // without it the browser's serif stands in

  Module.noInitialRun = true;
  Module.onRuntimeInitialized = async () => {
    await fontReady;
    // main() returns through every wait it was suspended in, and only then is the lesson over.
    await Module.ccall('main', 'number', ['number', 'number'], [0, 0], { async: true });
    pagePlace.close();
  };
  Module.onAbort = () => {
    document.body.classList.add('failed');
  };
})();
