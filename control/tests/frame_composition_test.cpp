// Frames composed over the default world on the device's scripted fakes: the
// light, the two cameras, the ornaments, the surface's two looks and the
// cubes' fill mode, as the device receives them.
#include "control/frame_composition.h"

#include "control/control_ids.h"
#include "control/tests/composed_world.h"
#include "testing/failing_allocation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

struct WithFakes {
  FakeDirectX fakes;
};

// The fakes come first, so that the device's destruction still reaches them.
struct Composition : ::testing::Test, WithFakes, ComposedWorld {
  Composition() : ComposedWorld(0, 0, false) {}

  void SetUp() override {
    start();
    ASSERT_TRUE(device.ready) << fakes.log();
    fakes.clearCalls();
  }

  // Whatever was drawn, the device's objects are all released at teardown
  // and no fake saw a call it could not answer.
  void TearDown() override {
    device.tearDown();
    EXPECT_EQ(fakes.references(), 0u) << fakes.referenceReport();
    EXPECT_TRUE(fakes.problems().empty()) << ::testing::PrintToString(fakes.problems());
  }

  std::vector<FakeCall> draws() const {
    std::vector<FakeCall> found;
    for (const FakeCall& call : fakes.calls())
      if (call.method.find("::Draw") != std::string::npos) found.push_back(call);
    return found;
  }

  D3DLIGHT2 lastLight() const {
    const std::vector<FakeCall> lights = fakes.callsTo("SetLight");
    EXPECT_FALSE(lights.empty());
    return lights.empty() ? D3DLIGHT2{} : lights.back().light;
  }
};

constexpr DWORD POINT_LIST = D3DPT_POINTLIST;
constexpr DWORD LINE_LIST = D3DPT_LINELIST;

}  // namespace

TEST_F(Composition, TheFirstFrameLightsFromAboveAndOrbitsFromThePositiveZSide) {
  composition.composeFrame();
  const D3DLIGHT2 light = lastLight();
  EXPECT_EQ(light.dltType, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(light.dwFlags, DWORD(D3DLIGHT_ACTIVE));
  EXPECT_EQ(light.dcvColor.r, 1.0f);
  EXPECT_EQ(light.dcvColor.a, 0.0f);
  EXPECT_EQ(light.dvPosition.x, 0.0f);
  EXPECT_EQ(light.dvPosition.y, 15.0f);
  EXPECT_EQ(light.dvPosition.z, 16.0f);
  EXPECT_EQ(light.dvDirection.y, 0.0f);
  EXPECT_EQ(light.dvDirection.z, 15.0f);
  EXPECT_EQ(fakes.callsTo("AddLight").size(), 1u);

  EXPECT_FLOAT_EQ(control.elapsedTime, FRAME_TIME_STEP);
  EXPECT_NEAR(renderer.eye.x, 0.082, 1e-3);
  EXPECT_EQ(renderer.eye.y, 0.0f);
  EXPECT_NEAR(renderer.eye.z, 34.028, 1e-3);
  EXPECT_EQ(renderer.up.y, 1.0f);

  // Light, clear and scene first; end and present last.
  const std::vector<std::string> methods = fakes.methods();
  EXPECT_NE(std::find(methods.begin(), methods.end(), "IDirect3DViewport3::Clear"), methods.end());
  EXPECT_EQ(methods[methods.size() - 2], "IDirect3DDevice3::EndScene");
  EXPECT_EQ(methods.back(), "IDirectDrawSurface4::Blt");
}

TEST_F(Composition, AFrameDrawsTheCloudAndEveryCubeOnce) {
  composition.composeFrame();
  const std::vector<FakeCall> drawn = draws();
  ASSERT_EQ(drawn.size(), 1u + 1 + 44) << "surface, player, NPCs";
  EXPECT_EQ(drawn[0].args[0], POINT_LIST);
  EXPECT_EQ(drawn[0].args[2], DWORD(DEFAULT_POINT_COUNT));
  for (size_t i = 1; i < drawn.size(); ++i)
    EXPECT_EQ(drawn[i].method, "IDirect3DDevice3::DrawIndexedPrimitive");
}

TEST_F(Composition, FieldShowsNormalLinesInsteadOfPoints) {
  panel.checks[IDC_FIELD] = true;
  composition.composeFrame();
  size_t lines = 0, points = 0;
  for (const FakeCall& call : draws()) {
    if (call.args[0] == LINE_LIST) ++lines;
    if (call.args[0] == POINT_LIST) ++points;
  }
  EXPECT_EQ(lines, size_t(DEFAULT_POINT_COUNT));
  EXPECT_EQ(points, 0u);
  EXPECT_EQ(control.surface->normalLength, FIELD_LINE_LENGTH);

  panel.checks[IDC_FIELD] = false;
  fakes.clearCalls();
  composition.composeFrame();
  EXPECT_EQ(draws()[0].args[0], POINT_LIST);
  EXPECT_EQ(fakes.count("DrawPrimitive"), 1u);
}

TEST_F(Composition, TheFillModeChangesTheCubesButNeverTheCloud) {
  renderer.globalFillMode = RENDER_MODE_WIREFRAME;
  panel.checks[IDC_STUFF] = true;
  composition.composeFrame();
  const std::vector<FakeCall> drawn = draws();
  ASSERT_EQ(drawn.size(), 3u + 1 + 45);
  for (size_t i = 0; i < drawn.size(); ++i) {
    const DWORD fill = drawn[i].state.renderState(D3DRENDERSTATE_FILLMODE);
    EXPECT_EQ(fill, DWORD(i == 3 ? D3DFILL_POINT : D3DFILL_WIREFRAME)) << i;
  }
}

TEST_F(Composition, StuffAddsThreeOrnamentsMadeForTheFrame) {
  failAllocationAfter(-1);
  composition.composeFrame();
  EXPECT_EQ(allocationsCounted(), 0) << "without Stuff a frame makes no node";
  EXPECT_EQ(draws().size(), 46u);

  panel.checks[IDC_STUFF] = true;
  fakes.clearCalls();
  failAllocationAfter(-1);
  composition.composeFrame();
  EXPECT_GT(allocationsCounted(), 0);
  const std::vector<FakeCall> drawn = draws();
  ASSERT_EQ(drawn.size(), 49u);
  // Ornament 2 sits at (3 sin t, 3 cos t, 0) for this frame's t.
  const double t = control.elapsedTime;
  const D3DMATRIX& world = drawn[1].state.world;
  EXPECT_NEAR(world._41, 3 * std::sin(t), 1e-5);
  EXPECT_NEAR(world._42, 3 * std::cos(t), 1e-5);
  EXPECT_EQ(world._43, 0.0f);
}

TEST_F(Composition, PovFreezesTimeLightAndOrnamentsWhileTheAgentsMove) {
  panel.checks[IDC_STUFF] = true;
  for (int frame = 0; frame < 5; ++frame) composition.composeFrame();
  panel.checks[IDC_POV] = true;
  fakes.clearCalls();
  composition.composeFrame();
  const float time = control.elapsedTime;
  const D3DLIGHT2 light = lastLight();
  const D3DMATRIX ornament = draws()[0].state.world;
  const Vector3 player = control.world->player->mesh->position;
  Vector3 heading = control.world->player->velocity;
  normalize(heading);

  fakes.clearCalls();
  composition.composeFrame();
  EXPECT_EQ(control.elapsedTime, time);
  const D3DLIGHT2 frozenLight = lastLight();
  EXPECT_EQ(std::memcmp(&frozenLight, &light, sizeof light), 0);
  EXPECT_EQ(std::memcmp(&draws()[0].state.world, &ornament, sizeof ornament), 0);
  EXPECT_NE(control.world->player->mesh->position.x, player.x);

  // The camera rides 20 units behind the player it saw before the step,
  // looking along its heading, with up the way the field pushes away from
  // the nodes.
  EXPECT_EQ(renderer.lookAt.x, player.x);
  EXPECT_EQ(renderer.lookAt.z, player.z);
  EXPECT_NEAR(renderer.eye.x, player.x - POV_DISTANCE * heading.x, 1e-4);
  EXPECT_NEAR(renderer.eye.y, player.y - POV_DISTANCE * heading.y, 1e-4);
  EXPECT_NEAR(renderer.eye.z, player.z - POV_DISTANCE * heading.z, 1e-4);
  Vector3 away;
  for (int i = 0; i < control.world->nodeCount; ++i)
    control.world->nodes[i].addFieldVector(player, away);
  normalize(away);
  EXPECT_NEAR(renderer.up.dot(away), 1.0, 1e-6);

  panel.checks[IDC_POV] = false;
  composition.composeFrame();
  EXPECT_FLOAT_EQ(control.elapsedTime, time + FRAME_TIME_STEP);
}

TEST_F(Composition, ADeviceThatIsNotReadyLeavesGenerationRunning) {
  device.tearDown();
  fakes.clearCalls();
  const int cursor = control.genCursor;
  composition.idleTick();
  composition.idleTick();
  EXPECT_EQ(control.genCursor, cursor + 2 * GENERATION_BATCH);
  EXPECT_EQ(panel.caption(), "cancel 1569");
  EXPECT_TRUE(fakes.calls().empty()) << fakes.log();
  EXPECT_EQ(control.elapsedTime, 0.0f) << "no frame, no animation";
}

TEST_F(Composition, AnIdleTickIsABatchAndAFrame) {
  composition.idleTick();
  EXPECT_EQ(control.genCursor, 2 * GENERATION_BATCH);
  EXPECT_EQ(fakes.count("BeginScene"), 1u);
  EXPECT_EQ(fakes.count("Blt"), 1u);
}
