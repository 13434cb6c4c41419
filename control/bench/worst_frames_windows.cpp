// Frames of a heaviest world composed on the machine's DirectDraw.
#include "control/bench/worst_frames.h"

#include "control/frame_composition.h"
#include "testing/fake_directx.h"

#include <windows.h>

#include <algorithm>

namespace {

// The render frame of the dialog as it opens (under Wine's default fonts).
constexpr int FRAME_WIDTH = 368;
constexpr int FRAME_HEIGHT = 375;
// The first frames on a new device pay for setting it up: not counted.
constexpr int WARM_UP_FRAMES = 2;

double milliseconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * double(now.QuadPart) / double(frequency.QuadPart);
}

}  // namespace

double longestFrameMilliseconds(SimulationControl& control, int frames) {
  // The real DirectDraw: the window of the test support, not its fakes.
  const TestWindow window(0, 0, FRAME_WIDTH, FRAME_HEIGHT, true);
  RenderDevice device;
  SceneRenderer renderer;
  FrameComposition composition{control, device, renderer};
  renderer.attach(&device, window.handle);
  double longest = -1.0;
  for (int frame = 0; frame < WARM_UP_FRAMES + frames && device.ready; ++frame) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    const double start = milliseconds();
    composition.composeFrame();
    if (frame >= WARM_UP_FRAMES) longest = std::max(longest, milliseconds() - start);
  }
  return longest;
}
