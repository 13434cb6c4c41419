// The page's idle ticks per second in one browser engine (PLIM_ENGINE's,
// web/browser.mjs) with its frame-rate limit off where it has one,
// measured as e2e/bench/plim_tick_rate.cpp measures plim.exe: the
// default world and ten times it, "Field" off and on, while the cloud is
// sampled and while idle after, the best of short rounds, on a canvas of the
// given size (the program's render frame). Also the time from opening the
// page to its first drawn frame, and, for scale, what the engine's WebGL
// alone makes of as many points as the worlds have, drawn with the simplest
// shader and nothing else. Prints figures, one line per case
// (engine|world|points|cubes|Field|state|ticks per second), and asserts
// nothing.
//   node web/bench/tick-rate.mjs [width height]
import { ENGINE, openPage, setEdit, sleep, startBrowser, untilIdle } from '../browser.mjs';

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

const session = await startBrowser({ unlimited: true });
try {
  const page = await openPage(session, { width: width + COLUMN_WIDTH, height });
  const firstFrame = await page.run(() => window.plim.firstFrame);
  const idle = () => page.run(() =>
    document.getElementById('regenerate').textContent === 'Regenerate');
  const ticks = () => page.run(() => window.plim.ticks);
  const click = (id) => page.run((id) => document.getElementById(id).click(), id);
  const setField = (on) => page.run((on) => { document.getElementById('field').checked = on; }, on);

  // A rebuild as the Windows measurement makes one: a running generation is
  // cancelled first, then the point count, Regenerate, the NPCs and New.
  async function rebuild(world) {
    if (!(await idle())) await click('regenerate');
    await setEdit(page, 'numverts', String(world.points));
    await click('regenerate');
    await setEdit(page, 'npc', String(world.npcs));
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

  await untilIdle(page);
  console.log(`${ENGINE}|first frame|${firstFrame.toFixed(0)}`);
  for (const world of WORLDS) {
    for (const field of [false, true]) {
      await setField(field);
      let best = 0;
      for (let i = 0; i < ROUNDS; ++i) {
        await rebuild(world);
        best = Math.max(best, await round(true));
      }
      console.log(`${ENGINE}|${world.name}|${world.points}|${world.npcs + 1}|${field ? 'on' : 'off'}|generating|${best.toFixed(1)}`);
      await setField(false);
      await untilIdle(page);
      await setField(field);
      best = 0;
      for (let i = 0; i < ROUNDS; ++i) best = Math.max(best, await round(false));
      console.log(`${ENGINE}|${world.name}|${world.points}|${world.npcs + 1}|${field ? 'on' : 'off'}|idle|${best.toFixed(1)}`);
    }
  }
  for (const world of WORLDS) {
    const rate = await bareWebGlRate(session, width, height, world.points);
    console.log(`${ENGINE}|bare WebGL|${world.points}|0|off|idle|${rate.toFixed(1)}`);
  }
} finally {
  await session.close();
}

// Frames per second of a bare canvas that clears and draws this many
// one-pixel white points each animation frame, from a buffer sent once:
// the least a frame of the page's points costs in this browser.
async function bareWebGlRate(session, width, height, points) {
  const page = await session.newPage({ width, height });
  await page.goto('about:blank');
  await page.run((width, height, points) => {
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
    window.bareFrames = 0;
    const frame = () => {
      gl.clear(gl.COLOR_BUFFER_BIT);
      gl.drawArrays(gl.POINTS, 0, points);
      window.bareFrames += 1;
      requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  }, width, height, points);
  let best = 0;
  for (let i = 0; i < ROUNDS; ++i) {
    await sleep(SETTLE_MS);
    const first = await page.run(() => window.bareFrames);
    const start = performance.now();
    await sleep(ROUND_MS);
    const count = await page.run(() => window.bareFrames);
    best = Math.max(best, (count - first) * 1000 / (performance.now() - start));
  }
  await page.close();
  return best;
}
