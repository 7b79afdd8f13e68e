// A Geiger counter at the microphone, when the page's address asks for it
// (mikroteilchen.html#zaehlrohr): the microphone's first channel goes through an audio
// worklet (counter-worklet.js) to the click detector in the program (platform/web/WebCounter.*),
// a block of about 20 ms at a time, and "Z\u00e4hlrohr" with the input's level stands at the
// right of the menu bar. Without the address's word nothing here runs: no permission prompt.
//
// The microphone has an audio context of its own, since the click's (sound.js) rests between
// runs. A browser may hold a context until the user's first gesture (the title prompt's key or
// click at the latest): until then the stream waits, and the detector's two seconds of
// measuring the noise floor begin when it runs.

mergeInto(LibraryManager.library, {
  $pageCounter__deps: ['$pageEvents', '$PageEvent', '$CounterAsk', '$CounterProblem', '$pageCounterWorklet'],
  $pageCounter: {
    indicator: null,
    meter: null,
    loudest: 0,
    levelShownAt: 0,

    asked: function () {
      const words = location.hash.slice(1).split('&');
      if (!words.includes('zaehlrohr'))
        return 0;
      return CounterAsk.CounterAsked | (words.includes('protokoll') ? CounterAsk.CounterLogAsked : 0);
    },

    start: async function () {
      let stream;
      try {
        // Echo cancellation, noise suppression and automatic gain would eat or reshape the clicks.
        stream = await navigator.mediaDevices.getUserMedia({
          audio: { echoCancellation: false, noiseSuppression: false, autoGainControl: false } });
      } catch (error) {
        const refused = error.name === 'NotAllowedError' || error.name === 'SecurityError';
        return pageEvents.push(PageEvent.CounterProblemEvent, refused ? CounterProblem.CounterRefused : CounterProblem.CounterNoInput);
      }
      let context, worklet, blockLength;
      try {
        context = new AudioContext();
        await context.audioWorklet.addModule(`data:text/javascript;base64,${btoa(`(${pageCounterWorklet})()`)}`);
        // About 20 ms, in whole render quanta of 128 samples.
        blockLength = 128 * Math.max(1, Math.round(context.sampleRate / 50 / 128));
        worklet = new AudioWorkletNode(context, 'zaehlrohr', { numberOfOutputs: 0, processorOptions: { blockLength } });
        context.createMediaStreamSource(stream).connect(worklet);
      } catch (error) {
        stream.getTracks().forEach(track => track.stop());
        return pageEvents.push(PageEvent.CounterProblemEvent, CounterProblem.CounterUnreadable);
      }
      const resume = () => context.state === 'suspended' && context.resume().catch(() => {});
      for (const type of ['keydown', 'pointerdown', 'pointerup', 'touchend', 'click'])
        window.addEventListener(type, resume, { capture: true, passive: true });
      resume();

      let block = 0;   // where the program takes the samples, once the stream has begun
      worklet.port.onmessage = ({ data: samples }) => {
        if (pageEvents.stopped) {   // the program has ended: so has the lesson
          stream.getTracks().forEach(track => track.stop());
          return context.close();
        }
        if (!block) {
          block = _webCounterOpened(context.sampleRate, blockLength);
          this.show();
        }
        HEAPF32.set(samples, block >> 2);
        _webCounterHeard(samples.length);
        this.showLevel(samples);
        worklet.port.postMessage(samples, [samples.buffer]);
      };
      stream.getAudioTracks()[0].addEventListener('ended', () => {
        if (pageEvents.stopped || !block)
          return;
        _webCounterLost();
        this.indicator.textContent = 'Z\u00e4hlrohr: Eingang gest\u00f6rt, simuliert';
      });
    },

    show: function () {
      const indicator = this.indicator = document.createElement('div');
      indicator.style.cssText = 'position: fixed; top: 0; right: 0; height: 27px; display: flex; align-items: center;'
        + ' gap: 6px; padding: 0 10px; background: #ececec; color: #000';
      indicator.textContent = 'Z\u00e4hlrohr';
      const meter = this.meter = document.createElement('meter');
      meter.setAttribute('aria-label', 'Eingangspegel');
      meter.max = 100;
      meter.style.cssText = 'width: 60px; height: 8px';
      indicator.append(meter);
      document.body.append(indicator);
    },

    // The loudest sample of each tenth of a second, on the same scale as the desktop's bar:
    // -60 dB of full scale and below at the bottom, full scale at the top.
    showLevel: function (samples) {
      for (let i = 0; i < samples.length; ++i)
        this.loudest = Math.max(this.loudest, Math.abs(samples[i]));
      const now = performance.now();
      if (now - this.levelShownAt < 100)
        return;
      const decibels = 20 * Math.log10(this.loudest);
      this.meter.value = Math.round(Math.min(100, Math.max(0, 100 * (1 + decibels / 60))));
      this.loudest = 0;
      this.levelShownAt = now;
    },
  },

  pageCounterAsked__deps: ['$pageCounter'],
  pageCounterAsked: function () {
    return pageCounter.asked();
  },

  pageStartCounter__deps: ['$pageCounter'],
  pageStartCounter: function () {
    pageCounter.start();
  },

  // What the counter heard and what became of each click, for checking a set-up.
  pageCounterLog: function (line) {
    console.debug(`zaehlrohr: ${UTF8ToString(line)}`);
  },
});
