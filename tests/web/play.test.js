// The page as a person uses it: the loading picture and Play, a few seconds of the production
// with its music, Escape; and the program's own message when the package is missing or damaged.
'use strict';

const assert = require('node:assert/strict');
const { spawn } = require('node:child_process');
const crypto = require('node:crypto');
const net = require('node:net');
const path = require('node:path');
const { test } = require('node:test');
const { serve, launch, open, siteDir, sourceDir } = require('./browser.js');

const canvasHash = (page) =>
  page.evaluate(() => {
    const canvas = document.getElementById('screen');
    return canvas.toDataURL('image/png');
  }).then((url) => crypto.createHash('sha256').update(url).digest('hex'));

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function withPage(replaced, body, serving = {}) {
  const { server, url } = await serve(replaced, serving);
  const browser = await launch();
  try {
    const opened = await open(browser, url);
    await opened.page.waitForFunction(() => !document.getElementById('play').disabled, { timeout: 60000 });
    await body(opened);
  } finally {
    await browser.close();
    server.close();
  }
}

// Isolated, the page plays its build with threads; elsewhere the one without. The music is
// played on the audio thread in both.
for (const { isolated, build } of [{ isolated: true, build: 'kaleth-threads.js' }, { isolated: false, build: 'kaleth.js' }]) {
  test(`the page plays after Play, with its music, and Escape ends it (${build})`, { timeout: 120000 }, async () => {
    await withPage({}, async ({ page, errors }) => {
      assert.equal(await page.evaluate(() => window.kaleth.build), build);
      // Before Play the page shows the loading picture: grey rows in the picture area.
      const loading = await page.evaluate(() => {
        const data = document.getElementById('screen').getContext('2d').getImageData(0, 0, 512, 384).data;
        const at = (x, y) => data[(y * 512 + x) * 4];
        let lit = 0;
        for (let y = 52; y < 332; y += 8) for (let x = 0; x < 512; x += 8) lit += at(x, y) > 0 ? 1 : 0;
        return { lit, above: at(256, 20) };
      });
      assert.ok(loading.lit > 100, 'the loading picture is on the canvas');
      assert.equal(loading.above, 0, 'above the picture area the display is black');

      await page.click('#play');
      await sleep(3500);
      const seen = new Set();
      for (let i = 0; i < 5; ++i) {
        seen.add(await canvasHash(page));
        await sleep(300);
      }
      assert.ok(seen.size >= 4, 'the picture moves');
      const sound = await page.evaluate(() => window.kaleth.sound);
      assert.equal(sound.rate, 44100);
      assert.equal(sound.node, 'AudioWorklet');
      assert.ok(sound.buffers > 20, 'the music is being played');

      await page.keyboard.press('Escape');
      const end = await page.evaluate(() => window.kaleth.ended);
      assert.equal(end.code, 0);
      assert.equal(await page.$eval('#status', (e) => e.textContent), 'KALETH has ended.');
      assert.deepEqual(errors, []);
    }, { isolated });
  });
}

test('where the browser has no AudioWorklet the music plays from the main thread', { timeout: 120000 }, async () => {
  const { server, url } = await serve();
  const browser = await launch();
  try {
    const page = await browser.newPage();
    await page.evaluateOnNewDocument(() => {
      Object.defineProperty(BaseAudioContext.prototype, 'audioWorklet', { get: () => undefined });
    });
    await page.goto(url, { waitUntil: 'load' });
    await page.waitForFunction(() => !document.getElementById('play').disabled, { timeout: 60000 });
    await page.click('#play');
    await page.waitForFunction(() => window.kaleth.sound && window.kaleth.sound.buffers > 10, { timeout: 30000 });
    assert.equal(await page.evaluate(() => window.kaleth.sound.node), 'ScriptProcessor');
    await page.keyboard.press('Escape');
    assert.equal((await page.evaluate(() => window.kaleth.ended)).code, 0);
  } finally {
    await browser.close();
    server.close();
  }
});

test('the Stop control ends the production as the close box does', { timeout: 120000 }, async () => {
  await withPage({}, async ({ page, errors }) => {
    await page.click('#play');
    await page.waitForFunction(() => window.kaleth.presented > 10, { timeout: 30000 });
    await page.keyboard.press('F1');
    await page.click('#stop');
    const end = await page.evaluate(() => window.kaleth.ended);
    assert.equal(end.code, 0);
    assert.equal(await page.$eval('#status', (e) => e.textContent), 'KALETH has ended.');
    assert.deepEqual(errors, []);
  });
});

test('without a good package the page shows the program\'s own message', { timeout: 120000 }, async () => {
  const cases = [
    { pak: null, message: 'Unable to open datafile' },
    { pak: Buffer.from('no package at all'), message: 'Package file seems to be corrupted' },
  ];
  for (const { pak, message } of cases) {
    await withPage({ 'kaleth.pak': pak }, async ({ page }) => {
      await page.click('#play');
      await page.waitForSelector('#box', { visible: true, timeout: 30000 });
      assert.equal(await page.$eval('#box-text', (e) => e.textContent), message);
      assert.equal(await page.$eval('#box-caption', (e) => e.textContent), '[- Tarn 2.0 error window -]');
      await page.click('#box-ok');
      const end = await page.evaluate(() => window.kaleth.ended);
      assert.equal(end.code, 0);
    });
  }
});

test('served as make serve-web serves it, the page is isolated and draws with threads', { timeout: 120000 }, async () => {
  const port = await new Promise((resolve) => {
    const probe = net.createServer().listen(0, '127.0.0.1', () => {
      const { port: free } = probe.address();
      probe.close(() => resolve(free));
    });
  });
  const server = spawn('python3', [path.join(sourceDir, 'apps/kaleth-web/serve.py'), siteDir, String(port)], { stdio: 'ignore' });
  const browser = await launch();
  try {
    const url = `http://127.0.0.1:${port}/`;
    let wasm = null;
    for (let tries = 0; wasm === null && tries < 50; ++tries) {
      wasm = await fetch(`${url}kaleth-threads.wasm`, { method: 'HEAD' }).catch(() => null);
      if (wasm === null) await sleep(100);
    }
    assert.ok(wasm, 'serve.py answers');
    assert.equal(wasm.headers.get('content-type'), 'application/wasm');
    const { page, errors } = await open(browser, url);
    await page.waitForFunction(() => !document.getElementById('play').disabled, { timeout: 60000 });
    assert.deepEqual(await page.evaluate(() => [window.crossOriginIsolated, window.kaleth.build]), [true, 'kaleth-threads.js']);
    assert.deepEqual(errors, []);
  } finally {
    await browser.close();
    server.kill();
  }
});
