// The page's start and what can go wrong around it, as a user meets it, in
// each browser engine: the
// controls start as the dialog's whatever the browser did before, the canvas
// fits the window it starts in, a page that cannot start says why, the tab
// has the program's icon, a lost context leaves nothing behind, a short
// window keeps the canvas in view, and a dense screen shows points as large
// as the Windows program's.
import { after, before } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { canvasPicture, engineTest, litPixels, openPage, startBrowser } from '../browser.mjs';

let session;
before(async () => { session = await startBrowser(); });
after(async () => { await session.close(); });

const frameSize = (page) => page.run(() => {
  const canvas = document.getElementById('frame');
  return [canvas.width, canvas.height];
});

engineTest('starts as the dialog opens, whatever was pressed, restored or resized while it loaded', async () => {
  // The program is held back, so that the test can do what a user does
  // while it loads.
  let release;
  const site = await session.serve({ hold: new Promise((done) => { release = done; }) });
  const page = await session.newPage({ width: 443, height: 375 });
  const loading = page.goto(site.url);
  await page.waitFor(() => document.getElementById('new') !== null);
  // As the browser restores a form, and a click that reaches nothing yet.
  await page.run(() => {
    for (const id of ['wire', 'pov', 'stuff']) document.getElementById(id).checked = true;
  });
  await page.click('#point + span');
  await page.resize(675, 300);
  release();
  await loading;
  await page.waitFor(() => window.plim && window.plim.firstFrame !== null);
  const pressed = await page.run(() =>
    [...document.querySelectorAll('#controls input')].filter((i) => i.checked).map((i) => i.id));
  assert.deepEqual(pressed, []);
  assert.deepEqual(await frameSize(page), [600, 300]);
  await page.close();
});

engineTest('lays the column out as the dialog lays it out', async () => {
  const page = await openPage(session);
  // Regenerate is at 0, 188, 50 x 12 dialog units, "Field" at 26, 0, 25 x 14:
  // a unit is 75/51 pixels across and 13/8 down.
  // The browser places boxes in 64ths of a pixel.
  const boxes = await page.run(() => [...document.querySelectorAll('#regenerate, #field + span')]
    .map((e) => { const r = e.getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; }));
  const expected = [[0, 305.5, 73.53, 19.5], [38.24, 0, 36.76, 22.75]];
  boxes.flat().forEach((value, i) => assert.ok(Math.abs(value - expected.flat()[i]) < 0.02, `${boxes}`));
  // Captions black as the dialog's, the buttons' too.
  assert.deepEqual(await page.run(() => ['regenerate', 'new', 'field']
    .map((id) => getComputedStyle(document.getElementById(id).closest('label') || document.getElementById(id)).color)),
  ['rgb(0, 0, 0)', 'rgb(0, 0, 0)', 'rgb(0, 0, 0)']);
  await page.close();
});

engineTest('says why it cannot start: no program, or no WebGL2', async () => {
  const missing = await session.serve({ missing: ['/plim-module.js'] });
  const page = await openFailing(missing);
  assert.match(await failure(page), /could not be loaded/);
  assert.equal(await page.run(() => document.getElementById('controls').disabled), true);
  await page.close();

  const blind = await session.serve({ first: `
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
      return kind === 'webgl2' ? null : getContext.call(this, kind, ...rest);
    };` });
  const unseeing = await openFailing(blind);
  assert.match(await failure(unseeing), /no WebGL2/);
  // The program runs without drawing, as the dialog does without a device.
  await unseeing.waitFor(() => document.getElementById('regenerate').textContent.startsWith('cancel'));
  await unseeing.close();
});

async function openFailing(site) {
  const page = await session.newPage();
  await page.goto(site.url);
  await page.waitFor(() => document.getElementById('failure')?.hidden === false);
  return page;
}
const failure = (page) => page.run(() => document.getElementById('failure').textContent);

engineTest('the tab shows the program\'s icon, and nothing the page asks for fails', async () => {
  const site = await session.serve();
  const page = await openPage(session, { site });
  const icon = await page.run(async () => {
    const href = document.querySelector('link[rel=icon]').href;
    return [...new Uint8Array(await (await fetch(href)).arrayBuffer())];
  });
  assert.deepEqual(Buffer.from(icon), readFileSync(new URL('../../shell/plim.ico', import.meta.url)));
  // The browser asks for the icon by itself too, some time after the load.
  await page.waitFor(() => window.plim.ticks > 30);
  assert.deepEqual(site.failed, []);
  await page.close();
});

// The page stepped by hand to the given tick, losing its context before the
// ticks listed, each time waiting until the fresh canvas is there.
async function steppedPage(ticks, losses = []) {
  const page = await openPage(session, { query: '?step' });
  for (let tick = 1; tick <= ticks; ++tick) {
    if (losses.includes(tick)) await loseContext(page);
    await page.run(() => window.plim.step(1));
  }
  return page;
}

async function loseContext(page) {
  await page.run(() => {
    window.lostCanvas = document.getElementById('frame');
    window.lostCanvas.getContext('webgl2').getExtension('WEBGL_lose_context').loseContext();
  });
  await page.waitFor(() => document.getElementById('frame') !== window.lostCanvas);
}

engineTest('after losing its context twice the page draws the frame it draws without a loss', async () => {
  // Each read while its window is the one in front: WebKit's canvas of a
  // window behind another may read back black.
  const kept = await steppedPage(30);
  const expected = await canvasPicture(kept);
  await kept.close();
  assert.ok(expected.rgb.some((v) => v > 0));
  const twiceLost = await steppedPage(30, [10, 20]);
  assert.ok((await canvasPicture(twiceLost)).rgb.equals(expected.rgb));
  await twiceLost.close();
});

// Elements and the GL objects of the module's tables, after losing the
// context this many times.
async function afterLosses(page, losses) {
  for (let loss = 0; loss < losses; ++loss) {
    await loseContext(page);
    await page.run(() => window.plim.step(2));
  }
  return page.run(() => ({
    elements: document.getElementsByTagName('*').length,
    objects: ['buffers', 'programs', 'vaos', 'framebuffers', 'renderbuffers', 'contexts']
      .map((table) => GL[table].filter(Boolean).length).join(' '),
  }));
}

engineTest('a lost context leaves nothing behind: elements and GL objects level off', async () => {
  const page = await steppedPage(2);
  const before = await afterLosses(page, 0);
  assert.deepEqual(await afterLosses(page, 20), before);
  await page.close();
});

engineTest('a lost context leaves no listener behind, and the heap levels off', async () => {
  const page = await steppedPage(2);
  await afterLosses(page, 1);
  const before = await page.metrics();
  await afterLosses(page, 20);
  const after = await page.metrics();
  console.log(`JS heap ${(before.heap / 1e6).toFixed(2)} -> ${(after.heap / 1e6).toFixed(2)} MB` +
    ` over 20 losses`);
  assert.equal(after.listeners, before.listeners);
  await page.close();
}, { cannot: { firefox: 'counts no live listeners for its driver', webkit: 'counts no live listeners for its driver' } });

engineTest('in a short window Tab goes round the dialog\'s tab stops, each brought into view, the canvas kept', async () => {
  const page = await openPage(session, { width: 800, height: 150 });
  // From the first stop to the last: past it, focus leaves the page for the
  // browser's own controls.
  await page.run(() => document.getElementById('stuff').focus());
  const stops = [];
  for (let press = 0; press < 12; ++press) {
    await page.press('Tab');
    const seen = await page.run(() => {
      const frame = document.getElementById('frame').getBoundingClientRect();
      const focused = document.activeElement.closest('label') || document.activeElement;
      const box = focused.getBoundingClientRect();
      return { scrolled: window.scrollY + document.documentElement.scrollTop,
        // WebKit scrolls by whole pixels, the column's boxes are placed in fractions.
        frame: [frame.top, frame.height], focusedInView: box.top > -1 && box.bottom < 151,
        focused: document.activeElement.closest('#controls') && document.activeElement.id };
    });
    stops.push(seen.focused);
    delete seen.focused;
    assert.deepEqual(seen, { scrolled: 0, frame: [0, 150], focusedInView: true }, `after ${press + 1} Tabs`);
  }
  assert.deepEqual(stops, ['numverts', 'nodes', 'rad', 'mass', 'pow', 'level', 'rnge', 'regenerate',
    'pov', 'field', 'npc', 'new']);
  await page.close();
});

engineTest('on a dense screen the drawing buffer keeps CSS pixels, as Windows scales the program', async () => {
  const page = await openPage(session, { width: 443, height: 375, scale: 2 });
  assert.deepEqual(await frameSize(page), [368, 375]);
  await page.resize(443, 375, 1.5);
  await page.waitFor(() => window.plim.ticks > 20);
  assert.deepEqual(await frameSize(page), [368, 375]);
  assert.ok(await litPixels(page) > 100);
  await page.close();
}, { cannot: { webkit: 'cannot be given another screen scale by its WebDriver' } });
