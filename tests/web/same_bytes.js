// The WebAssembly vtq-cli prints the same bytes as the native one: a thousand random
// designs through both builds of the command line, then the worked examples, save and
// open through the two real entries (`vtq-cli` and `node vtq-cli.js`).
// Usage: node same_bytes.js NATIVE_RUNS WASM_RUNS NATIVE_CLI WASM_CLI SCRATCH
'use strict';
const {spawnSync} = require('child_process');
const fs = require('fs');
const path = require('path');

const [nativeRuns, wasmRuns, nativeCli, wasmCli, scratch] = process.argv.slice(2);
let failures = 0;
function fail(what) {
  console.error('FAIL: ' + what);
  ++failures;
}

// A small seeded generator, so a failure names a run that can be repeated.
let seed = 20261206;
function random() {
  seed = (seed * 1103515245 + 12345) % 2147483648;
  return seed / 2147483648;
}
const pick = (list) => list[Math.floor(random() * list.length)];
const int = (lo, hi) => lo + Math.floor(random() * (hi - lo + 1));

// Number texts as a user types them, valid and not: the window asks again for the bad ones.
function numberText(typical) {
  switch (int(0, 9)) {
    case 0: return pick(['', 'abc', '-5', '0', '1,5', '1e40', '&H1F', ' 12 ', '.', '1e-30', '99999999']);
    case 1: return String(int(1, 20) / 100);
    case 2: return (typical * (0.1 + random() * 3)).toExponential(int(0, 4));
    default: return String(+(typical * (0.05 + random() * 4)).toFixed(int(0, 4)));
  }
}

function designArgs() {
  const mode = pick(['inductance', 'impedance', 'voltage']);
  const main = {inductance: 2, impedance: 300, voltage: 240}[mode];
  const args = ['--mode', mode, '--main', numberText(main), '--current', numberText(4),
    '--frequency', numberText(10000), '--density', numberText(400),
    '--material', pick(['D', 'P', 'N', 'S', 'R']), '--units', pick(['in', 'mm'])];
  if (random() < 0.3) args.push('--core', String(pick([int(1, 24), int(1, 24), 0, 25, -3])));
  return args;
}

function randomRun(i) {
  const date = `${String(int(1, 12)).padStart(2, '0')}-${String(int(1, 28)).padStart(2, '0')}-${int(1990, 2040)}`;
  switch (i % 10) {
    case 0: case 1: case 2: return ['design', ...designArgs()];
    case 3: case 4: return ['design', ...designArgs(), '--json'];
    case 5: return ['report', ...designArgs(), '--date', date];
    case 6: return ['compare', ...designArgs(), ...pick([[], ['--csv'], ['--json']])];
    case 7: return ['spice', ...designArgs()];
    case 8: return ['save', `d${i}.vtq`, ...designArgs()];
    default: return ['open', `d${i - 1}.vtq`, ...pick([[], ['--json']])];
  }
}

// Each build runs the same lines in a folder of its own; the design files they save
// must match too.
const runs = [['table'], ['--version'], ['--help'], ['design', '--help'], ['nonsense'], ['design', '--bogus'],
  ['open', 'missing.vtq']];
for (let i = 0; i < 1200; ++i) runs.push(randomRun(i));
const input = runs.map((a) => a.join('\t')).join('\n') + '\n';
function runAll(program, folder, viaNode) {
  fs.rmSync(folder, {recursive: true, force: true});
  fs.mkdirSync(folder, {recursive: true});
  const r = viaNode ? spawnSync('node', [program], {cwd: folder, input, maxBuffer: 1 << 30})
                    : spawnSync(program, [], {cwd: folder, input, maxBuffer: 1 << 30});
  if (r.status !== 0) fail(`${program} ended with ${r.status}: ${r.stderr}`);
  return r.stdout.toString('latin1').split(/^(?=== )/m);
}
const native = runAll(nativeRuns, path.join(scratch, 'native'), false);
const wasm = runAll(wasmRuns, path.join(scratch, 'wasm'), true);
if (native.length !== runs.length || wasm.length !== runs.length) fail(`runs: ${native.length}, ${wasm.length}`);
let shown = 0;
for (let i = 0; i < Math.min(native.length, wasm.length); ++i) {
  if (native[i] !== wasm[i] && shown++ < 3) fail(`different output\n--- native\n${native[i]}--- wasm\n${wasm[i]}`);
}
for (const name of fs.readdirSync(path.join(scratch, 'native'))) {
  const a = fs.readFileSync(path.join(scratch, 'native', name));
  const b = fs.readFileSync(path.join(scratch, 'wasm', name));
  if (!a.equals(b)) fail(`saved file ${name} differs`);
}
console.log(`${runs.length} runs compared, ${shown} different`);

// The real entries: the worked examples, a saved file and opening it, a short file.
const entries = [
  ['design', '--main', '1', '--current', '2'],
  ['design', '--mode', 'impedance', '--main', '1000', '--current', '5', '--frequency', '10000', '--json'],
  ['design', '--mode', 'impedance', '--main', '1000', '--current', '10'],
  ['design', '--mode', 'impedance', '--main', '100', '--current', '2', '--core', '12'],
  ['report', '--main', '1', '--current', '2', '--date', '02-29-2024'],
  ['compare', '--mode', 'impedance', '--main', '100', '--current', '2', '--json'],
  ['save', 'example.vtq', '--mode', 'voltage', '--main', '230', '--material', 'S', '--units', 'mm', '--core', '7'],
  ['open', 'example.vtq', '--json'],
  ['open', 'short.vtq'],
  ['design', '--main', 'x'],
  // A user's material fitted where it is loaded: the native and the WebAssembly fit still
  // differ in their last digits, so only the reading of the file is compared here.
  ['material', 'N', '--material-file', 'm.csv', '--csv'],
];
// A relaxation and a damped resonance, 10 kHz to 100 MHz, 8 points a decade.
let material = 'frequency_hz,mu_real,mu_imag\n';
for (let i = 0; i <= 32; ++i) {
  const f = 1e4 * Math.pow(10, i / 8), x = f / 3e6;
  const d = (1 - x * x) * (1 - x * x) + x * x / 4;
  const re = 3000 / (1 + (f / 5e5) ** 2) + 1500 * (1 - x * x) / d;
  const im = 3000 * (f / 5e5) / (1 + (f / 5e5) ** 2) + 1500 * (x / 2) / d;
  material += `${f.toPrecision(6)},${re.toPrecision(6)},${im.toPrecision(6)}\n`;
}
for (const folder of ['native-entry', 'wasm-entry']) {
  fs.rmSync(path.join(scratch, folder), {recursive: true, force: true});
  fs.mkdirSync(path.join(scratch, folder), {recursive: true});
  fs.writeFileSync(path.join(scratch, folder, 'short.vtq'), '"Inductance"\r\n400\r\n');
  fs.writeFileSync(path.join(scratch, folder, 'm.csv'), material);
}
for (const args of entries) {
  const n = spawnSync(nativeCli, args, {cwd: path.join(scratch, 'native-entry')});
  const w = spawnSync('node', [wasmCli, ...args], {cwd: path.join(scratch, 'wasm-entry')});
  if (n.status !== w.status || !n.stdout.equals(w.stdout) || !n.stderr.equals(w.stderr)) {
    fail(`vtq-cli ${args.join(' ')}: native ${n.status}\n${n.stdout}${n.stderr}\nwasm ${w.status}\n${w.stdout}${w.stderr}`);
  }
}
const saved = ['native-entry', 'wasm-entry'].map((f) => fs.readFileSync(path.join(scratch, f, 'example.vtq')));
if (!saved[0].equals(saved[1])) fail('the saved example differs');
// No PDF back end in this build: it says so instead of writing a file.
const pdf = spawnSync('node', [wasmCli, 'table', '--pdf', path.join(scratch, 't.pdf')]);
if (pdf.status !== 1 || !/PDF output needs the desktop program/.test(pdf.stderr)) fail(`table --pdf: ${pdf.stderr}`);
console.log(`${entries.length} runs through the two entries compared`);
process.exit(failures ? 1 : 0);
