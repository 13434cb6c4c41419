// How long the page keeps its main thread to itself in the heaviest world
// the edits accept: 50000 points, 100 nodes, level 0 (a band the sampler
// rarely hits, so it works every tick and the cloud's 50000 points are all
// drawn, unplaced), 1000 NPCs, typed and pressed as a user would
// (Regenerate, then New), then a round of window sizes, one of them with
// the canvas scrolled out of view and two with a page area 1 pixel high,
// the canvas read back in each and the window captured where it is more
// than a pixel high. From inside the
// page it records the longest stretch between two callbacks of a chain of
// zero timeouts (the longest task) and the longest stretch between two
// changes of the tick count (the longest gap between ticks), over the whole
// round of about 25 s. Prints one line, engine|heavy|longest task in
// ms|longest gap in ms|ticks run, and asserts nothing.
//   node web/bench/heavy.mjs    (on a display: PLIM_ENGINE's browser, web/browser.mjs)
import { ENGINE, openPage, readCanvas, sleep, startBrowser } from '../browser.mjs';

const HEAVY_EDITS = { numverts: '50000', nodes: '100', level: '0' };
const HEAVY_NPCS = '1000';
// The round's page areas in CSS pixels (1 high leaves the canvas a row),
// and whether the canvas is scrolled out of view there.
// All fit the virtual display's screen (scripts/on-display), toolbars and all.
const STEPS = [
  { width: 960, height: 720 }, { width: 900, height: 1 }, { width: 640, height: 480, away: true },
  { width: 1000, height: 700 }, { width: 700, height: 1 }, { width: 960, height: 720 },
];
const STAY_MS = 4000;

// In the page: the chain of zero timeouts, which also watches the tick count.
function startProbe() {
  const probe = { longestTask: 0, longestGap: 0, firstTicks: window.plim.ticks };
  let beat = performance.now();
  let seenTicks = window.plim.ticks;
  let tickChanged = beat;
  const look = () => {
    const now = performance.now();
    if (window.plim.ticks !== seenTicks) {
      probe.longestGap = Math.max(probe.longestGap, now - tickChanged);
      seenTicks = window.plim.ticks;
      tickChanged = now;
    }
    return now;
  };
  const next = () => {
    const now = look();
    probe.longestTask = Math.max(probe.longestTask, now - beat);
    beat = now;
    if (!probe.stopped) setTimeout(next, 0);
  };
  // Ticks run in animation frames: look there too, so that a gap is not
  // longer than it was by the time to the next timeout.
  const frame = () => { look(); if (!probe.stopped) requestAnimationFrame(frame); };
  setTimeout(next, 0);
  requestAnimationFrame(frame);
  window.heavyProbe = probe;
}

function stopProbe() {
  const probe = window.heavyProbe;
  probe.stopped = true;
  return { longestTask: probe.longestTask, longestGap: probe.longestGap,
           ticks: window.plim.ticks - probe.firstTicks };
}

// In the page: the edits typed and the buttons pressed as a user would; a
// generation still running is cancelled first, as Regenerate does then.
function makeHeavyWorld({ edits, npcs }) {
  const element = (id) => document.getElementById(id);
  if (element('regenerate').textContent !== 'Regenerate') element('regenerate').click();
  for (const [id, text] of Object.entries(edits)) element(id).value = text;
  element('regenerate').click();
  element('npc').value = npcs;
  element('new').click();
}

// In the page: the document made taller than the window and scrolled to its
// end, which takes the canvas out of view, or back as it was. Nothing on the
// screen then waits for the canvas's frames.
function scrollCanvasAway(away) {
  document.body.style.height = away ? '300%' : '';
  document.scrollingElement.scrollTop = away ? document.scrollingElement.scrollHeight : 0;
}

const session = await startBrowser();
try {
  const page = await openPage(session, STEPS[0]);
  await page.run(startProbe);
  await page.run(makeHeavyWorld, { edits: HEAVY_EDITS, npcs: HEAVY_NPCS });
  for (const { width, height, away = false } of STEPS) {
    await page.resize(width, height);
    await page.run(scrollCanvasAway, away);
    await sleep(STAY_MS / 2);
    await page.run(readCanvas, false);
    // WebKit paints nothing a pixel high, and its capture would wait until it does.
    if (height > 1) await page.screenshot();
    await sleep(STAY_MS / 2);
  }
  const figures = await page.run(stopProbe);
  console.log(`${ENGINE}|heavy|${figures.longestTask.toFixed(0)}|${figures.longestGap.toFixed(0)}|${figures.ticks}`);
} finally {
  await session.close();
}
