// The design window over the WebAssembly window model. Every rule and text comes from
// the model; this file only lays out the controls from the model's layout table, passes
// on clicks and typing, and shows what the model says: texts, dialogs, pages to print.
'use strict';

const px = (twips) => Math.floor((twips + 7) / 15);  // 15 twips to a pixel at 96 dpi
const $ = (id) => document.getElementById(id);
const times = (window.vtqTimes = {});
let session, module;

function place(el, [left, top, width, height]) {
  Object.assign(el.style, {left: px(left) + 'px', top: px(top) + 'px', width: px(width) + 'px',
    height: px(height) + 'px'});
}

function element(tag, props, parent) {
  const el = Object.assign(document.createElement(tag), props);
  parent.appendChild(el);
  return el;
}

// A caption's "&" marks its access key; the key is shown underlined and pressed with Alt.
function caption(el, text) {
  const i = text.indexOf('&');
  if (i < 0) {
    el.textContent = text;
    return;
  }
  el.append(text.slice(0, i), Object.assign(document.createElement('u'), {textContent: text[i + 1]}),
    text.slice(i + 2));
  el.accessKey = text[i + 1].toLowerCase();
}

function build(layout) {
  const client = $('client');
  client.style.width = px(layout.client[0]) + 'px';
  client.style.height = px(layout.client[1]) + 'px';
  const parentOf = (name) => (name ? $(name) : client);
  const title = element('div', {id: 'lblTitle', textContent: layout.title[0]}, client);
  place(title, layout.title[1]);
  for (const [id, name, at] of [['imgvtq', 'toroid', layout.toroid], ['imgKstIcon', 'logo', layout.logo]]) {
    place(element('img', {id, className: 'picture', src: `${name}.png`, srcset: `${name}@2x.png 2x`, alt: ''}, client),
      at);
  }
  for (const [name, text, tip, at] of layout.frames) {
    const frame = element('fieldset', {id: name, className: 'frame', title: tip}, client);
    element('span', {className: 'caption', textContent: text}, frame);
    place(frame, at);
  }
  for (const [name, parent, text, tip, at] of layout.labels) {
    place(element('label', {id: name, className: 'label', textContent: text, title: tip}, parentOf(parent)), at);
  }
  for (const [name, parent, at] of layout.inputs) {
    const box = element('input', {id: name, className: 'box', type: 'text', spellcheck: false}, parentOf(parent));
    place(box, at);
    box.addEventListener('input', () => {
      session.setInput(name, box.value);
      follow();
    });
  }
  for (const [label, box] of [['lblMainInput', 'MainInput'], ['lblCurrent', 'Current'], ['lblCD', 'txtCD'],
    ['lblFrequency', 'SecondInput']]) $(label).htmlFor = box;
  for (const [name, parent, at] of layout.outputs) {
    const box = element('input', {id: name, className: 'box output', type: 'text', readOnly: true, tabIndex: -1},
      parentOf(parent));
    place(box, at);
  }
  for (const [name, parent, text, tip, at] of layout.options) {
    const option = element('label', {className: 'option', title: tip}, parentOf(parent));
    const radio = element('input', {id: name, type: 'radio', name: parent}, option);
    element('span', {textContent: text}, option);
    place(option, at);
    option.style.width = 'auto';  // the whole caption, as the desktop window gives it
    radio.addEventListener('click', () => command(name));
  }
  for (const [name, text, at] of layout.buttons) {
    const button = element('button', {id: name, className: 'command', type: 'button'}, client);
    caption(button, text);
    place(button, at);
    button.addEventListener('click', () => command(name));
  }
  const list = element('select', {id: 'lstCores', size: 8, hidden: true}, client);
  place(list, layout.lstCores);
  list.addEventListener('click', () => list.selectedIndex >= 0 && pick(list.selectedIndex));
  list.addEventListener('keydown', (e) => {
    if (e.key === 'Enter') {
      e.preventDefault();
      e.stopPropagation();
      if (list.selectedIndex >= 0) pick(list.selectedIndex);
    }
  });
  layout.tabOrder.forEach((name, i) => ($(name).tabIndex = i + 1));
  // Enter anywhere but on a button or the list presses Calculate.
  client.addEventListener('keydown', (e) => {
    if (e.key === 'Enter' && e.target.tagName === 'INPUT') {
      e.preventDefault();
      command('CalculateButton');
    }
  });
  buildMenus(layout.menus);
}

// The menus from the model's table, as the desktop window builds them: captions with
// their access keys, the first key of each entry beside it, separators and submenus.
function buildMenus(menus) {
  const bar = $('menubar');
  const keys = {};  // "ctrl+o" -> the entry's name
  const items = (entries, parent) => {
    const box = element('div', {className: 'items', role: 'menu'}, parent);
    for (const [name, kind, text, keyList, subentries] of entries) {
      if (kind === 'separator') {
        element('hr', {id: name}, box);
        continue;
      }
      const item = element('div', {id: name, className: kind === 'command' ? 'item' : 'submenu',
        role: 'menuitem'}, box);
      caption(item, text);
      item.accessKey = '';  // an entry's access key works inside its open menu only
      if (kind !== 'command') {
        // A click on a submenu keeps the menu open; the entries show on hover.
        item.addEventListener('click', (e) => e.stopPropagation());
      }
      if (kind === 'submenu') {
        item.append(' \u25B8');
        items(subentries, item);
      } else if (kind === 'recent') {
        // Filled from the model's list each time its menu opens (fillRecent).
        item.append(' \u25B8');
        element('div', {className: 'items', role: 'menu'}, item);
      } else {
        const shown = keyList.split('; ').filter(Boolean);
        for (const key of shown) keys[key.toLowerCase()] = name;
        if (shown.length) element('span', {textContent: '\u2003' + shown[0], className: 'shortcut'}, item);
        item.addEventListener('click', (e) => {
          e.stopPropagation();
          closeMenus();
          menuCommand(name);
        });
      }
    }
  };
  for (const [name, text, entries] of menus) {
    const menu = element('div', {id: name, className: 'menu', role: 'menuitem'}, bar);
    caption(menu, text);
    items(entries, menu);
    menu.addEventListener('click', () => {
      const open = menu.classList.contains('open');
      closeMenus();
      if (!open) {
        fillRecent();
        menu.classList.add('open');
      }
    });
  }
  document.addEventListener('click', (e) => !bar.contains(e.target) && closeMenus());
  document.addEventListener('keydown', (e) => {
    if ($('dialog').open) return;
    const key = (e.ctrlKey ? 'ctrl+' : '') + (e.altKey ? 'alt+' : '') + (e.shiftKey ? 'shift+' : '') +
      e.key.toLowerCase();
    if (keys[key]) {
      e.preventDefault();
      menuCommand(keys[key]);
    }
  });
}

// ---- File > Recent Designs ----
// The model keeps the list (the paths of the files last opened or saved, in the page's
// memory file system); the page keeps it in the browser's storage with each file's bytes
// and writes them back in place on a later visit, so that an entry opens as Open did.
const kRecentKey = 'vtq.recentDesigns';
const kRecentBytes = 1 << 16;  // a design file is far smaller; a larger one is listed, not kept
let recentKept = [];  // [path, bytes as one character each]

function restoreRecent() {
  try {
    const kept = JSON.parse(localStorage.getItem(kRecentKey) || '[]');
    if (Array.isArray(kept)) recentKept = kept.filter((e) => Array.isArray(e) && typeof e[0] === 'string');
  } catch (e) {
    // No storage (a private window may refuse it) or not our text: an empty list.
  }
  for (const [file, bytes] of recentKept) {
    if (typeof bytes !== 'string') continue;
    try {
      module.FS.mkdirTree(file.slice(0, file.lastIndexOf('/')) || '/');
      module.FS.writeFile(file, Uint8Array.from(bytes, (c) => c.charCodeAt(0)));
    } catch (e) {
      // Not a path the memory file system takes: the entry then says the file is missing.
    }
  }
  session.setRecent(JSON.stringify(recentKept.map(([file]) => file)));
}

// The model's list after a command, with the bytes each file now has.
function keepRecent(paths) {
  const before = JSON.stringify(recentKept);
  recentKept = paths.map((file) => {
    let bytes = (recentKept.find(([f]) => f === file) || [])[1];
    try {
      const data = module.FS.readFile(file);
      bytes = data.length <= kRecentBytes ? Array.from(data, (b) => String.fromCharCode(b)).join('') : null;
    } catch (e) {
      // Not in the memory file system: the bytes kept from before stand.
    }
    return [file, bytes === undefined ? null : bytes];
  });
  const after = JSON.stringify(recentKept);
  if (after === before) return;
  try {
    localStorage.setItem(kRecentKey, after);
  } catch (e) {
    // Storage full or refused: the list lasts for this visit only.
  }
}

// Every file the page reads or writes lies in its one in-memory folder: to the user a file
// is known by its name alone, in the menu as on the status line.
function withoutPageFolder(text) {
  return text.replace(/(^|\s)\/designs\//g, '$1');
}

function fillRecent() {
  const item = $('mnuRecent');
  if (!item) return;
  const box = item.querySelector('.items');
  box.replaceChildren();
  recentKept.forEach(([file], i) => {
    const entry = element('div', {id: `mnuRecent${i + 1}`, className: 'item', role: 'menuitem'}, box);
    caption(entry, `&${i + 1} ${withoutPageFolder(file)}`);
    entry.accessKey = '';  // as the other entries': a key inside its open menu only
    entry.addEventListener('click', (e) => {
      e.stopPropagation();
      closeMenus();
      show(session.openRecent(i));
      follow();
    });
  });
  item.classList.toggle('disabled', recentKept.length === 0);
}

function closeMenus() {
  for (const m of document.querySelectorAll('.menu.open')) m.classList.remove('open');
}

// The browser's own dialogs stand in for the desktop's where a page has them.
function menuCommand(name) {
  if (name === 'LoadMnu') {
    // The browser's file chooser stands for the Open dialog; the model reads the file.
    const input = $('openFile');
    input.value = '';
    input.click();
  } else if (name === 'ExportReportMnu' || name === 'ExportTableMnu') {
    // The print dialog saves a PDF: the same page as Print.
    command(name === 'ExportReportMnu' ? 'DesignMnu' : 'TableMnu');
  } else if (name === 'CopyResultsMnu') {
    navigator.clipboard.writeText(session.results()).then(
      () => ($('status').textContent = 'Results copied to the clipboard'),
      () => ($('status').textContent = 'The browser did not allow the results on the clipboard'));
  } else {
    command(name);
  }
}

function command(name) {
  show(session.click(name));
  follow();
}

function pick(index) {
  show(session.pickCore(index));
  follow();
}

// The open analysis windows follow every edit, click and calculation, as on the desktop.
function follow() {
  const open = ['coreTablePanel', 'impedancePanel', 'emissionsPanel'].some((id) => $(id) && !$(id).hidden);
  if (open && !$('dialog').open) show(session.follow());
}

function beep() {
  try {
    const audio = new AudioContext();
    const tone = audio.createOscillator();
    tone.frequency.value = 800;
    tone.connect(audio.destination);
    tone.start();
    tone.stop(audio.currentTime + 0.15);
  } catch (e) {
    // No sound available: the beep is a courtesy only.
  }
}

// Shows the model's state; a question goes into a modal dialog whose answer goes back.
function show(json) {
  const view = JSON.parse(json);
  for (const [name, text] of Object.entries(view.texts)) {
    const box = $(name);
    if (box && box.value !== text) box.value = text;
  }
  for (const [name, selected] of Object.entries(view.options)) $(name).checked = selected;
  $('lblMainInput').textContent = view.captions.lblMainInput;
  $('lblMainInput').title = view.tooltips.lblMainInput;
  $('IndLabel').textContent = view.captions.IndLabel;
  $('SecondInput').disabled = !view.SecondInputEnabled;
  const list = $('lstCores');
  list.hidden = !view.lstCoresVisible;
  if (list.options.length !== view.lstCores.length ||
      view.lstCores.some((text, i) => list.options[i].text !== text)) {
    list.replaceChildren(...view.lstCores.map((text) => new Option(text)));
  }
  const pn = $('txtPN');
  pn.style.left = px(view.txtPNLeft) + 'px';
  pn.style.width = px(view.txtPNWidth) + 'px';
  if (view.texts.txtPN && !times.firstDesign) times.firstDesign = performance.now();
  if (view.beep) beep();
  if (view.dialog) {
    ask(view.dialog);
    return;
  }
  keepRecent(view.recent);
  // A file command's message, or else the design's warnings, as the desktop's status line.
  $('status').textContent = withoutPageFolder(view.FileStatus || view.PrintStatus || '') || view.DesignNote || '';
  if (view.focus && $(view.focus)) $(view.focus).focus();
  if (view.help) window.open(view.help.replace(/^\.\//, ''), 'vtqhelp');
  if (view.printPage !== undefined) printPage(view.printPage);
  if (view.download) download(view.download);
  if (view.coreTable) showCoreTable(view.coreTable);
  if (view.impedance) showImpedance(view.impedance);
  if (view.emissions) showEmissions(view.emissions);
  if (view.picture) savePicture(view.picture);
  if (view.unloaded) {
    $('window').hidden = true;
    $('closed').hidden = false;
  }
}

function ask(dialog) {
  const box = $('dialog');
  $('dialogTitle').textContent = dialog.title;
  $('dialogText').textContent = dialog.text.replace(/\r/g, '\n');
  const input = dialog.kind === 'input';
  $('dialogInput').hidden = !input;
  $('dialogCancel').hidden = !input;
  $('dialogInput').value = input ? dialog.default : '';
  box.returnValue = '';
  box.onclose = () => {
    if (!times.answered) times.answered = performance.now();
    // Escape or Cancel gives an empty answer, as the desktop's prompt does.
    const answer = input && box.returnValue === 'ok' ? $('dialogInput').value : '';
    setTimeout(() => {
      show(session.answer(answer));
      follow();
    });
  };
  box.showModal();
  if (input) $('dialogInput').select();
  if (!times.firstDialog) times.firstDialog = performance.now();
}

function printPage(text) {
  $('printPage').textContent = text;
  window.vtqPrinted = text;
  window.print();
}

function saveBlob(blob, name) {
  const link = element('a', {href: URL.createObjectURL(blob), download: name}, document.body);
  link.click();
  link.remove();
}

function download(name) {
  saveBlob(new Blob([module.FS.readFile(name)]), name);
}

// ---- The analysis windows: panels over the page, each with a title bar and a close box ----

function panel(id, title) {
  let box = $(id);
  if (!box) {
    box = element('section', {id, className: 'panel', hidden: true}, document.body);
    const bar = element('div', {className: 'panelTitle'}, box);
    element('span', {textContent: title}, bar);
    const close = element('button', {className: 'panelClose', type: 'button', textContent: '\u00d7',
      title: 'Close'}, bar);
    close.addEventListener('click', () => (box.hidden = true));
    element('div', {className: 'panelBody'}, box);
  }
  return box;
}

// The core table: a heading click sorts by its column (again: the other way), by the
// number behind a text where there is one; a double-click applies the core.
const coreSort = {column: -1, up: true};
let coreTable;
function showCoreTable(view) {
  coreTable = view;
  const box = panel('coreTablePanel', view.title);
  const body = box.querySelector('.panelBody');
  body.replaceChildren();
  element('p', {textContent: view.intro}, body);
  const table = element('table', {className: 'cores'}, body);
  const head = element('tr', {}, element('thead', {}, table));
  view.headings.forEach((heading, i) => {
    const th = element('th', {textContent: heading}, head);
    th.addEventListener('click', () => {
      coreSort.up = coreSort.column === i ? !coreSort.up : true;
      coreSort.column = i;
      showCoreTable(coreTable);
    });
  });
  const rows = [...view.rows];
  if (coreSort.column >= 0) {
    const c = coreSort.column, numeric = view.numeric[c];
    rows.sort((a, b) => {
      const [x, y] = [a.cells[c], b.cells[c]];
      const order = numeric ? x[1] - y[1] : x[0].localeCompare(y[0]);
      return coreSort.up ? order : -order;
    });
  }
  const tbody = element('tbody', {}, table);
  for (const row of rows) {
    const tr = element('tr', {className: row.automatic ? 'automatic' : ''}, tbody);
    row.cells.forEach(([text, , tip], i) => element('td', {textContent: text, title: tip,
      className: view.numeric[i] ? 'number' : ''}, tr));
    tr.addEventListener('dblclick', () => {
      show(session.tableDblClick(row.row));
      follow();
    });
  }
  element('p', {textContent: view.note}, body);
  if (view.raise) box.hidden = false;
}

const TRACE_STYLES = {
  Ideal: ['rgba(0,0,0,0.24)', 1, ''], CommonR: ['#1f4e9a', 1.2, '1.2 2.4'], CommonX: ['#1f4e9a', 1.2, '4.8 2.4'],
  DifferentialR: ['#2e8b3e', 1.2, '1.2 2.4'], DifferentialX: ['#2e8b3e', 1.2, '4.8 2.4'],
  CommonZ: ['#1f4e9a', 2.2, ''], DifferentialZ: ['#2e8b3e', 2.2, ''],
  LimitQuasiPeak: ['#c02020', 2, ''], LimitAverage: ['#c02020', 1.6, '4.8 2.4'],
  CommonBare: ['rgba(31,78,154,0.43)', 1, ''], DifferentialBare: ['rgba(46,139,62,0.43)', 1, ''],
  CommonFiltered: ['#1f4e9a', 2.2, ''], DifferentialFiltered: ['#2e8b3e', 2.2, ''],
  LossCommon50: ['#1f4e9a', 2, ''], LossDifferential50: ['#2e8b3e', 2, ''],
  LossCommonNetwork: ['#1f4e9a', 1, '4.8 2.4'], LossDifferentialNetwork: ['#2e8b3e', 1, '4.8 2.4'],
};
const REQUIRED = '#c02020';
const PLOT_FONT = '11px "VTQ Sans", "Liberation Sans", Arial, sans-serif';
const measure = document.createElement('canvas').getContext('2d');
const textWidth = (text) => {
  measure.font = 'bold ' + PLOT_FONT;
  return measure.measureText(text).width;
};
const escapeXml = (text) => text.replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'}[c]));

// The plot as SVG text, laid out as the desktop window draws it: log axes with a label at
// each decade, the title and the legend on top, the requirement as a ring with its level.
function plotSvg(v, width, height) {
  const out = [`<svg xmlns="http://www.w3.org/2000/svg" width="${width}" height="${height}" ` +
    `viewBox="0 0 ${width} ${height}" font-family='"VTQ Sans", "Liberation Sans", Arial, sans-serif' ` +
    'font-size="11" font-weight="bold"><rect width="100%" height="100%" fill="white"/>'];
  const text = (x, y, t, fill = 'black', name = '') => out.push(`<text x="${x.toFixed(1)}" y="${y.toFixed(1)}" ` +
    `fill="${fill}"${name ? ` class="${name}"` : ''}>${escapeXml(t)}</text>`);
  const line = (x1, y1, x2, y2, stroke, w = 1, dash = '') => out.push(`<line x1="${x1.toFixed(1)}" ` +
    `y1="${y1.toFixed(1)}" x2="${x2.toFixed(1)}" y2="${y2.toFixed(1)}" stroke="${stroke}" stroke-width="${w}"` +
    (dash ? ` stroke-dasharray="${dash}"` : '') + '/>');
  const lineHeight = 13, ascent = 10;
  const labelWidth = Math.max(...v.y.labels.map(textWidth));
  const left = labelWidth + 14, right = width - textWidth(v.x.labels[v.x.labels.length - 1]) / 2 - 10;
  const top = 2 * lineHeight + 14, bottom = height - 2 * lineHeight - 8;
  // The model places everything in the unit square of the area.
  const xAt = (x) => left + x * (right - left);
  const yAt = (y) => bottom - y * (bottom - top);
  v.x.labels.forEach((label, i) => {
    const x = xAt(v.x.ticks[i]);
    line(x, top, x, bottom, '#a0a0a0');
    text(x - textWidth(label) / 2, bottom + lineHeight + 2, label);
  });
  v.y.labels.forEach((label, i) => {
    const y = yAt(v.y.ticks[i]);
    line(left, y, right, y, '#a0a0a0');
    text(left - textWidth(label) - 6, y + ascent / 2, label);
  });
  text(4, ascent + 2, v.heading, 'black', 'heading');
  let x = 4;
  const legendY = lineHeight + ascent + 6;
  for (const t of v.traces) {
    const [stroke, w, dash] = TRACE_STYLES[t.trace];
    line(x, legendY - ascent / 3, x + 18, legendY - ascent / 3, stroke, w, dash);
    text(x + 22, legendY, t.name);
    x += 34 + textWidth(t.name);
  }
  out.push(`<clipPath id="area"><rect x="${left - 1}" y="${top - 1}" width="${right - left + 2}" ` +
    `height="${bottom - top + 2}"/></clipPath><g clip-path="url(#area)" fill="none">`);
  if (v.requiredAt) {
    const [rx, ry] = [xAt(v.requiredAt[0]), yAt(v.requiredAt[1])];
    line(rx, ry, right, ry, REQUIRED, 1, '4 2');
    out.push(`<circle cx="${rx.toFixed(1)}" cy="${ry.toFixed(1)}" r="5" stroke="${REQUIRED}" stroke-width="2"/>`);
  }
  if (v.selfResonance > 0) line(xAt(v.selfResonanceAt), top, xAt(v.selfResonanceAt), bottom, 'black', 1, '1 2');
  for (const t of v.traces) {
    const [stroke, w, dash] = TRACE_STYLES[t.trace];
    let d = '';
    for (const piece of t.line) {
      for (let i = 0; i < piece.length; i += 2) {
        d += (i ? 'L' : 'M') + xAt(piece[i]).toFixed(1) + ' ' + yAt(piece[i + 1]).toFixed(1);
      }
    }
    out.push(`<path d="${d}" stroke="${stroke}" stroke-width="${w}"` +
      (dash ? ` stroke-dasharray="${dash}"` : '') + '/>');
  }
  out.push('</g>');
  if (v.requiredAt) {
    const [rx, ry] = [xAt(v.requiredAt[0]), yAt(v.requiredAt[1])];
    const w = textWidth(v.requiredLabel);
    const lx = Math.min(Math.max(rx + 9, left + 2), Math.max(left + 2, right - w - 2));
    const ly = Math.min(Math.max(ry - 8, top + lineHeight), Math.max(top + lineHeight, bottom - 4));
    text(lx, ly, v.requiredLabel, REQUIRED);
  }
  out.push('</svg>');
  return out.join('');
}

let impedance;
function showImpedance(view) {
  impedance = view;
  const box = panel('impedancePanel', view.title);
  const body = box.querySelector('.panelBody');
  body.replaceChildren();
  const plot = element('div', {className: 'plot'}, body);
  if (view.frequencies.length && view.x.labels.length && view.y.labels.length) {
    plot.innerHTML = plotSvg(view, 640, 420);
    // The second panel: the choke's insertion loss over the conducted band.
    element('div', {className: 'plot lossPlot'}, body).innerHTML = plotSvg(view.insertionLoss, 640, 260);
  } else {
    plot.textContent = view.problem;
  }
  const below = element('div', {className: 'plotBelow'}, body);
  element('div', {className: 'plotCaption', textContent: view.caption}, below);
  const format = element('select', {id: 'plotFormat'}, below);
  for (const [suffix, name] of [['png', 'PNG Image'], ['svg', 'SVG Drawing'], ['csv', 'CSV Values']]) {
    format.add(new Option(`${name} (*.${suffix})`, suffix));
  }
  const save = element('button', {id: 'ImpedanceSave', type: 'button'}, below);
  caption(save, '&Save Plot...');
  save.addEventListener('click', () => show(session.savePlot('impedance.' + format.value)));
  // The core temperature the curve and the saturation are taken at, as on the desktop.
  const label = element('label', {htmlFor: 'ImpedanceTemperature', textContent: 'Core \u00b0C'}, below);
  label.title = 'The core temperature the curve and the saturation are taken at';
  const temperature = element('input', {id: 'ImpedanceTemperature', type: 'number', min: -40, max: 150, step: 1,
    value: view.temperature}, below);
  temperature.addEventListener('change', () => {
    const celsius = Number(temperature.value);
    if (Number.isFinite(celsius)) show(session.setTemperature(celsius));
  });
  if (view.raise) box.hidden = false;
}

// View > Conducted Emissions: the source's and the filter's entries (made once, so that
// typing keeps its place), the plot, the verdict, and the cores the last Find Core tried.
let emissions;
const EMISSION_BOXES = [
  ['swing', 'Switched voltage (V)'], ['frequency', 'Switching frequency (Hz)'], ['duty', 'Duty cycle'],
  ['rise', 'Rise time (s)'], ['parasitic', 'Parasitic capacitance (F)'], ['ripple', 'Ripple current (A p-p)'],
  ['cy', 'Y capacitor (F)'], ['cx', 'X capacitor (F)'], ['margin', 'Required margin (dB)'],
];
function emissionsEntry() {
  const entry = {};
  for (const el of document.querySelectorAll('#emissionsForm [data-key]')) entry[el.dataset.key] = el.value;
  return entry;
}
function emissionsForm(body, view) {
  const form = element('div', {id: 'emissionsForm', className: 'emissionsForm'}, body);
  // Each box after its caption, named by it for a screen reader.
  const row = (label, tag, key, props) => {
    const id = 'Emissions_' + key;
    element('label', {textContent: label, htmlFor: id}, form);
    const control = element(tag, {id, ...props}, form);
    control.dataset.key = key;
    return control;
  };
  const choice = (key, label, options) => {
    const select = row(label, 'select', key, {});
    for (const [value, text] of options) select.add(new Option(text, value));
    select.value = view.entry[key];
  };
  choice('standard', 'Limits', view.standards);
  choice('network', 'Network', [['cispr16', 'V-network, 50 \u00b5H / 50 \u03a9'], ['50ohm', '50 \u03a9 per line']]);
  for (const [key, label] of EMISSION_BOXES) {
    row(label, 'input', key, {type: 'text', value: view.entry[key], spellcheck: false});
  }
  choice('rippleShape', 'Ripple shape', [['trapezoid', 'Trapezoid'], ['triangle', 'Triangle']]);
  form.addEventListener('input', () => show(session.setEmissions(JSON.stringify(emissionsEntry()))));
  element('div', {id: 'emissionsProblem', className: 'problem', role: 'alert'}, body);
  const buttons = element('div', {className: 'plotBelow'}, body);
  const find = element('button', {id: 'EmissionsFindCore', type: 'button'}, buttons);
  caption(find, 'Find &Core');
  find.addEventListener('click', () => command('EmissionsFindCore'));
  const format = element('select', {id: 'emissionsFormat'}, buttons);
  for (const [suffix, name] of [['png', 'PNG Image'], ['svg', 'SVG Drawing'], ['csv', 'CSV Values']]) {
    format.add(new Option(`${name} (*.${suffix})`, suffix));
  }
  const save = element('button', {id: 'EmissionsSave', type: 'button'}, buttons);
  caption(save, '&Save Plot...');
  save.addEventListener('click', () => show(session.savePlot('emissions.' + format.value)));
  element('div', {id: 'emissionsPlot', className: 'plot'}, body);
  element('div', {id: 'emissionsCaption', className: 'plotCaption'}, body);
  element('div', {id: 'emissionsSearch'}, body);
}
function showEmissions(view) {
  emissions = view;
  const box = panel('emissionsPanel', view.title);
  const body = box.querySelector('.panelBody');
  if (!$('emissionsForm')) emissionsForm(body, view);
  $('emissionsProblem').textContent = view.inputProblem;
  $('EmissionsSave').disabled = !!(view.inputProblem || view.problem);
  $('EmissionsFindCore').disabled = !!view.inputProblem;
  const plot = $('emissionsPlot');
  if (view.frequencies.length && view.x.labels.length && view.y.labels.length) {
    plot.innerHTML = plotSvg(view, 640, 420);
  } else {
    plot.textContent = view.problem;
  }
  $('emissionsCaption').textContent = view.problem ? '' : view.caption;
  const search = $('emissionsSearch');
  search.replaceChildren();
  if (view.search.summary) element('p', {textContent: view.search.summary}, search);
  if (view.search.rows.length) {
    const table = element('table', {className: 'cores'}, search);
    const head = element('tr', {}, element('thead', {}, table));
    for (const heading of view.search.headings) element('th', {textContent: heading}, head);
    const tbody = element('tbody', {}, table);
    for (const cells of view.search.rows) {
      const tr = element('tr', {}, tbody);
      for (const text of cells) element('td', {textContent: text}, tr);
    }
  }
  if (view.raise) box.hidden = false;
}

// A picture of the plot the model asked for: the same drawing, 900 x 600, on white.
function savePicture({of, name, format}) {
  const svg = plotSvg(of === 'emissions' ? emissions : impedance, 900, 600);
  if (format === 'svg') {
    saveBlob(new Blob([svg], {type: 'image/svg+xml'}), name);
    return;
  }
  const image = new Image();
  image.onload = () => {
    const canvas = Object.assign(document.createElement('canvas'), {width: 900, height: 600});
    canvas.getContext('2d').drawImage(image, 0, 0);
    canvas.toBlob((blob) => saveBlob(blob, name), 'image/png');
  };
  image.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(svg);
}

$('openFile').addEventListener('change', async () => {
  const file = $('openFile').files[0];
  if (!file) return;
  // Under the file's own name, which the status line then shows.
  const name = file.name.replace(/[\\/]/g, '_');
  module.FS.writeFile(name, new Uint8Array(await file.arrayBuffer()));
  show(session.open(name));
});

VtqModule().then((m) => {
  module = m;
  module.FS.mkdir('/designs');
  module.FS.chdir('/designs');
  session = new module.Session();
  const params = new URLSearchParams(location.search);
  // A fixed report date for tests: ?date=MM-DD-YYYY
  if (params.get('date')) {
    const [month, day, year] = params.get('date').split('-').map(Number);
    session.setDate(month, day, year);
  }
  build(JSON.parse(module.layout()));
  restoreRecent();
  times.ready = performance.now();
  show(session.start());
});
