// The page: the browser's shell, beside the Windows one. It holds what the
// dialog holds (the simulation control, the device, the renderer and the
// frame composition), is the ControlPanel over the page's own elements, and
// answers what the page's script hands it: one idle tick per animation
// frame unless the browser is behind with drawing the frames; the buttons,
// the fill-mode radios and the canvas's new size.
// index.html lays the controls out as the dialog does; plim.js wires them.
#include "control/controls.h"
#include "control/control_panel.h"
#include "control/frame_composition.h"
#include "control/simulation_control.h"
#include "render/scene_renderer.h"

#include <emscripten/emscripten.h>

#include <chrono>

namespace {

// How long a frame may take the browser to draw while the page hands it the
// next one before it is done. Without a GPU the browser draws in software,
// after the tick, in a process of its own: a frame of 50000 points and
// 1001 cubes took 60-150 ms in chromium here, and while nothing on the
// screen waits for the canvas (scrolled out of view) animation frames go on
// at 60 a second: 26 frames were queued, and reading one pixel back took
// 2.7 s. Frames drawn within this time may be two in
// the browser's queue; a slower frame is drawn alone, so that a call that
// waits for the browser's drawing (reading the canvas back, a new size)
// waits about twice this at most, or one frame's drawing.
constexpr auto QUICK_FRAME = std::chrono::milliseconds(100);

// clang-format off
EM_JS(void, readElementText, (const char* element, char* text, int size), {
  stringToUTF8(document.getElementById(UTF8ToString(element)).value, text, size);
});
// A button's caption is its text node's data, changed in place: WebKit drops
// a click whose press landed on a node removed before the release, and the
// "cancel" caption changes every tick.
EM_JS(void, writeElementText, (const char* element, const char* text), {
  const control = document.getElementById(UTF8ToString(element));
  if (control.tagName === "BUTTON") {
    if (control.firstChild) {
      control.firstChild.data = UTF8ToString(text);
    } else {
      control.textContent = UTF8ToString(text);
    }
  } else {
    control.value = UTF8ToString(text);
  }
});
EM_JS(int, elementChecked, (const char* element), {
  return document.getElementById(UTF8ToString(element)).checked ? 1 : 0;
});
// Says in words, where the picture would be, why nothing can be drawn.
EM_JS(void, showProblem, (const char* problem), {
  plimFailed(UTF8ToString(problem) + "; the controls work, but nothing is drawn");
});
// clang-format on

struct WebPage : ControlPanel {
  SimulationControl control;
  GlDevice device;
  SceneRenderer renderer;
  FrameComposition composition{control, device, renderer};
  GlWindow canvas{"#frame"};

  WebPage() { control.panel = this; }

  std::string editText(int controlId) override {
    if (!controlIs(controlId, ControlKind::EDIT)) return std::string();
    char text[EDIT_TEXT_BUFFER] = "";
    readElementText(controlWithId(controlId)->name, text, EDIT_TEXT_BUFFER);
    return text;
  }
  void setEditText(int controlId, const char* text) override {
    if (controlIs(controlId, ControlKind::EDIT)) writeElementText(controlWithId(controlId)->name, text);
  }
  void setRegenerateCaption(const char* caption) override {
    writeElementText(controlWithId(IDC_REGENERATE)->name, caption);
  }
  bool isChecked(int controlId) override {
    return controlIs(controlId, ControlKind::CHECK) &&
           elementChecked(controlWithId(controlId)->name) != 0;
  }
};

// The page lives as long as the tab does.
WebPage page;

}  // namespace

int main() {
  page.composition.start(&page.canvas);
  if (!page.device.problem.empty()) showProblem(page.device.problem.c_str());
  return 0;
}

// What the page's script calls.
extern "C" {

// One idle tick: a context the browser took away is made again first.
EMSCRIPTEN_KEEPALIVE void plim_tick() {
  page.device.restoreIfLost();
  page.composition.idleTick();
}

// Whether the next tick should wait for the browser to draw what it has.
EMSCRIPTEN_KEEPALIVE int plim_drawing_behind() {
  return page.device.drawingBehind(QUICK_FRAME) ? 1 : 0;
}

// Whether the last tick drew a frame.
EMSCRIPTEN_KEEPALIVE int plim_drawing() { return page.device.ready ? 1 : 0; }

EMSCRIPTEN_KEEPALIVE void plim_regenerate() { page.control.OnRegenerate(); }

EMSCRIPTEN_KEEPALIVE void plim_new() { page.control.OnNew(); }

// The radios "tex", "wire" and "point": the fill mode of the cubes.
EMSCRIPTEN_KEEPALIVE void plim_tex() { page.renderer.globalFillMode = fillModeOf(IDC_TEX); }
EMSCRIPTEN_KEEPALIVE void plim_wire() { page.renderer.globalFillMode = fillModeOf(IDC_WIRE); }
EMSCRIPTEN_KEEPALIVE void plim_point() { page.renderer.globalFillMode = fillModeOf(IDC_POINT); }

// The canvas has a new size in pixels.
EMSCRIPTEN_KEEPALIVE void plim_resized() { page.device.resize(); }

// The cloud as placed so far, one coordinate at a time (x, y, z of point 0,
// then of point 1, ...), for comparing it with the Windows program's.
EMSCRIPTEN_KEEPALIVE int plim_cloud_size() {
  return page.control.surface ? page.control.surface->pointCount : 0;
}
EMSCRIPTEN_KEEPALIVE float plim_cloud_coordinate(int index) {
  const Vector3& point = page.control.surface->positions[index / 3];
  const float coordinates[3] = {point.x, point.y, point.z};
  return coordinates[index % 3];
}
}
