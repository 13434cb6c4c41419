// The page's idle ticks per second in headless chromium with the frame-rate
// limit off, measured as e2e/bench/plim_tick_rate.cpp measures plim.exe: the
// default world and ten times it, "Field" off and on, while the cloud is
// sampled and while idle after, the best of short rounds, on a canvas of the
// given size (the program's render frame). Also the time from opening the
// page to its first drawn frame, and, for scale, what chromium's WebGL
// alone makes of as many points as the worlds have, drawn with the simplest
// shader and nothing else. Prints figures, one line per case, and asserts
// nothing.
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
  for (const world of WORLDS) {
    const rate = await bareWebGlRate(session, width, height, world.points);
    console.log(`chromium's WebGL alone, ${world.points} one-pixel points a frame and nothing` +
                ` else: ${rate.toFixed(1)} frames/s`);
  }
} finally {
  await session.close();
}

// Frames per second of a bare canvas that clears and draws this many
// one-pixel white points each animation frame, from a buffer sent once:
// the least a frame of the page's points costs in this browser.
async function bareWebGlRate(session, width, height, points) {
  const page = await session.browser.newPage();
  await page.setViewport({ width, height });
  await page.goto('about:blank');
  await page.evaluate((width, height, points) => {
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    document.body.appendChild(canvas);
    const gl = canvas.getContext('webgl2');
    const shader = (kind, source) => {
      const made = gl.createShader(kind);
      gl.shaderSource(made, source);
      gl.compileShader(made);
      return made;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER, `#version 300 es
      in vec2 corner;
      void main() { gl_Position = vec4(corner, 0.5, 1.0); gl_PointSize = 1.0; }`));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER, `#version 300 es
      precision highp float;
      out vec4 color;
      void main() { color = vec4(1.0); }`));
    gl.linkProgram(program);
    gl.useProgram(program);
    const places = new Float32Array(points * 2).map(() => Math.random() * 1.8 - 0.9);
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ARRAY_BUFFER, places, gl.STATIC_DRAW);
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
    window.frames = 0;
    const frame = () => {
      gl.clear(gl.COLOR_BUFFER_BIT);
      gl.drawArrays(gl.POINTS, 0, points);
      window.frames += 1;
      requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  }, width, height, points);
  let best = 0;
  for (let i = 0; i < ROUNDS; ++i) {
    await sleep(SETTLE_MS);
    const first = await page.evaluate(() => window.frames);
    const start = performance.now();
    await sleep(ROUND_MS);
    const count = await page.evaluate(() => window.frames);
    best = Math.max(best, (count - first) * 1000 / (performance.now() - start));
  }
  await page.close();
  return best;
}
