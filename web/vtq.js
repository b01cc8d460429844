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
  place(element('img', {id: 'imgvtq', className: 'picture', src: 'toroid.svg', alt: ''}, client), layout.toroid);
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
    box.addEventListener('input', () => session.setInput(name, box.value));
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
        // The page keeps no list of recent files: shown, as the desktop shows an empty one.
        item.classList.add('disabled');
        item.append(' \u25B8');
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
      if (!open) menu.classList.add('open');
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
}

function pick(index) {
  show(session.pickCore(index));
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
  $('status').textContent = view.FileStatus || view.PrintStatus || '';
  if (view.focus && $(view.focus)) $(view.focus).focus();
  if (view.help) window.open(view.help.replace(/^\.\//, ''), 'vtqhelp');
  if (view.printPage !== undefined) printPage(view.printPage);
  if (view.download) download(view.download);
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
    setTimeout(() => show(session.answer(answer)));
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

function download(name) {
  const bytes = module.FS.readFile(name);
  const link = element('a', {href: URL.createObjectURL(new Blob([bytes])), download: name}, document.body);
  link.click();
  link.remove();
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
  times.ready = performance.now();
  show(session.start());
});
