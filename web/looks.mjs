// Takes the pictures of the page that the README shows: the whole page with
// its cloud complete, and the canvas in each look ("tex", "Field", "wire",
// "point", "Stuff") at the size of the Windows program's pictures.
//   node web/looks.mjs [folder]    (default: docs)
import { openPage, startBrowser } from './tests/browser.mjs';
import { fileURLToPath } from 'node:url';
import { join } from 'node:path';

const folder = process.argv[2] || fileURLToPath(new URL('../docs', import.meta.url));
const LOOKS = [
  { name: 'tex', press: ['tex'] },
  { name: 'field', press: ['tex', 'field'] },
  { name: 'wire', press: ['wire'] },
  { name: 'point', press: ['point'] },
  { name: 'stuff', press: ['tex', 'stuff'] },
];
const FRAMES = 300;

async function frames(page, count) {
  await page.evaluate((count) => new Promise((done) => {
    const until = window.plim.ticks + count;
    (function wait() { if (window.plim.ticks >= until) done(); else requestAnimationFrame(wait); })();
  }), count);
}

const session = await startBrowser();
try {
  const page = await openPage(session, 467 - 9, 402 - 27);
  await page.waitForFunction(() =>
    document.getElementById('regenerate').textContent === 'Regenerate', { timeout: 600000 });
  await page.screenshot({ path: join(folder, 'page.png') });

  for (const look of LOOKS) {
    const shot = await openPage(session, 420 + 75, 460);
    await shot.waitForFunction(() =>
      document.getElementById('regenerate').textContent === 'Regenerate', { timeout: 600000 });
    for (const id of look.press) await shot.click(`#${id} + span`);
    await frames(shot, FRAMES);
    const canvas = await shot.$('#frame');
    await canvas.screenshot({ path: join(folder, `page-look-${look.name}.png`) });
    await shot.close();
  }
} finally {
  await session.close();
}
