// One automatic design in WebAssembly under node against the native one, in the same run:
// the two builds' design_speed run in turn five times each, the medians compared. Fails
// when a design at the steady pace takes more than twice the native time; the first
// design of a fresh process (which in WebAssembly includes compiling what it runs) is
// reported beside it.
// Usage: node speed.js NATIVE_DESIGN_SPEED WASM_DESIGN_SPEED
'use strict';
const {execFileSync} = require('child_process');
const [native, wasm] = process.argv.slice(2);
const runs = {native: [], wasm: []};
for (let i = 0; i < 5; ++i) {
  runs.native.push(String(execFileSync(native)).trim().split(' ').map(Number));
  runs.wasm.push(String(execFileSync('node', [wasm])).trim().split(' ').map(Number));
}
const median = (build, k) => runs[build].map((r) => r[k]).sort((a, b) => a - b)[2];
const [nFirst, nSteady, wFirst, wSteady] = [median('native', 0), median('native', 1), median('wasm', 0),
  median('wasm', 1)];
console.log(`one automatic design, medians of 5 interleaved runs: native ${nSteady.toFixed(2)} us, ` +
  `WebAssembly under node ${wSteady.toFixed(2)} us, ratio ${(wSteady / nSteady).toFixed(2)}; ` +
  `the first design of a process: native ${nFirst.toFixed(0)} us, WebAssembly ${wFirst.toFixed(0)} us`);
process.exit(wSteady / nSteady <= 2 ? 0 : 1);
