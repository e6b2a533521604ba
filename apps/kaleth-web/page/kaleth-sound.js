// The page's sound on the browser's audio thread: an AudioWorklet processor that plays what the
// program mixes, from a ring of stereo frames. Whenever the ring holds less than three buffers it
// asks the page for one more (once at a time), saying how many frames it still has to play, so
// that the main thread can be busy for nearly three buffers (139 ms at 44,100 Hz) before the ring
// runs dry; a render quantum it cannot fill from the ring after the sound began is an underrun,
// told to the page.
'use strict';

class KalethSound extends AudioWorkletProcessor {
  constructor(options) {
    super();
    this.bufferFrames = options.processorOptions.bufferFrames;
    this.capacity = 4 * this.bufferFrames;  // three held and one on its way
    this.left = new Float32Array(this.capacity);
    this.right = new Float32Array(this.capacity);
    this.readAt = 0;
    this.held = 0;
    this.asked = false;
    this.started = false;
    this.heard = false;
    this.underruns = 0;
    this.port.onmessage = (event) => this.receive(event.data);
  }

  receive(message) {
    if (message.start) {
      this.started = true;
      return;
    }
    // Interleaved 16-bit stereo, or nothing when the program had no sound to give.
    this.asked = false;
    const samples = message.samples;
    if (!samples) {
      this.started = false;
      return;
    }
    const frames = Math.min(samples.length >> 1, this.capacity - this.held);
    let at = (this.readAt + this.held) % this.capacity;
    for (let i = 0; i < frames; ++i) {
      this.left[at] = samples[2 * i] / 32768;
      this.right[at] = samples[2 * i + 1] / 32768;
      at = at + 1 === this.capacity ? 0 : at + 1;
    }
    this.held += frames;
    this.heard = true;
  }

  process(inputs, outputs) {
    const [left, right] = outputs[0];
    const frames = left.length;
    const played = Math.min(frames, this.held);
    for (let i = 0; i < played; ++i) {
      left[i] = this.left[this.readAt];
      right[i] = this.right[this.readAt];
      this.readAt = this.readAt + 1 === this.capacity ? 0 : this.readAt + 1;
    }
    left.fill(0, played);
    right.fill(0, played);
    this.held -= played;
    if (played < frames && this.heard) {
      this.underruns += 1;
      this.port.postMessage({ underruns: this.underruns });
    }
    if (this.started && !this.asked && this.held < 3 * this.bufferFrames) {
      this.asked = true;
      this.port.postMessage({ need: this.bufferFrames, queued: this.held });
    }
    return true;
  }
}

registerProcessor('kaleth-sound', KalethSound);
