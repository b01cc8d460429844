// The design window over the WebAssembly window model. Every rule and text comes from
// the model; this file only lays out the controls from the model's layout table, passes
// on clicks and typing, and shows what the model says: texts, dialogs, pages to print.
'use strict';

const px = (twips) => Math.floor((twips + 7) / 15);  // 15 twips to a pixel at 96 dpi
const $ = (id) => document.getElementById(id);
const times = (window.vtqTimes = {});
let session, module;
let firstControl, started = false;  // the first control has the focus once the disclaimer is answered

// Each placed element's box in the model's layout, in pixels: the phone arrangement moves
// the elements from it and the desktop one puts them back.
const modelBoxes = new Map();

function setBox(el, [left, top, width, height]) {
  Object.assign(el.style, {left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px'});
}

function place(el, at) {
  modelBoxes.set(el, at.map(px));
  setBox(el, modelBoxes.get(el));
}

function element(tag, props, parent) {
  const el = Object.assign(document.createElement(tag), props);
  parent.appendChild(el);
  return el;
}

// A caption's "&" marks its access key; the key is shown underlined and pressed with Alt
// (a panel's keys work inside the panel only: panelKey).
function caption(el, text, pageWide = true) {
  const i = text.indexOf('&');
  if (i < 0) {
    el.textContent = text;
    return;
  }
  el.append(text.slice(0, i), Object.assign(document.createElement('u'), {textContent: text[i + 1]}),
    text.slice(i + 2));
  el.dataset.key = text[i + 1].toLowerCase();
  if (pageWide) el.accessKey = el.dataset.key;
}

function build(layout) {
  const client = $('client');
  place(client, [0, 0, ...layout.client]);
  const parentOf = (name) => (name ? $(name) : client);
  const title = element('h1', {id: 'lblTitle', textContent: layout.title[0]}, client);
  place(title, layout.title[1]);
  for (const [id, name, at] of [['imgvtq', 'toroid', layout.toroid], ['imgKstIcon', 'logo', layout.logo]]) {
    place(element('img', {id, className: 'picture', src: `${name}.png`, srcset: `${name}@2x.png 2x`, alt: ''}, client),
      at);
  }
  for (const [name, text, tip, at] of layout.frames) {
    const frame = element('fieldset', {id: name, className: 'frame', title: tip}, client);
    frame.setAttribute('aria-label', text);
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
  list.setAttribute('aria-label', 'Cores offered');
  place(list, layout.lstCores);
  list.addEventListener('click', () => list.selectedIndex >= 0 && pick(list.selectedIndex));
  list.addEventListener('keydown', (e) => {
    if (e.key === 'Enter' || e.key === 'Escape') {
      e.preventDefault();
      e.stopPropagation();
      // Escape closes the list with nothing picked, the keyboard back on the button that opened it.
      if (e.key === 'Escape') command('lstCoresClose');
      else if (list.selectedIndex >= 0) pick(list.selectedIndex);
    }
  });
  // The keyboard order is the document's: each control, and each frame holding it, moves
  // behind the ones before it (the layout places them absolutely, so nothing moves on screen).
  for (const name of layout.tabOrder) {
    const control = $(name).closest('.option') || $(name);  // an option with its caption
    for (let el = control; el !== client; el = el.parentElement) el.parentElement.appendChild(el);
  }
  firstControl = layout.tabOrder[0];
  // Enter anywhere but on a button or the list presses Calculate.
  client.addEventListener('keydown', (e) => {
    if (e.key === 'Enter' && e.target.tagName === 'INPUT') {
      e.preventDefault();
      command('CalculateButton');
    }
  });
  buildMenus(layout.menus);
  fit();
  addEventListener('resize', fit);
  document.fonts.ready.then(fit);  // the title's height on a phone depends on the font
}

// On a touch screen narrower than the window, the window's blocks stand in one column
// (fold), scaled as a whole to the screen's width so that its 11 px text shows at 12 px or
// more; with a mouse (a desktop zoomed in, say) the window keeps its layout and size and the
// page scrolls.
function fit() {
  const win = $('window');
  win.style.zoom = '';
  document.body.classList.remove('phone');
  unfold();
  const room = document.documentElement.clientWidth - 16;  // the page's padding
  if (!matchMedia('(pointer: coarse)').matches || win.offsetWidth <= room) return;
  document.body.classList.add('phone');  // no side padding: all the width for the text
  fold();
  win.style.zoom = document.documentElement.clientWidth / win.offsetWidth;
}

// The phone arrangement's blocks, top to bottom after the title and pictures. A block keeps
// the places of its parts relative to one another (a frame's parts stay where they are in
// it); a frame wider than the widest other block folds its row of parts into more rows.
const phoneBlocks = [['Frame1', 'InputFrame', 'frmInput', 'CalculateButton', 'ExitButton', 'PrintButton'],
  ['frmOutputs', 'cmdSelCore', 'lstCores'], ['frmCore']];
const phoneMargin = 4, phoneGap = 14;  // px; the gap leaves room for a frame's caption above it
const folded = new Set();

function fold() {
  const bounds = phoneBlocks.map((ids) => {
    const boxes = ids.filter((id) => !$(id).hidden).map((id) => modelBoxes.get($(id)));
    const left = Math.min(...boxes.map((b) => b[0])), top = Math.min(...boxes.map((b) => b[1]));
    return {ids, left, top, width: Math.max(...boxes.map((b) => b[0] + b[2])) - left,
      height: Math.max(...boxes.map((b) => b[1] + b[3])) - top};
  });
  // The widest block that cannot fold (a lone frame can) sets the column's width.
  const frames = new Set([...$('client').querySelectorAll('.frame')].map((f) => f.id));
  const width = Math.max(...bounds.filter((b) => b.ids.length > 1 || !frames.has(b.ids[0])).map((b) => b.width));
  // The title beside the toroid picture and the logo on it, in a smaller type (vtq.css).
  const title = $('lblTitle'), toroid = $('imgvtq'), logo = $('imgKstIcon');
  const [toroidLeft, , toroidWidth, toroidHeight] = modelBoxes.get(toroid);
  const right = phoneMargin + width - toroidWidth;
  folded.add(title);
  Object.assign(title.style, {left: phoneMargin + 'px', top: phoneMargin + 'px', height: 'auto',
    width: right - 2 * phoneMargin + 'px'});
  moveBy(toroid, right - toroidLeft, 0);
  moveBy(logo, right - toroidLeft, 0);
  let y = Math.max(toroidHeight, title.offsetHeight + phoneMargin) + phoneGap;
  for (const block of bounds) {
    if (block.width > width) block.height += foldRows($(block.ids[0]), width);
    for (const id of block.ids) moveBy($(id), phoneMargin - block.left, y - block.top);
    y += block.height + phoneGap;
  }
  folded.add($('client'));
  setBox($('client'), [0, 0, width + 2 * phoneMargin, y - phoneGap + phoneMargin]);
}

function moveBy(el, dx, dy) {
  folded.add(el);
  const [left, top] = modelBoxes.get(el);
  Object.assign(el.style, {left: left + dx + 'px', top: top + dy + 'px'});
}

// Folds a frame's row of parts into rows no wider than width, each row's parts kept at
// their distances from one another, a box with the caption before it; returns the height
// the frame grew by.
function foldRows(frame, width) {
  const parts = [...frame.children].filter((el) => modelBoxes.has(el));
  parts.sort((a, b) => modelBoxes.get(a)[0] - modelBoxes.get(b)[0]);
  const [, , frameWidth, frameHeight] = modelBoxes.get(frame);
  const boxes = parts.map((el) => modelBoxes.get(el));
  const first = Math.min(...boxes.map((b) => b[0])), top = Math.min(...boxes.map((b) => b[1]));
  const limit = width - (frameWidth - Math.max(...boxes.map((b) => b[0] + b[2])));  // the frame's right margin kept
  const pitch = Math.max(...boxes.map((b) => b[1] + b[3])) - top + top / 2;  // a row, half the top margin apart
  let shift = 0, row = 0;
  parts.forEach((el, i) => {
    const [left, , w] = boxes[i];
    if (left + w - shift > limit && left - shift > first) {
      // A box goes to the next row with its caption, the part before it.
      const start = el.tagName === 'INPUT' ? i - 1 : i;
      shift = boxes[start][0] - first;
      ++row;
      for (let j = start; j < i; ++j) moveBy(parts[j], -shift, row * pitch);
    }
    moveBy(el, -shift, row * pitch);
  });
  const grown = row * pitch;
  folded.add(frame);
  setBox(frame, [modelBoxes.get(frame)[0], modelBoxes.get(frame)[1], width, frameHeight + grown]);
  return grown;
}

// The elements fold moved back at their places in the model's layout (the others may have
// been moved by the model since, the part number box).
function unfold() {
  for (const el of folded) {
    setBox(el, modelBoxes.get(el));
    if (el.classList.contains('option')) el.style.width = 'auto';
  }
  folded.clear();
}

// The menus from the model's table, as the desktop window builds them: captions with
// their access keys, the first key of each entry beside it, separators and submenus.
// From the keyboard: Alt with a menu's letter opens it (Alt+F and Alt+E too: the page takes
// them before the browser does), F10 goes to the menu bar; in a menu the arrows move, Enter
// or an entry's letter fires it, Escape closes; Tab leaves.
function buildMenus(menus) {
  const bar = $('menubar');
  const keys = {};  // "ctrl+o" -> the entry's name
  const items = (entries, parent) => {
    const box = element('div', {className: 'items', role: 'menu'}, parent);
    box.setAttribute('aria-label', parent.dataset.caption);
    for (const [name, kind, text, keyList, subentries] of entries) {
      if (kind === 'separator') {
        element('hr', {id: name}, box);
        continue;
      }
      const item = menuItem(name, kind === 'command' ? 'item' : 'submenu', text, box);
      if (kind !== 'command') {
        // A click or a tap opens the submenu (hovering shows it too).
        item.setAttribute('aria-haspopup', 'menu');
        item.setAttribute('aria-expanded', 'false');
        item.addEventListener('click', (e) => {
          e.stopPropagation();
          openSubmenu(item, false);
        });
      }
      if (kind === 'submenu') {
        item.append(' \u25B8');
        items(subentries, item);
      } else if (kind === 'recent') {
        // Filled from the model's list each time its menu opens (fillRecent).
        item.append(' \u25B8');
        items([], item);
      } else {
        // Alt+F4 closes the browser, not the page: neither shown nor taken.
        const shown = keyList.split('; ').filter((key) => key && key !== 'Alt+F4');
        for (const key of shown) keys[key.toLowerCase()] = name;
        if (shown.length) element('span', {textContent: '\u2003' + shown[0], className: 'shortcut'}, item);
        item.addEventListener('click', (e) => {
          e.stopPropagation();
          leaveMenus();
          menuCommand(name);
        });
      }
    }
  };
  for (const [name, text, entries] of menus) {
    const menu = menuItem(name, 'menu', text, bar);
    menu.setAttribute('aria-haspopup', 'menu');
    menu.setAttribute('aria-expanded', 'false');
    items(entries, menu);
    menu.addEventListener('click', (e) => {
      if (e.target.closest('.items')) return;
      if (menu.classList.contains('open')) closeMenus();
      else openMenu(menu, false);
    });
  }
  menusOf(bar)[0].tabIndex = 0;  // the bar is one stop in the keyboard order
  bar.addEventListener('keydown', menuKey);
  bar.addEventListener('focusin', (e) => {
    if (!bar.contains(e.relatedTarget) && e.relatedTarget) focusBeforeMenus = e.relatedTarget;
  });
  document.addEventListener('click', (e) => !bar.contains(e.target) && closeMenus());
  document.addEventListener('keydown', (e) => {
    if ($('dialog').open) return;
    if (e.key === 'F10' && !e.ctrlKey && !e.altKey && !e.shiftKey) {
      e.preventDefault();
      if (bar.contains(document.activeElement)) leaveMenus();
      else focusMenu(menusOf(bar)[0]);
      return;
    }
    const menu = e.altKey && !e.ctrlKey && menusOf(bar).find((m) => m.dataset.key === e.key.toLowerCase());
    if (menu) {
      e.preventDefault();
      openMenu(menu, true);
      return;
    }
    const key = (e.ctrlKey ? 'ctrl+' : '') + (e.altKey ? 'alt+' : '') + (e.shiftKey ? 'shift+' : '') +
      e.key.toLowerCase();
    if (keys[key]) {
      e.preventDefault();
      menuCommand(keys[key]);
    }
  });
}

let focusBeforeMenus;  // where the keyboard goes back to when the menus are left
const menusOf = (box) => [...box.children].filter((e) => e.getAttribute('role') === 'menuitem');
const boxOf = (item) => item.querySelector(':scope > .items');

function menuItem(id, className, text, parent) {
  const item = element('div', {id, className, tabIndex: -1}, parent);
  item.setAttribute('role', 'menuitem');
  caption(item, text);
  item.dataset.caption = item.textContent;
  item.removeAttribute('accesskey');  // its letter works where it is shown: menuKey
  return item;
}

function focusMenu(item) {
  for (const other of menusOf(item.parentElement)) other.tabIndex = -1;
  item.tabIndex = 0;
  item.focus();
}

function setOpen(item, open) {
  item.classList.toggle('open', open);
  item.setAttribute('aria-expanded', String(open));
}

function openMenu(menu, focusFirst) {
  closeMenus();
  fillRecent();
  setOpen(menu, true);
  focusMenu(focusFirst ? menusOf(boxOf(menu))[0] : menu);
}

function openSubmenu(item, focusFirst) {
  if (item.classList.contains('disabled')) return;
  for (const other of menusOf(item.parentElement)) if (other !== item) closeBelow(other);
  setOpen(item, true);
  if (focusFirst) focusMenu(menusOf(boxOf(item))[0]);
}

function closeBelow(item) {
  for (const open of [item, ...item.querySelectorAll('.open')]) setOpen(open, false);
}

function closeMenus() {
  for (const m of document.querySelectorAll('#menubar .open')) setOpen(m, false);
}

// Closes the menus and gives the keyboard back to the control that had it.
function leaveMenus() {
  closeMenus();
  if (!$('menubar').contains(document.activeElement)) return;
  const back = focusBeforeMenus && document.contains(focusBeforeMenus) ? focusBeforeMenus : $(firstControl);
  back.focus();
}

function menuKey(e) {
  const item = e.target.closest('[role=menuitem]');
  if (!item || e.ctrlKey || e.altKey) return;
  const bar = $('menubar');
  const box = item.parentElement, onBar = box === bar;
  const list = menusOf(box), i = list.indexOf(item);
  const top = item.closest('#menubar > .menu'), tops = menusOf(bar), t = tops.indexOf(top);
  const hasBox = !!boxOf(item) && !onBar;
  const step = (d) => focusMenu(list[(i + d + list.length) % list.length]);
  const nextTop = (d) => {
    const next = tops[(t + d + tops.length) % tops.length];
    if (top.classList.contains('open')) openMenu(next, true);
    else focusMenu(next);
  };
  const activate = (entry) => {
    if (entry.parentElement === bar) openMenu(entry, true);
    else if (boxOf(entry)) openSubmenu(entry, true);
    else if (!entry.classList.contains('disabled')) entry.click();
  };
  switch (e.key) {
    case 'ArrowDown':
      if (onBar) openMenu(item, true);
      else step(1);
      break;
    case 'ArrowUp':
      if (onBar) {
        openMenu(item, false);
        focusMenu(menusOf(boxOf(item)).at(-1));
      } else {
        step(-1);
      }
      break;
    case 'ArrowRight':
      if (hasBox) openSubmenu(item, true);
      else nextTop(1);
      break;
    case 'ArrowLeft':
      if (!onBar && box.parentElement !== top) {
        closeBelow(box.parentElement);
        focusMenu(box.parentElement);
      } else {
        nextTop(-1);
      }
      break;
    case 'Home':
    case 'End':
      focusMenu(e.key === 'Home' ? list[0] : list.at(-1));
      break;
    case 'Enter':
    case ' ':
      activate(item);
      break;
    case 'Escape':
      if (!onBar && box.parentElement !== top) {
        closeBelow(box.parentElement);
        focusMenu(box.parentElement);
      } else if (top.classList.contains('open')) {
        closeMenus();
        focusMenu(top);
      } else {
        leaveMenus();
      }
      break;
    case 'Tab':
      closeMenus();
      return;
    default: {
      const entry = e.key.length === 1 && list.find((m) => m.dataset.key === e.key.toLowerCase());
      if (!entry) return;
      activate(entry);
    }
  }
  e.preventDefault();
  e.stopPropagation();
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
    const entry = menuItem(`mnuRecent${i + 1}`, 'item', `&${i + 1} ${withoutPageFolder(file)}`, box);
    entry.addEventListener('click', (e) => {
      e.stopPropagation();
      leaveMenus();
      show(session.openRecent(i));
      follow();
    });
  });
  item.classList.toggle('disabled', recentKept.length === 0);
  item.setAttribute('aria-disabled', String(recentKept.length === 0));
}

// The browser's own dialogs stand in for the desktop's where a page has them.
function menuCommand(name) {
  if (name === 'LoadMnu' || name === 'ImportMasMnu') {
    // The browser's file chooser stands for the Open dialog; the model reads the file.
    const input = $(name === 'LoadMnu' ? 'openFile' : 'masFile');
    input.value = '';
    input.click();
  } else if (name === 'ExportReportMnu' || name === 'ExportTableMnu') {
    // The browser's print dialog makes the PDF from the same page as Print: said first, as
    // the dialog's printer has to be set to saving a PDF.
    exportingPdf = true;
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
  const open = ['coreTablePanel', 'impedancePanel', 'emissionsPanel', 'libraryPanel', 'safetyPanel']
    .some((id) => $(id) && !$(id).hidden);
  if (open && !$('dialog').open) show(session.follow());
}

// One sound device for the page, made at the first beep that can sound: making one can take
// a few hundred milliseconds, so the beep comes once the box it goes with is on the screen;
// and until the user has touched the page the browser keeps it silent anyway (its autoplay
// rule), so a beep before then (the disclaimer's, at load) makes none.
let audio = null;
function beep() {
  if (navigator.userActivation && !navigator.userActivation.hasBeenActive) return;
  try {
    audio = audio || new AudioContext();
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
  for (const [name, text] of Object.entries(view.names)) $(name).setAttribute('aria-label', text);
  $('lblMainInput').textContent = view.captions.lblMainInput;
  $('lblMainInput').title = view.tooltips.lblMainInput;
  $('IndLabel').textContent = view.captions.IndLabel;
  $('SecondInput').disabled = !view.SecondInputEnabled;
  const list = $('lstCores');
  const wasHidden = list.hidden, hadKeyboard = document.activeElement === list;
  const listShown = wasHidden && view.lstCoresVisible;
  list.hidden = !view.lstCoresVisible;
  if (list.hidden !== wasHidden && document.body.classList.contains('phone')) fit();  // its block grows or shrinks
  if (list.options.length !== view.lstCores.length ||
      view.lstCores.some((text, i) => list.options[i].text !== text)) {
    list.replaceChildren(...view.lstCores.map((text) => new Option(text)));
  }
  const pn = $('txtPN');
  pn.style.left = px(view.txtPNLeft) + 'px';
  pn.style.width = px(view.txtPNWidth) + 'px';
  if (view.texts.txtPN && !times.firstDesign) times.firstDesign = performance.now();
  if (view.beep) requestAnimationFrame(() => setTimeout(beep));
  if (view.dialog) {
    ask(view.dialog);
    return;
  }
  keepRecent(view.recent);
  // A file command's message, or else the design's warnings, as the desktop's status line.
  $('status').textContent = withoutPageFolder(view.FileStatus || view.PrintStatus || '') || view.DesignNote || '';
  // The keyboard goes where the desktop window sends it: to the first control once the
  // disclaimer is answered, into the core list when it shows, else where the model says.
  if (firstControl && !started) {
    started = true;
    $(firstControl).focus();
    setTimeout(afterStart);
  }
  if (listShown) list.focus();
  if (view.focus && $(view.focus)) $(view.focus).focus();
  // The list hid under the keyboard (a core picked, the list closed, a message box about
  // the pick answered): the keyboard goes back to the button that opens the list.
  if (list.hidden && (hadKeyboard || lostFocus()) && !$('window').hidden) $('cmdSelCore').focus();
  if (view.help) window.open(view.help.replace(/^\.\//, ''), 'vtqhelp');
  if (view.printPage !== undefined) printPage(view.printPage);
  if (view.download) download(view.download);
  if (view.coreTable) showCoreTable(view.coreTable);
  if (view.impedance) showImpedance(view.impedance);
  if (view.emissions) showEmissions(view.emissions);
  if (view.library) showLibrary(view.library);
  if (view.safety) showSafety(view.safety);
  if (view.picture) savePicture(view.picture);
  keepLink();
  if (view.unloaded) {
    $('window').hidden = true;
    $('closed').hidden = false;
    // A reload starts a new design: the address no longer carries this one.
    linked = false;
    const own = pageOwnFields().toString();
    history.replaceState(history.state, '', location.pathname + (own ? '?' + own : ''));
  }
}

// Whether the keyboard has fallen to the page itself (its control hidden or gone).
function lostFocus() {
  const el = document.activeElement;
  return !el || el === document.body || !el.getClientRects().length;
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

let exportingPdf = false;
function printPage(text) {
  document.body.classList.remove('printingPlots');
  $('printPage').textContent = text;
  window.vtqPrinted = text;
  if (exportingPdf) {
    exportingPdf = false;
    $('status').textContent = 'The PDF is made by the print dialog: choose "Save as PDF" as its printer';
  }
  window.print();
}

// Where the browser offers a save dialog the user names the file (the model's name offered),
// elsewhere it is downloaded under that name.
function saveBlob(blob, name) {
  if (!window.showSaveFilePicker) {
    const link = element('a', {href: URL.createObjectURL(blob), download: name}, document.body);
    link.click();
    link.remove();
    return;
  }
  window.showSaveFilePicker({suggestedName: name})
    .then(async (file) => {
      const out = await file.createWritable();
      await out.write(blob);
      await out.close();
    })
    .catch((e) => {
      // A cancelled dialog leaves no file behind, whatever the model's message said.
      $('status').textContent = e.name === 'AbortError' ? `${name} was not saved: no file chosen` :
        `${name} was not saved: ${e.message}`;
    });
}

function download(name) {
  saveBlob(new Blob([module.FS.readFile(name)]), name);
}

// ---- The analysis windows: panels beside the design window (below it where the page is
// narrow), never over the results they follow; each can be dragged by its title bar and is
// closed with its close box or Escape ----

function panel(id, title) {
  let box = $(id);
  if (!box) {
    box = element('section', {id, className: 'panel', hidden: true, tabIndex: -1}, $('page'));
    const bar = element('div', {className: 'panelTitle'}, box);
    const heading = element('h2', {id: id + 'Title', textContent: title}, bar);
    box.setAttribute('aria-labelledby', heading.id);
    const close = element('button', {className: 'panelClose', type: 'button', textContent: '\u00d7',
      title: 'Close (Escape)'}, bar);
    close.setAttribute('aria-label', 'Close');
    close.addEventListener('click', () => closePanel(box));
    element('div', {className: 'panelBody'}, box);
    box.addEventListener('keydown', (e) => panelKey(box, e));
    draggable(box, bar);
  }
  return box;
}

function panelKey(box, e) {
  if (e.key === 'Escape' && !e.altKey && !e.ctrlKey) {
    e.preventDefault();
    closePanel(box);
  } else if (e.altKey && !e.ctrlKey) {
    const button = [...box.querySelectorAll('button[data-key]')].find((b) => b.dataset.key === e.key.toLowerCase());
    if (button) {
      e.preventDefault();
      e.stopPropagation();
      button.click();
    }
  }
}

// Shows a panel the model raised, with the keyboard in it; closing gives the keyboard back.
function raise(box) {
  if (!box.hidden) return;
  box.opener = document.activeElement;
  box.hidden = false;
  box.focus();
}

function closePanel(box) {
  box.hidden = true;
  keepLink();
  const back = box.opener && document.contains(box.opener) && !$('menubar').contains(box.opener) ?
    box.opener : $(firstControl);
  back.focus();
}

// Dragged, a panel keeps its place in the page's flow and is drawn shifted from it.
function draggable(box, handle) {
  handle.addEventListener('pointerdown', (e) => {
    if (e.target.closest('button')) return;
    const [x0, y0] = [e.clientX - (parseFloat(box.style.left) || 0), e.clientY - (parseFloat(box.style.top) || 0)];
    handle.setPointerCapture(e.pointerId);
    const move = (m) => Object.assign(box.style, {left: m.clientX - x0 + 'px', top: m.clientY - y0 + 'px'});
    handle.addEventListener('pointermove', move);
    handle.addEventListener('pointerup', () => handle.removeEventListener('pointermove', move), {once: true});
  });
}

// The core table: a heading click sorts by its column (again: the other way), by the
// number behind a text where there is one; a double-click or Enter applies the core. The
// headings are buttons and the rows one keyboard stop, moved through with the arrows.
const coreSort = {column: -1, up: true};
let coreTable;
function showCoreTable(view) {
  coreTable = view;
  const box = panel('coreTablePanel', view.title);
  const body = box.querySelector('.panelBody');
  // The table is drawn anew on every change: the keyboard keeps its heading or its row.
  const had = body.contains(document.activeElement) ? document.activeElement.dataset : {};
  body.replaceChildren();
  element('p', {textContent: view.intro}, body);
  const table = element('table', {className: 'cores'}, body);
  table.setAttribute('aria-label', view.title);
  const head = element('tr', {}, element('thead', {}, table));
  view.headings.forEach((heading, i) => {
    const th = element('th', {}, head);
    if (coreSort.column === i) th.setAttribute('aria-sort', coreSort.up ? 'ascending' : 'descending');
    const sort = element('button', {type: 'button', className: 'sort', textContent: heading}, th);
    sort.dataset.column = i;
    sort.addEventListener('click', () => {
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
  const apply = (row) => {
    show(session.tableDblClick(row));
    follow();
  };
  for (const row of rows) {
    const tr = element('tr', {className: row.automatic ? 'automatic' : '', tabIndex: -1}, tbody);
    tr.dataset.row = row.row;
    row.cells.forEach(([text, , tip], i) => element('td', {textContent: text, title: tip,
      className: view.numeric[i] ? 'number' : ''}, tr));
    tr.addEventListener('dblclick', () => apply(row.row));
    tr.addEventListener('keydown', (e) => {
      const next = {ArrowDown: tr.nextElementSibling, ArrowUp: tr.previousElementSibling,
        Home: tbody.firstElementChild, End: tbody.lastElementChild}[e.key];
      if (e.key === 'Enter') apply(row.row);
      else if (next) next.focus();
      else return;
      e.preventDefault();
    });
    tr.addEventListener('focus', () => {
      for (const other of tbody.children) other.tabIndex = other === tr ? 0 : -1;
    });
  }
  if (tbody.firstElementChild) tbody.firstElementChild.tabIndex = 0;
  const again = had.row !== undefined ? tbody.querySelector(`tr[data-row="${had.row}"]`) :
    had.column !== undefined ? head.querySelector(`button[data-column="${had.column}"]`) : null;
  if (again) again.focus();
  element('p', {textContent: view.note}, body);
  if (view.raise) raise(box);
}

// View > Core Library: the stocked rings filtered and searched by the model, sorted here by
// the number behind a cell; a ring picked (double-click or Enter) is designed on, and the
// impedance and emission panels then show that choke.
let library;
const librarySort = {column: 3, up: true};

function libraryForm(body) {
  const form = element('div', {id: 'libraryForm', className: 'emissionsForm'}, body);
  const box = (key, label, make) => {
    const id = 'Library_' + key;
    element('label', {htmlFor: id, textContent: label}, form);
    const el = make(id);
    el.dataset.key = key;
    return el;
  };
  box('search', 'Search', (id) => element('input', {id, type: 'search', placeholder: 'Part number, maker or grade'},
    form));
  box('maker', 'Maker', (id) => element('select', {id}, form));
  box('grade', 'Grade', (id) => element('select', {id}, form));
  box('minOd', 'Smallest OD', (id) => element('input', {id, placeholder: 'e.g. 20mm'}, form));
  box('maxOd', 'Largest OD', (id) => element('input', {id, placeholder: 'e.g. 1.5in'}, form));
  const changed = () => {
    const entry = {};
    for (const el of form.querySelectorAll('[data-key]')) entry[el.dataset.key] = el.value;
    show(session.setLibrary(JSON.stringify(entry)));
  };
  form.addEventListener('input', changed);
  form.addEventListener('change', (e) => { if (e.target.tagName === 'SELECT') changed(); });
  element('p', {id: 'libraryCount'}, body);
  element('div', {id: 'libraryProblem', className: 'problem', role: 'alert'}, body);
  element('div', {id: 'libraryList', className: 'libraryList'}, body);
  const buttons = element('div', {className: 'buttons'}, body);
  const unpick = element('button', {id: 'LibraryUnpick', type: 'button'}, buttons);
  caption(unpick, 'Design &Window\'s Core', false);
  unpick.addEventListener('click', () => command('LibraryUnpick'));
  element('p', {id: 'libraryDesign'}, body);
  element('div', {id: 'librarySteps'}, body);
  element('p', {id: 'librarySource', className: 'note'}, body);
}

function fillSelect(select, names, chosen) {
  if (select.options.length !== names.length + 1) {
    select.replaceChildren(new Option('All', ''), ...names.map((name) => new Option(name, name)));
  }
  select.value = chosen;
}

function showLibrary(view) {
  library = view;
  const box = panel('libraryPanel', view.title);
  const body = box.querySelector('.panelBody');
  if (!$('libraryForm')) libraryForm(body);
  for (const el of document.querySelectorAll('#libraryForm [data-key]')) {
    const text = view.entry[el.dataset.key];
    if (el.tagName === 'SELECT') fillSelect(el, el.dataset.key === 'maker' ? view.makers : view.grades, text);
    else if (el.value !== text) el.value = text;
  }
  $('libraryCount').textContent = view.count;
  $('libraryProblem').textContent = view.problem;
  const list = $('libraryList');
  const had = list.contains(document.activeElement) ? document.activeElement.dataset : {};
  list.replaceChildren();
  const table = element('table', {className: 'cores'}, list);
  table.setAttribute('aria-label', 'Stocked rings');
  const head = element('tr', {}, element('thead', {}, table));
  view.headings.forEach((heading, i) => {
    const th = element('th', {}, head);
    if (librarySort.column === i) th.setAttribute('aria-sort', librarySort.up ? 'ascending' : 'descending');
    const sort = element('button', {type: 'button', className: 'sort', textContent: heading}, th);
    sort.dataset.column = i;
    sort.addEventListener('click', () => {
      librarySort.up = librarySort.column === i ? !librarySort.up : true;
      librarySort.column = i;
      showLibrary(library);
    });
  });
  const rows = view.rows.map((cells, i) => ({cells, note: view.noCurve[i]}));
  const c = librarySort.column, numeric = view.numeric[c];
  rows.sort((a, b) => {
    const [x, y] = [a.cells[c], b.cells[c]];
    const order = numeric ? x[1] - y[1] : x[0].localeCompare(y[0]);
    return librarySort.up ? order : -order;
  });
  const tbody = element('tbody', {}, table);
  const pickRing = (part) => {
    show(session.pickRing(part));
    follow();
  };
  for (const row of rows) {
    const part = row.cells[0][0];
    const tr = element('tr', {className: part === view.picked ? 'automatic' : '', tabIndex: -1, title: row.note},
      tbody);
    tr.dataset.part = part;
    row.cells.forEach(([text], i) => element('td', {textContent: text, className: view.numeric[i] ? 'number' : ''},
      tr));
    tr.addEventListener('dblclick', () => pickRing(part));
    tr.addEventListener('keydown', (e) => {
      const next = {ArrowDown: tr.nextElementSibling, ArrowUp: tr.previousElementSibling,
        Home: tbody.firstElementChild, End: tbody.lastElementChild}[e.key];
      if (e.key === 'Enter') pickRing(part);
      else if (next) next.focus();
      else return;
      e.preventDefault();
    });
    tr.addEventListener('focus', () => {
      for (const other of tbody.children) other.tabIndex = other === tr ? 0 : -1;
    });
  }
  if (tbody.firstElementChild) tbody.firstElementChild.tabIndex = 0;
  const again = had.part !== undefined ? tbody.querySelector(`tr[data-part="${CSS.escape(had.part)}"]`) :
    had.column !== undefined ? head.querySelector(`button[data-column="${had.column}"]`) : null;
  if (again) again.focus();
  $('LibraryUnpick').disabled = !view.picked;
  $('libraryDesign').textContent = view.picked ? view.design :
    'The impedance and emission panels show the design window\'s choke. Double-click a ring to design on it.';
  const steps = $('librarySteps');
  steps.replaceChildren();
  if (view.designRows.length) {
    const t = element('table', {className: 'cores'}, steps);
    const h = element('tr', {}, element('thead', {}, t));
    for (const heading of ['Step', 'Value', 'How']) element('th', {textContent: heading}, h);
    const b = element('tbody', {}, t);
    for (const cells of view.designRows) {
      const tr = element('tr', {}, b);
      for (const text of cells) element('td', {textContent: text}, tr);
    }
  }
  $('librarySource').textContent = view.source;
  if (view.raise) raise(box);
}

// View > Safety: the mains the windings sit on and the touch-current limit, typed here; the
// distances between the windings and the Y budget as the model works them out.
function safetyForm(body, view) {
  const form = element('div', {id: 'safetyForm', className: 'emissionsForm'}, body);
  const box = (key, label, make) => {
    const id = 'Safety_' + key;
    element('label', {htmlFor: id, textContent: label}, form);
    const el = make(id);
    el.dataset.key = key;
    return el;
  };
  const choices = (id, options) => {
    const select = element('select', {id}, form);
    select.replaceChildren(...options.map(([value, text]) => new Option(text, value)));
    return select;
  };
  box('windings', 'Windings', (id) => choices(id, [['2', '2: line and neutral'], ['3', '3: three phases'],
    ['4', '4: three phases and neutral']]));
  box('mainsVoltage', 'Mains voltage (V)', (id) => element('input', {id, placeholder: 'e.g. 230 (line to neutral, rms)'},
    form));
  box('mainsFrequency', 'Mains frequency (Hz)', (id) => element('input', {id, placeholder: 'e.g. 60 Hz'}, form));
  box('category', 'Overvoltage category', (id) => choices(id, ['I', 'II', 'III', 'IV'].map((w) => [w, w])));
  box('pollution', 'Pollution degree', (id) => choices(id, ['1', '2', '3', '4'].map((w) => [w, w])));
  box('group', 'Material group', (id) => choices(id, ['I', 'II', 'IIIa', 'IIIb'].map((w) => [w, w])));
  box('divider', 'Divider', (id) => element('input', {id, placeholder: 'none; e.g. 1 mm'}, form));
  box('equipment', 'Equipment', (id) => {
    const select = choices(id, [['', 'None'], ...view.equipment.map(([key, name]) => [key, name])]);
    view.equipment.forEach(([, , source], i) => { select.options[i + 1].title = source; });
    return select;
  });
  box('touchCurrent', 'Touch current (A)', (id) => element('input', {id, placeholder: 'the equipment\'s; or e.g. 0.25mA'},
    form));
  const changed = () => {
    const entry = {};
    for (const el of form.querySelectorAll('[data-key]')) entry[el.dataset.key] = el.value;
    show(session.setSafety(JSON.stringify(entry)));
  };
  form.addEventListener('input', (e) => { if (e.target.tagName === 'INPUT') changed(); });
  form.addEventListener('change', (e) => { if (e.target.tagName === 'SELECT') changed(); });
  element('p', {id: 'safetyOf'}, body);
  element('div', {id: 'safetyProblem', className: 'problem', role: 'alert'}, body);
  const buttons = element('div', {className: 'buttons'}, body);
  const save = element('button', {id: 'SafetySave', type: 'button'}, buttons);
  caption(save, '&Save...', false);
  save.addEventListener('click', () => command('SafetySave'));
  element('div', {id: 'safetyGaps'}, body);
  element('pre', {id: 'safetyLines', className: 'note'}, body);
}

function showSafety(view) {
  const box = panel('safetyPanel', view.title);
  const body = box.querySelector('.panelBody');
  if (!$('safetyForm')) safetyForm(body, view);
  for (const el of document.querySelectorAll('#safetyForm [data-key]')) {
    const text = view.entry[el.dataset.key];
    if (el.value !== text && document.activeElement !== el) el.value = text;
  }
  $('safetyOf').textContent = view.of;
  $('safetyProblem').textContent = view.problem;
  $('SafetySave').disabled = view.problem !== '' || view.gaps.length === 0;
  const gaps = $('safetyGaps');
  gaps.replaceChildren();
  if (view.gaps.length) {
    const t = element('table', {className: 'cores'}, gaps);
    t.setAttribute('aria-label', 'Distances between the windings');
    const h = element('tr', {}, element('thead', {}, t));
    for (const heading of view.headings) element('th', {textContent: heading}, h);
    const b = element('tbody', {}, t);
    for (const cells of view.gaps) {
      const tr = element('tr', {}, b);
      cells.forEach((text, i) => element('td', {textContent: text,
        className: i > 0 && i < cells.length - 1 ? 'number' : ''}, tr));
    }
  }
  $('safetyLines').textContent = view.lines.join('\n');
  if (view.raise) raise(box);
}

const PLOT_FONT = '11px "VTQ Sans", "Liberation Sans", Arial, sans-serif';
const measure = document.createElement('canvas').getContext('2d');
const textWidth = (text) => {
  measure.font = 'bold ' + PLOT_FONT;
  return measure.measureText(text).width;
};
const escapeXml = (text) => text.replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'}[c]));
const darkScheme = matchMedia('(prefers-color-scheme: dark)');

// The plot as SVG text, laid out as the desktop window draws it, in the frame and the line
// styles the model gives: log axes with a label at each decade, the title and the legend on
// top, the requirement as a ring with its level. On the screen it follows the colour scheme;
// a saved picture (`paper`) is always dark on white, as the desktop's is.
let plotsDrawn = 0;  // each plot's clipping path has an id of its own in the page
function plotSvg(v, width, height, paper = false) {
  const dark = !paper && darkScheme.matches, area = 'area' + ++plotsDrawn;
  const [ground, ink, grid] = dark ? ['#1e1e1e', '#e8e8e8', '#5a5a5a'] : ['white', 'black', '#a0a0a0'];
  const out = [`<svg xmlns="http://www.w3.org/2000/svg" width="${width}" height="${height}" ` +
    `viewBox="0 0 ${width} ${height}" font-family='"VTQ Sans", "Liberation Sans", Arial, sans-serif' ` +
    `font-size="11" font-weight="bold"><rect width="100%" height="100%" fill="${ground}"/>`];
  const text = (x, y, t, fill = ink, name = '') => out.push(`<text x="${x.toFixed(1)}" y="${y.toFixed(1)}" ` +
    `fill="${fill}"${name ? ` class="${name}"` : ''}>${escapeXml(t)}</text>`);
  // A line in one of the model's styles: its colour on this ground (none: the text's).
  const colourOf = (style) => (style.colours ? style.colours[dark ? 1 : 0] : ink);
  const stroke = (style) => `stroke="${colourOf(style)}" stroke-width="${style.width}"` +
    (style.alpha < 1 ? ` stroke-opacity="${style.alpha.toFixed(3)}"` : '') +
    (style.dash.length ? ` stroke-dasharray="${style.dash.join(' ')}"` : '');
  const line = (x1, y1, x2, y2, style) => out.push(`<line x1="${x1.toFixed(1)}" ` +
    `y1="${y1.toFixed(1)}" x2="${x2.toFixed(1)}" y2="${y2.toFixed(1)}" ${stroke(style)}/>`);
  const gridLine = {colours: [grid, grid], alpha: 1, width: 1, dash: []};
  measure.font = 'bold ' + PLOT_FONT;
  const metrics = measure.measureText('Hg');
  const ascent = Math.round(metrics.fontBoundingBoxAscent);
  const lineHeight = Math.round(ascent + metrics.fontBoundingBoxDescent);
  // The title in as many lines as the width takes, broken between words.
  const title = [''];
  for (const word of v.heading.split(' ')) {
    const joined = title[title.length - 1] ? title[title.length - 1] + ' ' + word : word;
    if (title[title.length - 1] && textWidth(joined) > width - 8) title.push(word);
    else title[title.length - 1] = joined;
  }
  const f = JSON.parse(module.plotFrame(width, height, lineHeight, ascent,
    Math.max(...v.y.labels.map(textWidth)), textWidth(v.x.labels[v.x.labels.length - 1]),
    JSON.stringify(v.traces.map((t) => textWidth(t.name))), title.length));
  // The model places everything in the unit square of the area.
  const xAt = (x) => f.left + x * (f.right - f.left);
  const yAt = (y) => f.bottom - y * (f.bottom - f.top);
  v.x.labels.forEach((label, i) => {
    const x = xAt(v.x.ticks[i]);
    line(x, f.top, x, f.bottom, gridLine);
    text(x - textWidth(label) / 2, f.xLabelY, label);
  });
  v.y.labels.forEach((label, i) => {
    const y = yAt(v.y.ticks[i]);
    line(f.left, y, f.right, y, gridLine);
    text(f.left - textWidth(label) - f.yLabelGap, y + ascent / 2, label);
  });
  title.forEach((part, i) => text(f.titleX, f.titleY + i * lineHeight, part, ink, i ? '' : 'heading'));
  v.traces.forEach((t, i) => {
    const [x, y] = f.legend[i];
    line(x, y - ascent / 3, x + f.legendStroke, y - ascent / 3, t.style);
    text(x + f.legendText, y, t.name);
  });
  const m = f.clipMargin, limit = colourOf(f.requirement);
  out.push(`<clipPath id="${area}"><rect x="${f.left - m}" y="${f.top - m}" width="${f.right - f.left + 2 * m}" ` +
    `height="${f.bottom - f.top + 2 * m}"/></clipPath><g clip-path="url(#${area})" fill="none">`);
  if (v.requiredAt) {
    const [rx, ry] = [xAt(v.requiredAt[0]), yAt(v.requiredAt[1])];
    line(rx, ry, f.right, ry, f.requirement);
    out.push(`<circle cx="${rx.toFixed(1)}" cy="${ry.toFixed(1)}" r="${f.ringRadius}" stroke="${limit}" ` +
      `stroke-width="${f.ringPen}"/>`);
  }
  if (v.selfResonance > 0) line(xAt(v.selfResonanceAt), f.top, xAt(v.selfResonanceAt), f.bottom, f.selfResonance);
  for (const t of v.traces) {
    let d = '';
    for (const piece of t.line) {
      for (let i = 0; i < piece.length; i += 2) {
        d += (i ? 'L' : 'M') + xAt(piece[i]).toFixed(1) + ' ' + yAt(piece[i + 1]).toFixed(1);
      }
    }
    out.push(`<path d="${d}" ${stroke(t.style)}/>`);
  }
  out.push('</g>');
  if (v.requiredAt) {
    const [rx, ry] = [xAt(v.requiredAt[0]), yAt(v.requiredAt[1])];
    const w = textWidth(v.requiredLabel);
    const lx = Math.min(Math.max(rx + f.ringLabelRight, f.left + 2), Math.max(f.left + 2, f.right - w - 2));
    const ly = Math.min(Math.max(ry - f.ringLabelAbove, f.top + lineHeight), Math.max(f.top + lineHeight, f.bottom - 4));
    text(lx, ly, v.requiredLabel, limit);
  }
  out.push('</svg>');
  return out.join('');
}

// A plot on the screen: the design size (640 px wide) where the page has room, else as
// wide as the screen leaves it (a panel's borders and padding, 34 px, taken off) and
// somewhat less tall, so that a phone shows the whole plot with its texts at full size.
function screenPlot(view, height) {
  const width = Math.max(280, Math.min(640, document.documentElement.clientWidth - 34));
  return plotSvg(view, width, Math.round(height * Math.max(0.75, width / 640)));
}

// The plots drawn again for the screen's width or colour scheme.
function redrawPlots() {
  if (impedance && $('impedancePanel')) drawImpedance();
  if (emissions && $('emissionsPanel')) drawEmissions();
}
addEventListener('resize', redrawPlots);
darkScheme.addEventListener('change', redrawPlots);

let impedance;
function showImpedance(view) {
  impedance = view;
  const box = panel('impedancePanel', view.title);
  const body = box.querySelector('.panelBody');
  body.replaceChildren();
  element('div', {className: 'plot impedancePlot'}, body);
  // The second panel: the choke's insertion loss over the conducted band.
  element('div', {className: 'plot lossPlot'}, body);
  // The third, with a measured choke: measured over model.
  element('div', {className: 'plot ratioPlot'}, body);
  drawImpedance();
  const below = element('div', {className: 'plotBelow'}, body);
  element('div', {className: 'plotCaption', textContent: view.caption}, below);
  const format = element('select', {id: 'plotFormat'}, below);
  format.setAttribute('aria-label', 'File type');
  for (const [suffix, name] of [['png', 'PNG Image'], ['svg', 'SVG Drawing'], ['csv', 'CSV Values']]) {
    format.add(new Option(`${name} (*.${suffix})`, suffix));
  }
  const save = element('button', {id: 'ImpedanceSave', type: 'button'}, below);
  caption(save, '&Save Plot...', false);
  save.addEventListener('click', () => show(session.savePlot('impedance.' + format.value)));
  // The core's permeability from a file of the user's (a measurement, another grade), as
  // the desktop's Measured Material... button takes it.
  const material = element('button', {id: 'ImpedanceMaterial', type: 'button'}, below);
  caption(material, '&Measured Material...', false);
  material.addEventListener('click', () => {
    const input = $('materialFile');
    input.value = '';
    input.click();
  });
  // A measured choke (a Touchstone file or an impedance table) beside the model, and back.
  const measured = element('button', {id: 'ImpedanceMeasured', type: 'button'}, below);
  caption(measured, 'Measured &Choke...', false);
  measured.addEventListener('click', () => {
    const input = $('measuredFile');
    input.value = '';
    input.click();
  });
  const remove = element('button', {id: 'ImpedanceRemoveMeasured', type: 'button', disabled: !view.measured}, below);
  caption(remove, '&Remove Measured Choke', false);
  remove.addEventListener('click', () => show(session.click('ImpedanceRemoveMeasured')));
  // The core temperature the curve and the saturation are taken at, as on the desktop.
  const label = element('label', {htmlFor: 'ImpedanceTemperature', textContent: 'Core \u00b0C'}, below);
  label.title = 'The core temperature the curve and the saturation are taken at';
  const temperature = element('input', {id: 'ImpedanceTemperature', type: 'number', min: -40, max: 150, step: 1,
    value: view.temperature}, below);
  temperature.addEventListener('change', () => {
    const celsius = Number(temperature.value);
    if (Number.isFinite(celsius)) show(session.setTemperature(celsius));
  });
  const print = element('button', {id: 'ImpedancePrint', type: 'button'}, below);
  caption(print, '&Print...', false);
  print.addEventListener('click', () => printPlots('impedance'));
  if (view.raise) raise(box);
}

function drawImpedance() {
  const view = impedance, drawn = view.frequencies.length && view.x.labels.length && view.y.labels.length;
  const [plot, loss, ratio] =
    ['.impedancePlot', '.lossPlot', '.ratioPlot'].map((c) => $('impedancePanel').querySelector(c));
  if (drawn) plot.innerHTML = screenPlot(view, 420);
  else plot.textContent = view.problem;
  loss.innerHTML = drawn ? screenPlot(view.insertionLoss, 260) : '';
  ratio.innerHTML = drawn && view.ratio ? screenPlot(view.ratio, 220) : '';
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
// The entries, then the plot with its verdict and the cores tried: side by side where the
// page has room, the plot under the entries where it has not (a phone, a tablet).
function emissionsForm(body, view) {
  const entries = element('div', {id: 'emissionsEntries'}, body);
  const results = element('div', {id: 'emissionsResults'}, body);
  const form = element('div', {id: 'emissionsForm', className: 'emissionsForm'}, entries);
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
  element('div', {id: 'emissionsProblem', className: 'problem', role: 'alert'}, entries);
  const buttons = element('div', {className: 'plotBelow'}, entries);
  const find = element('button', {id: 'EmissionsFindCore', type: 'button'}, buttons);
  caption(find, 'Find &Core', false);
  find.addEventListener('click', () => command('EmissionsFindCore'));
  const applyCore = element('button', {id: 'EmissionsApplyCore', type: 'button'}, buttons);
  caption(applyCore, '&Apply Core', false);
  applyCore.title = 'Make the core Find Core found the design (its inputs change)';
  applyCore.addEventListener('click', () => command('EmissionsApplyCore'));
  const format = element('select', {id: 'emissionsFormat'}, buttons);
  format.setAttribute('aria-label', 'File type');
  for (const [suffix, name] of [['png', 'PNG Image'], ['svg', 'SVG Drawing'], ['csv', 'CSV Values']]) {
    format.add(new Option(`${name} (*.${suffix})`, suffix));
  }
  const save = element('button', {id: 'EmissionsSave', type: 'button'}, buttons);
  caption(save, '&Save Plot...', false);
  save.addEventListener('click', () => show(session.savePlot('emissions.' + format.value)));
  const print = element('button', {id: 'EmissionsPrint', type: 'button'}, buttons);
  caption(print, '&Print...', false);
  print.addEventListener('click', () => printPlots('emissions'));
  element('div', {id: 'emissionsPlot', className: 'plot'}, results);
  element('div', {id: 'emissionsCaption', className: 'plotCaption'}, results);
  element('div', {id: 'emissionsSearch'}, results);
}

function drawEmissions() {
  const view = emissions, plot = $('emissionsPlot');
  if (view.frequencies.length && view.x.labels.length && view.y.labels.length) plot.innerHTML = screenPlot(view, 420);
  else plot.textContent = view.problem;
}
function showEmissions(view) {
  emissions = view;
  keepEmissions(view.entry);
  const box = panel('emissionsPanel', view.title);
  const body = box.querySelector('.panelBody');
  if (!$('emissionsForm')) emissionsForm(body, view);
  $('emissionsProblem').textContent = view.inputProblem;
  $('EmissionsSave').disabled = !!(view.inputProblem || view.problem);
  $('EmissionsFindCore').disabled = !!view.inputProblem;
  $('EmissionsApplyCore').disabled = !view.search.canApply;
  drawEmissions();
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
  if (view.raise) raise(box);
}

// A picture of the plot the model asked for: the same drawing, 900 x 600, on white.
function savePicture({of, name, format}) {
  const svg = plotSvg(of === 'emissions' ? emissions : impedance, 900, 600, true);
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

// A plot window's Print...: a report of its plots as on paper (dark on white), the verdict
// or the caption under them, the inputs they were drawn for and the design's results;
// printed alone (vtq.css), from the browser's print dialog, which also makes a PDF.
function printPlots(which) {
  const report = $('plotReport'), view = which === 'emissions' ? emissions : impedance;
  report.replaceChildren();
  element('h1', {textContent: `${view.title}: ${$('txtPN').value}`}, report);
  const plots = which === 'emissions' ? [[view, 440]]
    : [[view, 440], [view.insertionLoss, 300], ...(view.ratio ? [[view.ratio, 260]] : [])];
  for (const [plot, height] of plots) {
    if (plot.frequencies.length && plot.x.labels.length) {
      element('div', {className: 'plot', innerHTML: plotSvg(plot, 680, height, true)}, report);
    }
  }
  element('p', {className: 'verdict', textContent: view.problem || view.caption}, report);
  const rows = (pairs, caption) => {
    const table = element('table', {}, report);
    element('caption', {textContent: caption}, table);
    for (const [name, value] of pairs) {
      const tr = element('tr', {}, table);
      element('th', {textContent: name}, tr);
      element('td', {textContent: value}, tr);
    }
  };
  if (which === 'emissions') {
    rows([...document.querySelectorAll('#emissionsForm [data-key]')].map((box) =>
      [box.labels[0].textContent, box.tagName === 'SELECT' ? box.selectedOptions[0].text : box.value]), 'Inputs');
    if (view.search.summary) element('p', {textContent: view.search.summary}, report);
  }
  rows(session.results().trim().split('\n').map((line) => line.split('\t')), 'Design');
  document.body.classList.add('printingPlots');
  window.print();
}
addEventListener('afterprint', () => document.body.classList.remove('printingPlots'));

// A file the user chose, put where the model reads it, under its own name (which the status
// line then shows), and handed to the session command that opens it.
function openChosen(input, open) {
  $(input).addEventListener('change', async () => {
    const file = $(input).files[0];
    if (!file) return;
    const name = file.name.replace(/[\\/]/g, '_');
    module.FS.writeFile(name, new Uint8Array(await file.arrayBuffer()));
    show(open(name));
  });
}
openChosen('openFile', (name) => session.open(name));
openChosen('materialFile', (name) => session.openMaterial(name));
openChosen('masFile', (name) => session.openMas(name));
openChosen('measuredFile', (name) => session.openMeasured(name));

// Opened from a file:// address the browser will not fetch the WebAssembly: say so, in
// place of a grey window that never fills.
function notServed() {
  $('window').hidden = true;
  $('notServed').hidden = false;
}

if (location.protocol === 'file:') {
  notServed();
} else {
  VtqModule({instantiateWasm}).then(start);
}

// The module's WebAssembly comes gzip-compressed and is unpacked here as it arrives, unless
// the server already unpacked it (one that marks .gz files as gzip-encoded): the browser
// compiles it while it streams in instead of after the whole file is in and unpacked.
function instantiateWasm(imports, done) {
  fetch('vtq-web.wasm.gz')
    .then(async (response) => {
      if (!response.ok) throw new Error(`vtq-web.wasm.gz: HTTP ${response.status}`);
      // The first two bytes tell: a gzip member starts 31, 139; the module itself with "\0a".
      const reader = response.body.getReader();
      let head = new Uint8Array(0);
      while (head.length < 2) {
        const {done: end, value} = await reader.read();
        if (end) break;
        const joined = new Uint8Array(head.length + value.length);
        joined.set(head);
        joined.set(value, head.length);
        head = joined;
      }
      const body = new ReadableStream({
        start(controller) {
          if (head.length) controller.enqueue(head);
        },
        async pull(controller) {
          const {done: end, value} = await reader.read();
          if (end) controller.close();
          else controller.enqueue(value);
        },
      });
      const gzip = head[0] === 31 && head[1] === 139;
      const wasm = gzip ? body.pipeThrough(new DecompressionStream('gzip')) : body;
      return WebAssembly.instantiateStreaming(new Response(wasm, {headers: {'Content-Type': 'application/wasm'}}),
        imports);
    })
    .then(({instance, module}) => done(instance, module), (e) => {
      $('window').hidden = true;
      $('notServed').hidden = false;
      $('notServed').textContent = `The page's program did not load (${e.message}). Reload the page to try again.`;
    });
  return {};
}

function start(m) {
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
  // Once the page has what it needs, so that keeping the files finds them in the browser's
  // cache instead of fetching them a second time beside the page's own fetches.
  if ('serviceWorker' in navigator) {
    document.fonts.ready.then(() => navigator.serviceWorker.register('vtq-sw.js')).then(watchUpdates)
      .catch(() => {});
  }
}

// A new version of the page, fetched by its service worker while this one runs, waits until
// the user chooses to reload (the page's module and its WebAssembly only work as a pair).
function watchUpdates(registration) {
  const offer = (worker) => navigator.serviceWorker.controller && offerReload(worker);
  if (registration.waiting) offer(registration.waiting);
  registration.addEventListener('updatefound', () => {
    const worker = registration.installing;
    worker.addEventListener('statechange', () => worker.state === 'installed' && offer(worker));
  });
}

function offerReload(worker) {
  $('update').hidden = false;
  $('updateLater').onclick = () => ($('update').hidden = true);
  $('updateReload').onclick = () => {
    navigator.serviceWorker.addEventListener('controllerchange', () => location.reload(), {once: true});
    worker.postMessage('reload');
  };
}

// ---- A design in the page's address, the emission case kept for the next visit ----
// The address carries the design and, while its window is open, the emission case, under
// the command line's names (the model's DesignLinkOf): copied, it is a link to them. On
// opening, after the disclaimer, the address's design is applied as a design file would be.
const kEmissionsKey = 'vtq.emissions';
const linkAtLoad = Object.fromEntries(new URLSearchParams(location.search));
let linked = false;  // the address's design applied: from now on the address follows the window

// The fields of the address that are the page's own, not the design's (a test's date).
function pageOwnFields() {
  const own = new URLSearchParams();
  if (linkAtLoad.date) own.set('date', linkAtLoad.date);
  return own;
}

function afterStart() {
  let kept = null;
  try {
    kept = localStorage.getItem(kEmissionsKey);
  } catch (e) {
    // No storage: the emission case starts as the example.
  }
  if (kept) session.setEmissions(kept);
  linked = true;
  if (Object.keys(linkAtLoad).some((key) => !pageOwnFields().has(key))) {
    show(session.openLink(JSON.stringify(linkAtLoad)));
    follow();
  } else {
    keepLink();
  }
}

function keepLink() {
  if (!linked) return;
  const fields = pageOwnFields();
  const emissionsOpen = !!$('emissionsPanel') && !$('emissionsPanel').hidden;
  for (const [key, text] of Object.entries(JSON.parse(session.link(emissionsOpen)))) fields.set(key, text);
  const query = '?' + fields.toString();
  if (query !== location.search) history.replaceState(history.state, '', query);
}

function keepEmissions(entry) {
  try {
    localStorage.setItem(kEmissionsKey, JSON.stringify(entry));
  } catch (e) {
    // Storage full or refused: the entries last for this visit only.
  }
}
