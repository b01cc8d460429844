// One automatic design in WebAssembly under node against the native one, in the same run:
// the two builds' design_speed run in turn seven times each, the medians compared. Fails
// when a design at the steady pace takes more than twice the native time; the first
// design of a fresh process (which in WebAssembly includes compiling what it runs) and
// the machine's load are reported beside it, as is the spread of the runs' own ratios.
// Usage: node speed.js NATIVE_DESIGN_SPEED WASM_DESIGN_SPEED
'use strict';
const {execFileSync} = require('child_process');
const os = require('os');
const [native, wasm] = process.argv.slice(2);
const kRuns = 7;
const load = () => os.loadavg().map((l) => l.toFixed(2)).join(' ');
const loadBefore = load();
const runs = {native: [], wasm: []};
for (let i = 0; i < kRuns; ++i) {
  runs.native.push(String(execFileSync(native)).trim().split(' ').map(Number));
  runs.wasm.push(String(execFileSync('node', [wasm])).trim().split(' ').map(Number));
}
const median = (values) => [...values].sort((a, b) => a - b)[(values.length - 1) / 2];
const column = (build, k) => runs[build].map((r) => r[k]);
const [nFirst, nSteady, wFirst, wSteady] = [median(column('native', 0)), median(column('native', 1)),
  median(column('wasm', 0)), median(column('wasm', 1))];
const pairs = runs.wasm.map((r, i) => r[1] / runs.native[i][1]).sort((a, b) => a - b);
const ratio = wSteady / nSteady;
console.log(`one automatic design, medians of ${kRuns} interleaved runs: native ${nSteady.toFixed(3)} us, ` +
  `WebAssembly under node ${wSteady.toFixed(3)} us, ratio ${ratio.toFixed(2)} (single runs ` +
  `${pairs[0].toFixed(2)} to ${pairs[kRuns - 1].toFixed(2)}); the first design of a process: native ` +
  `${nFirst.toFixed(0)} us, WebAssembly ${wFirst.toFixed(0)} us; load average ${loadBefore} before, ${load()} after`);
process.exit(ratio <= 2 ? 0 : 1);
