// The page's figures in headless chromium beside the native program's on one thread, measured in
// one run: what each slot's frames cost (median ms; the page in its capture mode at 60 frames a
// second, kaleth-bench at KALETH_THREADS=1, with the widest span shader the processor runs and
// with the 128-bit one the page has), the whole production's frames per second, their ratios; the page played in real time for a minute (KALETH_PLAY_SECONDS): its presents a second
// and the sound's underruns; and the download. The page is measured isolated, without threads
// (its build for pages that are not) and with KALETH_PAGE_THREADS threads (2 unless told).
//   make bench-web
'use strict';

const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { serve, launch, open, siteDir } = require('./browser.js');

const nativeBench = process.env.KALETH_BENCH;

// kaleth-bench at one thread, with `args` besides: each slot's medians (several for a slot
// measured in two looks) and the whole production's frames per second.
function measureNative(args = []) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kaleth-bench-web-'));
  try {
    const json = path.join(dir, 'bench.json');
    try {
      execFileSync(nativeBench, ['--threads', '1', '--json', json, ...args], {
        cwd: path.dirname(nativeBench),
        env: { ...process.env, KALETH_THREADS: '1' },
        stdio: ['ignore', 'ignore', 'pipe'],
      });
    } catch (error) {
      throw new Error(`kaleth-bench failed: ${error.stderr || error.message}`);
    }
    const slots = new Map();
    let framesPerSecond = 0;
    for (const benchmark of JSON.parse(fs.readFileSync(json, 'utf8')).benchmarks) {
      const slot = /^slot (\d+): ([^[]*?) \[/.exec(benchmark.name);
      if (slot) {
        const number = Number(slot[1]);
        if (!slots.has(number)) slots.set(number, []);
        slots.get(number).push({ label: slot[2], medianMs: benchmark.median_ms });
      } else if (benchmark.name.startsWith('whole production')) {
        framesPerSecond = benchmark.fps;
      }
    }
    return { slots, framesPerSecond };
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

async function measurePage(threads) {
  const { server, url } = await serve();
  const browser = await launch();
  try {
    const { page } = await open(browser, `${url}?bench&threads=${threads}`);
    const { code, summary } = await page.evaluate(() => window.kaleth.ended);
    if (code !== 0) throw new Error(`the program ended with code ${code}`);
    return summary;
  } finally {
    await browser.close();
    server.close();
  }
}

// The page played in real time for `seconds`: presents a second and what the sound node said.
async function measurePlay(seconds) {
  const { server, url } = await serve();
  const browser = await launch();
  try {
    const { page } = await open(browser, url);
    await page.waitForFunction(() => !document.getElementById('play').disabled, { timeout: 60000 });
    await page.click('#play');
    await page.waitForFunction(() => window.kaleth.sound && window.kaleth.sound.buffers > 0, { timeout: 30000 });
    const before = await page.evaluate(() => ({ presented: window.kaleth.presented, at: performance.now() }));
    await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
    const after = await page.evaluate(() => ({ presented: window.kaleth.presented, at: performance.now(), sound: window.kaleth.sound,
                                                build: window.kaleth.build }));
    return { presentsPerSecond: (after.presented - before.presented) / ((after.at - before.at) / 1000), sound: after.sound,
             build: after.build };
  } finally {
    await browser.close();
    server.close();
  }
}

const fixed = (value, width, decimals = 2) => value.toFixed(decimals).padStart(width);

async function main() {
  if (!nativeBench || !fs.existsSync(nativeBench)) throw new Error(`no kaleth-bench at KALETH_BENCH='${nativeBench || ''}'`);
  const pageThreads = Number(process.env.KALETH_PAGE_THREADS || 2);
  const page = await measurePage(1);
  const threaded = await measurePage(pageThreads);
  const native = measureNative();
  // The slots the 3D pipeline draws, once more on the page's own shader.
  const packed = measureNative(['--packed-spans', '--benchmark_filter=^slot (0|2|5|7|9):']);
  if (threaded.threads !== pageThreads) throw new Error(`the page drew on ${threaded.threads} threads, not ${pageThreads}`);

  const many = `${pageThreads} thr`;
  console.log(`median ms a frame; the page on one thread and on ${pageThreads}, native on one (its widest span shader,`);
  console.log(`and the packed one the page has, for the 3D slots)`);
  console.log(`slot  frames   page 1  page ${pageThreads}   native  ratio 1  ratio ${pageThreads}   packed  page 1/packed  (native looks)`);
  for (const slot of page.slots) {
    const cases = native.slots.get(slot.slot) || [];
    const withThreads = threaded.slots.find((s) => s.slot === slot.slot);
    // A slot measured natively in two looks has no single figure to compare with.
    const single = cases.length === 1 ? cases[0].medianMs : null;
    const ratio = (ms) => (single ? fixed(ms / single, 7) : '      -');
    const looks = cases.length > 1 ? cases.map((c) => `${c.label} ${c.medianMs.toFixed(3)}`).join(', ') : '';
    const onPacked = (packed.slots.get(slot.slot) || [])[0];
    const packedColumns = onPacked ? `  ${fixed(onPacked.medianMs, 7, 3)}  ${fixed(slot.medianMs / onPacked.medianMs, 13)}`
                                   : `  ${'-'.padStart(7)}  ${'-'.padStart(13)}`;
    console.log(`${String(slot.slot).padStart(4)}  ${String(slot.frames).padStart(6)}  ${fixed(slot.medianMs, 7)}  ` +
                `${fixed(withThreads.medianMs, 7)}  ${single ? fixed(single, 7, 3) : '      -'}  ` +
                `${ratio(slot.medianMs)}  ${ratio(withThreads.medianMs)}${packedColumns}  ${looks}`);
  }
  const rate = (summary) => summary.timelineFrames / summary.timelineSeconds;
  const ratePage = rate(page);
  const rateThreaded = rate(threaded);
  console.log(`whole production, frames/s: page on one thread ${ratePage.toFixed(0)} (${page.timelineFrames} frames in ` +
              `${page.timelineSeconds.toFixed(1)} s), on ${many}eads ${rateThreaded.toFixed(0)}, native on one ` +
              `${native.framesPerSecond.toFixed(0)}; native/page ${(native.framesPerSecond / ratePage).toFixed(2)} and ` +
              `${(native.framesPerSecond / rateThreaded).toFixed(2)}`);
  console.log(`the page's start-up before the timeline: ${(page.drawingSeconds - page.timelineSeconds).toFixed(2)} s ` +
              `(one thread), ${(threaded.drawingSeconds - threaded.timelineSeconds).toFixed(2)} s (${many}eads)`);

  const seconds = Number(process.env.KALETH_PLAY_SECONDS || 60);
  if (seconds > 0) {
    const play = await measurePlay(seconds);
    console.log(`played in real time for ${seconds} s (${play.build}): ${play.presentsPerSecond.toFixed(1)} presents a second; sound through ` +
                `the ${play.sound.node}, ${play.sound.buffers} buffers, ${play.sound.underruns} underruns`);
  }

  console.log('file                          bytes      gzip -9');
  // A page without threads fetches kaleth.js and kaleth.wasm; one with them the three
  // kaleth-threads files in their place.
  const threadFiles = ['kaleth-threads.js', 'kaleth-threads.wasm', 'kaleth-threads.worker.js'];
  const gzipped = {};
  for (const name of ['index.html', 'kaleth-page.js', 'kaleth-sound.js', 'kaleth.js', 'kaleth.wasm', 'kaleth.pak', ...threadFiles]) {
    if (!fs.existsSync(path.join(siteDir, name))) continue;
    const bytes = fs.readFileSync(path.join(siteDir, name));
    gzipped[name] = zlib.gzipSync(bytes, { level: 9 }).length;
    console.log(`${name.padEnd(24)} ${String(bytes.length).padStart(10)} ${String(gzipped[name]).padStart(12)}`);
  }
  const sum = (names) => names.reduce((total, name) => total + (gzipped[name] || 0), 0);
  const shared = ['index.html', 'kaleth-page.js', 'kaleth-sound.js', 'kaleth.pak'];
  console.log(`${'download without threads'.padEnd(24)} ${''.padStart(10)} ${String(sum([...shared, 'kaleth.js', 'kaleth.wasm'])).padStart(12)}`);
  console.log(`${'download with threads'.padEnd(24)} ${''.padStart(10)} ${String(sum([...shared, ...threadFiles])).padStart(12)}`);
}

main().catch((error) => {
  console.error(`bench-web: ${error.message}`);
  process.exit(1);
});
