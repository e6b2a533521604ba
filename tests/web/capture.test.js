// The page's capture mode against the native capture tool: the same options, the same frames to
// the byte, through every slot.
'use strict';

const assert = require('node:assert/strict');
const crypto = require('node:crypto');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { test } = require('node:test');
const { PNG } = require('pngjs');
const { serve, launch, open, sourceDir } = require('./browser.js');

const nativeBuild = path.resolve(process.env.KALETH_BUILD || path.join(sourceDir, 'build'));
// Frames a quarter second apart through the whole production, with F1 pressed twice in slot 11 so
// that its blur is seen both on and off whatever the beats do.
const options = ['--step-ms', '250', '--end', '137000', '--key', 'F1@98300', '--key', 'F1@101100'];

// The RGB bytes of each native frame, by frame number.
function nativeFrames(dir) {
  const frames = new Map();
  for (const name of fs.readdirSync(dir)) {
    const match = /^frame-(\d+)-(?:loading|t(\d+))\.png$/.exec(name);
    if (!match) continue;
    const png = PNG.sync.read(fs.readFileSync(path.join(dir, name)));
    const rgb = Buffer.alloc(png.width * png.height * 3);
    for (let i = 0, j = 0; i < png.data.length; i += 4, j += 3) png.data.copy(rgb, j, i, i + 3);
    frames.set(Number(match[1]), {
      time: match[2] === undefined ? -1 : Number(match[2]),
      sha256: crypto.createHash('sha256').update(rgb).digest('hex'),
    });
  }
  return frames;
}

// Served without the isolation headers the page falls back to its build without threads; isolated
// it draws on two threads. Either way every frame is the native one.
const runs = [
  { isolated: false, query: '', build: 'kaleth.js', threads: 1 },
  { isolated: true, query: '&threads=2', build: 'kaleth-threads.js', threads: 2 },
];

test('the page captures the same bytes as kaleth-capture in every slot, with threads and without', { timeout: 1800000 }, async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kaleth-web-capture-'));
  try {
    execFileSync(path.join(nativeBuild, 'kaleth-capture'), ['--out', dir, '--quiet', ...options], {
      cwd: nativeBuild,
      stdio: ['ignore', 'ignore', 'inherit'],
    });
    const native = nativeFrames(dir);

    for (const run of runs) {
      const { server, url } = await serve({}, { isolated: run.isolated });
      const browser = await launch();
      try {
        const { page, errors } = await open(browser, `${url}?capture${run.query}&args=${encodeURIComponent(options.join(' '))}`);
        const end = await page.evaluate(() => window.kaleth.ended);
        const { frames, build } = await page.evaluate(() => ({ frames: window.kaleth.frames, build: window.kaleth.build }));
        const label = `${run.build} (${run.isolated ? 'isolated' : 'not isolated'})`;
        assert.equal(end.code, 0);
        assert.deepEqual(errors, []);
        assert.equal(build, run.build, 'the page chose its build by its isolation');
        assert.equal(end.summary.threads, run.threads, `${label} drew on ${run.threads} threads`);
        assert.equal(frames.length, native.size, `${label} kept as many frames as the native capture wrote`);

        const differing = [];
        for (const frame of frames) {
          const twin = native.get(frame.number);
          assert.ok(twin, `native frame ${frame.number} is missing`);
          assert.equal(frame.time, twin.time, `frame ${frame.number} is of the same timeline time`);
          if (frame.sha256 !== twin.sha256) differing.push(`${frame.number} (slot ${frame.slot}, ${frame.time} ms)`);
        }
        assert.deepEqual(differing, [], `frames of ${label} whose bytes differ from the native ones`);

        // Every slot was seen early, in the middle and late; slot 11 with and without its blur, and
        // slot 4 as the diamond and as floor and ceiling.
        for (let slot = 0; slot < 14; ++slot) {
          assert.ok(frames.filter((frame) => frame.slot === slot).length >= 3, `slot ${slot} has three frames or more`);
        }
        const looks = (slot, flag) => new Set(frames.filter((f) => f.slot === slot).map((f) => f[flag]));
        assert.equal(looks(11, 'beatFlagA').size, 2, 'slot 11 was compared with the blur on and off');
        assert.equal(looks(4, 'beatFlagB').size, 2, 'slot 4 was compared in both looks');
      } finally {
        await browser.close();
        server.close();
      }
    }
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
