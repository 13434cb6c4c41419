// The page's glue between its elements and the program (plim-module.js):
// the controls call the program's handlers, one idle tick runs per animation
// frame, the canvas keeps the rest of the window's size in pixels, and a
// canvas whose WebGL context the browser took away is replaced by a fresh
// one, on which the program makes its device again. It also keeps the
// counts that tests and the benchmark read: ticks run, and when the first
// frame was drawn.
//
// Opened as index.html?step, the page runs no tick of its own: whoever drives
// it calls plim.step(count), which runs that many ticks at once, so that a
// frame is drawn at exactly the tick asked for (the frame pictures, web/frame.mjs).
'use strict';

const stepByHand = new URLSearchParams(window.location.search).has('step');

window.plim = {
  ticks: 0,
  firstFrame: null,
  step(count) {
    for (let i = 0; i < count; ++i) runTick();
  },
};

function plimCanvas() {
  return document.getElementById('frame');
}

// The canvas's drawing buffer follows its size on the screen.
function fitCanvas() {
  const canvas = plimCanvas();
  const box = canvas.getBoundingClientRect();
  canvas.width = Math.max(0, Math.round(box.width * window.devicePixelRatio));
  canvas.height = Math.max(0, Math.round(box.height * window.devicePixelRatio));
}

// A lost context cannot be used again on the same canvas until the browser
// gives it back, if ever: a fresh canvas takes the old one's place at once.
function watchContext(canvas) {
  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();
    const fresh = canvas.cloneNode(false);
    canvas.replaceWith(fresh);
    watchContext(fresh);
  });
}

// Edits take digits only from the keyboard, as the dialog's number edits do;
// the program itself writes decimals into them.
function digitsOnly(edit) {
  edit.addEventListener('beforeinput', (event) => {
    if (event.inputType === 'insertText' && /\D/.test(event.data || '')) event.preventDefault();
  });
}

function runTick() {
  Module._plim_tick();
  window.plim.ticks += 1;
  if (window.plim.firstFrame === null && Module._plim_drawing()) {
    window.plim.firstFrame = performance.now();
  }
}

function tick() {
  runTick();
  requestAnimationFrame(tick);
}

function wireControls() {
  for (const control of document.querySelectorAll('[data-call]')) {
    const handler = Module['_' + control.dataset.call];
    control.addEventListener(control.type === 'radio' ? 'change' : 'click', () => handler());
  }
  for (const edit of document.querySelectorAll('input.edit')) digitsOnly(edit);
  window.addEventListener('resize', () => {
    fitCanvas();
    Module._plim_resized();
  });
}

fitCanvas();
watchContext(plimCanvas());

var Module = {
  // Runs before the program's main, which starts the device on the canvas.
  onRuntimeInitialized() {
    wireControls();
    if (!stepByHand) requestAnimationFrame(tick);
  },
  // After the program's main: the device and the default world are there.
  postRun: [() => { window.plim.started = true; }],
};
