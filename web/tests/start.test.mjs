// The page's start and what can go wrong around it, as a user meets it: the
// controls start as the dialog's whatever the browser did before, the canvas
// fits the window it starts in, a page that cannot start says why, the tab
// has the program's icon, a lost context leaves nothing behind, a short
// window keeps the canvas in view, and a dense screen shows points as large
// as the Windows program's.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { canvasPicture, litPixels, newPage, openPage, startBrowser } from './browser.mjs';

let session;
before(async () => { session = await startBrowser(); });
after(async () => { await session.close(); });

// A page whose program is held back until release() is called, so that a
// test can do what a user does while it loads.
async function holdProgram(page) {
  let release;
  const released = new Promise((done) => { release = done; });
  await page.setRequestInterception(true);
  page.on('request', async (request) => {
    if (request.url().endsWith('plim-module.js')) await released;
    request.continue();
  });
  return release;
}

test('starts as the dialog opens, whatever was pressed, restored or resized while it loaded', async () => {
  const page = await newPage(session);
  await page.setViewport({ width: 443, height: 375 });
  const release = await holdProgram(page);
  const loading = page.goto(session.url);
  await page.waitForSelector('#new');
  // As the browser restores a form, and a click that reaches nothing yet.
  await page.evaluate(() => {
    for (const id of ['wire', 'pov', 'stuff']) document.getElementById(id).checked = true;
  });
  await page.click('#point + span');
  await page.setViewport({ width: 675, height: 300 });
  release();
  await loading;
  await page.waitForFunction(() => window.plim.firstFrame !== null);
  const pressed = await page.$$eval('#controls input', (inputs) =>
    inputs.filter((i) => i.checked).map((i) => i.id));
  assert.deepEqual(pressed, []);
  assert.deepEqual(await page.$eval('#frame', (c) => [c.width, c.height]), [600, 300]);
  await page.close();
});

test('lays the column out as the dialog lays it out', async () => {
  const page = await openPage(session);
  // Regenerate is at 0, 188, 50 x 12 dialog units, "Field" at 26, 0, 25 x 14:
  // a unit is 75/51 pixels across and 13/8 down.
  // The browser places boxes in 64ths of a pixel.
  const boxes = await page.$$eval('#regenerate, #field + span', (elements) =>
    elements.map((e) => { const r = e.getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; }));
  const expected = [[0, 305.5, 73.53, 19.5], [38.24, 0, 36.76, 22.75]];
  boxes.flat().forEach((value, i) => assert.ok(Math.abs(value - expected.flat()[i]) < 0.02, `${boxes}`));
  await page.close();
});

test('says why it cannot start: no program, or no WebGL2', async () => {
  const missing = await newPage(session);
  await missing.setRequestInterception(true);
  missing.on('request', (request) => {
    if (request.url().endsWith('plim-module.js')) request.respond({ status: 404 });
    else request.continue();
  });
  await missing.goto(session.url);
  await missing.waitForSelector('#failure:not([hidden])');
  assert.match(await missing.$eval('#failure', (p) => p.textContent), /could not be loaded/);
  assert.equal(await missing.$eval('#controls', (f) => f.disabled), true);
  await missing.close();

  const blind = await newPage(session);
  await blind.evaluateOnNewDocument(() => {
    const getContext = HTMLCanvasElement.prototype.getContext;
    HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
      return kind === 'webgl2' ? null : getContext.call(this, kind, ...rest);
    };
  });
  await blind.goto(session.url);
  await blind.waitForSelector('#failure:not([hidden])');
  assert.match(await blind.$eval('#failure', (p) => p.textContent), /no WebGL2/);
  // The program runs without drawing, as the dialog does without a device.
  await blind.waitForFunction(() => document.getElementById('regenerate').textContent.startsWith('cancel'));
  await blind.close();
});

test('the tab shows the program\'s icon, and nothing the page asks for fails', async () => {
  const page = await newPage(session);
  const failed = [];
  page.on('response', (response) => { if (response.status() >= 400) failed.push(response.url()); });
  await page.goto(session.url);
  await page.waitForFunction(() => window.plim.firstFrame !== null);
  const icon = await page.evaluate(async () => {
    const href = document.querySelector('link[rel=icon]').href;
    return [...new Uint8Array(await (await fetch(href)).arrayBuffer())];
  });
  assert.deepEqual(Buffer.from(icon), readFileSync(new URL('../../shell/plim.ico', import.meta.url)));
  assert.deepEqual(failed, []);
  await page.close();
});

// The page stepped by hand to the given tick, losing its context before the
// ticks listed, each time waiting until the fresh canvas is there.
async function steppedPage(ticks, losses = []) {
  const page = await newPage(session);
  await page.setViewport({ width: 443, height: 375 });
  await page.goto(`${session.url}?step`);
  await page.waitForFunction(() => window.plim.started);
  for (let tick = 1; tick <= ticks; ++tick) {
    if (losses.includes(tick)) await loseContext(page);
    await page.evaluate(() => window.plim.step(1));
  }
  return page;
}

async function loseContext(page) {
  await page.evaluate(() => {
    window.lostCanvas = document.getElementById('frame');
    window.lostCanvas.getContext('webgl2').getExtension('WEBGL_lose_context').loseContext();
  });
  await page.waitForFunction(() => document.getElementById('frame') !== window.lostCanvas);
}

test('after losing its context twice the page draws the frame it draws without a loss', async () => {
  const kept = await steppedPage(30);
  const twiceLost = await steppedPage(30, [10, 20]);
  const expected = await canvasPicture(kept);
  assert.ok(expected.rgb.some((v) => v > 0));
  assert.ok((await canvasPicture(twiceLost)).rgb.equals(expected.rgb));
  await kept.close();
  await twiceLost.close();
});

test('a lost context leaves nothing behind: elements, listeners and GL objects level off', async () => {
  const page = await steppedPage(2);
  const counts = () => page.evaluate(() => ({
    elements: document.getElementsByTagName('*').length,
    objects: ['buffers', 'programs', 'vaos', 'framebuffers', 'renderbuffers', 'contexts']
      .map((table) => GL[table].filter(Boolean).length).join(' '),
  }));
  // Listeners are counted on whatever is alive, collected garbage or not.
  const cdp = await page.createCDPSession();
  const heaps = [];
  const listeners = async () => {
    await cdp.send('HeapProfiler.collectGarbage');
    const metrics = await page.metrics();
    heaps.push((metrics.JSHeapUsedSize / 1e6).toFixed(2));
    return metrics.JSEventListeners;
  };
  const before = { ...(await counts()), listeners: await listeners() };
  for (let loss = 0; loss < 20; ++loss) {
    await loseContext(page);
    await page.evaluate(() => window.plim.step(2));
  }
  const after = { ...(await counts()), listeners: await listeners() };
  console.log(`after 20 losses: ${JSON.stringify(after)}, before: ${JSON.stringify(before)};` +
    ` JS heap ${heaps.join(' -> ')} MB`);
  assert.deepEqual(after, before);
  await page.close();
});

test('in a short window no key or focus change takes the canvas out of view', async () => {
  const page = await openPage(session, 800, 150);
  await page.focus('#pov');
  for (let press = 0; press < 16; ++press) {
    await page.keyboard.press('Tab');
    const seen = await page.evaluate(() => {
      const frame = document.getElementById('frame').getBoundingClientRect();
      const focused = document.activeElement.getBoundingClientRect();
      return { scrolled: window.scrollY + document.documentElement.scrollTop,
        frame: [frame.top, frame.height], focusedInView: focused.top >= 0 && focused.bottom <= 150 };
    });
    assert.deepEqual(seen, { scrolled: 0, frame: [0, 150], focusedInView: true }, `after ${press + 1} Tabs`);
  }
  await page.close();
});

test('on a dense screen the drawing buffer keeps CSS pixels, as Windows scales the program', async () => {
  const page = await newPage(session);
  await page.setViewport({ width: 443, height: 375, deviceScaleFactor: 2 });
  await page.goto(session.url);
  await page.waitForFunction(() => window.plim.firstFrame !== null);
  assert.deepEqual(await page.$eval('#frame', (c) => [c.width, c.height]), [368, 375]);
  await page.setViewport({ width: 443, height: 375, deviceScaleFactor: 1.5 });
  await page.waitForFunction(() => window.plim.ticks > 20);
  assert.deepEqual(await page.$eval('#frame', (c) => [c.width, c.height]), [368, 375]);
  assert.ok(await litPixels(page) > 100);
  await page.close();
});
