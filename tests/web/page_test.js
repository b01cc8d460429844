// The web page in Debian's headless Chromium, used as a new user would: the disclaimer, a
// worked example typed in, a prompt answered, mode, material and unit switches, a core
// pick, Save and Open, the print pages, help and Exit. Every figure the page shows is
// checked against the native vtq-cli. Also times the page to its first design next to a
// blank page, and keeps a screenshot. Then as a keyboard and screen-reader user (axe-core
// in each state), on a phone, zoomed in, offline, and the bytes a first visit moves.
// Usage: node page_test.js WEB_FOLDER NATIVE_CLI SCRATCH
'use strict';
const {execFileSync, spawnSync} = require('child_process');
const fs = require('fs');
const http = require('http');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [site, cli, scratch] = process.argv.slice(2).map((a) => path.resolve(a));
fs.mkdirSync(scratch, {recursive: true});
const downloads = path.join(scratch, 'downloads');
fs.rmSync(downloads, {recursive: true, force: true});
fs.mkdirSync(downloads);
let failures = 0;
function check(ok, what) {
  if (!ok) {
    console.error('FAIL: ' + what);
    ++failures;
  }
}
const vtq = (...args) => spawnSync(cli, args, {cwd: scratch, encoding: 'utf8'});
const outputsOf = (...args) => JSON.parse(execFileSync(cli, ['design', ...args, '--json'], {encoding: 'utf8'})).outputs;

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
  '.svg': 'image/svg+xml', '.woff2': 'font/woff2', '.png': 'image/png', '.webmanifest': 'application/manifest+json'};
// A plain static server, as Python's: Last-Modified, and 304 to a request that has it. It
// counts the bytes of the bodies it sends. With `nextVersion` it serves an update: a
// service worker of other bytes, under a cache name of its own.
let served = 0, nextVersion = false;
const server = http.createServer((req, res) => {
  const file = path.join(site, decodeURIComponent(new URL(req.url, 'http://x').pathname));
  if (req.url === '/blank.html') return res.end('<!DOCTYPE html><title>blank</title><link rel="icon" href="data:,">');
  const name = file.endsWith('/') ? file + 'index.html' : file;
  fs.readFile(name, (err, data) => {
    if (err) {
      res.statusCode = 404;
      return res.end();
    }
    const next = nextVersion && name.endsWith('vtq-sw.js');
    if (next) data = Buffer.from(String(data).replace(/const CACHE = '[^']*'/, "const CACHE = 'vtq-next'"));
    const modified = next ? new Date().toUTCString() : fs.statSync(name).mtime.toUTCString();
    res.setHeader('Last-Modified', modified);
    if (req.headers['if-modified-since'] === modified) {
      res.statusCode = 304;
      return res.end();
    }
    res.setHeader('Content-Type', types[path.extname(file)] || 'application/octet-stream');
    served += data.length;
    res.end(data);
  });
});

async function main() {
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  const base = `http://127.0.0.1:${server.address().port}/`;
  const browser = await puppeteer.launch({executablePath: '/usr/bin/chromium', headless: 'new', protocolTimeout: 30000,
    args: ['--no-sandbox', '--disable-gpu', '--autoplay-policy=no-user-gesture-required']});
  try {
    const page = await browser.newPage();
    page.setDefaultTimeout(30000);
    // The page's own errors, for a failure's diagnosis.
    page.on('console', (m) => m.type() === 'error' && console.log('page: ' + m.text()));
    page.on('pageerror', (e) => check(false, 'page script error: ' + e.message + ' ' + (e.stack || '').split('\n').slice(0, 6).join(' | ')));
    await page.setViewport({width: 760, height: 560});
    // The print dialog is the browser's own; the test reads the page it was given instead.
    await page.evaluateOnNewDocument(() => (window.print = () => {}));
    // So is the save dialog: without it the page downloads under the name it would offer.
    await page.evaluateOnNewDocument(() => delete window.showSaveFilePicker);
    const cdp = await page.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});

    const dialog = async () => {
      await page.waitForSelector('#dialog[open]');
      return page.evaluate(() => ({title: dialogTitle.textContent, text: dialogText.textContent,
        input: !dialogInput.hidden}));
    };
    // Opens the page and dismisses the disclaimer; the page's own clock (from the start of
    // navigation) gives when the disclaimer showed and how long the first design took after OK.
    const open = async () => {
      await page.goto(base + 'index.html?date=02-29-2024');
      const disclaimer = await dialog();
      check(disclaimer.title === '***  KESTRALON Disclaimer  ***', 'disclaimer title: ' + disclaimer.title);
      await page.click('#dialogOk');
      await page.waitForFunction(() => vtqTimes.firstDesign);
      return page.evaluate(() => [vtqTimes.firstDialog, vtqTimes.firstDesign - vtqTimes.answered]);
    };
    // Load times, interleaved with a blank page's from the same server: the first load
    // compiles the module, the later ones find it in the browser's code cache.
    const blank = [], ready = [], first = [];
    for (let i = 0; i < 3; ++i) {
      await page.goto(base + 'blank.html');
      blank.push(await page.evaluate(() => performance.getEntriesByType('navigation')[0].loadEventEnd));
      const [r, d] = await open();
      ready.push(r);
      first.push(d);
    }
    check(await page.evaluate(() => document.activeElement.id) === 'CalculateButton', 'focus after the disclaimer');
    // The keyboard order is the document's, as the model orders the controls.
    const order = await page.evaluate(() => [JSON.parse(module.layout()).tabOrder,
      [...document.querySelectorAll('#client [id]')].map((e) => e.id), document.querySelectorAll('[tabindex]').length,
      document.querySelectorAll('[tabindex="0"], [tabindex^="-"]').length]);
    check(order[1].filter((id) => order[0].includes(id)).join() === order[0].join() && order[2] === order[3],
      'keyboard order: ' + order[1]);
    const axeSource = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
    const axeStates = [];
    const axe = async (state, on = page) => {
      await on.evaluate(axeSource);
      const {violations} = await on.evaluate(() => window.axe.run(document, {resultTypes: ['violations']}));
      axeStates.push(state);
      for (const v of violations) check(false, `axe-core, ${state}: ${v.id} at ${v.nodes.map((n) => n.target).join(' ')}`);
    };
    await axe('design window');
    const ms = (xs) => xs.map((x) => x.toFixed(0)).join(', ') + ' ms';
    console.log(`page loads in headless Chromium: blank page ${ms(blank)}; VTQ page to its disclaimer ${ms(ready)}, ` +
      `and the first design shown ${ms(first)} after the disclaimer's OK`);
    // First visits: each in a profile of its own (no code cache, no compiled module kept),
    // a blank page's first visit before each as the baseline.
    const firstVisits = {blank: [], vtq: []};
    for (let i = 0; i < 3; ++i) {
      for (const which of ['blank', 'vtq']) {
        const context = await browser.createIncognitoBrowserContext();
        const fresh = await context.newPage();
        if (which === 'blank') {
          await fresh.goto(base + 'blank.html');
          firstVisits.blank.push(await fresh.evaluate(() => performance.getEntriesByType('navigation')[0].loadEventEnd));
        } else {
          await fresh.goto(base + 'index.html?date=02-29-2024');
          await fresh.waitForSelector('#dialog[open]');
          await fresh.click('#dialogOk');
          await fresh.waitForFunction(() => vtqTimes.firstDesign);
          firstVisits.vtq.push(await fresh.evaluate(() => vtqTimes.firstDialog + vtqTimes.firstDesign - vtqTimes.answered));
        }
        await context.close();
      }
    }
    console.log(`first visits in a new profile: blank page ${ms(firstVisits.blank)}; VTQ page to its first design ` +
      `shown (the disclaimer's time and the design's after its OK) ${ms(firstVisits.vtq)}`);

    // Dismisses the message boxes a command shows (a wire made thinner, a core not offered).
    const settle = async () => {
      await new Promise((r) => setTimeout(r, 200));
      while (await page.$('#dialog[open]')) {
        await page.click('#dialogOk');
        await new Promise((r) => setTimeout(r, 200));
      }
    };
    const outputs = () => page.evaluate(() => {
      const o = {};
      for (const box of document.querySelectorAll('input.output')) o[box.id] = box.value;
      o.IndLabel = document.getElementById('IndLabel').textContent;
      return o;
    });
    const same = async (what, ...args) => {
      const got = await outputs(), want = outputsOf(...args);
      for (const [name, text] of Object.entries(want)) check(got[name] === text, `${what}: ${name} '${got[name]}' != '${text}'`);
    };
    await same('start-up design');
    const pictures = await page.evaluate(() => [imgvtq, imgKstIcon].map((i) => i.complete && i.naturalWidth));
    check(pictures.join() === '153,32', 'the toroid and the logo at their drawn sizes: ' + pictures);
    // The start-up window, to set beside the desktop window's screenshot.
    await page.screenshot({path: path.join(scratch, 'vtq-page.png')});

    // A menu command as a user gives it: the menu opened, then each entry clicked in turn.
    const menu = async (...path) => {
      for (const name of path) await page.click('#' + name);
    };
    const downloaded = async (name) => {
      const file = path.join(downloads, name);
      // Chromium may reserve the final name with an empty file while the bytes still go to a
      // .crdownload beside it: the download is done when that is gone and the file has bytes.
      const done = () => fs.existsSync(file) && fs.statSync(file).size > 0 &&
        !fs.readdirSync(downloads).some((f) => f.endsWith('.crdownload'));
      for (let i = 0; i < 200 && !done(); ++i) await new Promise((r) => setTimeout(r, 100));
      return fs.existsSync(file) ? fs.readFileSync(file) : null;
    };
    const type = async (box, text) => {
      await page.click('#' + box, {clickCount: 3});
      await page.keyboard.press('Backspace');
      await page.type('#' + box, text);
    };
    // Worked example: inductance mode, 1 mH at 2 A, Enter in a box calculates.
    await type('MainInput', '1');
    await type('Current', '2');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => document.getElementById('txtPN').value === 'QN-80111-KX');
    await same('worked example', '--main', '1', '--current', '2');

    // A prompt: not a number, asked again until it is.
    await type('MainInput', 'abc');
    await page.click('#CalculateButton');
    const prompt = await dialog();
    await axe('a prompt');
    check(prompt.input && /numeric/.test(prompt.text), 'prompt: ' + JSON.stringify(prompt));
    for (const answer of ['x1', '2']) {
      await page.evaluate((a) => (dialogInput.value = a), answer);
      await page.click('#dialogOk');
      if (answer === 'x1') check((await dialog()).text === prompt.text, 'prompt not asked again after x1');
    }
    await page.waitForFunction(() => !document.getElementById('dialog').open &&
      document.getElementById('MainInput').value === '2');

    // Mode, material and units, then a core from the list.
    for (const option of ['#ImpedanceInput', '#Smat', '#Metric']) {
      await page.click(option);
      await settle();
    }
    const texts = await page.evaluate(() => ['MainInput', 'Current', 'SecondInput', 'txtCD'].map((id) =>
      document.getElementById(id).value));
    const design = ['--mode', 'impedance', '--material', 'S', '--units', 'mm', '--main', texts[0], '--current',
      texts[1], '--frequency', texts[2], '--density', texts[3]];
    await same('impedance, S, metric', ...design);
    await page.click('#cmdSelCore');
    await page.waitForSelector('#lstCores:not([hidden])');
    const entry = await page.evaluate(() => document.getElementById('lstCores').options[2].text);
    await page.evaluate(() => {
      const list = document.getElementById('lstCores');
      list.selectedIndex = 2;
      list.dispatchEvent(new MouseEvent('click', {bubbles: true}));
    });
    await settle();
    const picked = await page.evaluate(() => document.getElementById('txtPN').value);
    check(picked !== '' && entry.includes(picked.replace(/^\(\dx\) /, '')), `core pick: ${entry} -> ${picked}`);

    // Save writes what vtq-cli save writes for the same design, under its part number.
    await type('MainInput', '150');
    await page.keyboard.press('Enter');
    const pn = await page.evaluate(() => document.getElementById('txtPN').value);
    const savedName = pn.replace(/^\(\dx\) /, '') + '.vtq';
    await menu('FileMnu', 'SaveDesignMnu');
    const saved = await downloaded(savedName);
    vtq('save', 'expected.vtq', ...design.map((a) => (a === texts[0] ? '150' : a)));
    check(saved && saved.equals(fs.readFileSync(path.join(scratch, 'expected.vtq'))),
      'saved bytes differ from vtq-cli save');
    // The MAS export, under the part number's name, as vtq-cli export --mas writes it.
    await menu('FileMnu', 'ExportMasMnu');
    const mas = await downloaded(pn + '.json');
    const want = vtq('export', '--mas', ...design.map((a) => (a === texts[0] ? '150' : a))).stdout;
    check(mas && mas.toString('utf8') === want, 'MAS export differs from vtq-cli export --mas');

    // Open applies a file as vtq-cli open does; a short file is refused with a message.
    vtq('save', 'other.vtq', '--mode', 'voltage', '--main', '230', '--material', 'P', '--core', '9');
    // Open on a fresh page, as vtq-cli open starts from the start-up design.
    await page.goto(base + 'index.html?date=02-29-2024');
    await dialog();
    await page.click('#dialogOk');
    await page.waitForFunction(() => document.getElementById('txtPN').value !== '');
    await (await page.$('#openFile')).uploadFile(path.join(scratch, 'other.vtq'));
    await settle();
    await page.waitForFunction(() => /^Opened/.test(document.getElementById('status').textContent));
    check(await page.evaluate(() => document.getElementById('status').textContent) === 'Opened other.vtq', 'open status');
    const opened = JSON.parse(vtq('open', 'other.vtq', '--json').stdout).outputs;
    const got = await outputs();
    for (const [name, text] of Object.entries(opened)) check(got[name] === text, `open: ${name}`);
    fs.writeFileSync(path.join(scratch, 'short.vtq'), '"Voltage"\r\n400\r\n');
    await (await page.$('#openFile')).uploadFile(path.join(scratch, 'short.vtq'));
    await page.waitForFunction(() => /^Opened short.vtq only in part/.test(document.getElementById('status').textContent));

    // The print pages: the design report (dated by the page's parameter) and the table.
    await page.click('#PrintButton');
    await page.waitForFunction(() => window.vtqPrinted);
    const printed = await page.evaluate(() => window.vtqPrinted);
    const report = vtq('report', '--date', '02-29-2024', '--mode', 'voltage', '--main', '230', '--material', 'P',
      '--core', '9').stdout;
    fs.writeFileSync(path.join(scratch, 'report-page.txt'), printed, 'latin1');
    check(printed === report, 'design report page (report-page.txt)');
    await page.evaluate(() => (window.vtqPrinted = undefined));
    await menu('FileMnu', 'PrintMnu', 'TableMnu');
    await page.waitForFunction(() => window.vtqPrinted);
    const table = await page.evaluate(() => window.vtqPrinted);
    check(table === vtq('table').stdout, 'table of cores page');

    // The analysis windows over the opened design (core 9 of P at 230 V): the plot and its
    // values, the SPICE model, the core table and a core applied from it.
    const opened9 = ['--mode', 'voltage', '--main', '230', '--material', 'P', '--core', '9'];
    await menu('mnuView', 'mnuImpedance');
    await page.waitForSelector('#impedancePanel:not([hidden]) svg');
    const plot = await page.evaluate(() => [document.querySelectorAll('#impedancePanel path').length,
      document.querySelector('#impedancePanel .heading').textContent,
      document.querySelectorAll('#impedancePanel .lossPlot path').length]);
    check(plot[0] === 11 && /^Impedance of /.test(plot[1]) && plot[2] === 4, 'impedance plot: ' + plot);
    await page.screenshot({path: path.join(scratch, 'vtq-plot.png')});
    // The core temperature reaches the caption, as vtq-cli impedance --temperature says it.
    await page.$eval('#ImpedanceTemperature', (box) => {
      box.value = '100';
      box.dispatchEvent(new Event('change'));
    });
    const hot = await page.evaluate(() => document.querySelector('#impedancePanel .plotCaption').textContent);
    check(hot.includes('at 100 \u00b0C'), 'temperature: ' + hot);
    await page.$eval('#ImpedanceTemperature', (box) => {
      box.value = '25';
      box.dispatchEvent(new Event('change'));
    });
    await page.select('#plotFormat', 'csv');
    await page.click('#ImpedanceSave');
    const csv = await downloaded('impedance.csv');
    check(csv && csv.toString() === vtq('impedance', '--csv', ...opened9).stdout, 'plot values differ from vtq-cli');
    await page.select('#plotFormat', 'svg');
    await page.click('#ImpedanceSave');
    check(/^<svg[^]*<\/svg>$/.test(String(await downloaded('impedance.svg'))), 'plot picture: ' + String(await downloaded('impedance.svg')).slice(0, 80));
    const spice = vtq('spice', ...opened9).stdout;
    await menu('FileMnu', 'ExportSpiceMnu');
    const lib = await downloaded(/^\.subckt (\S+)/im.exec(spice)[1] + '.lib');
    check(lib && lib.toString() === spice, 'SPICE model differs from vtq-cli spice');
    // Measured Material...: another grade's curve read from a file, as vtq-cli --material-file reads it.
    const materialCsv = path.join(scratch, 'grade-D.csv');
    fs.writeFileSync(materialCsv, vtq('material', 'D', '--csv').stdout);
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('#ImpedanceMaterial')]);
    await chooser.accept([materialCsv]);
    await page.waitForFunction(() => /takes the permeability of/.test(document.getElementById('status').textContent));
    const measured = await page.evaluate(() => document.querySelector('#impedancePanel .plotCaption').textContent);
    check(vtq('impedance', '--material-file', materialCsv, ...opened9).stdout.includes('\n' + measured + '\n'),
      'measured material: ' + measured);
    // Measured Choke...: an S-parameter file beside the model brings the ratio panel; Remove takes it away.
    const s4p = path.join(scratch, 'choke.s4p');
    fs.writeFileSync(s4p, vtq('touchstone', ...opened9).stdout);
    const [measuredChooser] = await Promise.all([page.waitForFileChooser(), page.click('#ImpedanceMeasured')]);
    await measuredChooser.accept([s4p]);
    await page.waitForFunction(() => /shows the measured choke/.test(document.getElementById('status').textContent));
    check(await page.evaluate(() => !!document.querySelector('#impedancePanel .ratioPlot svg')), 'no ratio panel');
    await page.click('#ImpedanceRemoveMeasured');
    await page.waitForFunction(() => !document.querySelector('#impedancePanel .ratioPlot svg') &&
      document.getElementById('ImpedanceRemoveMeasured').disabled);
    await menu('mnuView', 'ViewMnu');
    await page.waitForSelector('#coreTablePanel:not([hidden]) tbody tr');
    const parts = await page.evaluate(() => [...document.querySelectorAll('#coreTablePanel tbody tr')].map((tr) =>
      tr.cells[0].textContent.replace(/ +\(automatic\)$/, '')));
    const compared = JSON.parse(vtq('compare', '--json', ...opened9.slice(0, 6)).stdout).rows;
    check(JSON.stringify(parts) === JSON.stringify(compared.map((r) => r.part.text)), 'core table: ' + parts);
    await page.click('#coreTablePanel tbody tr:nth-child(3) td', {clickCount: 2});
    await settle();
    check(await page.evaluate(() => document.getElementById('txtPN').value) === compared[2].part.text,
      'core applied from the table');
    check(await page.evaluate(() => document.querySelector('#impedancePanel .heading').textContent) !== plot[1],
      'the plot did not follow the applied core');
    for (const panel of ['#coreTablePanel', '#impedancePanel']) await page.click(panel + ' .panelClose');

    // View > Conducted Emissions over the applied design: its values are the command line's
    // with the same entries, a bad entry is said, and Find Core applies the core it names.
    await menu('mnuView', 'mnuEmissions');
    await page.waitForSelector('#emissionsPanel:not([hidden]) svg');
    await page.screenshot({path: path.join(scratch, 'vtq-emissions.png')});
    const typed = await page.evaluate(() => emissionsEntry());
    const bench = ['--standard', typed.standard, '--lisn', typed.network, '--swing', typed.swing, '--fsw',
      typed.frequency, '--duty', typed.duty, '--rise', typed.rise, '--cp', typed.parasitic, '--ripple', typed.ripple,
      '--ripple-shape', typed.rippleShape, '--cy', typed.cy, '--cx', typed.cx, '--margin', typed.margin];
    const applied = [...opened9.slice(0, 6), '--core', String(compared[2].row)];
    await page.select('#emissionsFormat', 'csv');
    await page.click('#EmissionsSave');
    const emissionsCsv = await downloaded('emissions.csv');
    check(emissionsCsv && emissionsCsv.toString() === vtq('emissions', '--csv', ...applied, ...bench).stdout,
      'emission values differ from vtq-cli');
    await page.click('#Emissions_swing', {clickCount: 3});
    await page.keyboard.type('3x5');
    check(/^Switched voltage: '3x5'/.test(await page.evaluate(() => $('emissionsProblem').textContent)),
      'a bad entry is not said');
    await page.click('#Emissions_swing', {clickCount: 3});
    await page.keyboard.type(typed.swing);
    const typedMain = await page.evaluate(() => document.getElementById('MainInput').value);
    await page.click('#EmissionsFindCore');
    await settle();
    check(await page.evaluate(() => document.getElementById('MainInput').value) === typedMain,
      'Find Core changed the inputs');
    await page.click('#EmissionsApplyCore');
    await settle();
    const found = JSON.parse(vtq('emissions', '--json', '--find-core', ...applied, ...bench).stdout);
    check(await page.evaluate(() => document.getElementById('txtPN').value) === found.search.winner.part,
      'Find Core: ' + JSON.stringify(found.search && found.search.winner));
    await page.click('#emissionsPanel .panelClose');

    // View > Core Library: the rings the command line lists, searched as typed; Enter on a
    // ring designs on it, with the same figures as design --ring for the window's inputs.
    await menu('mnuView', 'mnuLibrary');
    await page.waitForSelector('#libraryPanel:not([hidden]) #libraryList tbody tr');
    const listed = JSON.parse(vtq('library', '--json').stdout);
    const rings = await page.evaluate(() => document.querySelectorAll('#libraryList tbody tr').length);
    check(rings === (listed.rings || listed).length, 'library rows: ' + rings);
    await page.type('#Library_search', 'b64290l0618x830');
    await page.waitForFunction(() => document.querySelectorAll('#libraryList tbody tr').length === 1);
    await page.focus('#libraryList tbody tr');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => /B64290L0618X830/.test(document.getElementById('libraryDesign').textContent));
    const ringTurns = await page.evaluate(() => [...document.querySelectorAll('#librarySteps tr')]
      .find((tr) => /^Turns/.test(tr.cells[0].textContent)).cells[1].textContent);
    const typedNow = await page.evaluate(() => ['MainInput', 'Current', 'txtCD'].map((id) => $(id).value));
    const ring = JSON.parse(vtq('design', '--json', '--mode', 'inductance', '--main', typedNow[0], '--current',
      typedNow[1], '--density', typedNow[2], '--material', 'P', '--ring', 'B64290L0618X830').stdout);
    check(ringTurns === String(ring.turns), `ring turns ${ringTurns} against ${ring.turns}`);
    await page.click('#LibraryUnpick');
    await page.click('#libraryPanel .panelClose');

    // View > Safety: the mains typed, the gaps on the window's core as vtq-cli safety gives them.
    await menu('mnuView', 'mnuSafety');
    await page.waitForSelector('#safetyPanel:not([hidden]) #Safety_mainsVoltage');
    await page.type('#Safety_mainsVoltage', '230');
    await page.waitForFunction(() => document.querySelectorAll('#safetyGaps tbody tr').length === 2);
    const safetyLines = await page.evaluate(() => document.getElementById('safetyLines').textContent);
    const safetyCli = vtq('safety', '--mode', 'inductance', '--main', typedNow[0], '--current', typedNow[1],
      '--density', typedNow[2], '--material', 'P', '--mains-voltage', '230').stdout;
    check(safetyLines + '\n' === safetyCli, 'safety lines: ' + safetyLines);
    await page.click('#safetyPanel .panelClose');
    const unknown = await page.evaluate(() => JSON.parse(session.click('NoSuchCommand')).FileStatus);
    check(unknown === "Internal error: the page has no command named 'NoSuchCommand'", 'unknown command: ' + unknown);

    // File > Recent Designs on a later visit: the files saved and opened above, newest first
    // (not the short one, which was refused), an entry opened as Open does.
    await page.goto(base + 'index.html?date=02-29-2024');
    await dialog();
    await page.click('#dialogOk');
    await page.waitForFunction(() => document.getElementById('txtPN').value !== '');
    await menu('FileMnu', 'mnuRecent');
    const recent = await page.evaluate(() => [...document.querySelectorAll('#mnuRecent .item')].map((e) =>
      e.textContent));
    check(recent.join() === `1 other.vtq,2 ${savedName}`, 'recent designs: ' + recent);
    await page.click('#mnuRecent1');
    await settle();
    const reopened = await outputs();
    for (const [name, text] of Object.entries(opened)) check(reopened[name] === text, `recent design: ${name}`);
    check(await page.evaluate(() => document.getElementById('status').textContent) === 'Opened other.vtq',
      'recent design status');

    // Keyboard only: each menu opened with Alt and its letter, walked round with the arrows and
    // closed with Escape; F10 and the arrows across the bar, an entry fired by its letter, a
    // submenu from the keyboard and by a click; the views and the core list.
    const focused = () => page.evaluate(() => document.activeElement.id || document.activeElement.dataset.row);
    const keys = async (...list) => {
      for (const key of list) {
        if (key.startsWith('Alt+')) await page.keyboard.down('Alt');
        await page.keyboard.press(key.replace('Alt+', ''));
        await page.keyboard.up('Alt');
      }
    };
    let walked = 0;
    await page.focus('#CalculateButton');
    for (const [bar, key, first] of [['FileMnu', 'f', 'LoadMnu'], ['EditMnu', 'e', 'CopyResultsMnu'],
      ['mnuView', 'v', 'ViewMnu'], ['HelpMnu', 'h', 'mnuContents']]) {
      await keys('Alt+' + key);
      check(await focused() === first, `Alt+${key}: ${await focused()}`);
      await axe(`${bar} open`);
      const entries = await page.evaluate((b) => menusOf(boxOf($(b))).map((e) => e.id), bar);
      const visited = [];
      for (const _ of entries) visited.push(await keys('ArrowDown').then(focused));
      walked += entries.length;
      check(visited.join() === [...entries.slice(1), first].join(), `${bar}: the arrows went ${visited}`);
      await keys('Escape', 'Escape');  // the menu, then the bar
      check(await focused() === 'CalculateButton', `${bar}: Escape did not leave the menu bar`);
    }
    await keys('F10', 'ArrowRight', 'ArrowRight', 'ArrowDown');
    check(await focused() === 'ViewMnu', 'F10 and the arrows: ' + await focused());
    await keys('i');
    await page.waitForSelector('#impedancePanel:not([hidden]) svg');
    await axe('impedance plot');
    await keys('Escape');
    check(await page.evaluate(() => impedancePanel.hidden) && await focused() === 'CalculateButton',
      'Escape closes the plot');
    await keys('Alt+f', 'p');
    check(await focused() === 'DesignMnu', 'Print submenu from the keyboard: ' + await focused());
    await keys('ArrowLeft', 'Escape', 'Escape');
    await menu('FileMnu', 'PrintMnu');
    check(await page.$eval('#DesignMnu', (e) => e.offsetParent !== null), 'Print submenu by a click');
    await page.click('#FileMnu');
    // The core table: sorted from a heading's button, a core applied with Enter on its row.
    await keys('Alt+v', 't');
    await page.waitForSelector('#coreTablePanel:not([hidden]) tbody tr');
    await axe('core table');
    await keys('Tab', 'Tab', 'Enter');
    const sorted = await page.$$eval('#coreTablePanel tbody tr', (rows) => rows.map((r) => r.cells[0].textContent));
    check(await page.$eval('#coreTablePanel th', (th) => th.getAttribute('aria-sort')) === 'ascending' &&
      sorted.join() === [...sorted].sort((a, b) => a.localeCompare(b)).join(), 'the table sorted from the keyboard');
    // Past the other headings' buttons to the rows, one stop.
    for (let i = await page.$$eval('#coreTablePanel th', (th) => th.length); i > 0; --i) await keys('Tab');
    await keys('ArrowDown', 'ArrowDown');
    const row = await focused();
    await keys('Enter');
    await settle();
    const part = await page.$eval(`#coreTablePanel tr[data-row="${row}"]`, (r) => r.cells[0].textContent);
    check(part.replace(/ +\(automatic\)$/, '') === await page.$eval('#txtPN', (e) => e.value) && await focused() === row,
      `Enter on a row: ${part}`);
    await keys('Escape');
    await page.click('#cmdSelCore');
    await page.waitForSelector('#lstCores:not([hidden])');
    check(await focused() === 'lstCores', 'the core list has the keyboard');
    await axe('core list');
    await keys('Escape');
    check(await page.$eval('#lstCores', (l) => l.hidden) && await focused() === 'cmdSelCore',
      'Escape closes the core list: ' + await focused());
    // A pick the model answers with a message box: once it is answered, the keyboard is back
    // on the button that opened the list, not on the page.
    await type('Current', '30');
    await page.click('#cmdSelCore');
    await page.waitForSelector('#lstCores:not([hidden])');
    await keys('Home', 'Enter');  // the smallest core: too small for 30 A of wire
    check(/too large for selected core/.test((await dialog()).text), 'the pick showed no message box');
    await keys('Enter');
    // The dialog's close hands the keyboard back first to where it was (the list, hidden now),
    // and the model's answer moves it on one task later: the check waits for that answer.
    await page.waitForFunction(() => !$('dialog').open && document.activeElement.id === 'cmdSelCore',
      {timeout: 5000}).catch(() => {});
    check(await focused() === 'cmdSelCore', 'after a pick and its message box: ' + await focused());
    console.log(`keyboard: 4 menus by Alt+letter, ${walked} entries by arrows, F10, a submenu, plot, table, list`);

    // Help opens the help pages; About shows its box; Exit closes the design and says so.
    const helpOpened = browser.waitForTarget((t) => t.url().endsWith('help/contents.html'), {timeout: 20000});
    await page.keyboard.press('F1');
    const help = await helpOpened.then((t) => t.page(), () => null);
    check(help !== null, 'help contents did not open');
    // A page in a background tab draws no frames, and clicks wait for one: the help tab
    // is closed again, as a user would, before the design window is used on.
    if (help) {
      // The tab is found as soon as it navigates; its title comes with the page's load.
      await help.waitForFunction(() => /Contents/.test(document.title), {timeout: 20000}).catch(() => {});
      check(/Contents/.test(await help.title()), 'help contents title');
      for (const name of fs.readdirSync(path.join(site, 'help'))) {
        await help.goto(base + 'help/' + name);
        await axe('help/' + name, help);
      }
      await help.close();
    }
    await page.bringToFront();
    await menu('HelpMnu', 'AboutMnu');
    check((await dialog()).title.length > 0, 'about box');
    await page.click('#dialogOk');
    await page.click('#ExitButton');
    await page.waitForSelector('#closed:not([hidden])');
    check(/closed/.test(await page.evaluate(() => document.getElementById('closed').textContent)), 'closed text');
    console.log(`axe-core ${require('axe-core/package.json').version}: ${failures ? 'see above' : 'no violations'} ` +
      `in ${axeStates.length} states (${axeStates.join(', ')})`);
    await others(browser, base);
  } finally {
    await browser.close();
    if (server.listening) server.close();
  }
}

// A phone, a desktop at 200 %, a visit's bytes, installability and an offline reload, each
// on a new page of its own.
async function others(browser, base) {
  const fresh = async (viewport) => {
    const page = await browser.newPage();
    await page.setViewport(viewport);
    await page.goto(base + 'index.html');
    await page.waitForSelector('#dialog[open]');
    return page;
  };
  const phone = await fresh({width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 3});
  await phone.tap('#dialogOk');
  await phone.waitForFunction(() => $('txtPN').value !== '');
  await phone.screenshot({path: path.join(scratch, 'phone.png'), fullPage: true});
  // What the eye sees: each shown text's font size times the zoom it is drawn at, every
  // box's place on the screen, and the window's parts apart (but the logo on the toroid and
  // the button under the list it opens); with the Print submenu tapped open, then the list.
  for (const [taps, opened] of [[['#FileMnu', '#PrintMnu'], 'DesignMnu'], [['#cmdSelCore'], 'lstCores']]) {
    for (const id of taps) await phone.tap(id);
    const seen = await phone.evaluate((opened) => {
      const shown = [...$('window').querySelectorAll('*')].filter((el) => el.getClientRects().length);
      const texts = shown.filter((el) => el.tagName === 'INPUT' ||
        [...el.childNodes].some((n) => n.nodeType === Node.TEXT_NODE && n.data.trim()));
      const rects = shown.map((el) => el.getBoundingClientRect());
      const under = ['imgKstIcon', $('lstCores').hidden ? '' : 'cmdSelCore'];
      const parts = [...$('client').children].filter((el) => shown.includes(el) && !under.includes(el.id))
        .map((el) => [el.id, el.getBoundingClientRect()]);
      return {scale: $('window').currentCSSZoom, width: $('window').getBoundingClientRect().width,
        text: Math.min(...texts.map((el) => parseFloat(getComputedStyle(el).fontSize) * el.currentCSSZoom)),
        left: Math.min(...rects.map((r) => r.left)), right: Math.max(...rects.map((r) => r.right)),
        overlaps: parts.flatMap(([a, p], i) => parts.slice(i + 1).filter(([, q]) => p.left < q.right &&
          q.left < p.right && p.top < q.bottom && q.top < p.bottom).map(([b]) => a + '/' + b)),
        tapped: $(opened).offsetParent !== null};
    }, opened);
    check(seen.text >= 12 && seen.left >= 0 && seen.right <= 390 && !seen.overlaps.length && seen.tapped,
      `phone, ${opened} tapped open: ${JSON.stringify(seen)}`);
    console.log(`phone 390 x 844, ${opened} tapped open: the window folded, scaled by ${seen.scale.toFixed(3)} to ` +
      `${seen.width.toFixed(0)} px wide, its smallest text ${seen.text.toFixed(2)} px on the screen`);
  }
  // Installable: the browser's own verdict (a new profile would be a private one, never installable).
  const {installabilityErrors} = await (await phone.target().createCDPSession()).send('Page.getInstallabilityErrors');
  check(installabilityErrors.length === 0, 'installable: ' + JSON.stringify(installabilityErrors));
  await panelsFit(phone, 390, 'phone');
  await phone.close();
  const tablet = await fresh({width: 600, height: 960, isMobile: true, hasTouch: true, deviceScaleFactor: 2});
  await tablet.tap('#dialogOk');
  await panelsFit(tablet, 600, 'tablet');
  await tablet.close();
  // 200 % on a 1280 x 900 desktop (640 x 450 page pixels), and a 390 px window with a mouse:
  // the window at full size, scrolled rather than shrunk, its left edge and its right one
  // both within reach of the scroll bar.
  for (const [width, height, deviceScaleFactor] of [[640, 450, 2], [390, 700, 1]]) {
    const zoomed = await fresh({width, height, deviceScaleFactor});
    for (const id of ['#dialogOk', '#mnuView', '#ViewMnu']) await zoomed.click(id);
    const scrolls = await zoomed.evaluate(() => {
      const edges = () => [...document.querySelectorAll('#window, #window .frame')].map((e) => e.getBoundingClientRect());
      scrollTo(0, 0);
      const left = Math.min(...edges().map((r) => r.left));
      scrollTo(document.documentElement.scrollWidth, 0);
      const right = Math.max(...edges().map((r) => r.right));
      return {zoom: $('window').style.zoom, width: document.documentElement.scrollWidth, left,
        right: right - document.documentElement.clientWidth, table: !coreTablePanel.hidden};
    });
    check(scrolls.zoom === '' && scrolls.width > width && scrolls.left >= 0 && scrolls.right <= 0 && scrolls.table,
      `a ${width} px window at ${deviceScaleFactor * 100} %: ${JSON.stringify(scrolls)}`);
    console.log(`a ${width} px window at ${deviceScaleFactor * 100} %: the window at full size, the page ` +
      `${scrolls.width} px wide scrolled in ${width}, its left edge at ${scrolls.left} px when scrolled to the start`);
    if (width === 640) {
      await zoomed.goto('file://' + path.join(site, 'index.html'));
      check(await zoomed.$eval('#notServed', (e) => !e.hidden && /http\.server/.test(e.textContent)), 'file:// page');
    }
    await zoomed.close();
  }
  await darkScheme(browser, base);
  await links(browser, base);

  // A first visit in a new profile: what the page and its service worker fetch; then the
  // same page with the server gone.
  const context = await browser.createIncognitoBrowserContext();
  const page = await context.newPage();
  served = 0;
  await page.goto(base + 'index.html');
  await page.waitForSelector('#dialog[open]');
  for (let i = 0; i < 100 && !(await page.evaluate(() => !!navigator.serviceWorker.controller)); ++i) {
    await new Promise((r) => setTimeout(r, 100));
  }
  const firstVisit = served;
  const caches = () => page.evaluate(() => caches.keys());
  const before = await caches();
  // 615 KiB before the page carried the stocked-ring library and the ring designer, insulation
  // and library views it shares with the desktop (some 86 KB more of compressed WebAssembly).
  // The safety panel (its inputs, the gaps on the picked ring) added some 50 KB more: 839 KiB.
  check(firstVisit <= 900e3, `a first visit moved ${firstVisit} bytes, more than 900 kB`);
  served = 0;
  await page.reload();
  await page.waitForSelector('#dialog[open]');
  console.log(`page weight: a first visit moved ${(firstVisit / 1024).toFixed(0)} KiB (the page, and its service ` +
    `worker keeping the site), a repeat visit ${(served / 1024).toFixed(0)} KiB; installable: ` +
    (installabilityErrors.length ? 'no' : 'yes'));
  // A new version on the server: the next visit still runs the one it has, says so and offers
  // to reload; the reload runs the new one, whose files alone are kept.
  nextVersion = true;
  await page.reload();
  await page.waitForSelector('#update:not([hidden])');
  check((await caches()).includes(before[0]), 'the new version replaced the old one unasked');
  await page.click('#dialogOk');  // the disclaimer first: a modal dialog holds the rest of the page
  await page.screenshot({path: path.join(scratch, 'update.png')});
  await Promise.all([page.waitForNavigation(), page.click('#updateReload')]);
  await page.waitForSelector('#dialog[open]');
  check(JSON.stringify(await caches()) === '["vtq-next"]' && await page.$eval('#update', (e) => e.hidden),
    'after the reload: ' + await caches());
  console.log(`an update: offered on the next visit (${before} kept till then), the reload runs vtq-next`);
  server.close();
  server.closeAllConnections();
  await page.reload();
  await page.waitForSelector('#dialog[open]');
  await page.click('#dialogOk');
  await page.waitForFunction(() => document.getElementById('txtPN').value !== '');
  console.log('offline reload: with the server gone the page opened from the service worker and designed ' +
    await page.$eval('#txtPN', (e) => e.value));
  // The help's folder opens the help's index, not the page.
  await page.goto(base + 'help/');
  check(await page.title() === 'Index', 'offline help/: ' + await page.title());
  await context.close();
}

// The emissions and impedance windows on a touch screen `width` px wide: no wider than the
// screen, the verdict and every text of a plot on it, the caption beside or above the
// buttons, never in a sliver.
async function panelsFit(page, width, what) {
  await page.waitForFunction(() => $('txtPN').value !== '');
  for (const [item, panel, caption] of [['mnuEmissions', 'emissionsPanel', 'emissionsCaption'],
    ['mnuImpedance', 'impedancePanel', 'plotCaption']]) {
    await page.tap('#mnuView');
    await page.tap('#' + item);
    await page.waitForSelector(`#${panel}:not([hidden]) svg`);
    await page.$eval('#' + panel, (p) => p.scrollIntoView());
    const seen = await page.evaluate((panel, caption) => {
      const box = $(panel), text = box.querySelector('.' + caption) || $(caption), body = box.querySelector('.panelBody');
      const svgTexts = [...box.querySelectorAll('svg')].flatMap((svg) => [...svg.querySelectorAll('text')].map((t) =>
        t.getBBox().x + t.getBBox().width - svg.width.baseVal.value));
      return {panel: box.getBoundingClientRect().right, scroll: body.scrollWidth - body.clientWidth,
        verdict: [text.getBoundingClientRect().left, text.getBoundingClientRect().right],
        caption: text.getBoundingClientRect().width, textsPast: Math.max(...svgTexts)};
    }, panel, caption);
    check(seen.panel <= width && seen.scroll <= 0 && seen.verdict[0] >= 0 && seen.verdict[1] <= width &&
      seen.caption >= 200 && seen.textsPast <= 0, `${what}, ${panel}: ${JSON.stringify(seen)}`);
    await page.screenshot({path: path.join(scratch, `${what}-${panel}.png`)});
    await page.tap(`#${panel} .panelClose`);
  }
  console.log(`${what} ${width} px: the emissions and impedance windows fit, the verdict and the plots' texts on the screen`);
}

// A dark colour scheme: the page in dark greys with the same texts, every state clean for
// axe-core (its contrast rule included), the plot on a dark ground.
async function darkScheme(browser, base) {
  const textsOf = (page) => page.evaluate(() => [...$('window').querySelectorAll('*')].map((e) =>
    e.tagName === 'INPUT' ? e.value : [...e.childNodes].filter((n) => n.nodeType === 3).map((n) => n.data).join('')));
  const texts = [];
  let dark;
  for (const scheme of ['light', 'dark']) {
    dark = await browser.newPage();
    await dark.emulateMediaFeatures([{name: 'prefers-color-scheme', value: scheme}]);
    await dark.setViewport({width: 1280, height: 900});
    await dark.goto(base + 'index.html?date=02-29-2024');
    await dark.waitForSelector('#dialog[open]');
    await dark.click('#dialogOk');
    await dark.waitForFunction(() => $('txtPN').value !== '');
    texts.push(JSON.stringify(await textsOf(dark)));
    if (scheme === 'light') await dark.close();
  }
  check(texts[0] === texts[1], 'the dark page changed a text');
  await dark.click('#mnuView');
  await dark.click('#mnuEmissions');
  await dark.waitForSelector('#emissionsPanel:not([hidden]) svg');
  const ground = await dark.evaluate(() => [document.body, $('window'), $('emissionsPanel')].map((e) =>
    getComputedStyle(e).backgroundColor).concat($('emissionsPlot').querySelector('rect').getAttribute('fill')));
  check(ground.every((c) => !/white|255, 255, 255|239, 239, 239/.test(c)), 'dark scheme grounds: ' + ground);
  const axeSource = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
  await dark.evaluate(axeSource);
  const {violations} = await dark.evaluate(() => window.axe.run(document, {resultTypes: ['violations']}));
  for (const v of violations) check(false, `axe-core, dark scheme: ${v.id} at ${v.nodes.map((n) => n.target).join(' ')}`);
  await dark.screenshot({path: path.join(scratch, 'dark.png')});
  console.log('dark colour scheme: the same texts on dark grounds, the plot on ' + ground[3] + ', no axe-core violation');
  await dark.close();
}

// A design and an emission case carried in a link, as vtq-cli takes them: opened, shown as
// the command line computes them; the address follows an edit and survives a reload; the
// emission entries are kept for a visit without a link; a word the window does not offer
// is said. Then the plots' printable report.
async function links(browser, base) {
  const page = await browser.newPage();
  await page.setViewport({width: 1280, height: 900});
  const design = {mode: 'voltage', main: '230', material: 'P', core: '9'};
  const bench = {standard: 'fcc15-b', swing: '400', fsw: '100k', cp: '47p', ripple: '2', cy: '2.2n', margin: '3'};
  // The page at an address, the disclaimer answered: its outputs, its emission entries
  // while their window is open, its status line.
  const openAt = async (address) => {
    await (address ? page.goto(address) : page.reload());
    await page.waitForSelector('#dialog[open]');
    do {  // the disclaimer, then the message boxes of the design (a wire made thinner)
      await page.click('#dialogOk');
      await new Promise((r) => setTimeout(r, 300));
    } while (await page.$('#dialog[open]'));
    return page.evaluate(() => {
      const outputs = {};
      for (const box of document.querySelectorAll('input.output')) outputs[box.id] = box.value;
      outputs.IndLabel = $('IndLabel').textContent;
      return {outputs, entry: $('emissionsPanel') && !$('emissionsPanel').hidden ? emissionsEntry() : null,
        status: $('status').textContent};
    });
  };
  const args = Object.entries(design).flatMap(([k, v]) => ['--' + k, v]);
  // The emission entries in the link's order (the page's names for the command line's).
  const emitted = (e) => e && [e.standard, e.swing, e.frequency, e.parasitic, e.ripple, e.cy, e.margin].join();
  const same = (what, got, want) => {
    for (const [name, text] of Object.entries(want)) check(got.outputs[name] === text, `${what}: ${name} '${got.outputs[name]}' != '${text}'`);
    check(emitted(got.entry) === Object.values(bench).join(), `${what}: emissions ${JSON.stringify(got.entry)}`);
  };
  same('link', await openAt(base + 'index.html?' + new URLSearchParams({date: '02-29-2024', ...design, ...bench})),
    outputsOf(...args));
  await type(page, 'MainInput', '240');
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => /main=240/.test(location.search));
  // Calculate: the automatic design, which the address then carries without a core.
  same('an edit, then a reload', await openAt(), outputsOf('--mode', 'voltage', '--main', '240', '--material', 'P'));
  check((await openAt(base + 'index.html?date=02-29-2024&material=Q')).status === "The link's material 'Q' left out: not one the window offers",
    'a bad word in a link');
  await page.click('#mnuView');
  await page.click('#mnuEmissions');
  await page.waitForSelector('#emissionsPanel:not([hidden]) svg');
  check(emitted(await page.evaluate(() => emissionsEntry())) === Object.values(bench).join(),
    'the emission entries were not kept for a visit without a link');
  console.log('links: a design and an emission case opened from the address as vtq-cli computes them, kept through ' +
    'an edit and a reload; the emission entries kept for the next visit');

  // The plots' report, as the print dialog gets it: the plots alone on paper with the verdict.
  for (const [button, plots] of [['#EmissionsPrint', 1], ['#ImpedancePrint', 2]]) {
    if (button === '#ImpedancePrint') {
      await page.click('#mnuView');
      await page.click('#mnuImpedance');
      await page.waitForSelector('#impedancePanel:not([hidden]) svg');
    }
    await page.click(button);
    await page.emulateMediaType('print');
    const report = await page.evaluate(() => ({shown: [$('plotReport'), $('page')].map((e) => getComputedStyle(e).display),
      plots: $('plotReport').querySelectorAll('svg').length, verdict: $('plotReport').querySelector('.verdict').textContent,
      ground: $('plotReport').querySelector('rect').getAttribute('fill')}));
    const caption = await page.evaluate((b) => (b === '#EmissionsPrint' ? $('emissionsCaption') :
      $('impedancePanel').querySelector('.plotCaption')).textContent, button);
    check(report.shown.join() === 'block,none' && report.plots === plots && report.verdict === caption &&
      report.ground === 'white', `${button} report: ${JSON.stringify(report)}`);
    await page.screenshot({path: path.join(scratch, `report-${button.slice(1)}.png`), fullPage: true});
    await page.emulateMediaType(null);
  }
  await page.close();
}

const type = async (page, box, text) => {
  await page.click('#' + box, {clickCount: 3});
  await page.keyboard.press('Backspace');
  await page.type('#' + box, text);
};

main().then(() => process.exit(failures ? 1 : 0), (e) => {
  console.error(e);
  process.exit(1);
});
