// The page's idle ticks per second in headless chromium with the frame-rate
// limit off, measured as e2e/bench/plim_tick_rate.cpp measures plim.exe: the
// default world and ten times it, "Field" off and on, while the cloud is
// sampled and while idle after, the best of short rounds, on a canvas of the
// given size (the program's render frame). Also the time from opening the
// page to its first drawn frame. Prints figures, one line per case, and
// asserts nothing.
//   node web/bench/tick-rate.mjs [width height]
import { startBrowser } from '../tests/browser.mjs';

const ROUNDS = 8;
const ROUND_MS = 500;
const SETTLE_MS = 200;
const SHORTEST_ROUND_MS = 150;
const COLUMN_WIDTH = 75;
const WORLDS = [
  { name: 'default', points: 1600, npcs: 44 },
  { name: 'ten times', points: 16000, npcs: 440 },
];

const width = Number(process.argv[2] || 368);
const height = Number(process.argv[3] || 375);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

const session = await startBrowser({ unlimited: true });
try {
  const page = await session.browser.newPage();
  await page.setViewport({ width: width + COLUMN_WIDTH, height });
  await page.goto(session.url);
  await page.waitForFunction(() => window.plim && window.plim.firstFrame !== null);
  const firstFrame = await page.evaluate(() => window.plim.firstFrame);
  const idle = () => page.evaluate(() =>
    document.getElementById('regenerate').textContent === 'Regenerate');
  const ticks = () => page.evaluate(() => window.plim.ticks);
  const setEdit = (id, text) => page.$eval(`#${id}`, (e, t) => { e.value = t; }, text);
  const click = (id) => page.$eval(`#${id}`, (e) => e.click());
  const setField = (on) => page.$eval('#field', (e, on) => { e.checked = on; }, on);

  // A rebuild as the Windows measurement makes one: a running generation is
  // cancelled first, then the point count, Regenerate, the NPCs and New.
  async function rebuild(world) {
    if (!(await idle())) await click('regenerate');
    await setEdit('numverts', String(world.points));
    await click('regenerate');
    await setEdit('npc', String(world.npcs));
    await click('new');
  }
  async function round(generating) {
    await sleep(SETTLE_MS);
    const first = await ticks();
    const start = performance.now();
    let last = start;
    let lastTicks = first;
    while (performance.now() - start < ROUND_MS) {
      await sleep(generating ? 20 : ROUND_MS);
      const now = performance.now();
      const count = await ticks();
      if (generating && await idle()) break;
      last = now;
      lastTicks = count;
    }
    return last - start < SHORTEST_ROUND_MS ? 0 : (lastTicks - first) * 1000 / (last - start);
  }

  await page.waitForFunction(() =>
    document.getElementById('regenerate').textContent === 'Regenerate', { timeout: 600000 });
  console.log(`page ticks/s, canvas ${width} x ${height}, chromium with the frame-rate limit off;` +
              ` best of ${ROUNDS} rounds of ${ROUND_MS} ms`);
  console.log(`first frame drawn ${firstFrame.toFixed(0)} ms after the page was opened`);
  for (const world of WORLDS) {
    for (const field of [false, true]) {
      await setField(field);
      let best = 0;
      for (let i = 0; i < ROUNDS; ++i) {
        await rebuild(world);
        best = Math.max(best, await round(true));
      }
      console.log(`${world.name}|${world.points}|${world.npcs + 1}|${field ? 'on' : 'off'}|generating|${best.toFixed(1)}`);
      await setField(false);
      await page.waitForFunction(() =>
        document.getElementById('regenerate').textContent === 'Regenerate', { timeout: 600000 });
      await setField(field);
      best = 0;
      for (let i = 0; i < ROUNDS; ++i) best = Math.max(best, await round(false));
      console.log(`${world.name}|${world.points}|${world.npcs + 1}|${field ? 'on' : 'off'}|idle|${best.toFixed(1)}`);
    }
  }
} finally {
  await session.close();
}
