// The page, driven as a user drives it, in each browser engine: it draws,
// the Regenerate button counts down as the dialog's does, the edits are read
// and refused as the dialog reads and refuses them, from the keyboard too,
// the canvas follows the window, and a tick waits while the browser is behind
// with drawing the frames (web/tests/start.test.mjs: what goes wrong around
// the start, and a lost WebGL context).
import { after, before } from 'node:test';
import assert from 'node:assert/strict';
import { canvasPicture, caption, editTexts, engineTest, litPixels, openPage, pixelCounts, setEdit,
  startBrowser, ticks, untilIdle } from '../browser.mjs';

let session;
before(async () => { session = await startBrowser(); });
after(async () => { await session.close(); });

const DEFAULT_EDITS = ['numverts=1600', 'nodes=6', 'rad=10.000', 'mass=3.000', 'pow=2.000',
  'level=0.250', 'rnge=0.010', 'npc=44'];

// The edit with the keyboard's caret in it, all of its text selected, as a
// triple click leaves it.
const selectEdit = (page, id) => page.run((id) => {
  const edit = document.getElementById(id);
  edit.focus();
  edit.select();
}, id);

engineTest('counts down as the dialog does, from the first tick to Regenerate', async () => {
  // Every caption the button shows, recorded from the page's first moment.
  const site = await session.serve({ first: `
    window.captions = [];
    document.addEventListener('DOMContentLoaded', () => {
      const button = document.getElementById('regenerate');
      new MutationObserver(() => window.captions.push(button.textContent))
        .observe(button, { childList: true, characterData: true, subtree: true });
    });` });
  const page = await session.newPage();
  await page.goto(site.url);
  // The page's own text says "Regenerate" before the first tick too.
  await page.waitFor(() => window.captions.at(-1) === 'Regenerate');
  const expected = [];
  for (let left = 1579; left >= 9; left -= 10) expected.push(`cancel ${left}`);
  expected.push('Regenerate');
  assert.deepEqual(await page.run(() => window.captions), expected);
  assert.deepEqual(await editTexts(page), DEFAULT_EDITS);
  assert.ok(await litPixels(page) > 1000, 'the cloud and the cubes are drawn');
  // The first two points and the last, bit for bit as the 64-bit Windows
  // program places them (tools/plim_cloud.cpp): the same random sequence.
  const cloud = await page.run(() => {
    const bits = new DataView(new ArrayBuffer(4));
    const hex = (v) => { bits.setFloat32(0, v); return bits.getUint32(0).toString(16).padStart(8, '0'); };
    return [0, 1, 1599].map((i) => [0, 1, 2].map((a) => hex(Module._plim_cloud_coordinate(3 * i + a))).join(' '));
  });
  assert.deepEqual(cloud, ['40c18936 3ec6a7de 4012b01e', 'c10072b0 c1249ba6 c00a3d73',
    'c03c6a81 c1246a7f 4056459f']);
  await page.close();
});

engineTest('the fill-mode radios change the cubes, "Stuff" and "Field" show', async () => {
  const page = await openPage(session);
  await untilIdle(page);
  const look = async (press) => {
    await page.click(`#${press} + span`);
    await ticks(page, 3);
    return pixelCounts(page);
  };
  // With "Stuff" three large cubes turn at the middle: filled in "tex",
  // outlined in "wire"; in "point" every cube is its corners, white unlit
  // points like the cloud.
  await look('stuff');
  const tex = await look('tex');
  const wire = await look('wire');
  const point = await look('point');
  assert.ok(tex.coloured > wire.coloured + 500 && wire.coloured > 0, JSON.stringify({ tex, wire }));
  assert.equal(point.coloured, 0);
  const field = await look('field');
  assert.ok(field.lit > 3 * point.lit, JSON.stringify({ point, field }));
  await page.close();
});

engineTest('refuses an out-of-range edit as the dialog does, and takes one in range', async () => {
  const page = await openPage(session);
  await untilIdle(page);
  // From the keyboard: the point count, then Tab to Regenerate and Enter.
  await selectEdit(page, 'numverts');
  await page.type('-6.0000x');  // digits only reach the edit
  assert.equal(await page.run(() => document.getElementById('numverts').value), '60000');
  await selectEdit(page, 'nodes');
  await page.type('3');
  await page.run(() => document.getElementById('rnge').focus());
  await page.press('Tab');
  assert.equal(await page.run(() => document.activeElement.id), 'regenerate');
  await page.press('Enter');
  // 60000 points is more than an edit accepts: every edit shows the world again.
  assert.deepEqual(await editTexts(page), DEFAULT_EDITS);
  assert.equal(await caption(page), 'Regenerate');

  await selectEdit(page, 'nodes');
  await page.type('3');
  await page.run(() => document.getElementById('regenerate').focus());
  await page.press(' ');
  await page.waitFor(() => document.getElementById('regenerate').textContent.startsWith('cancel'));
  assert.equal(await page.run(() => document.getElementById('nodes').value), '3');
  await page.close();
});

engineTest('reads 99 characters of an edit, as the dialog does, and New takes the NPC count', async () => {
  const page = await openPage(session);
  await untilIdle(page);
  // Pasted: the 99th character is the last that is read.
  const regenerateWith = async (nodes) => {
    await setEdit(page, 'nodes', nodes);
    await page.click('#regenerate');
    const shown = await page.run(() => document.getElementById('nodes').value);
    // Cancels the new run, pressed while the caption counts down.
    await page.click('#regenerate', { hold: 100 });
    assert.equal(await caption(page), 'Regenerate');
    return shown;
  };
  assert.equal(await regenerateWith(`${' '.repeat(98)}7`), '7');
  assert.equal(await regenerateWith(`${' '.repeat(99)}7`), '0');
  assert.equal(await regenerateWith('6'), '6');
  await untilIdle(page);
  const many = await pixelCounts(page);
  await setEdit(page, 'npc', '0');
  await page.click('#new');
  await ticks(page, 3);
  // The player's cube alone is coloured now, and no new run started.
  const few = await pixelCounts(page);
  assert.ok(few.coloured * 3 < many.coloured, JSON.stringify({ many, few }));
  assert.equal(await caption(page), 'Regenerate');
  await page.close();
});

engineTest('draws at the new size when the window changes size', async () => {
  const page = await openPage(session, { width: 443, height: 375 });
  await untilIdle(page);
  await page.resize(675, 500);
  await page.waitFor(() => document.getElementById('frame').width === 600);
  await ticks(page, 5);
  // The horizontal extent is fixed: at the old width of 368 the cloud ends
  // left of x = 368, at 600 well right of it.
  const { width, rgb } = await canvasPicture(page);
  let rightmost = -1;
  for (let i = 0; i < rgb.length; i += 3) {
    if (rgb[i] + rgb[i + 1] + rgb[i + 2] > 0) rightmost = Math.max(rightmost, (i / 3) % width);
  }
  assert.ok(rightmost > 400, `the rightmost drawn column is ${rightmost}`);
  assert.equal(await page.run(() => document.getElementById('frame').height), 500);
  await page.close();
});

engineTest('holds its next tick back while the browser draws two frames, or one after a slow one', async () => {
  const page = await openPage(session, { query: '?step' });
  const drawn = () => page.waitFor(() => Module._plim_drawing_behind() === 0);
  // WebGL tells a frame finished only in a later turn of the event loop.
  assert.deepEqual(await page.run(() =>
    [1, 2].map(() => { window.plim.step(1); return Module._plim_drawing_behind(); })), [0, 1]);
  await drawn();
  // A frame that cannot be seen finished for 150 ms is a slow one.
  await page.run(() => {
    window.plim.step(1);
    for (const until = performance.now() + 150; performance.now() < until;);
  });
  await drawn();
  assert.equal(await page.run(() => { window.plim.step(1); return Module._plim_drawing_behind(); }), 1);
  await page.close();
});
