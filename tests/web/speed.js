// One automatic design in WebAssembly under node against the native one, in the same run
// (each build's design_speed prints microseconds per design, the best of three runs
// counts). Fails above twice the native time.
// Usage: node speed.js NATIVE_DESIGN_SPEED WASM_DESIGN_SPEED
'use strict';
const {execFileSync} = require('child_process');
const [native, wasm] = process.argv.slice(2);
const best = (program, args) => Math.min(...[0, 1, 2].map(() => Number(execFileSync(program, args))));
const n = best(native, []), w = best('node', [wasm]);
console.log(`one automatic design: native ${n.toFixed(1)} us, WebAssembly under node ${w.toFixed(1)} us, ` +
  `ratio ${(w / n).toFixed(2)}`);
process.exit(w / n <= 2 ? 0 : 1);
