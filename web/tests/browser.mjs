// What the page's tests and benchmark share: the built page served on
// 127.0.0.1, and the system's chromium, headless, with WebGL2 in software,
// kept off the network, in a fresh profile that goes with it.
import puppeteer from 'puppeteer-core';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from '../serve.mjs';

export const SITE = fileURLToPath(new URL('../../build/web/site', import.meta.url));

// unlimited: no frame-rate limit and no vsync, so a tick runs as soon as the
// last one is done.
export async function startBrowser({ unlimited = false } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'plim-chromium-'));
  const mesa = process.env.PLIM_CHROMIUM_MESA === '1';
  const graphics = mesa ? ['--use-angle=gl', '--ignore-gpu-blocklist']
    : ['--disable-gpu', '--enable-unsafe-swiftshader'];
  const args = [
    '--no-sandbox', ...graphics, '--disable-quic',
    '--no-first-run', '--disable-background-networking', '--disable-component-update',
    '--disable-sync', '--disable-background-timer-throttling',
    '--disable-renderer-backgrounding', '--disable-backgrounding-occluded-windows',
  ];
  if (unlimited) args.push('--disable-frame-rate-limit', '--disable-gpu-vsync');
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: !mesa, userDataDir: profile, args,
  });
  const site = await serve(SITE);
  return {
    browser,
    url: site.url,
    async close() {
      await browser.close();
      site.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// A new tab, patient with a machine that is busy with other work.
export async function newPage(session) {
  const page = await session.browser.newPage();
  page.setDefaultTimeout(120000);
  return page;
}

// The page open in a window whose page area is width x height.
export async function openPage(session, width = 443, height = 375) {
  const page = await newPage(session);
  await page.setViewport({ width, height });
  await page.goto(session.url);
  await page.waitForFunction(() => window.plim && window.plim.firstFrame !== null);
  return page;
}

export const caption = (page) => page.$eval('#regenerate', (b) => b.textContent);
export const editTexts = (page) =>
  page.$$eval('input.edit', (edits) => edits.map((e) => `${e.id}=${e.value}`));

// What the canvas shows, as a user sees it: width, height and RGB bytes, rows
// from the top. The device draws into a framebuffer of its own and copies each
// finished frame to the canvas; it is the canvas that is read here, and the
// device's framebuffer stays bound as the device left it.
export async function canvasPicture(page) {
  const { width, height, rgb } = await page.evaluate(() => {
    const canvas = document.getElementById('frame');
    const gl = canvas.getContext('webgl2');
    const { width, height } = canvas;
    const bound = gl.getParameter(gl.READ_FRAMEBUFFER_BINDING);
    gl.bindFramebuffer(gl.READ_FRAMEBUFFER, null);
    const rgba = new Uint8Array(width * height * 4);
    gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
    gl.bindFramebuffer(gl.READ_FRAMEBUFFER, bound);
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
  });
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
export function ticks(page, count) {
  return page.evaluate((count) => new Promise((done) => {
    const until = window.plim.ticks + count;
    (function wait() { if (window.plim.ticks >= until) done(); else requestAnimationFrame(wait); })();
  }), count);
}
