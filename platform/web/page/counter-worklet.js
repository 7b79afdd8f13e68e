// The audio thread's part of the counter (counter.js): it gathers the microphone's first
// channel into blocks and posts each full one to the page's thread, which gives it back once
// the detector has read it, so that no block is made anew while the counter listens.

mergeInto(LibraryManager.library, {
  // Runs in the worklet's own scope, where registerProcessor is: the page loads its text from
  // a data: address (Chromium and WebKit refuse a blob: one to a page opened from file://).
  $pageCounterWorklet: function () {
    registerProcessor('zaehlrohr', class extends AudioWorkletProcessor {
      constructor(options) {
        super();
        this.blockLength = options.processorOptions.blockLength;
        this.spare = [];
        this.block = new Float32Array(this.blockLength);
        this.filled = 0;
        this.port.onmessage = ({ data }) => this.spare.push(data);
      }

      process(inputs) {
        // A counter at one input is heard on one channel, the first.
        const samples = inputs[0] && inputs[0][0];
        for (let from = 0; samples && from < samples.length;) {
          const taken = Math.min(samples.length - from, this.blockLength - this.filled);
          this.block.set(samples.subarray(from, from + taken), this.filled);
          from += taken;
          this.filled += taken;
          if (this.filled === this.blockLength) {
            this.port.postMessage(this.block, [this.block.buffer]);
            this.block = this.spare.pop() || new Float32Array(this.blockLength);
            this.filled = 0;
          }
        }
        return true;
      }
    });
  },
});
