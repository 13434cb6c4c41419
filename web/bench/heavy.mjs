// How long the page keeps its main thread to itself in the heaviest world
// the edits accept: 50000 points, 100 nodes, level 0 (a band the sampler
// rarely hits, so it works every tick and the cloud's 50000 points are all
// drawn, unplaced), 1000 NPCs, typed and pressed as a user would
// (Regenerate, then New), then a round of window sizes, one of them with
// the canvas scrolled out of view and two with a page area 1 pixel high,
// the canvas read back and the window captured in each. From inside the
// page it records the longest stretch between two callbacks of a chain of
// zero timeouts (the longest task) and the longest stretch between two
// changes of the tick count (the longest gap between ticks), over the whole
// round of about 25 s. Prints one line: engine, longest task, longest gap,
// ticks run. Asserts nothing.
//   xvfb-run -a -s "-screen 0 1280x1024x24" node web/bench/heavy.mjs chromium|firefox|webkit [site]
// site: the built page to serve, build/web/site by default.
import puppeteer from 'puppeteer-core';
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { serve } from '../serve.mjs';
import { SITE } from '../tests/browser.mjs';

const HEAVY_EDITS = { numverts: '50000', nodes: '100', level: '0' };
const HEAVY_NPCS = '1000';
// The round's page areas in CSS pixels (1 high leaves the canvas a row),
// and whether the canvas is scrolled out of view there.
const STEPS = [
  { width: 1024, height: 768 }, { width: 900, height: 1 }, { width: 640, height: 480, away: true },
  { width: 1200, height: 900 }, { width: 700, height: 1 }, { width: 1024, height: 768 },
];
const STAY_MS = 4000;
const WEBDRIVER_PORT = 4450;

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// The browsers, each behind the same five operations: open an address, run a
// function in the page (its source and one argument; it returns plain data),
// give the page area a size, capture the window, and close. chromium and Firefox through
// puppeteer-core, WebKitGTK's MiniBrowser through classic WebDriver.
const ENGINES = {
  chromium: () => viaPuppeteer({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--use-angle=gl', '--ignore-gpu-blocklist', '--no-first-run',
           '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
           '--disable-backgrounding-occluded-windows'],
  }),
  firefox: () => viaPuppeteer({ browser: 'firefox', executablePath: '/usr/bin/firefox-esr' }),
  webkit: viaWebDriver,
};

async function viaPuppeteer(options) {
  const profile = mkdtempSync(join(tmpdir(), 'plim-heavy-'));
  const browser = await puppeteer.launch({ headless: false, userDataDir: profile, ...options });
  const page = (await browser.pages())[0] || await browser.newPage();
  page.setDefaultTimeout(300000);
  return {
    goto: (url) => page.goto(url),
    run: (source, argument) => page.evaluate(`(${source})(${JSON.stringify(argument)})`),
    size: (width, height) => page.setViewport({ width, height }),
    capture: () => page.screenshot(),
    async close() {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

async function viaWebDriver() {
  const driver = spawn('WebKitWebDriver', [`--port=${WEBDRIVER_PORT}`], { stdio: 'ignore' });
  const base = `http://127.0.0.1:${WEBDRIVER_PORT}`;
  const call = async (method, path, body) => {
    const answer = await fetch(base + path, {
      method, headers: { 'Content-Type': 'application/json' },
      body: body && JSON.stringify(body),
    });
    const { value } = await answer.json();
    if (!answer.ok) throw new Error(`WebDriver ${path}: ${value.message}`);
    return value;
  };
  let session;
  for (let i = 0; !session; ++i) {
    try {
      session = (await call('POST', '/session', { capabilities: { alwaysMatch: {
        'webkitgtk:browserOptions': {
          binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation'],
        } } } })).sessionId;
    } catch (error) {
      if (i > 50) throw error;
      await sleep(100);
    }
  }
  const at = `/session/${session}`;
  const run = (source, argument) => call('POST', `${at}/execute/sync`,
    { script: `return (${source})(arguments[0]);`, args: [argument] });
  return {
    goto: (url) => call('POST', `${at}/url`, { url }),
    run,
    // The window's outer size is what WebDriver sets: its frame is added.
    async size(width, height) {
      const frame = await run('() => [outerWidth - innerWidth, outerHeight - innerHeight]');
      await call('POST', `${at}/window/rect`, { width: width + frame[0], height: height + frame[1] });
    },
    capture: () => call('GET', `${at}/screenshot`),
    async close() {
      await call('DELETE', at).catch(() => {});
      driver.kill();
    },
  };
}

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

// In the page: the canvas's pixels read back, as a test or a user's tool does.
function readCanvas() {
  const canvas = document.getElementById('frame');
  const gl = canvas.getContext('webgl2');
  const bound = gl.getParameter(gl.READ_FRAMEBUFFER_BINDING);
  gl.bindFramebuffer(gl.READ_FRAMEBUFFER, null);
  const pixels = new Uint8Array(canvas.width * canvas.height * 4);
  gl.readPixels(0, 0, canvas.width, canvas.height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
  gl.bindFramebuffer(gl.READ_FRAMEBUFFER, bound);
  return canvas.width * canvas.height;
}

const [engine, folder = SITE] = process.argv.slice(2);
if (!ENGINES[engine]) {
  console.error(`usage: node web/bench/heavy.mjs ${Object.keys(ENGINES).join('|')} [site]`);
  process.exit(2);
}
const site = await serve(folder);
const browser = await ENGINES[engine]();
try {
  await browser.size(STEPS[0].width, STEPS[0].height);
  await browser.goto(site.url);
  while (!(await browser.run('() => !!window.plim && window.plim.firstFrame !== null'))) {
    await sleep(100);
  }
  await browser.run(startProbe.toString());
  await browser.run(makeHeavyWorld.toString(), { edits: HEAVY_EDITS, npcs: HEAVY_NPCS });
  for (const { width, height, away = false } of STEPS) {
    await browser.size(width, height);
    await browser.run(scrollCanvasAway.toString(), away);
    await sleep(STAY_MS / 2);
    await browser.run(readCanvas.toString());
    await browser.capture();
    await sleep(STAY_MS / 2);
  }
  const figures = await browser.run(stopProbe.toString());
  console.log(`${engine} longest task ${figures.longestTask.toFixed(0)} ms, longest gap between` +
              ` ticks ${figures.longestGap.toFixed(0)} ms, ${figures.ticks} ticks run`);
} finally {
  await browser.close();
  site.close();
}
