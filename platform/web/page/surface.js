// The drawing area: one canvas whose backing store holds device pixels. Which pixels a
// shape covers is decided by the program's side (platform/web/WebCanvas.cpp); this only
// fills, writes text, draws pictures, copies pixels, and keeps the area's place on the page.
// For screen readers the canvas is one picture with a name (page/shell.html), and the
// results the program announces go into a polite live region beside it.

mergeInto(LibraryManager.library, {
  $pageSurface__deps: ['$pageEvents', '$PageEvent', '$pagePictures'],
  $pageSurface__postset: 'pageSurface.init();',
  $pageSurface: {
    stage: null,
    canvas: null,
    results: null,
    context: null,
    measurer: null,
    area: null,   // what the page gives the area now, once the program has first asked
    fillColour: -1,

    init: function () {
      this.stage = document.getElementById('stage');
      this.canvas = document.getElementById('drawing');
      this.results = document.getElementById('results');
      this.measurer = document.createElement('canvas').getContext('2d');
      // Read back often (captures): a canvas kept in main memory answers at once.
      this.context = this.canvas.getContext('2d', { alpha: false, willReadFrequently: true });
      // Laid out when the program first asks: the stage's size read now would have the browser
      // lay out the page halfway through parsing it, before the program starts compiling.
      const changed = () => {
        this.layout();
        pageEvents.push(PageEvent.ResizeEvent, 0);
      };
      new ResizeObserver(changed).observe(this.stage);
      // A move to a screen of another pixel density changes the ratio but not the size.
      const watchRatio = () => matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`)
        .addEventListener('change', () => { changed(); watchRatio(); }, { once: true });
      watchRatio();
    },

    // The largest 4:3 area below the menu bar, its height a multiple of 3 as on the desktop.
    // The canvas element always takes it; its backing store may keep another size meanwhile,
    // and the browser shows it scaled.
    layout: function () {
      const width = this.stage.clientWidth, height = this.stage.clientHeight;
      let areaHeight = Math.min(height, Math.floor(width * 3 / 4));
      areaHeight = Math.max(150, areaHeight - areaHeight % 3);
      const areaWidth = areaHeight / 3 * 4;
      const style = this.canvas.style;
      style.width = `${areaWidth}px`;
      style.height = `${areaHeight}px`;
      style.left = `${Math.max(0, Math.floor((width - areaWidth) / 2))}px`;
      style.top = `${Math.max(0, Math.floor((height - areaHeight) / 2))}px`;
      this.area = { width: areaWidth, height: areaHeight, ratio: window.devicePixelRatio || 1 };
    },

    // A new backing store, with the old content scaled into it if asked: copying and
    // scaling costs the start tens of milliseconds for a canvas nothing was drawn on yet.
    resize: function (width, height, keep) {
      let old = null;
      if (keep) {
        old = document.createElement('canvas');
        old.width = this.canvas.width;
        old.height = this.canvas.height;
        old.getContext('2d').drawImage(this.canvas, 0, 0);
      }
      this.canvas.width = width;
      this.canvas.height = height;
      this.fillColour = -1;
      if (old) {
        this.context.imageSmoothingEnabled = true;
        this.context.imageSmoothingQuality = 'high';
        this.context.drawImage(old, 0, 0, width, height);
      }
    },

    // Colours come as the program keeps them: red in the low byte, then green, then blue.
    css: function (colour) {
      return `rgb(${colour & 255},${(colour >> 8) & 255},${(colour >> 16) & 255})`;
    },

    fill: function (x, y, width, height, colour) {
      if (colour !== this.fillColour) {
        this.context.fillStyle = this.css(colour);
        this.fillColour = colour;
      }
      this.context.fillRect(x, y, width, height);
    },

    setFont: function (context, pixels) {
      context.font = `${pixels}px "Mikroteilchen Serif"`;
    },

    text: function (x, baseline, text, pixels, colour) {
      this.fillColour = -1;
      this.context.fillStyle = this.css(colour);
      this.setFont(this.context, pixels);
      this.context.fillText(text, x, baseline);
    },

    measure: function (text, pixels) {
      this.setFont(this.measurer, pixels);
      return this.measurer.measureText(text).width;
    },

    // Pixels as 0xBBGGRR values to and from the program's memory; outside the canvas reads black.
    read: function (x, y, width, height, target) {
      const data = this.context.getImageData(x, y, width, height).data;
      for (let i = 0, n = width * height; i < n; ++i)
        HEAP32[(target >> 2) + i] = data[4 * i] | (data[4 * i + 1] << 8) | (data[4 * i + 2] << 16);
    },

    write: function (x, y, width, height, source) {
      const image = this.context.createImageData(width, height);
      const data = image.data;
      for (let i = 0, n = width * height; i < n; ++i) {
        const colour = HEAP32[(source >> 2) + i];
        data[4 * i] = colour & 255;
        data[4 * i + 1] = (colour >> 8) & 255;
        data[4 * i + 2] = (colour >> 16) & 255;
        data[4 * i + 3] = 255;
      }
      this.context.putImageData(image, x, y);
    },

    // Scaled bilinearly, as the desktop scales its pictures; the browsers' 'high' quality
    // (bicubic) costs WebKit 3 to 5 ms more a title picture.
    picture: function (handle, x, y, width, height) {
      const image = pagePictures.byHandle.get(handle);
      if (!image)
        return;
      this.context.imageSmoothingEnabled = true;
      this.context.imageSmoothingQuality = 'medium';
      this.context.drawImage(image, x, y, width, height);
    },

    // A line each, read as it comes; the region keeps a series of ten means and its closing line.
    announce: function (text) {
      const line = document.createElement('p');
      line.textContent = text;
      this.results.append(line);
      while (this.results.childElementCount > 11)
        this.results.firstElementChild.remove();
    },
  },

  // The area the page gives the canvas now, in CSS pixels, and the device pixels per CSS pixel.
  surfaceArea__deps: ['$pageSurface'],
  surfaceArea: function (size, ratio) {
    if (!pageSurface.area)
      pageSurface.layout();
    HEAP32[size >> 2] = pageSurface.area.width;
    HEAP32[(size >> 2) + 1] = pageSurface.area.height;
    HEAPF64[ratio >> 3] = pageSurface.area.ratio;
  },

  surfaceResize__deps: ['$pageSurface'],
  surfaceResize: function (width, height, keep) {
    pageSurface.resize(width, height, keep);
  },

  surfaceFill__deps: ['$pageSurface'],
  surfaceFill: function (x, y, width, height, colour) {
    pageSurface.fill(x, y, width, height, colour);
  },

  surfaceText__deps: ['$pageSurface'],
  surfaceText: function (x, baseline, text, pixels, colour) {
    pageSurface.text(x, baseline, UTF8ToString(text), pixels, colour);
  },

  surfaceMeasure__deps: ['$pageSurface'],
  surfaceMeasure: function (text, pixels) {
    return pageSurface.measure(UTF8ToString(text), pixels);
  },

  surfaceRead__deps: ['$pageSurface'],
  surfaceRead: function (x, y, width, height, target) {
    pageSurface.read(x, y, width, height, target);
  },

  surfaceWrite__deps: ['$pageSurface'],
  surfaceWrite: function (x, y, width, height, source) {
    pageSurface.write(x, y, width, height, source);
  },

  pageAnnounce__deps: ['$pageSurface'],
  pageAnnounce: function (text) {
    pageSurface.announce(UTF8ToString(text));
  },

  surfacePicture__deps: ['$pageSurface'],
  surfacePicture: function (picture, x, y, width, height) {
    pageSurface.picture(picture, x, y, width, height);
  },
});
