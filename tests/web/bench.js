// The page's figures in headless chromium: what each slot's frames cost in the capture mode at 60
// frames a second (median ms), the whole production's frames per second, and the download.
//   make bench-web
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const { serve, launch, open, siteDir } = require('./browser.js');

async function main() {
  const { server, url } = await serve();
  const browser = await launch();
  try {
    const { page } = await open(browser, `${url}?bench`);
    const { code, summary } = await page.evaluate(() => window.kaleth.ended);
    if (code !== 0) throw new Error(`the program ended with code ${code}`);
    console.log('slot  frames  median ms/frame');
    for (const slot of summary.slots) {
      console.log(`${String(slot.slot).padStart(4)}  ${String(slot.frames).padStart(6)}  ${slot.medianMs.toFixed(2).padStart(8)}`);
    }
    console.log(`whole production: ${summary.frames} frames in ${summary.drawingSeconds.toFixed(1)} s of drawing, ` +
                `${(summary.frames / summary.drawingSeconds).toFixed(1)} frames per second`);
  } finally {
    await browser.close();
    server.close();
  }
  console.log('file                     bytes      gzip -9');
  for (const name of ['index.html', 'kaleth-page.js', 'kaleth.js', 'kaleth.wasm', 'kaleth.pak']) {
    const bytes = fs.readFileSync(path.join(siteDir, name));
    const gzip = zlib.gzipSync(bytes, { level: 9 }).length;
    console.log(`${name.padEnd(20)} ${String(bytes.length).padStart(10)} ${String(gzip).padStart(12)}`);
  }
}

main().catch((error) => {
  console.error(`bench-web: ${error.message}`);
  process.exit(1);
});
