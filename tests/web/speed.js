// One automatic design in WebAssembly against the native one, in the same run: the builds'
// design_speed run in turn seven times each, the medians compared. Under node always; in
// headless Chromium too, where the page runs, when the browser build, Debian's chromium and
// puppeteer-core (the page test's, through NODE_PATH) are there. Fails when a design under
// node at the steady pace takes more than twice the native time; the first design of a
// fresh process (which in WebAssembly includes compiling what it runs) and the machine's
// load are reported beside it, as is the spread of the runs' own ratios.
// Usage: node speed.js NATIVE_DESIGN_SPEED WASM_DESIGN_SPEED [BROWSER_DESIGN_SPEED_JS]
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const [native, wasm, web] = process.argv.slice(2);
const kRuns = 7;
// Designs per timed round, the same in every build: a round of about a millisecond, which
// a browser's clock (5 us steps on a cross-origin isolated page) times to half a percent.
const kDesigns = '1000';
const load = () => os.loadavg().map((l) => l.toFixed(2)).join(' ');
const figures = (text) => String(text).trim().split(' ').map(Number);
const median = (values) => [...values].sort((a, b) => a - b)[(values.length - 1) / 2];

// The browser leg, or the reason there is none.
function browserLeg() {
  if (!web || !fs.existsSync(web)) return 'no browser build given';
  if (!fs.existsSync('/usr/bin/chromium')) return 'Chromium is not installed';
  let puppeteer;
  try {
    puppeteer = require('puppeteer-core');
  } catch {
    return 'puppeteer-core is not installed (the page test installs it)';
  }
  return puppeteer;
}

// Serves the browser build with the headers that make the page cross-origin isolated,
// for the finer clock; the page prints design_speed's line into window.figures.
function serve(script) {
  const folder = path.dirname(path.resolve(script)), name = path.basename(script);
  return http.createServer((req, res) => {
    res.setHeader('Cross-Origin-Opener-Policy', 'same-origin');
    res.setHeader('Cross-Origin-Embedder-Policy', 'require-corp');
    const file = new URL(req.url, 'http://x').pathname;
    if (file === '/') {
      res.setHeader('Content-Type', 'text/html');
      return res.end(`<!DOCTYPE html><title>design speed</title><link rel="icon" href="data:,"><script>` +
        `var Module = {arguments: ['${kDesigns}'], print: (t) => { window.figures = t; }};</script>` +
        `<script src="${name}"></script>`);
    }
    fs.readFile(path.join(folder, path.basename(file)), (err, data) => {
      if (err) {
        res.statusCode = 404;
        return res.end();
      }
      res.setHeader('Content-Type', file.endsWith('.wasm') ? 'application/wasm' : 'text/javascript');
      res.end(data);
    });
  });
}

async function main() {
  const loadBefore = load();
  const leg = browserLeg();
  let browser, server, base, version;
  if (typeof leg !== 'string') {
    server = serve(web);
    await new Promise((r) => server.listen(0, '127.0.0.1', r));
    base = `http://127.0.0.1:${server.address().port}/`;
    browser = await leg.launch({executablePath: '/usr/bin/chromium', headless: 'new',
      args: ['--no-sandbox', '--disable-gpu']});
    version = await browser.version();
  }
  const runs = {native: [], wasm: [], web: []};
  for (let i = 0; i < kRuns; ++i) {
    runs.native.push(figures(execFileSync(native, [kDesigns])));
    runs.wasm.push(figures(execFileSync('node', [wasm, kDesigns])));
    if (browser) {
      const page = await browser.newPage();
      await page.goto(base);
      await page.waitForFunction('window.figures', {timeout: 60000});
      runs.web.push(figures(await page.evaluate('window.figures')));
      await page.close();
    }
  }
  if (browser) {
    await browser.close();
    server.close();
  }
  const column = (build, k) => runs[build].map((r) => r[k]);
  const [nFirst, nSteady] = [median(column('native', 0)), median(column('native', 1))];
  const describe = (build) => {
    const steady = median(column(build, 1));
    const pairs = runs[build].map((r, i) => r[1] / runs.native[i][1]).sort((a, b) => a - b);
    return {steady, first: median(column(build, 0)), ratio: steady / nSteady,
      spread: `${pairs[0].toFixed(2)} to ${pairs[kRuns - 1].toFixed(2)}`};
  };
  const node = describe('wasm');
  console.log(`one automatic design, medians of ${kRuns} interleaved runs: native ${nSteady.toFixed(3)} us, ` +
    `WebAssembly under node ${node.steady.toFixed(3)} us, ratio ${node.ratio.toFixed(2)} (single runs ` +
    `${node.spread}); the first design of a process: native ${nFirst.toFixed(0)} us, WebAssembly ` +
    `${node.first.toFixed(0)} us; load average ${loadBefore} before, ${load()} after`);
  if (browser) {
    const page = describe('web');
    console.log(`the same in ${version}, where the page runs: ` +
      `${page.steady.toFixed(3)} us, ratio ${page.ratio.toFixed(2)} (single runs ${page.spread}); ` +
      `the first design of a page: ${page.first.toFixed(0)} us`);
  } else {
    console.log(`no run in Chromium: ${leg}`);
  }
  process.exit(node.ratio <= 2 ? 0 : 1);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
