// What the dialog puts together to compose frames, without the dialog: a
// render window of the dialog's default frame size, a fake control panel, the
// simulation control, the device, the renderer and the frame composition,
// started on the default world. The composition tests build on it, on the
// device's fakes and on the machine's real DirectDraw alike; a fixture that
// uses fakes puts them in place before this is made.
#pragma once

#include "control/frame_composition.h"
#include "testing/fake_directx.h"
#include "testing/fake_panel.h"

#include <gtest/gtest.h>

struct ComposedWorld {
  static constexpr int WIDTH = 420;
  static constexpr int HEIGHT = 460;

  ComposedWorld(int x, int y, bool visible) : window(x, y, WIDTH, HEIGHT, visible) {}

  TestWindow window;
  FakePanel panel;
  SimulationControl control;
  RenderDevice device;
  SceneRenderer renderer;
  FrameComposition composition{control, device, renderer};

  // Starts as the dialog starts: the device, then the default world with its
  // first batch of points.
  void start() {
    control.panel = &panel;
    composition.start(window.handle);
  }
};
