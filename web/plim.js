// The page's glue between its elements and the program (plim-module.js):
// the controls call the program's handlers, one idle tick runs per animation
// frame, the canvas keeps the rest of the window's size in pixels, and a
// canvas whose WebGL context the browser took away is replaced by a fresh
// one, on which the program makes its device again. It also keeps the
// counts that tests and the benchmark read: ticks run, and when the first
// frame was drawn.
'use strict';

window.plim = { ticks: 0, firstFrame: null };

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

function tick() {
  Module._plim_tick();
  window.plim.ticks += 1;
  if (window.plim.firstFrame === null && Module._plim_drawing()) {
    window.plim.firstFrame = performance.now();
  }
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
    requestAnimationFrame(tick);
  },
};
