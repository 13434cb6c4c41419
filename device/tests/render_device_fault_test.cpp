// Failures everywhere: each start-up step and each call inside a resize made
// to fail in turn, on both interface generations and both presentation ways.
// Whatever fails, the device reports it, is not ready, does not crash, and
// its teardown leaves no reference behind; a second teardown releases nothing.
#include "device/tests/device_fixture.h"

#include <string>
#include <vector>

namespace {

constexpr HRESULT INJECTED = DDERR_GENERIC;

struct Machine {
  bool directX6;
  PresentWay way;
  const char* name;
};

const Machine MACHINES[] = {
    {true, PresentWay::PRIMARY_BLT, "DirectX 6, blit"},
    {true, PresentWay::GDI_COPY, "DirectX 6, GDI"},
    {false, PresentWay::PRIMARY_BLT, "DirectX 5, blit"},
    {false, PresentWay::GDI_COPY, "DirectX 5, GDI"},
};

// A device on fakes of the given generation, not started.
struct MachineOf : FakeMachine {
  MachineOf(bool directX6, PresentWay way = PresentWay::PRIMARY_BLT) : FakeMachine(way) {
    fakes.offerDirectDraw4 = directX6;
  }
};

// A step of start-up, with the script that makes it fail.
struct StepFailure {
  const char* step;
  bool directX6;
  std::vector<std::pair<const char*, std::vector<HRESULT>>> script;
};

}  // namespace

TEST(Faults, EachStartUpStepThatFailsStopsStartUpWithItsResult) {
  const std::vector<StepFailure> failures = {
      {"createDirectDraw", true, {{"DirectDrawCreate", {INJECTED}}}},
      {"createDirectDraw", true, {{"IDirectDraw::QueryInterface", {INJECTED}}}},
      {"createDirectDraw", false, {{"IDirectDraw::QueryInterface", {E_NOINTERFACE, INJECTED}}}},
      {"setCooperativeLevel", true, {{"SetCooperativeLevel", {INJECTED}}}},
      {"setCooperativeLevel", false, {{"SetCooperativeLevel", {INJECTED}}}},
      {"createPrimary", true, {{"CreateSurface", {INJECTED}}}},
      {"createPrimary", false, {{"CreateSurface", {INJECTED}}}},
      {"createPrimary", false, {{"IDirectDrawSurface::QueryInterface", {INJECTED}}}},
      {"createBackBuffer", true, {{"CreateSurface", {DD_OK, INJECTED}}}},
      {"createBackBuffer", false, {{"CreateSurface", {DD_OK, INJECTED}}}},
      {"createBackBuffer", false, {{"IDirectDrawSurface::QueryInterface", {DD_OK, INJECTED}}}},
      {"createClipper", true, {{"CreateClipper", {INJECTED}}}},
      {"createClipper", false, {{"CreateClipper", {INJECTED}}}},
      {"createDirect3D", true, {{"IDirectDraw4::QueryInterface", {INJECTED}}}},
      {"createDirect3D", false, {{"IDirectDraw2::QueryInterface", {INJECTED}}}},
      {"chooseDevice", true, {{"EnumDevices", {DDERR_GENERIC, INJECTED}}}},
      {"chooseDevice", false, {{"EnumDevices", {DDERR_GENERIC, INJECTED}}}},
      {"chooseDevice", true, {{"GetDisplayMode", {INJECTED}}}},
      {"createZBuffer", true, {{"AddAttachedSurface", {INJECTED}}}},
      {"createZBuffer", false, {{"AddAttachedSurface", {INJECTED}}}},
      {"createDevice", true, {{"GetDisplayMode", {DD_OK, DD_OK, INJECTED}}}},
      {"createDevice", true, {{"CreateDevice", {DDERR_GENERIC, INJECTED}}}},
      {"createDevice", false, {{"CreateDevice", {DDERR_GENERIC, INJECTED}}}},
      {"createViewport", true, {{"CreateViewport", {INJECTED}}}},
      {"createViewport", false, {{"CreateViewport", {INJECTED}}}},
      {"createViewport", false, {{"AddViewport", {INJECTED}}}},
      {"createViewport", false, {{"SetViewport2", {INJECTED}}}},
      {"createViewport", false, {{"SetCurrentViewport", {INJECTED}}}},
  };
  for (const StepFailure& failure : failures) {
    SCOPED_TRACE(std::string(failure.step) + (failure.directX6 ? ", DirectX 6: " : ", DirectX 5: ") +
                 failure.script[0].first);
    MachineOf machine(failure.directX6);
    FakeDirectX& fakes = machine.fakes;
    RenderDevice& device = machine.device;
    for (const auto& entry : failure.script) fakes.script(entry.first, entry.second);
    EXPECT_EQ(machine.start(), INJECTED) << fakes.log();
    EXPECT_FALSE(device.ready);
    EXPECT_EQ(device.beginScene(), E_FAIL);
    EXPECT_EQ(device.resize(), S_OK);
    machine.expectAllReleased();
  }
}

TEST(Faults, EachCallInsideAResizeThatFailsLeavesTheDeviceNotReadyUntilTheNextResize) {
  const std::vector<std::pair<std::vector<const char*>, bool>> failures = {
      {{"CreateSurface"}, true},
      {{"CreateSurface"}, false},
      {{"IDirectDrawSurface::QueryInterface"}, false},
      {{"CreateClipper"}, true},
      {{"IDirectDraw4::QueryInterface"}, true},
      {{"IDirectDraw2::QueryInterface"}, false},
      {{"AddAttachedSurface"}, true},
      {{"GetDisplayMode"}, true},
      {{"CreateDevice", "CreateDevice"}, true},
      {{"CreateDevice", "CreateDevice"}, false},
      {{"CreateViewport"}, true},
      {{"SetCurrentViewport"}, false},
      {{"CreateLight"}, true},
      {{"CreateLight"}, false},
      {{"SetLight"}, true},
  };
  for (const auto& failure : failures) {
    SCOPED_TRACE(std::string(failure.second ? "DirectX 6: " : "DirectX 5: ") + failure.first[0]);
    MachineOf machine(failure.second);
    FakeDirectX& fakes = machine.fakes;
    RenderDevice& device = machine.device;
    ASSERT_EQ(machine.start(), S_OK);
    ASSERT_EQ(device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1)), S_OK);
    ASSERT_EQ(device.createMaterial(diffuseMaterial(1, 1, 1)), S_OK);
    for (const char* method : failure.first) fakes.script(method, {INJECTED});

    EXPECT_EQ(machine.resizeWindow(320, 240), INJECTED) << fakes.log();
    EXPECT_FALSE(device.ready);
    EXPECT_EQ(device.beginScene(), E_FAIL);
    EXPECT_EQ(device.present(), S_OK);

    EXPECT_EQ(machine.resizeWindow(330, 250), S_OK) << fakes.log();
    EXPECT_TRUE(device.ready);
    EXPECT_NE(device.lights[1], nullptr);
    EXPECT_EQ(device.updateMaterial(diffuseMaterial(1, 0, 0)), S_OK);
    machine.expectAllReleased();
  }
}

// Every call the device makes, failing in turn, through start-up, a frame and
// a resize: whatever the device makes of it, `ready` says whether it is built,
// and nothing leaks.
TEST(Faults, AnyFailingCallLeavesAConsistentDeviceAndNoReference) {
  for (const Machine& kind : MACHINES) {
    SCOPED_TRACE(kind.name);
    size_t calls = 0;
    {
      MachineOf counted(kind.directX6, kind.way);
      ASSERT_EQ(counted.start(), S_OK);
      calls = counted.fakes.calls().size();
      counted.device.tearDown();
    }
    ASSERT_GT(calls, 15u);
    for (size_t failing = 1; failing <= calls; ++failing) {
      SCOPED_TRACE("failing call " + std::to_string(failing));
      MachineOf machine(kind.directX6, kind.way);
      FakeDirectX& fakes = machine.fakes;
      RenderDevice& device = machine.device;
      fakes.failCall(failing, INJECTED);
      const HRESULT result = machine.start();
      EXPECT_EQ(device.ready, SUCCEEDED(result)) << fakes.log();
      machine.expectAllReleased();
    }
  }
}

TEST(Faults, AnyFailingCallInAResizeIsRecoveredByTheNextResize) {
  for (const Machine& kind : MACHINES) {
    SCOPED_TRACE(kind.name);
    for (size_t failing = 1;; ++failing) {
      SCOPED_TRACE("failing call " + std::to_string(failing));
      MachineOf machine(kind.directX6, kind.way);
      FakeDirectX& fakes = machine.fakes;
      RenderDevice& device = machine.device;
      ASSERT_EQ(machine.start(), S_OK);
      ASSERT_EQ(device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1)), S_OK);
      ASSERT_EQ(device.setLight(4, directionalLight(0, 1, 1, 0, 1, 0)), S_OK);
      fakes.clearCalls();
      fakes.failCall(failing, INJECTED);

      const HRESULT result = machine.resizeWindow(320, 240);
      EXPECT_EQ(device.ready, SUCCEEDED(result)) << fakes.log();
      // Past the last call of the resize nothing was made to fail.
      if (fakes.calls().size() < failing) {
        machine.expectAllReleased();
        break;
      }

      EXPECT_EQ(machine.resizeWindow(400, 300), S_OK) << fakes.log();
      EXPECT_TRUE(device.ready);
      EXPECT_NE(device.lights[1], nullptr);
      EXPECT_NE(device.lights[4], nullptr);
      machine.expectAllReleased();
      if (HasFailure()) break;
    }
  }
}
