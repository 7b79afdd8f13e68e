// The click through Web Audio. Every registration starts a source of its own, so clicks
// that overlap are mixed and none is dropped. Browsers let sound start only from a user's
// gesture: the first one the page gets, whatever it is (a key, a press on the drawing area,
// the menu, a box's button, a touch), makes the audio context.

mergeInto(LibraryManager.library, {
  // SoundState comes from platform/web/PageProtocol.h, read at build time.
  $pageSound__deps: ['$pageFiles', '$SoundState'],
  $pageSound__postset: 'pageSound.init();',
  $pageSound: {
    context: null,   // made at the first key or click; false where the browser has no audio
    restTimer: 0,
    clips: null,   // file name -> Promise of an AudioBuffer, or null if undecodable
    buffers: null,   // the decoded ones, at hand the moment a click is due

    init: function () {
      this.clips = new Map();
      this.buffers = new Map();
      // Before any part of the page handles the gesture, and whatever it does with it.
      for (const type of ['keydown', 'pointerdown', 'pointerup', 'touchend', 'click'])
        window.addEventListener(type, () => this.unlock(), { capture: true, passive: true });
    },

    unlock: function () {
      if (this.context === null) {
        try {
          this.context = new AudioContext({ latencyHint: 'interactive' });
        } catch (error) {
          this.context = false;
        }
      }
      if (this.context && this.context.state !== 'running' && this.context.state !== 'closed') {
        this.context.resume().catch(() => {});
      }
      this.restSoon();
    },

    // A running context renders silence on its own threads; between runs it rests.
    restSoon: function () {
      clearTimeout(this.restTimer);
      this.restTimer = setTimeout(() => {
        if (this.context && this.context.state === 'running') {
          this.context.suspend().catch(() => {});
        }
      }, 3000);
    },

    // Decodes the file once; what comes of it decides whether the program tells a problem.
    prepare: async function (name) {
      await pageFiles.arrived(name);
      const bytes = pageFiles.bytes(name);
      if (bytes === null)
        return SoundState.SoundUndecodable;
      if (!this.clips.has(name)) {
        let decoder = this.context;
        try {
          decoder = decoder || new OfflineAudioContext(1, 1, 48000);
        } catch (error) {
          return SoundState.SoundSilent;   // a browser without Web Audio
        }
        this.clips.set(name, decoder.decodeAudioData(bytes.slice().buffer).catch(() => null));
      }
      const buffer = await this.clips.get(name);
      if (buffer === null)
        return SoundState.SoundUndecodable;
      this.buffers.set(name, buffer);
      return SoundState.SoundReady;
    },

    play: function (name) {
      const context = this.context, buffer = this.buffers.get(name);
      if (!context || !buffer)
        return;   // no sound device, or no gesture yet: the lesson runs silently
      const start = () => {
        const source = context.createBufferSource();
        source.buffer = buffer;
        source.connect(context.destination);
        source.start();
      };
      this.restSoon();
      if (context.state === 'running')
        return start();
      // A click started while the context wakes can go unheard: it is held until it runs,
      // a few milliseconds late and never lost; clicks held together start in order. A context
      // that cannot run (the browser counted no gesture) drops them rather than burst later.
      const asked = performance.now();
      context.resume().then(() => performance.now() - asked < 1000 && start(), () => {});
    },
  },

  // Suspends the program until the click is decoded; a SoundState.
  pagePrepareSound__deps: ['$pageSound'],
  pagePrepareSound: function (name) {
    return Asyncify.handleAsync(() => pageSound.prepare(UTF8ToString(name)));
  },

  pagePlaySound__deps: ['$pageSound'],
  pagePlaySound: function (name) {
    pageSound.play(UTF8ToString(name));
  },
});
