// The page's figures in headless chromium beside the native program's on one thread, measured in
// one run: what each slot's frames cost (median ms; the page in its capture mode at 60 frames a
// second, kaleth-bench at KALETH_THREADS=1), the whole production's frames per second, their
// ratios; the page played in real time for a minute (KALETH_PLAY_SECONDS): its presents a second
// and the sound's underruns; and the download.
//   make bench-web
'use strict';

const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const { serve, launch, open, siteDir } = require('./browser.js');

const nativeBench = process.env.KALETH_BENCH;

// kaleth-bench at one thread: each slot's medians (several for a slot measured in two looks) and
// the whole production's frames per second.
function measureNative() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kaleth-bench-web-'));
  try {
    const json = path.join(dir, 'bench.json');
    try {
      execFileSync(nativeBench, ['--threads', '1', '--json', json], {
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

async function measurePage() {
  const { server, url } = await serve();
  const browser = await launch();
  try {
    const { page } = await open(browser, `${url}?bench`);
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
    const after = await page.evaluate(() => ({ presented: window.kaleth.presented, at: performance.now(), sound: window.kaleth.sound }));
    return { presentsPerSecond: (after.presented - before.presented) / ((after.at - before.at) / 1000), sound: after.sound };
  } finally {
    await browser.close();
    server.close();
  }
}

const fixed = (value, width, decimals = 2) => value.toFixed(decimals).padStart(width);

async function main() {
  if (!nativeBench || !fs.existsSync(nativeBench)) throw new Error(`no kaleth-bench at KALETH_BENCH='${nativeBench || ''}'`);
  const page = await measurePage();
  const native = measureNative();

  console.log('median ms a frame, one thread');
  console.log('slot  frames     page   native   ratio  (native looks)');
  for (const slot of page.slots) {
    const cases = native.slots.get(slot.slot) || [];
    // A slot measured natively in two looks has no single figure to compare with.
    const single = cases.length === 1 ? cases[0].medianMs : null;
    const ratio = single ? fixed(slot.medianMs / single, 7) : '      -';
    const looks = cases.length > 1 ? cases.map((c) => `${c.label} ${c.medianMs.toFixed(3)}`).join(', ') : '';
    console.log(`${String(slot.slot).padStart(4)}  ${String(slot.frames).padStart(6)}  ${fixed(slot.medianMs, 7)}  ` +
                `${single ? fixed(single, 7, 3) : '      -'}  ${ratio}  ${looks}`);
  }
  const pageRate = page.timelineFrames / page.timelineSeconds;
  console.log(`whole production: page ${pageRate.toFixed(0)} frames/s (${page.timelineFrames} frames in ` +
              `${page.timelineSeconds.toFixed(1)} s), native ${native.framesPerSecond.toFixed(0)} frames/s, ` +
              `ratio ${(native.framesPerSecond / pageRate).toFixed(2)}`);
  console.log(`the page's start-up before the timeline: ${(page.drawingSeconds - page.timelineSeconds).toFixed(2)} s`);

  const seconds = Number(process.env.KALETH_PLAY_SECONDS || 60);
  if (seconds > 0) {
    const play = await measurePlay(seconds);
    console.log(`played in real time for ${seconds} s: ${play.presentsPerSecond.toFixed(1)} presents a second; sound through ` +
                `the ${play.sound.node}, ${play.sound.buffers} buffers, ${play.sound.underruns} underruns`);
  }

  console.log('file                     bytes      gzip -9');
  let total = 0;
  for (const name of ['index.html', 'kaleth-page.js', 'kaleth-sound.js', 'kaleth.js', 'kaleth.wasm', 'kaleth.pak']) {
    if (!fs.existsSync(path.join(siteDir, name))) continue;
    const bytes = fs.readFileSync(path.join(siteDir, name));
    const gzip = zlib.gzipSync(bytes, { level: 9 }).length;
    total += gzip;
    console.log(`${name.padEnd(20)} ${String(bytes.length).padStart(10)} ${String(gzip).padStart(12)}`);
  }
  console.log(`${'download'.padEnd(20)} ${''.padStart(10)} ${String(total).padStart(12)}`);
}

main().catch((error) => {
  console.error(`bench-web: ${error.message}`);
  process.exit(1);
});
