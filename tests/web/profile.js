// Where the page's capture mode spends its time: Chromium's CPU profile of a bench run, summed
// by function (self time), the heaviest first. The wasm functions have their names when the page
// is linked with --profiling-funcs (for instance make web after
// cmake -DCMAKE_EXE_LINKER_FLAGS=--profiling-funcs build-web/cmake), numbers otherwise.
//   NODE_PATH=build-web/driver/node_modules node tests/web/profile.js [OPTIONS]
// OPTIONS are kaleth-capture's (the whole production by default); TOP=N rows (40); THREADS=N
// draws on N threads (1 unless told: the build without threads).
'use strict';

const { serve, launch, open } = require('./browser.js');

async function main() {
  const args = process.argv.slice(2).join(' ');
  const { server, url } = await serve();
  const browser = await launch();
  try {
    const page = await browser.newPage();
    const session = await page.target().createCDPSession();
    await session.send('Profiler.enable');
    await session.send('Profiler.setSamplingInterval', { interval: 200 });
    await session.send('Profiler.start');
    await page.goto(`${url}?bench&threads=${process.env.THREADS || 1}&args=${encodeURIComponent(args)}`, { waitUntil: 'load' });
    const { code } = await page.evaluate(() => window.kaleth.ended);
    const { profile } = await session.send('Profiler.stop');
    if (code !== 0) throw new Error(`the program ended with code ${code}`);

    const byId = new Map(profile.nodes.map((node) => [node.id, node]));
    const interval = new Map();
    for (let i = 0; i < profile.samples.length; ++i) {
      const id = profile.samples[i];
      interval.set(id, (interval.get(id) || 0) + (profile.timeDeltas[i + 1] || 0));
    }
    const self = new Map();
    let total = 0;
    for (const [id, us] of interval) {
      const frame = byId.get(id).callFrame;
      const name = frame.functionName || `(${frame.url.split('/').pop() || 'anonymous'})`;
      self.set(name, (self.get(name) || 0) + us);
      total += us;
    }
    const rows = [...self].sort((a, b) => b[1] - a[1]).slice(0, Number(process.env.TOP || 40));
    console.log(`total ${(total / 1000).toFixed(0)} ms sampled`);
    for (const [name, us] of rows) {
      console.log(`${(100 * us / total).toFixed(1).padStart(5)} %  ${(us / 1000).toFixed(0).padStart(7)} ms  ${name}`);
    }
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => {
  console.error(`profile-web: ${error.message}`);
  process.exit(1);
});
