// What the page's tests, its frame pictures and its benchmarks share: the
// built page served on 127.0.0.1, and one of three browser engines to open
// it in, each in a fresh profile, kept off the network, on the virtual
// display (DISPLAY), where each draws WebGL2 with Mesa's rasterizer:
//   chromium  Blink, driven by puppeteer-core over its DevTools protocol
//   firefox   Gecko (Firefox ESR), driven by puppeteer-core over WebDriver BiDi
//   webkit    WebKitGTK's MiniBrowser, driven over classic W3C WebDriver
// The engine is PLIM_ENGINE's (chromium if unset). Every engine's page is
// used through the same few calls (goto, run, waitFor, click, type, press,
// resize, screenshot, close), so that a test says what it does once for all
// three.
import puppeteer from 'puppeteer-core';
import { spawn } from 'node:child_process';
import { createServer } from 'node:net';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { serve } from './serve.mjs';

export const SITE = fileURLToPath(new URL('../build/web/site', import.meta.url));
export const ENGINES = ['chromium', 'firefox', 'webkit'];
export const ENGINE = process.env.PLIM_ENGINE || 'chromium';
if (!ENGINES.includes(ENGINE)) throw new Error(`PLIM_ENGINE=${ENGINE}: not one of ${ENGINES.join(', ')}`);

const PATIENCE_MS = 120000;  // for a machine busy with other work
const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
export const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// A test named with the engine it runs in. One an engine cannot run is
// reported skipped, with the reason.
export function engineTest(name, fn, { cannot = {} } = {}) {
  const reason = cannot[ENGINE];
  test(`${ENGINE}: ${name}`, reason ? { skip: `${ENGINE} ${reason}` } : {}, fn);
}

// unlimited: ticks as fast as the engine lets a page draw, not at the
// display's rate (WebKitGTK has no such setting and stays at it).
export async function startBrowser({ unlimited = false } = {}) {
  if (!process.env.DISPLAY) throw new Error('the browsers draw on a display: run under xvfb-run');
  const site = await serve(SITE);
  const sites = [site];
  const pages = [];
  const browser = ENGINE === 'webkit' ? null : await launchPuppeteer(unlimited);
  return {
    engine: ENGINE,
    url: site.url,
    // A page area of width x height, at this many device pixels a CSS pixel.
    async newPage({ width = 443, height = 375, scale = 1 } = {}) {
      const page = browser ? await puppeteerPage(browser) : await webDriverPage();
      pages.push(page);
      await page.resize(width, height, scale);
      return page;
    },
    // Another site of the page, served as web/serve.mjs's options say; it
    // goes with the session.
    async serve(options) {
      sites.push(await serve(SITE, options));
      return sites.at(-1);
    },
    // Whatever a failed test left open goes too.
    async close() {
      for (const page of pages) await page.close();
      if (browser) await browser.close();
      for (const each of sites) each.close();
    },
  };
}

async function launchPuppeteer(unlimited) {
  if (ENGINE === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: false,
      extraPrefsFirefox: {
        'webgl.force-enabled': true,
        // 0: a new frame as soon as the last is done, not at the display's rate.
        ...(unlimited ? { 'layout.frame_rate': 0 } : {}),
      },
    });
  }
  const args = [
    '--no-sandbox', '--use-angle=gl', '--ignore-gpu-blocklist', '--disable-quic',
    '--no-first-run', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--disable-background-timer-throttling',
    '--disable-renderer-backgrounding', '--disable-backgrounding-occluded-windows',
  ];
  if (unlimited) args.push('--disable-frame-rate-limit', '--disable-gpu-vsync');
  // puppeteer makes the fresh profile, and removes it when the browser closes.
  return puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: false, args });
}

// A page opened on the session's site (or another, web/serve.mjs's), with
// this query, once the program has drawn its first frame or, opened to step
// by hand (?step), once it has started.
export async function openPage(session, { query = '', site = session, ...size } = {}) {
  const page = await session.newPage(size);
  await page.goto(`${site.url}${query}`);
  await page.waitFor((stepped) => window.plim &&
    (stepped ? window.plim.started : window.plim.firstFrame !== null), query.includes('step'));
  return page;
}

// Waits until fn, run in the page, returns something true, and returns it.
// A page that is still loading may not run it yet: it is asked again.
async function waitFor(page, fn, ...args) {
  const until = Date.now() + PATIENCE_MS;
  let failure;
  for (;;) {
    try {
      const value = await page.run(fn, ...args);
      if (value) return value;
    } catch (error) {
      failure = error;
    }
    if (Date.now() > until) throw new Error(`waited ${PATIENCE_MS} ms in vain for ${fn}`, { cause: failure });
    await sleep(25);
  }
}

async function puppeteerPage(browser) {
  const page = await browser.newPage();
  page.setDefaultTimeout(PATIENCE_MS);
  return {
    goto: (url) => page.goto(url),
    run: (fn, ...args) => page.evaluate(fn, ...args),
    waitFor(fn, ...args) { return waitFor(this, fn, ...args); },
    // hold: milliseconds between the press and the release.
    click: (selector, { hold = 0 } = {}) => page.click(selector, { delay: hold }),
    type: (text) => page.keyboard.type(text),
    press: (key) => page.keyboard.press(key),
    resize: (width, height, scale = 1) => page.setViewport({ width, height, deviceScaleFactor: scale }),
    // chromium's own view of the page: live event listeners and the JS heap.
    async metrics() {
      const cdp = await page.createCDPSession();
      await cdp.send('HeapProfiler.collectGarbage');
      await cdp.detach();
      const { JSEventListeners, JSHeapUsedSize } = await page.metrics();
      return { listeners: JSEventListeners, heap: JSHeapUsedSize };
    },
    // A picture of the page, as PNG.
    screenshot: () => page.screenshot(),
    close: () => (page.isClosed() ? undefined : page.close()),
  };
}

// WebDriver's name for an element in a command.
const ELEMENT = 'element-6066-11e4-a52e-4f735466cecf';
// WebDriver's names of the keys the tests press.
const WEBDRIVER_KEYS = { Tab: '\uE004', Enter: '\uE007', ' ': ' ' };

// A page in a MiniBrowser of its own, with a WebKitWebDriver of its own.
async function webDriverPage() {
  const port = await freePort();
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], { stdio: 'ignore' });
  const base = `http://127.0.0.1:${port}`;
  const call = async (method, path, body) => {
    const response = await fetch(`${base}${path}`, {
      method, headers: { 'Content-Type': 'application/json' },
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const { value } = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${path}: ${value.error}: ${value.message}`);
    return value;
  };
  let sessionPath;
  try {
    for (let tries = 0; ; ++tries) {
      try { await call('GET', '/status'); break; } catch (error) {
        if (tries > 200) throw error;
        await sleep(50);
      }
    }
    // With no page load strategy a command is answered while a page loads,
    // as puppeteer's are: goto itself waits for the load.
    const { sessionId } = await call('POST', '/session', { capabilities: { alwaysMatch: {
      pageLoadStrategy: 'none',
      'webkitgtk:browserOptions': { binary: MINIBROWSER, args: ['--automation'] } } } });
    sessionPath = `/session/${sessionId}`;
  } catch (error) {
    driver.kill();
    throw error;
  }
  const session = (method, path, body) => call(method, `${sessionPath}${path}`, body);
  const keys = (actions) => session('POST', '/actions',
    { actions: [{ type: 'key', id: 'keyboard', actions }] });
  const element = async (selector) =>
    (await session('POST', '/element', { using: 'css selector', value: selector }))[ELEMENT];
  let box = '';
  let area = [0, 0];
  const keepBox = (box) => { document.documentElement.style.cssText = box; };
  // Until the page has been painted twice, so that its resize observers saw
  // its box and its canvas is on the screen: a new MiniBrowser's window may
  // show only some time after its page loaded, and its canvas is made anew
  // then, blank. WebKit paints nothing a pixel or so high.
  const painted = async (page) => {
    if (area[1] <= 2) return;
    await page.run(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  };
  return {
    async goto(url) {
      await session('POST', '/url', { url });
      await this.waitFor((url) => location.href === url && document.readyState === 'complete', url);
      if (box) await this.run(keepBox, box);
      await painted(this);
    },
    run: (fn, ...args) => session('POST', '/execute/sync',
      { script: `return (${fn}).apply(null, arguments);`, args }),
    waitFor(fn, ...args) { return waitFor(this, fn, ...args); },
    async click(selector, { hold = 0 } = {}) {
      const id = await element(selector);
      if (!hold) return session('POST', `/element/${id}/click`, {});
      return session('POST', '/actions', { actions: [{ type: 'pointer', id: 'mouse',
        parameters: { pointerType: 'mouse' }, actions: [
          { type: 'pointerMove', origin: { [ELEMENT]: id }, x: 0, y: 0 },
          { type: 'pointerDown', button: 0 }, { type: 'pause', duration: hold },
          { type: 'pointerUp', button: 0 }] }] });
    },
    type: (text) => keys([...text].flatMap((value) => [{ type: 'keyDown', value }, { type: 'keyUp', value }])),
    press: (key) => keys([{ type: 'keyDown', value: WEBDRIVER_KEYS[key] },
      { type: 'keyUp', value: WEBDRIVER_KEYS[key] }]),
    // The window's outer size is what WebDriver sets: its frame and bars
    // are measured and added, so that the page area is as asked. The
    // MiniBrowser's window is never narrower than its toolbar (447 pixels
    // here): a narrower page area is the document's box made that size, on
    // this page and on those it goes to.
    async resize(width, height, scale = 1) {
      if (scale !== 1) throw new Error('WebKitGTK\'s WebDriver cannot set the screen\'s scale');
      // The window takes its new size a moment after WebDriver answers.
      const settled = async () => {
        let last = [];
        for (let reads = 0; reads < 40; ++reads) {
          const now = await this.run(() => [window.innerWidth, window.innerHeight]);
          if (now[0] === last[0] && now[1] === last[1]) return now;
          last = now;
          await sleep(50);
        }
        return last;
      };
      let outer = { width, height };
      let inner;
      for (let tries = 0; tries < 8; ++tries) {
        await session('POST', '/window/rect', outer);
        inner = await settled();
        if (inner[0] === width && inner[1] === height) break;
        outer = { width: Math.max(outer.width + width - inner[0], width), height: outer.height + height - inner[1] };
      }
      if (inner[0] < width || inner[1] < height) {
        throw new Error(`the page area of WebKit's window cannot be made ${width} x ${height}`);
      }
      // Positioned, the box is what the page's canvas and column fill.
      box = inner[0] === width && inner[1] === height ? ''
        : `position: relative; width: ${width}px; height: ${height}px`;
      area = [width, height];
      await this.run(keepBox, box);
      await painted(this);
    },
    screenshot: async () => Buffer.from(await session('GET', '/screenshot'), 'base64'),
    async close() {
      if (driver.exitCode !== null) return;
      await session('DELETE', '').catch(() => {});
      driver.kill();
    },
  };
}

const freePort = () => new Promise((done, fail) => {
  const server = createServer().listen(0, '127.0.0.1', () => {
    const { port } = server.address();
    server.close(() => done(port));
  }).on('error', fail);
});

export const caption = (page) => page.run(() => document.getElementById('regenerate').textContent);
export const editTexts = (page) =>
  page.run(() => [...document.querySelectorAll('input.edit')].map((e) => `${e.id}=${e.value}`));
export const setEdit = (page, id, text) =>
  page.run((id, text) => { document.getElementById(id).value = text; }, id, text);
export const untilIdle = (page) =>
  page.waitFor(() => document.getElementById('regenerate').textContent === 'Regenerate');

// In the page: the canvas's pixels read back, as a test or a user's tool
// reads them, rows from the bottom. Whatever framebuffer is bound stays
// bound. With send, its width, height and RGB bytes, rows from the top, as
// base64 for the way back; without, only how many pixels it read.
export function readCanvas(send) {
  const canvas = document.getElementById('frame');
  const gl = canvas.getContext('webgl2');
  const { width, height } = canvas;
  const bound = gl.getParameter(gl.READ_FRAMEBUFFER_BINDING);
  gl.bindFramebuffer(gl.READ_FRAMEBUFFER, null);
  const rgba = new Uint8Array(width * height * 4);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
  gl.bindFramebuffer(gl.READ_FRAMEBUFFER, bound);
  if (!send) return width * height;
  const rgb = new Uint8Array(width * height * 3);
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const from = ((height - 1 - y) * width + x) * 4;
      rgb.set(rgba.subarray(from, from + 3), (y * width + x) * 3);
    }
  }
  let binary = '';
  for (let i = 0; i < rgb.length; i += 0x8000) binary += String.fromCharCode(...rgb.subarray(i, i + 0x8000));
  return { width, height, rgb: btoa(binary) };
}

// What the canvas shows, as a user sees it: width, height and RGB bytes, rows
// from the top. The device draws into a framebuffer of its own and copies each
// finished frame to the canvas; it is the canvas that is read here.
export async function canvasPicture(page) {
  const { width, height, rgb } = await page.run(readCanvas, true);
  return { width, height, rgb: Buffer.from(rgb, 'base64') };
}

// How many canvas pixels are drawn (not black), and how many of those are
// coloured (not grey or white).
export async function pixelCounts(page) {
  const { rgb } = await canvasPicture(page);
  let lit = 0;
  let coloured = 0;
  for (let i = 0; i < rgb.length; i += 3) {
    const [r, g, b] = [rgb[i], rgb[i + 1], rgb[i + 2]];
    if (r + g + b > 0) lit += 1;
    if (r !== g || g !== b) coloured += 1;
  }
  return { lit, coloured };
}

export const litPixels = async (page) => (await pixelCounts(page)).lit;

// Resolves once the page has run this many more ticks.
export async function ticks(page, count) {
  const until = await page.run(() => window.plim.ticks) + count;
  await page.waitFor((until) => window.plim.ticks >= until, until);
}
