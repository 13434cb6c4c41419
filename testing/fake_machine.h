// A RenderDevice on scripted fakes of its own, in a hidden render window: the
// one way tests set a device up on the fakes. The device is declared after
// the fakes, so that its destruction (a teardown) still reaches them.
#pragma once

#include "testing/fake_directx.h"

#include <gtest/gtest.h>

struct FakeMachine {
  explicit FakeMachine(PresentWay way = PresentWay::PRIMARY_BLT, RECT area = {100, 80, 400, 300})
      : origin{area.left, area.top},
        fakes(way),
        window(area.left, area.top, area.right, area.bottom) {}

  POINT origin;  // where the window stands
  FakeDirectX fakes;
  TestWindow window;
  RenderDevice device;

  // Starts the device as the scene renderer does.
  HRESULT start() {
    device.attachWindow(window.handle);
    device.requireDrawPrimitive = true;
    return device.startUp();
  }

  // Gives the window a new size where it stands and lets the device follow.
  HRESULT resizeWindow(int width, int height) {
    window.place(origin.x, origin.y, width, height);
    return device.resize();
  }

  // Tears the device down: nothing of it may stay referenced, a second
  // teardown has nothing left to release, and no fake may have seen a call
  // it could not answer.
  void expectAllReleased() {
    device.tearDown();
    EXPECT_FALSE(device.ready);
    EXPECT_EQ(fakes.references(), 0u) << fakes.referenceReport();
    const size_t releases = fakes.releases();
    device.tearDown();
    EXPECT_EQ(fakes.releases(), releases);
    EXPECT_TRUE(fakes.problems().empty()) << ::testing::PrintToString(fakes.problems());
  }
};
