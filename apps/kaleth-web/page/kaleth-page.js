// The page around the program: loads the package and the program, starts it on Play (or at once
// in the capture and bench modes), and gives the web backend its canvas, message box and sound.
//
//   index.html                      plays after a click on Play, with its music
//   index.html?capture&args=OPTIONS plays on a virtual clock without sound, with kaleth-capture's
//                                   OPTIONS, and hands every kept frame's SHA-256 to the page
//   index.html?bench&args=OPTIONS   the same, measuring only what each frame costs
//   ...&threads=N                   draws on N threads (1: the build without threads)
//
// A page that is cross-origin isolated may share memory with Web Workers, and runs the build with
// threads (kaleth-threads.js), whose worker pool draws on them; anywhere else it runs the build
// without (kaleth.js). Both give the same pictures.
'use strict';

const query = new URLSearchParams(location.search);
const mode = query.has('capture') ? 'capture' : query.has('bench') ? 'bench' : 'play';
const askedThreads = /^[0-9]+$/.test(query.get('threads') || '') ? Number(query.get('threads')) : 0;
const threaded = window.crossOriginIsolated === true && askedThreads !== 1;
const element = (id) => document.getElementById(id);
const canvas = element('screen');
const context2d = canvas.getContext('2d');

function setStatus(text) { element('status').textContent = text; }

// What the capture and bench modes hand to whoever drives the page.
window.kaleth = {
  mode,
  frames: [],
  presented: 0,
  ended: null,
  boxes: [],
  build: threaded ? 'kaleth-threads.js' : 'kaleth.js',
};
let reportEnd;
window.kaleth.ended = new Promise((resolve) => { reportEnd = resolve; });

let audio = null;
// Whether the AudioWorklet's module could be loaded (a promise; null where the browser has none).
let workletLoaded = null;
let soundNode = null;
let soundOpen = 0;
let soundStarted = false;

// The program's sound, for a node that has `queued` frames still to play: the next `frames`
// frames of interleaved 16-bit stereo (a view of the program's memory), or null.
function mixSound(frames, queued) {
  const at = soundStarted ? Module._kaleth_web_sound_fill(frames, queued) : 0;
  if (!at) return null;
  window.kaleth.sound.buffers += 1;
  // The build with threads may have grown its shared memory since the last look.
  const heap = threaded ? GROWABLE_HEAP_I16() : HEAP16;
  return heap.subarray(at >> 1, (at >> 1) + frames * 2);
}

// The sound on the audio thread (kaleth-sound.js), fed a buffer at a time from the main thread.
function openWorklet(bufferFrames) {
  soundNode = new AudioWorkletNode(audio, 'kaleth-sound', {
    numberOfInputs: 0, outputChannelCount: [2], processorOptions: { bufferFrames },
  });
  const port = soundNode.port;
  port.onmessage = (event) => {
    const message = event.data;
    if (message.underruns !== undefined) {
      window.kaleth.sound.underruns = message.underruns;
      return;
    }
    const mixed = mixSound(message.need, message.queued);
    const samples = mixed ? mixed.slice() : null;
    port.postMessage({ samples }, samples ? [samples.buffer] : []);
  };
  soundNode.connect(audio.destination);
  if (soundStarted) port.postMessage({ start: true });
}

// Where a browser has no AudioWorklet: a script processor on the main thread, which asks for the
// buffer that plays after the one it is playing.
function openScriptProcessor(bufferFrames) {
  soundNode = audio.createScriptProcessor(bufferFrames, 0, 2);
  soundNode.onaudioprocess = (event) => {
    const left = event.outputBuffer.getChannelData(0);
    const right = event.outputBuffer.getChannelData(1);
    const frames = left.length;
    const samples = mixSound(frames, frames);
    if (!samples) { left.fill(0); right.fill(0); return; }
    for (let i = 0; i < frames; ++i) {
      left[i] = samples[2 * i] / 32768;
      right[i] = samples[2 * i + 1] / 32768;
    }
  };
  soundNode.connect(audio.destination);
}

const page = {
  setTitle(title) { document.title = title; },
  showCursor(shown) { canvas.style.cursor = shown ? '' : 'none'; },
  showPixels(rgba, width, height) {
    if (canvas.width !== width || canvas.height !== height) { canvas.width = width; canvas.height = height; }
    context2d.putImageData(new ImageData(new Uint8ClampedArray(rgba), width, height), 0, 0);
    window.kaleth.presented += 1;
  },
  // A message box in the page; the program goes on once it is dismissed.
  showBox(caption, text) {
    window.kaleth.boxes.push({ caption, text });
    element('box-caption').textContent = caption;
    element('box-text').textContent = text;
    element('box').style.display = 'block';
    return new Promise((resolve) => {
      element('box-ok').onclick = () => { element('box').style.display = 'none'; resolve(); };
    });
  },
  openSound(rate, bufferFrames) {
    if (audio === null || audio.sampleRate !== rate) return 0;
    const opened = ++soundOpen;
    window.kaleth.sound = { rate, buffers: 0, underruns: 0, node: null };
    Promise.resolve(workletLoaded).then((worklet) => {
      if (opened !== soundOpen) return;  // closed meanwhile
      if (worklet) openWorklet(bufferFrames);
      else openScriptProcessor(bufferFrames);
      window.kaleth.sound.node = worklet ? 'AudioWorklet' : 'ScriptProcessor';
    });
    return 1;
  },
  startSound() {
    soundStarted = true;
    if (soundNode && soundNode.port) soundNode.port.postMessage({ start: true });
  },
  closeSound() {
    soundStarted = false;
    ++soundOpen;
    if (soundNode) {
      soundNode.disconnect();
      if (soundNode.port) soundNode.port.onmessage = null;
      else soundNode.onaudioprocess = null;
      soundNode = null;
    }
  },
  // A kept frame of the capture mode: what it shows (RGB rows, as kaleth-capture's PNGs hold
  // them) goes to whoever drives the page as its SHA-256.
  async keepFrame(frame, rgb) {
    const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', rgb));
    frame.sha256 = Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
    window.kaleth.frames.push(frame);
    setStatus('frame ' + frame.number + ' at ' + frame.time + ' ms');
  },
  ended(code, summary) {
    element('stop').disabled = true;
    if (audio) audio.close();
    setStatus(mode === 'play' ? 'KALETH has ended.' : 'Done: ' + JSON.stringify(summary));
    console.log('kaleth: ended with code ' + code);
    reportEnd({ code, summary });
  },
};

function argumentsOfMode() {
  if (mode === 'play') return [];
  const extra = (query.get('args') || '').split(/\s+/).filter((a) => a.length > 0);
  return ['--' + mode].concat(extra);
}

function play() {
  // Browsers let sound start only from a person's action, so the context is made here.
  try {
    audio = new AudioContext({ sampleRate: 44100 });
    audio.resume();
    if (audio.audioWorklet) {
      workletLoaded = audio.audioWorklet.addModule('kaleth-sound.js').then(() => true, (error) => {
        console.warn('kaleth: no AudioWorklet (' + error + '), the sound is mixed on the main thread');
        return false;
      });
    }
  } catch (error) {
    console.warn('kaleth: no audio: ' + error);
    audio = null;
  }
  element('play').style.display = 'none';
  element('stop').disabled = false;
  setStatus('Playing.');
  Module.callMain([]);
}

function goFullScreen() {
  const stage = element('stage');
  if (!document.fullscreenElement && stage.requestFullscreen) stage.requestFullscreen().catch(() => {});
}

async function loadPackage() {
  try {
    const response = await fetch('kaleth.pak');
    if (!response.ok) return null;
    return new Uint8Array(await response.arrayBuffer());
  } catch (error) {
    return null;
  }
}

var Module = {
  kalethPage: page,
  preRun() {
    if (threaded && askedThreads > 1) ENV.KALETH_THREADS = String(askedThreads);
  },
  print: (text) => console.log(text),
  printErr: (text) => console.log(text),
  onRuntimeInitialized() {
    packageLoaded.then((bytes) => {
      // Without the package the program starts all the same and says what is wrong.
      if (bytes !== null) FS.writeFile('kaleth.pak', bytes);
      if (mode !== 'play') {
        element('play').style.display = 'none';
        setStatus('Capturing…');
        Module.callMain(argumentsOfMode());
        return;
      }
      Module._kaleth_web_preview();
      const button = element('play');
      button.textContent = 'Play';
      button.disabled = false;
      setStatus('Ready.');
    });
  },
};

const packageLoaded = loadPackage();
element('play').addEventListener('click', play);
element('stop').addEventListener('click', () => Module._kaleth_web_stop());
element('fullscreen').addEventListener('click', goFullScreen);
canvas.addEventListener('dblclick', goFullScreen);

const program = document.createElement('script');
program.src = window.kaleth.build;
program.onerror = () => setStatus('The program (' + program.src + ') could not be loaded.');
document.body.appendChild(program);
