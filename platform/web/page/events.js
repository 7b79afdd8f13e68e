// The page's side of the program's events and waits.
// A DOM handler never calls into the program, which may be suspended inside one of its
// waits: it queues what happened and wakes the wait, and the program takes the queue in
// its own event processing (platform/web/WebPlatform.cpp), as the desktop holds its choices.
//
// Like every page script, an Emscripten JavaScript library: the page objects are `$` items
// that the build includes by their `__deps`, and the functions without `$` are the ones the
// program calls. Items are written out as text at build time, so objects hold plain values
// and `function` properties; what needs the browser is made by an init() from `__postset`.

mergeInto(LibraryManager.library, {
  // PageEvent (kinds of queued event) and WakeOn (what may end a wait) come from
  // platform/web/PageProtocol.h, read at build time.
  $pageEvents__deps: ['$PageEvent', '$WakeOn'],
  $pageEvents: {
    queue: [],
    waiter: null,
    stopped: false,   // the program is ending: nothing is queued any more

    push: function (kind, value) {
      if (this.stopped)
        return;
      this.queue.push({ kind, value });
      const waiter = this.waiter;
      if (waiter && (waiter.wakeOn === WakeOn.WakeOnAny
                     || (waiter.wakeOn === WakeOn.WakeOnInput && (kind === PageEvent.KeyEvent || kind === PageEvent.ButtonsEvent
                                                             || kind === PageEvent.MenuEvent
                                                             || kind === PageEvent.CounterProblemEvent))))
        waiter.wake();
    },

    stop: function () {
      this.stopped = true;
      this.queue.length = 0;
    },

    // Resolves after the time (negative: never) or at an event the wait is woken by.
    // Nothing polls: a wait with no time limit costs no CPU until the user acts.
    sleep: function (milliseconds, wakeOn) {
      return new Promise(resolve => {
        const waiter = { wakeOn, wake };
        const timer = milliseconds >= 0 ? setTimeout(wake, milliseconds) : 0;
        function wake() {
          clearTimeout(timer);
          if (pageEvents.waiter === waiter)
            pageEvents.waiter = null;
          resolve();
        }
        if (wakeOn !== WakeOn.WakeNever)
          this.waiter = waiter;
      });
    },
  },

  // Drawing is shown when the browser paints its next frame; a paced step waits for the
  // first frame from its time on (the program keeps the steps' cadence), so every step of a
  // run is seen once, at 60 steps a second whatever the display's refresh rate.
  $pageFrames: {
    // The first frame's time no earlier than the given one.
    from: async function (earliest) {
      for (;;) {
        const time = await new Promise(requestAnimationFrame);
        if (time >= earliest)
          return time;
      }
    },

    // Lets the browser hand over the events it holds, without waiting for a frame or a timer.
    yield: function () {
      return new Promise(resolve => {
        const channel = new MessageChannel();
        channel.port1.onmessage = resolve;
        channel.port2.postMessage(0);
      });
    },
  },

  // The oldest queued event's kind (0: none left); a key's text or another event's value
  // goes where the program says.
  pageTakeEvent__deps: ['$pageEvents', '$PageEvent'],
  pageTakeEvent: function (value, text, textSize) {
    const event = pageEvents.queue.shift();
    if (!event)
      return PageEvent.NoEvent;
    if (event.kind === PageEvent.KeyEvent)
      stringToUTF8(event.value, text, textSize);
    else
      HEAP32[value >> 2] = event.value;
    return event.kind;
  },

  // The program suspends in these (Asyncify) until the promise resolves; the first of its waits
  // shows its first screen.
  pageSleep__deps: ['$pageEvents', '$pagePlace'],
  pageSleep: function (milliseconds, wakeOn) {
    pagePlace.startedUp();
    return Asyncify.handleAsync(() => pageEvents.sleep(milliseconds, wakeOn));
  },

  pageFrameFrom__deps: ['$pageFrames', '$pagePlace'],
  pageFrameFrom: function (earliest) {
    pagePlace.startedUp();
    return Asyncify.handleAsync(() => pageFrames.from(earliest));
  },

  pageYield__deps: ['$pageFrames'],
  pageYield: function () {
    return Asyncify.handleAsync(() => pageFrames.yield());
  },

  pageMilliseconds: function () {
    return performance.now();
  },

  pageSecondsOfDay: function () {
    const now = new Date();
    return now.getHours() * 3600 + now.getMinutes() * 60 + now.getSeconds() + now.getMilliseconds() / 1000;
  },
});
