// The page's frame pictures: plim-frame's arguments, drawn by the page in a
// browser (PLIM_ENGINE's, web/browser.mjs, on the virtual display). The page
// is opened to step by hand (index.html?step), in a window
// whose canvas is the frame size asked for; the edits are pasted and the
// buttons pressed as a user does; then the test steps the ticks itself and
// reads the canvas back after each tick named, as PREFIX-N.png.
//   node web/frame.mjs --size WxH --ticks N[,N...] --out PREFIX [--edit NAME=TEXT]...
//                      [--fill tex|wire|point[@TICK]]... [--pov] [--field] [--stuff]
//   node web/frame.mjs --batch < requests     (one request's arguments a line)
import { deflateSync, crc32 } from 'node:zlib';
import { writeFileSync } from 'node:fs';
import { createInterface } from 'node:readline';
import { canvasPicture, openPage, setEdit, startBrowser } from './browser.mjs';

// The width of the control column the canvas sits beside.
const CONTROL_COLUMN = 75;
const CHECKS = { '--pov': 'pov', '--field': 'field', '--stuff': 'stuff' };

export function readRequest(words) {
  const request = { edits: [], fills: new Map(), checks: [] };
  for (let i = 0; i < words.length; ++i) {
    const word = words[i];
    if (CHECKS[word]) { request.checks.push(CHECKS[word]); continue; }
    const value = words[++i];
    if (value === undefined) throw new Error(`${word} wants a value`);
    if (word === '--size') [request.width, request.height] = value.split('x').map(Number);
    else if (word === '--ticks') request.ticks = value.split(',').map(Number);
    else if (word === '--out') request.out = value;
    else if (word === '--edit') request.edits.push(value.split(/=(.*)/s).slice(0, 2));
    else if (word === '--fill') {
      const [mode, at] = value.split('@');
      request.fills.set(at === undefined ? 1 : Number(at), mode);
    } else throw new Error(`unknown argument ${word}`);
  }
  if (!(request.width > 0 && request.height > 0 && request.ticks && request.out)) {
    throw new Error('--size, --ticks and --out are needed');
  }
  return request;
}

// An 8-bit RGB PNG of rows from the top.
export function png(width, height, rgb) {
  const rows = Buffer.alloc((width * 3 + 1) * height);
  for (let y = 0; y < height; ++y) {
    rgb.copy(rows, y * (width * 3 + 1) + 1, y * width * 3, (y + 1) * width * 3);
  }
  const chunk = (type, data) => {
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(crc32(body));
    return Buffer.concat([length, body, crc]);
  };
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8);  // 8 bits, RGB, no interlace
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
    chunk('IHDR', header), chunk('IDAT', deflateSync(rows)), chunk('IEND', Buffer.alloc(0))]);
}

export async function drawFrames(session, request) {
  const page = await openPage(session,
    { width: request.width + CONTROL_COLUMN, height: request.height, query: '?step' });
  try {
    // Pasted into the edits, then Regenerate twice (the first press cancels
    // the default world's run) and, for the NPC count, New.
    const world = request.edits.filter(([name]) => name !== 'npc');
    for (const [name, text] of request.edits) await setEdit(page, name, text);
    if (world.length > 0) {
      await page.click('#regenerate');
      await page.click('#regenerate');
    }
    if (request.edits.some(([name]) => name === 'npc')) await page.click('#new');
    for (const check of request.checks) await page.click(`#${check} + span`);
    const last = Math.max(...request.ticks);
    for (let tick = 1; tick <= last; ++tick) {
      if (request.fills.has(tick)) await page.click(`#${request.fills.get(tick)} + span`);
      await page.run(() => window.plim.step(1));
      if (!request.ticks.includes(tick)) continue;
      const frame = await canvasPicture(page);
      if (frame.width !== request.width || frame.height !== request.height) {
        throw new Error(`the canvas is ${frame.width}x${frame.height}, not ${request.width}x${request.height}`);
      }
      writeFileSync(`${request.out}-${tick}.png`, png(frame.width, frame.height, frame.rgb));
    }
  } finally {
    await page.close();
  }
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const batch = process.argv[2] === '--batch';
  const requests = [];
  if (batch) {
    for await (const line of createInterface({ input: process.stdin })) {
      if (line.trim()) requests.push(readRequest(line.trim().split(/\s+/)));
    }
  } else {
    requests.push(readRequest(process.argv.slice(2)));
  }
  const session = await startBrowser();
  try {
    for (const request of requests) await drawFrames(session, request);
  } finally {
    await session.close();
  }
}
