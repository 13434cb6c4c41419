// The renderer's calls, as the device's scripted fakes receive them: the
// states, transforms, materials and draws of each render mode, normal lines,
// children, and the camera.
#include "render/scene_renderer.h"

#include "testing/fake_machine.h"
#include "render/math3d.h"
#include "render/tests/matrix_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

constexpr ColorRgb DIFFUSE{0.1f, 0.2f, 0.3f};
constexpr ColorRgb AMBIENT{0.15f, 0.25f, 0.35f};
constexpr ColorRgb SPECULAR{0.4f, 0.5f, 0.6f};
constexpr ColorRgb EMISSIVE{0.7f, 0.8f, 0.9f};
constexpr ColorRgb BLACK{0, 0, 0};

std::unique_ptr<MeshNode> paintedCube(int renderMode) {
  auto cube = std::make_unique<MeshNode>();
  cube->renderMode = renderMode;
  cube->makeUnitCube();
  cube->fillBuffers();
  cube->diffuseColor = DIFFUSE;
  cube->ambientColor = AMBIENT;
  cube->specularColor = SPECULAR;
  cube->emissiveColor = EMISSIVE;
  return cube;
}

void expectColor(const D3DCOLORVALUE& actual, const ColorRgb& expected) {
  EXPECT_EQ((std::vector<float>{actual.r, actual.g, actual.b, actual.a}),
            (std::vector<float>{expected.r, expected.g, expected.b, 0.0f}));
}

// Position, normal and texture coordinates.
std::vector<float> fields(const D3DVERTEX& v) {
  return {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.tu, v.tv};
}

struct Renderer : ::testing::Test, FakeMachine {
  Renderer() : FakeMachine(PresentWay::PRIMARY_BLT, {0, 0, 400, 300}) {}
  SceneRenderer renderer;

  void SetUp() override {
    ASSERT_EQ(renderer.attach(&device, window.handle), ATTACHED);
    ASSERT_TRUE(device.ready) << fakes.log();
    fakes.clearCalls();
  }

  // Whatever was drawn, the device's objects are all released at teardown.
  void TearDown() override { expectAllReleased(); }

  // The draw calls since the log was cleared, in order.
  std::vector<FakeCall> draws() const {
    std::vector<FakeCall> draws;
    for (const FakeCall& call : fakes.calls())
      if (call.method.find("::Draw") != std::string::npos) draws.push_back(call);
    return draws;
  }

  // The one draw call that drawing the node makes.
  FakeCall drawOnce(MeshNode& node) {
    fakes.clearCalls();
    renderer.drawNode(node);
    const std::vector<FakeCall> made = draws();
    EXPECT_EQ(made.size(), 1u) << fakes.log();
    return made.empty() ? FakeCall{} : made.front();
  }
  FakeCall drawCube(int renderMode) { return drawOnce(*paintedCube(renderMode)); }
};

const char INDEXED[] = "IDirect3DDevice3::DrawIndexedPrimitive";
const char POINTS[] = "IDirect3DDevice3::DrawPrimitive";
const std::vector<DWORD> CUBE_TRIANGLES{D3DPT_TRIANGLELIST, D3DFVF_VERTEX, 8, 36, 0};
const std::vector<DWORD> CUBE_POINTS{D3DPT_POINTLIST, D3DFVF_VERTEX, 8, D3DDP_DONOTLIGHT};

// How a painted cube is drawn in one render mode. Lit modes take the node's
// colours; the others glow in its diffuse colour and leave the specular power
// as no lit node has set it yet.
struct ModeDraw {
  int mode;
  std::string method;
  std::vector<DWORD> args;
  D3DFILLMODE fill;
  D3DCULL cull;
  bool lit;
};

const ModeDraw MODE_DRAWS[] = {
    {RENDER_MODE_SOLID, INDEXED, CUBE_TRIANGLES, D3DFILL_SOLID, D3DCULL_CCW, true},
    {RENDER_MODE_TEXTURED, INDEXED, CUBE_TRIANGLES, D3DFILL_SOLID, D3DCULL_CCW, true},
    {RENDER_MODE_WIREFRAME, INDEXED, CUBE_TRIANGLES, D3DFILL_WIREFRAME, D3DCULL_NONE, false},
    {RENDER_MODE_POINTS, POINTS, CUBE_POINTS, D3DFILL_POINT, D3DCULL_NONE, false},
    {9, INDEXED, CUBE_TRIANGLES, D3DFILL_SOLID, D3DCULL_CCW, false},  // a mode outside the table
};

void PrintTo(const ModeDraw& draw, std::ostream* out) { *out << "render mode " << draw.mode; }

struct RendererModes : Renderer, ::testing::WithParamInterface<ModeDraw> {};

TEST_P(RendererModes, DrawTheCubeWithTheModesStatesAndMaterial) {
  const ModeDraw& expected = GetParam();
  const FakeCall draw = drawCube(expected.mode);
  EXPECT_EQ(draw.method, expected.method);
  EXPECT_EQ(draw.args, expected.args);
  EXPECT_EQ(draw.vertices.size(), 8u);
  EXPECT_EQ(draw.indices.size(), expected.method == POINTS ? 0u : 36u);
  EXPECT_EQ(draw.state.renderState(D3DRENDERSTATE_FILLMODE), DWORD(expected.fill));
  EXPECT_EQ(draw.state.renderState(D3DRENDERSTATE_CULLMODE), DWORD(expected.cull));
  const D3DMATERIAL& m = draw.state.material;
  expectColor(m.dcvDiffuse, expected.lit ? DIFFUSE : BLACK);
  expectColor(m.dcvAmbient, expected.lit ? AMBIENT : BLACK);
  expectColor(m.dcvSpecular, SPECULAR);
  expectColor(m.dcvEmissive, expected.lit ? EMISSIVE : DIFFUSE);
  EXPECT_EQ(m.dvPower, expected.lit ? LIT_SPECULAR_POWER : 0.0f);
}

INSTANTIATE_TEST_SUITE_P(EachMode, RendererModes, ::testing::ValuesIn(MODE_DRAWS));

}  // namespace

TEST_F(Renderer, AttachStartsTheDeviceWithMaterialAndSpecularHighlights) {
  FakeMachine other;
  SceneRenderer attached;
  EXPECT_EQ(attached.attach(&other.device, other.window.handle), ATTACHED);
  EXPECT_TRUE(other.device.ready);
  EXPECT_TRUE(other.device.requireDrawPrimitive);
  EXPECT_EQ(attached.window, other.window.handle);
  EXPECT_EQ(other.fakes.count("CreateMaterial"), 1u);
  const std::vector<FakeCall> states = other.fakes.callsTo("SetRenderState");
  ASSERT_FALSE(states.empty());
  EXPECT_EQ(states.back().args, (std::vector<DWORD>{D3DRENDERSTATE_SPECULARENABLE, TRUE}));
  EXPECT_EQ(attached.material.dwSize, sizeof(D3DMATERIAL));
}

TEST_F(Renderer, AttachWithoutWindowOrDeviceDoesNothing) {
  SceneRenderer withoutWindow;
  EXPECT_EQ(withoutWindow.attach(&device, nullptr), NOTHING_TO_ATTACH);
  EXPECT_EQ(withoutWindow.device, &device);
  EXPECT_EQ(withoutWindow.window, nullptr);
  SceneRenderer withoutDevice;
  EXPECT_EQ(withoutDevice.attach(nullptr, window.handle), NOTHING_TO_ATTACH);
  EXPECT_EQ(withoutDevice.window, nullptr);
  EXPECT_TRUE(fakes.calls().empty()) << fakes.log();
}

TEST_F(Renderer, GlobalModeReachesDeferringNodesAndForcedAllNodes) {
  renderer.globalFillMode = RENDER_MODE_WIREFRAME;
  EXPECT_EQ(drawCube(RENDER_MODE_GLOBAL).state.renderState(D3DRENDERSTATE_FILLMODE),
            DWORD(D3DFILL_WIREFRAME));

  // The point cloud keeps its own mode whatever the buttons say...
  renderer.globalFillMode = RENDER_MODE_TEXTURED;
  EXPECT_EQ(drawCube(RENDER_MODE_POINTS).args[0], DWORD(D3DPT_POINTLIST));

  // ... unless the global mode is forced on every node.
  renderer.forceGlobalMode = true;
  EXPECT_EQ(drawCube(RENDER_MODE_POINTS).method, INDEXED);
}

TEST_F(Renderer, SpecularPowerStaysAsTheLastLitNodeLeftIt) {
  drawCube(RENDER_MODE_TEXTURED);
  EXPECT_EQ(drawCube(RENDER_MODE_WIREFRAME).state.material.dvPower, LIT_SPECULAR_POWER);
}

TEST_F(Renderer, NodesArePlacedScaledAndTurned) {
  auto node = paintedCube(RENDER_MODE_TEXTURED);
  node->position.set(1, 2, 3);
  node->scaling.set(2, 2, 2);
  const Vector3 placed = transform({1, 0, 0}, drawOnce(*node).state.world);
  EXPECT_FLOAT_EQ(placed.x, -1.0f);
  EXPECT_FLOAT_EQ(placed.y, 2.0f);
  EXPECT_FLOAT_EQ(placed.z, 3.0f);

  const float theta = 0.9f;
  node->position.set(0, 0, 0);
  node->scaling.set(1, 1, 1);
  node->setOrientation({0, 1, 0}, theta);
  const Vector3 turned = transform({1, 0, 0}, drawOnce(*node).state.world);
  EXPECT_NEAR(turned.x, std::cos(theta), 1e-6);
  EXPECT_NEAR(turned.y, 0.0f, 1e-6);
  EXPECT_NEAR(turned.z, std::sin(theta), 1e-6);
}

TEST_F(Renderer, FieldLinesReplaceThePointsOneCallPerPoint) {
  MeshNode surface;
  surface.renderMode = RENDER_MODE_POINTS;
  surface.allocatePoints(3);
  for (int i = 0; i < 3; ++i) {
    surface.positions[i].set(float(i), 1.0f, -2.0f);
    surface.normals[i].set(0.0f, 0.6f, 0.8f);
  }
  surface.fillBuffers();
  surface.diffuseColor = {1, 1, 1};
  surface.drawSurface = false;
  surface.normalLength = 1.6f;
  renderer.drawNode(surface);

  const std::vector<FakeCall> lines = draws();
  ASSERT_EQ(lines.size(), 3u) << fakes.log();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const FakeCall& line = lines[i];
    EXPECT_EQ(line.method, "IDirect3DDevice3::DrawPrimitive");
    EXPECT_EQ(line.args, (std::vector<DWORD>{D3DPT_LINELIST, D3DFVF_VERTEX, 2, 0}));
    ASSERT_EQ(line.vertices.size(), 2u);
    EXPECT_EQ(fields(line.vertices[0]), (std::vector<float>{float(i), 1, -2, 0, 0, 1, 0, 0}));
    EXPECT_EQ(fields(line.vertices[1]),
              (std::vector<float>{float(i), stored(1.0 + 0.6f * 1.6), stored(-2.0 + 0.8f * 1.6), 0,
                                  0, 0, 0, 0}));
    EXPECT_EQ(line.state.renderState(D3DRENDERSTATE_FILLMODE), DWORD(D3DFILL_POINT));
    expectColor(line.state.material.dcvEmissive, {1, 1, 1});
    expectColor(line.state.material.dcvDiffuse, {1, 1, 1});
  }
}

TEST_F(Renderer, ChildrenDrawAfterTheParentUnderItsTransform) {
  auto parent = paintedCube(RENDER_MODE_TEXTURED);
  parent->position.set(10, 0, 0);
  parent->orientation = {0, 0, 0, 1};
  parent->childCount = 3;
  parent->children = std::make_unique<std::unique_ptr<MeshNode>[]>(3);
  parent->children[0] = paintedCube(RENDER_MODE_WIREFRAME);
  parent->children[2] = paintedCube(RENDER_MODE_POINTS);
  parent->children[2]->position.set(0, 5, 0);
  parent->children[2]->orientation = {0, 0, 0, 1};
  for (int i : {0, 2}) parent->children[i]->parent = parent.get();

  // A transform already on the device is the base of everything drawn and
  // is there again afterwards.
  D3DMATRIX base;
  identityMatrix(base);
  base._43 = 7;
  device.setTransform(D3DTRANSFORMSTATE_WORLD, &base);
  fakes.clearCalls();
  renderer.drawNode(*parent);

  const std::vector<FakeCall> drawn = draws();
  ASSERT_EQ(drawn.size(), 3u) << fakes.log();
  EXPECT_EQ(drawn[0].state.renderState(D3DRENDERSTATE_FILLMODE), DWORD(D3DFILL_SOLID));
  EXPECT_EQ(drawn[1].state.renderState(D3DRENDERSTATE_FILLMODE), DWORD(D3DFILL_WIREFRAME));
  EXPECT_EQ(drawn[2].state.renderState(D3DRENDERSTATE_FILLMODE), DWORD(D3DFILL_POINT));

  const Vector3 child = transform({0, 0, 0}, drawn[2].state.world);
  EXPECT_FLOAT_EQ(child.x, 10.0f);
  EXPECT_FLOAT_EQ(child.y, 5.0f);
  EXPECT_FLOAT_EQ(child.z, 7.0f);

  const std::vector<FakeCall> transforms = fakes.callsTo("SetTransform");
  ASSERT_FALSE(transforms.empty());
  EXPECT_EQ(transforms.back().args[0], DWORD(D3DTRANSFORMSTATE_WORLD));
  EXPECT_TRUE(sameMatrix(transforms.back().matrix, base));
}

TEST_F(Renderer, NodesWithoutUpToDateRenderBuffersDrawNothing) {
  MeshNode unfilled;
  unfilled.makeUnitCube();  // buffers never built
  unfilled.normalLength = 1.0f;
  renderer.drawNode(unfilled);
  EXPECT_TRUE(draws().empty()) << fakes.log();
  // The world transform is still restored.
  EXPECT_EQ(fakes.count("SetTransform"), 2u);

  // Buffers filled for eight corners do not hold a hundred points: until they
  // are filled again the node is not drawn.
  unfilled.fillBuffers();
  ASSERT_EQ(unfilled.allocatePoints(100), ALLOCATED);
  fakes.clearCalls();
  renderer.drawNode(unfilled);
  EXPECT_TRUE(draws().empty()) << fakes.log();
}

TEST_F(Renderer, CameraBecomesTheViewAndADegenerateOneKeepsIt) {
  renderer.eye.set(0, 0, -10);
  renderer.lookAt.set(0, 0, 0);
  renderer.up.set(0, 1, 0);
  renderer.beginFrame();
  EXPECT_EQ(fakes.methods(),
            (std::vector<std::string>{"IDirect3DViewport3::Clear", "IDirect3DDevice3::BeginScene",
                                      "IDirect3DDevice3::SetTransform",
                                      "IDirect3DDevice3::SetTransform"}));
  const FakeCall view = fakes.callsTo("SetTransform").back();
  EXPECT_EQ(view.args[0], DWORD(D3DTRANSFORMSTATE_VIEW));
  EXPECT_EQ(view.matrix._43, 10.0f);
  const D3DMATRIX kept = device.view;

  renderer.eye = renderer.lookAt;
  fakes.clearCalls();
  renderer.beginFrame();
  EXPECT_TRUE(sameMatrix(device.view, kept));
  EXPECT_EQ(fakes.count("Clear"), 1u);
  EXPECT_EQ(fakes.count("BeginScene"), 1u);

  fakes.clearCalls();
  renderer.endFrame();
  EXPECT_EQ(fakes.methods().front(), "IDirect3DDevice3::EndScene");
  EXPECT_EQ(fakes.count("Blt"), 1u);
}

TEST(RendererWithoutDevice, MakesNoCall) {
  FakeDirectX fakes;
  SceneRenderer renderer;
  auto cube = paintedCube(RENDER_MODE_TEXTURED);
  renderer.beginFrame();
  renderer.drawNode(*cube);
  renderer.endFrame();
  EXPECT_TRUE(fakes.calls().empty()) << fakes.log();
}
