// What the page tests share: the page's folder served on the loopback, and Debian's chromium,
// headless, driven by puppeteer-core.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const sourceDir = path.resolve(__dirname, '..', '..');
const siteDir = path.resolve(process.env.KALETH_WEB_SITE || path.join(sourceDir, 'build-web'));
const chromium = process.env.KALETH_CHROMIUM || '/usr/bin/chromium';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' };

// The two headers that make the page cross-origin isolated, as serve-web sends them: the page
// then runs its build with threads, and the browser's clock has microseconds, which the bench
// mode's medians need.
const isolation = { 'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp' };

// Serves siteDir on a free loopback port, isolated unless told otherwise; `replaced` maps a file
// name to the bytes to send for it instead, or null for a missing file.
function serve(replaced = {}, { isolated = true } = {}) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname).replace(/^\/+/, '') || 'index.html';
    let body = Object.hasOwn(replaced, name) ? replaced[name] : undefined;
    if (body === undefined) {
      const file = path.join(siteDir, path.basename(name));
      body = fs.existsSync(file) ? fs.readFileSync(file) : null;
    }
    if (body === null) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream', ...(isolated ? isolation : {}) }).end(body);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve({ server, url: `http://127.0.0.1:${server.address().port}/` }));
  });
}

async function launch() {
  if (!fs.existsSync(chromium)) throw new Error(`no browser at ${chromium} (scripts/install-deps.sh installs chromium)`);
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--mute-audio', '--disable-background-timer-throttling', '--disable-renderer-backgrounding'],
    protocolTimeout: 600000,
  });
}

// Opens `url`, recording what the page says on its console and every error it raises.
async function open(browser, url) {
  const page = await browser.newPage();
  const console = [];
  const errors = [];
  page.on('console', (message) => {
    console.push(message.text());
    if (message.type() === 'error') errors.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(String(error)));
  page.on('requestfailed', (request) => errors.push(`request failed: ${request.url()}`));
  await page.goto(url, { waitUntil: 'load' });
  return { page, console, errors };
}

module.exports = { serve, launch, open, siteDir, sourceDir };
