// Makes the page's control column from the dialog's resource script, so that
// the dialog's layout is written once: positions, sizes, captions and order
// (which is the tab order), which buttons are push-like and which controls
// are tab stops. Element names and kinds come from the one table of the
// controls (control/controls.h); a control whose kind the script does not
// give it, or that the table does not name, stops the build.
//   node web/layout.mjs shell/plim.rc control/controls.h control/control_ids.h \
//        web/index.html > site/index.html
// The page's template holds the line <!-- controls --> where the column goes,
// and CONTROL_COLUMN_WIDTH where the column's width in pixels goes.
import { readFileSync } from 'node:fs';

// Dialog units to pixels. Across, the column of 51 units (the render frame's
// left edge) is CONTROL_COLUMN_WIDTH pixels wide, as the dialog's own
// OnSize measures it; down, a unit is an eighth of the dialog font's
// 13-pixel line.
const UNITS_DOWN = 13 / 8;

function fail(message) {
  console.error(`layout: ${message}`);
  process.exit(1);
}

// The statements of the main dialog's template, each as its fields, a field
// being a quoted text or the words between two commas.
export function dialogControls(script) {
  const body = script.match(/^IDD_MAIN\s+DIALOGEX[^\n]*\n[\s\S]*?^BEGIN\n([\s\S]*?)^END/m);
  if (!body) fail('no IDD_MAIN DIALOGEX in the resource script');
  const statements = body[1].split(/\n(?=\s*[A-Z]+\s)/).map((s) => s.replace(/\s+/g, ' ').trim());
  return statements.filter(Boolean).map((statement) => {
    const [, keyword, rest] = statement.match(/^(\w+)\s+(.*)$/);
    const fields = rest.match(/"[^"]*"|[^,]+/g).map((f) => f.trim());
    const text = (f) => f.replace(/^"|"$/g, '');
    const numbers = (list) => list.map(Number);
    if (keyword === 'LTEXT') {
      const [caption, id, ...rect] = fields;
      return { keyword, caption: text(caption), id, className: 'Static', style: '', rect: numbers(rect) };
    }
    if (keyword !== 'CONTROL') fail(`a ${keyword} statement the page does not know`);
    const [caption, id, className, style, x, y, w, h] = fields;
    return { keyword, caption: text(caption), id, className: text(className), style, rect: numbers([x, y, w, h]) };
  });
}

export function controlTable(header, ids) {
  const values = Object.fromEntries([...ids.matchAll(/#define (IDC_\w+) (\d+)/g)].map((m) => [m[1], m[2]]));
  const table = new Map();
  for (const [, id, name, kind] of header.matchAll(/\{(IDC_\w+), "(\w+)", ControlKind::(\w+)\}/g)) {
    table.set(id, { name, kind, value: values[id] });
  }
  const width = header.match(/CONTROL_COLUMN_WIDTH = (\d+);/);
  if (!width) fail('no CONTROL_COLUMN_WIDTH in the table of the controls');
  return { table, columnWidth: Number(width[1]) };
}

function kindOf(control) {
  const styles = control.style.split('|').map((s) => s.trim());
  if (control.className === 'Edit') return 'EDIT';
  if (control.className === 'Static') return styles.includes('SS_ETCHEDFRAME') ? 'FRAME' : 'LABEL';
  if (styles.includes('BS_AUTORADIOBUTTON')) return 'RADIO';
  if (styles.includes('BS_AUTOCHECKBOX')) return 'CHECK';
  if (styles.includes('BS_PUSHBUTTON')) return 'BUTTON';
  fail(`control ${control.id} is of a kind the page does not know`);
}

export function column(script, header, ids) {
  const { table, columnWidth } = controlTable(header, ids);
  const controls = dialogControls(script);
  const frame = controls.find((c) => kindOf(c) === 'FRAME');
  if (!frame) fail('the dialog has no render frame');
  const across = columnWidth / frame.rect[0];
  const px = (value) => `${Math.round(value * 1000) / 1000}px`;
  const place = ([x, y, w, h]) =>
    `left:${px(x * across)};top:${px(y * UNITS_DOWN)};width:${px(w * across)};height:${px(h * UNITS_DOWN)}`;
  const edits = [];
  const lines = [];
  let radioGroup = null;
  for (const control of controls) {
    const kind = kindOf(control);
    if (kind === 'FRAME') continue;
    const styles = control.style.split('|').map((s) => s.trim());
    const tabStop = styles.includes('WS_TABSTOP') ? '' : ' tabindex="-1"';
    if (kind === 'LABEL') {
      // A caption names the edit just above it in its column.
      const [x, y] = control.rect;
      const edit = edits.filter((e) => Math.abs(e.rect[0] - x) <= 1 && e.rect[1] < y)
        .sort((a, b) => b.rect[1] - a.rect[1])[0];
      const owner = edit ? ` for="${table.get(edit.id).name}"` : '';
      lines.push(`<label class="caption"${owner} style="${place(control.rect)}">${control.caption}</label>`);
      radioGroup = null;
      continue;
    }
    const entry = table.get(control.id);
    if (!entry) fail(`${control.id} is not in the table of the controls`);
    if (entry.kind !== kind) fail(`${control.id} is a ${kind} in the resource script, a ${entry.kind} in the table`);
    const id = `id="${entry.name}"`;
    if (kind === 'EDIT') {
      edits.push(control);
      const digits = styles.includes('ES_NUMBER') ? ' inputmode="numeric" data-digits' : '';
      lines.push(`<input class="edit" type="text" ${id}${digits}${tabStop} autocomplete="off" spellcheck="false" style="${place(control.rect)}">`);
    } else if (kind === 'BUTTON') {
      lines.push(`<button type="button" ${id}${tabStop} style="${place(control.rect)}">${control.caption}</button>`);
    } else {
      // A run of radio buttons is one group, as the dialog groups them.
      radioGroup = kind === 'RADIO' ? radioGroup ?? entry.name : null;
      const type = kind === 'RADIO' ? `radio" name="${radioGroup}` : 'checkbox';
      const push = styles.includes('BS_PUSHLIKE') ? 'push' : 'plain';
      lines.push(`<label class="${push}" style="${place(control.rect)}"><input type="${type}" ${id}${tabStop} autocomplete="off"><span>${control.caption}</span></label>`);
    }
    if (kind !== 'RADIO') radioGroup = null;
  }
  return { html: lines.join('\n'), columnWidth };
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const [scriptPath, headerPath, idsPath, templatePath] = process.argv.slice(2);
  if (!templatePath) fail('usage: layout.mjs plim.rc controls.h control_ids.h index.html');
  const read = (path) => readFileSync(path, 'utf8');
  const { html, columnWidth } = column(read(scriptPath), read(headerPath), read(idsPath));
  const template = read(templatePath);
  if (!template.includes('<!-- controls -->')) fail('the template has no <!-- controls --> line');
  process.stdout.write(template.replace('<!-- controls -->', html)
    .replaceAll('CONTROL_COLUMN_WIDTH', String(columnWidth)));
}
