// plim-frame: frames of a world as the program draws them, as PNG files. It
// runs the program's own simulation control and frame composition on the
// device the build links (Direct3D under Windows, the GL device elsewhere),
// in a frame of the size asked for, for exactly the idle ticks asked for, and
// writes the frame of each tick named. Nothing here depends on the clock, so
// the same arguments draw the same frames on every run and on every device.
//
//   plim-frame --size WxH --ticks N[,N...] --out PREFIX [--edit NAME=TEXT]...
//              [--fill tex|wire|point[@TICK]]... [--pov] [--field] [--stuff]
//
// The frame of tick N goes to PREFIX-N.png. An --edit types TEXT into the
// edit NAME (numverts, nodes, rad, mass, pow, level, rnge, npc) once the
// program has started; then Regenerate is pressed twice (the first press
// cancels the default world's run) and, for npc, New. The look is set
// before the first tick, as a user sets it with the buttons; a fill mode
// with @TICK is pressed just before that tick instead.
#include "control/controls.h"
#include "control/frame_composition.h"
#include "tools/frame_window.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

struct FrameRequest {
  int width = 0;
  int height = 0;
  std::set<int> ticks;
  std::string out;
  std::map<int, std::string> edits;
  std::map<int, int> fillModes;  // by the tick they are pressed before
  std::set<int> checked;         // POV, Field and Stuff
};

// The panel of the tool: edits typed in, toggles pressed, nothing shown.
struct FramePanel : ControlPanel {
  std::map<int, std::string> edits;
  std::set<int> checked;

  std::string editText(int controlId) override { return edits[controlId]; }
  void setEditText(int controlId, const char* text) override { edits[controlId] = text; }
  void setRegenerateCaption(const char*) override {}
  bool isChecked(int controlId) override { return checked.count(controlId) != 0; }
};

bool readSize(const char* text, int& width, int& height) {
  char rest = 0;
  return std::sscanf(text, "%dx%d%c", &width, &height, &rest) == 2 && width > 0 && height > 0;
}

bool readTicks(const char* text, std::set<int>& ticks) {
  std::string list = text;
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(',', start), list.size());
    const std::string number = list.substr(start, comma - start);
    char* end = nullptr;
    const long tick = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || tick < 1 || tick > 1000000) return false;
    ticks.insert(int(tick));
    start = comma + 1;
  }
  return true;
}

bool readEdit(const char* text, std::map<int, std::string>& edits) {
  const char* equals = std::strchr(text, '=');
  if (equals == nullptr) return false;
  const ControlName* edit = controlNamed(std::string(text, equals).c_str());
  if (edit == nullptr || edit->kind != ControlKind::EDIT) return false;
  edits[edit->id] = equals + 1;
  return true;
}

bool readFill(const char* text, std::map<int, int>& fillModes) {
  const std::string fill = text;
  const size_t at = fill.find('@');
  const std::string mode = fill.substr(0, at);
  int tick = 1;
  if (at != std::string::npos) {
    char* end = nullptr;
    tick = int(std::strtol(fill.c_str() + at + 1, &end, 10));
    if (*end != '\0' || tick < 1) return false;
  }
  if (mode == "tex") fillModes[tick] = RENDER_MODE_TEXTURED;
  else if (mode == "wire") fillModes[tick] = RENDER_MODE_WIREFRAME;
  else if (mode == "point") fillModes[tick] = RENDER_MODE_POINTS;
  else return false;
  return true;
}

bool readRequest(int argc, char** argv, FrameRequest& request) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    bool taken = true;
    if (option == "--pov") request.checked.insert(IDC_POV);
    else if (option == "--field") request.checked.insert(IDC_FIELD);
    else if (option == "--stuff") request.checked.insert(IDC_STUFF);
    else if (value == nullptr) return false;
    else if (option == "--size") taken = readSize(value, request.width, request.height);
    else if (option == "--ticks") taken = readTicks(value, request.ticks);
    else if (option == "--out") request.out = value;
    else if (option == "--edit") taken = readEdit(value, request.edits);
    else if (option == "--fill") taken = readFill(value, request.fillModes);
    else return false;
    if (!taken) return false;
    if (option != "--pov" && option != "--field" && option != "--stuff") ++i;
  }
  return request.width > 0 && !request.ticks.empty() && !request.out.empty();
}

// The edits typed in once the program runs, as a user types them: the world
// is rebuilt from them, and New takes the NPC count.
void typeEdits(const FrameRequest& request, FramePanel& panel, SimulationControl& control) {
  bool world = false;
  for (const auto& [id, text] : request.edits) {
    if (id == IDC_NPC) continue;
    panel.edits[id] = text;
    world = true;
  }
  if (world) {
    if (control.generating) control.OnRegenerate();
    control.OnRegenerate();
  }
  const auto npc = request.edits.find(IDC_NPC);
  if (npc != request.edits.end()) {
    panel.edits[IDC_NPC] = npc->second;
    control.OnNew();
  }
}

}  // namespace

int main(int argc, char** argv) {
  FrameRequest request;
  if (!readRequest(argc, argv, request)) {
    std::fprintf(stderr,
                 "usage: plim-frame --size WxH --ticks N[,N...] --out PREFIX [--edit NAME=TEXT]...\n"
                 "                  [--fill tex|wire|point[@TICK]]... [--pov] [--field] [--stuff]\n");
    return 2;
  }
  FrameWindowPointer frameWindow = openFrameWindow(request.width, request.height);
  if (frameWindow == nullptr) {
    std::fprintf(stderr, "plim-frame: no window of %dx%d could be made\n", request.width,
                 request.height);
    return 1;
  }

  FramePanel panel;
  SimulationControl control;
  SceneDevice device;
  SceneRenderer renderer;
  FrameComposition composition{control, device, renderer};
  control.panel = &panel;
  composition.start(sceneWindow(*frameWindow));
  if (!device.ready) {
    std::fprintf(stderr, "plim-frame: the device did not start\n");
    return 1;
  }
  typeEdits(request, panel, control);
  panel.checked = request.checked;

  const int lastTick = *request.ticks.rbegin();
  for (int tick = 1; tick <= lastTick; ++tick) {
    const auto fill = request.fillModes.find(tick);
    if (fill != request.fillModes.end()) renderer.globalFillMode = fill->second;
    composition.idleTick();
    settle(*frameWindow);
    if (request.ticks.count(tick) == 0) continue;
    const Picture frame = readFrame(*frameWindow, device);
    const std::string path = request.out + "-" + std::to_string(tick) + ".png";
    if (frame.width != request.width || frame.height != request.height ||
        !writePng(frame, path)) {
      std::fprintf(stderr, "plim-frame: the frame of tick %d could not be written to %s\n", tick,
                   path.c_str());
      return 1;
    }
  }
  return 0;
}
