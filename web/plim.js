// The page's glue between its elements and the program (plim-module.js): the
// controls call the program's handlers, one idle tick runs per animation
// frame unless the browser is behind with drawing the frames (the program
// says when; that tick waits for the next animation frame), the canvas's
// drawing buffer keeps the canvas's size, and a canvas whose WebGL context
// the browser took away is replaced by a fresh one, on which the program
// makes its device again. A page that cannot start says why where the
// picture would be. It also keeps the counts that tests and
// the benchmark read: ticks run, and when the first frame was drawn.
//
// Opened as index.html?step, the page runs no tick of its own: whoever drives
// it calls plim.step(count), which runs that many ticks at once, so that a
// frame is drawn at exactly the tick asked for (the frame pictures, web/frame.mjs).
'use strict';

const stepByHand = new URLSearchParams(window.location.search).has('step');

window.plim = {
  ticks: 0,
  firstFrame: null,
  started: false,
  step(count) {
    for (let i = 0; i < count; ++i) runTick();
  },
};

// Says in words why the page cannot do its work, where the picture would be.
function plimFailed(reason) {
  const failure = document.getElementById('failure');
  failure.textContent = `Plim cannot run here: ${reason}.`;
  failure.hidden = false;
}

// The drawing buffer is the canvas's size in CSS pixels, whatever the
// screen's density: the browser scales it up on a dense screen, as Windows
// scales a program of this kind, so that a point is as large as there.
function fitCanvas(canvas) {
  const box = canvas.getBoundingClientRect();
  canvas.width = Math.max(0, Math.round(box.width));
  canvas.height = Math.max(0, Math.round(box.height));
}

const resizes = new ResizeObserver((entries) => {
  for (const entry of entries) fitCanvas(entry.target);
  if (window.plim.started) Module._plim_resized();
});

// A canvas the page draws on: sized to its box from now on, and replaced by
// a fresh one when its context is lost, which cannot be used again until
// the browser gives it back, if ever.
function adoptCanvas(canvas) {
  fitCanvas(canvas);
  resizes.observe(canvas);
  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();
    resizes.unobserve(canvas);
    const fresh = canvas.cloneNode(false);
    canvas.replaceWith(fresh);
    adoptCanvas(fresh);
  }, { once: true });
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
  if (!Module._plim_drawing_behind()) runTick();
  requestAnimationFrame(tick);
}

// Each button and radio calls the program's handler of its name; the check
// boxes have none, the program reads them every frame.
function wireControls() {
  for (const control of document.querySelectorAll('#controls button, #controls [type=radio]')) {
    const handler = Module[`_plim_${control.id}`];
    control.addEventListener(control.type === 'radio' ? 'change' : 'click', () => handler());
  }
  for (const edit of document.querySelectorAll('#controls [data-digits]')) digitsOnly(edit);
  keepFocusInView(document.getElementById('controls'));
}

// A control that takes the focus is brought wholly into the column's view,
// scrolled as far as needed and no further, in every browser (Firefox
// leaves one that shows in part as it is). A push button's box is its
// label's.
function keepFocusInView(column) {
  column.addEventListener('focusin', (event) => {
    (event.target.closest('label') || event.target).scrollIntoView({ block: 'nearest' });
  });
}

// The dialog opens with no button pressed, whatever the browser restored.
function resetControls() {
  for (const input of document.querySelectorAll('#controls input[type=radio], #controls input[type=checkbox]')) {
    input.checked = false;
  }
}

adoptCanvas(document.getElementById('frame'));

var Module = {
  // Runs before the program's main, which starts the device on the canvas.
  onRuntimeInitialized() {
    resetControls();
    fitCanvas(document.getElementById('frame'));
    wireControls();
  },
  // After the program's main: the device and the default world are there.
  postRun: [() => {
    window.plim.started = true;
    document.getElementById('controls').disabled = false;
    if (!stepByHand) requestAnimationFrame(tick);
  }],
  onAbort(what) {
    plimFailed(`its program stopped (${what})`);
  },
};
