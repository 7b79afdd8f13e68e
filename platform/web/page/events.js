// The page's side of the program's events and waits.
// A DOM handler never calls into the program, which may be suspended inside one of its
// waits: it queues what happened and wakes the wait, and the program takes the queue in
// its own event processing (platform/web/WebPlatform.cpp), as the desktop holds its choices.

// Kinds of queued event and what may end a wait; WebPlatform.cpp uses the same numbers.
var EVENT_KEY = 1, EVENT_BUTTONS = 2, EVENT_MENU = 3, EVENT_RESIZE = 4;
var WAKE_NEVER = 0, WAKE_ON_INPUT = 1, WAKE_ON_ANY = 2;

var pageEvents = {
  queue: [],
  waiter: null,
  stopped: false,   // the program is ending: nothing is queued any more

  push(kind, value) {
    if (this.stopped)
      return;
    this.queue.push({ kind, value });
    const waiter = this.waiter;
    if (waiter && (waiter.wakeOn === WAKE_ON_ANY || (waiter.wakeOn === WAKE_ON_INPUT && kind !== EVENT_RESIZE)))
      waiter.wake();
  },

  stop() {
    this.stopped = true;
    this.queue.length = 0;
  },

  // Resolves after the time (negative: never) or at an event the wait is woken by.
  // Nothing polls: a wait with no time limit costs no CPU until the user acts.
  sleep(milliseconds, wakeOn) {
    return new Promise(resolve => {
      const waiter = { wakeOn, wake };
      const timer = milliseconds >= 0 ? setTimeout(wake, milliseconds) : 0;
      function wake() {
        clearTimeout(timer);
        if (pageEvents.waiter === waiter)
          pageEvents.waiter = null;
        resolve();
      }
      if (wakeOn !== WAKE_NEVER)
        this.waiter = waiter;
    });
  },
};

// Drawing is shown when the browser paints its next frame; event processing that drew
// something waits for that frame, so every step of a run is seen once.
var pageFrames = {
  interval: 1000 / 60,   // learnt from the frames the browser delivers
  lastFrame: 0,
  lastReturn: -Infinity,

  async next() {
    for (;;) {
      const time = await new Promise(requestAnimationFrame);
      const gap = time - this.lastFrame;
      if (gap > 2 && gap < 100)
        this.interval += (gap - this.interval) / 8;
      this.lastFrame = time;
      // No sooner than one frame after the previous return, which may have been mid-frame.
      if (time - this.lastReturn >= 0.75 * this.interval)
        return;
    }
  },

  // Lets the browser hand over the events it holds, without waiting for a frame or a timer.
  yield() {
    return new Promise(resolve => {
      const channel = new MessageChannel();
      channel.port1.onmessage = resolve;
      channel.port2.postMessage(0);
    });
  },

  markReturn() {
    this.lastReturn = performance.now();
  },
};
