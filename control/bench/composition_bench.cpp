// Figures of one idle tick (a generation batch and a composed frame) of the
// default world, with the renderer drawing on the device's recording fakes:
// the default scene, "Field" on and "Stuff" on. It prints the time per tick;
// run under callgrind it also marks exactly one tick of each scene:
//   scripts/callgrind-windows build/windows/bench/composition_bench.exe 5
// prints one dump per scene, in the order default, field, stuff: the
// instructions of that one tick (the fakes' recording included).
#include "control/bench/silent_panel.h"
#include "control/control_ids.h"
#include "control/frame_composition.h"
#include "testing/fake_directx.h"

#include <callgrind.h>

#include <windows.h>

#include <cstdio>

namespace {

class ScenePanel : public SilentPanel {
 public:
  bool field = false;
  bool stuff = false;
  bool isChecked(int controlId) override {
    return (controlId == IDC_FIELD && field) || (controlId == IDC_STUFF && stuff);
  }
};

double seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart) / double(frequency.QuadPart);
}

void measure(const char* scene, bool field, bool stuff, int ticks, HWND window) {
  FakeDirectX fakes;
  ScenePanel panel;
  panel.field = field;
  panel.stuff = stuff;
  SimulationControl control;
  control.panel = &panel;
  RenderDevice device;
  SceneRenderer renderer;
  FrameComposition composition{control, device, renderer};
  composition.start(window);

  // The first ticks run the generation as well; later ones only draw.
  const double start = seconds();
  for (int tick = 0; tick < ticks; ++tick) {
    composition.idleTick();
    fakes.clearCalls();
  }
  const double elapsed = seconds() - start;

  CALLGRIND_ZERO_STATS;
  CALLGRIND_START_INSTRUMENTATION;
  composition.idleTick();
  CALLGRIND_STOP_INSTRUMENTATION;
  CALLGRIND_DUMP_STATS;  // one dump per scene, in the order printed

  std::printf("%-8s %8.1f us per idle tick (%d ticks, %6.0f ticks/s)%s\n", scene,
              elapsed / ticks * 1e6, ticks, ticks / elapsed,
              RUNNING_ON_VALGRIND ? "  [under valgrind]" : "");
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 400;
  TestWindow window(0, 0, 420, 460);
  std::printf("idle ticks of the default world on the recording fakes, 420 x 460\n");
  measure("default", false, false, ticks, window.handle);
  measure("field", true, false, ticks, window.handle);
  measure("stuff", false, true, ticks, window.handle);
  return 0;
}
