// The GL device on Mesa through EGL, with no display: pixels read back from
// its frame. Lighting against a reference of Direct3D's vertex lighting, the
// cube as the renderer draws it in each look, culling in each fill, the
// depth test, normal lines and long point lists.
#include "gldevice/gl_device.h"

#include "render/scene_renderer.h"

#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>

namespace {

using Rgb = std::array<int, 3>;

constexpr int SIZE = 64;

D3DVERTEX vertex(float x, float y, float z, float nx = 0, float ny = 0, float nz = -1) {
  D3DVERTEX v{};
  v.x = x, v.y = y, v.z = z, v.nx = nx, v.ny = ny, v.nz = nz;
  return v;
}

D3DLIGHT2 directional(float x, float y, float z, float r = 1, float g = 1, float b = 1) {
  D3DLIGHT2 light{};
  light.dwSize = sizeof light;
  light.dltType = D3DLIGHT_DIRECTIONAL;
  light.dcvColor.r = r, light.dcvColor.g = g, light.dcvColor.b = b;
  light.dvDirection.x = x, light.dvDirection.y = y, light.dvDirection.z = z;
  light.dwFlags = D3DLIGHT_ACTIVE;
  return light;
}

D3DMATERIAL material() {
  D3DMATERIAL m{};
  m.dwSize = sizeof m;
  return m;
}

struct GlFrame : ::testing::Test {
  GlWindow window{nullptr, SIZE, SIZE};
  GlDevice device;

  void SetUp() override {
    device.attachWindow(&window);
    ASSERT_EQ(device.startUp(), S_OK);
    ASSERT_TRUE(device.ready);
    device.resetMatrices();
    device.applyViewProjection();
    device.createMaterial(material());
    device.clear();
  }

  // The pixel at x, y from the top left, as drawn so far.
  Rgb pixel(int x, int y) {
    device.present();
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
  }
  Rgb centre() { return pixel(SIZE / 2, SIZE / 2); }
  // The brightest pixel of the nine around x, y: where a line or a point
  // falls on a pixel's edge, GL may draw it on either side.
  Rgb brightest(int x, int y) {
    Rgb best{};
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const Rgb p = pixel(x + dx, y + dy);
        if (p[0] + p[1] + p[2] > best[0] + best[1] + best[2]) best = p;
      }
    }
    return best;
  }
  bool lit(int x, int y) {
    const Rgb p = brightest(x, y);
    return p[0] + p[1] + p[2] > 0;
  }

  // A triangle facing the eye (clockwise on the screen) around the middle of
  // the frame at depth z,
  // every corner with the same normal; the spread 1 covers most of the
  // frame, whatever the depth.
  void triangle(float z, D3DVERTEX normalOf = vertex(0, 0, 0), DWORD flags = 0,
                float spread = 1.0f, float x = 0.0f) {
    const float s = spread * z;
    D3DVERTEX corners[3] = {vertex(x - s, -s, z), vertex(x, s, z), vertex(x + s, -s, z)};
    for (D3DVERTEX& c : corners) c.nx = normalOf.nx, c.ny = normalOf.ny, c.nz = normalOf.nz;
    device.drawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, corners, 3, flags);
  }
};

void expectNear(const Rgb& actual, const Rgb& expected) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], expected[i], 2) << "channel " << i;
}

// Direct3D's lighting of one vertex at the eye's centre line, lit by one
// directional light: clamp(emissive + diffuse * light * N.L) plus, with
// specular on, specular * light * (N.H)^power where N.L > 0 and the power is
// not 0 (Wine's Direct3D shows no highlight at power 0).
Rgb reference(const D3DMATERIAL& m, const D3DLIGHT2& light, const D3DVECTOR& normal,
              bool specularOn) {
  const double dl = std::sqrt(double(light.dvDirection.x) * light.dvDirection.x +
                              double(light.dvDirection.y) * light.dvDirection.y +
                              double(light.dvDirection.z) * light.dvDirection.z);
  const double toLight[3] = {-light.dvDirection.x / dl, -light.dvDirection.y / dl,
                             -light.dvDirection.z / dl};
  const double nl = normal.x * toLight[0] + normal.y * toLight[1] + normal.z * toLight[2];
  // The eye looks along +z: towards it is -z. H halfway between.
  double half[3] = {toLight[0], toLight[1], toLight[2] - 1.0};
  const double hl = std::sqrt(half[0] * half[0] + half[1] * half[1] + half[2] * half[2]);
  const double nh = std::max(0.0, (normal.x * half[0] + normal.y * half[1] + normal.z * half[2]) / hl);
  const float* diffuse = &m.dcvDiffuse.r;
  const float* specular = &m.dcvSpecular.r;
  const float* emissive = &m.dcvEmissive.r;
  const float* color = &light.dcvColor.r;
  Rgb rgb;
  for (int i = 0; i < 3; ++i) {
    double body = emissive[i] + (nl > 0 ? diffuse[i] * color[i] * nl : 0.0);
    const bool shines = specularOn && nl > 0 && m.dvPower > 0;
    double shine = shines ? specular[i] * color[i] * std::pow(nh, m.dvPower) : 0.0;
    body = std::min(1.0, std::min(1.0, body) + std::min(1.0, shine));
    rgb[i] = int(std::lround(body * 255));
  }
  return rgb;
}

TEST_F(GlFrame, LightsEachVertexAsDirect3DDoes) {
  struct Case {
    const char* what;
    D3DVECTOR lightDirection;
    D3DVECTOR normal;
    bool specularOn;
    float power;
  };
  const Case cases[] = {
      {"light from behind the eye, face on", {0, 0, 1}, {0, 0, -1}, false, 12},
      {"light from behind, highlights on", {0, 0, 1}, {0, 0, -1}, true, 12},
      {"light at a slant, unnormalised", {0, -15, 15}, {0, 0, -1}, true, 12},
      {"light at a slant, power 0", {10, 0, 10}, {0, 0, -1}, true, 0},
      {"normal longer than one", {0, 0, 1}, {0, 0, -3}, true, 12},
      {"light behind the face: emissive only", {0, 0, -1}, {0, 0, -1}, true, 12},
  };
  float lastPower = -1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    D3DMATERIAL m = material();
    m.dcvDiffuse.r = 0.5f, m.dcvDiffuse.g = 0.25f, m.dcvDiffuse.b = 0.75f;
    m.dcvSpecular.r = 0.25f, m.dcvSpecular.g = 0.5f, m.dcvSpecular.b = 0.125f;
    m.dcvEmissive.r = 0.125f, m.dcvEmissive.g = 0.0625f, m.dcvEmissive.b = 0.0f;
    m.dvPower = c.power;
    const D3DLIGHT2 light = directional(c.lightDirection.x, c.lightDirection.y,
                                        c.lightDirection.z, 1.0f, 0.75f, 1.0f);
    device.clear();
    device.setLight(1, light);
    // A new material only when it changes: highlights turned on alone show.
    if (c.power != lastPower) device.updateMaterial(m);
    lastPower = c.power;
    device.setRenderState(D3DRENDERSTATE_SPECULARENABLE, c.specularOn);
    // Small, so that the eye sees every corner square on, as the reference does.
    triangle(4, vertex(0, 0, 0, c.normal.x, c.normal.y, c.normal.z), 0, 0.025f);
    D3DVECTOR unit = c.normal;
    const float n = std::sqrt(unit.x * unit.x + unit.y * unit.y + unit.z * unit.z);
    unit.x /= n, unit.y /= n, unit.z /= n;
    expectNear(centre(), reference(m, light, unit, c.specularOn));
  }
}

TEST_F(GlFrame, UnlitVerticesAreWhiteAndAnInactiveOrReleasedLightDoesNotShine) {
  D3DMATERIAL m = material();
  m.dcvDiffuse.r = m.dcvDiffuse.g = m.dcvDiffuse.b = 1.0f;
  m.dcvEmissive.r = m.dcvEmissive.g = m.dcvEmissive.b = 0.25f;
  device.updateMaterial(m);
  D3DLIGHT2 off = directional(0, 0, 1);
  off.dwFlags = 0;
  device.setLight(1, off);
  device.setLight(2, directional(0, 0, 1));
  device.releaseLight(2);
  // A lit triangle left of the middle, an unlit one right of it.
  triangle(4, vertex(0, 0, 0), 0, 0.25f, -1.0f);
  triangle(4, vertex(0, 0, 0), D3DDP_DONOTLIGHT, 0.25f, 1.0f);
  expectNear(pixel(16, 32), {64, 64, 64});
  expectNear(pixel(48, 32), {255, 255, 255});
}

TEST_F(GlFrame, CullsTheTurnDirect3DCullsInEveryFill) {
  // Two triangles, left and right of the middle; on the screen the left one
  // runs clockwise, the right one counter-clockwise.
  const D3DVERTEX left[3] = {vertex(-3, 1, 8), vertex(-1, 1, 8), vertex(-2, -1, 8)};
  const D3DVERTEX right[3] = {vertex(1, 1, 8), vertex(2, -1, 8), vertex(3, 1, 8)};
  D3DMATERIAL m = material();
  m.dcvEmissive.g = 1.0f;
  device.updateMaterial(m);
  struct Case { DWORD cull; bool leftShown, rightShown; };
  for (DWORD fill : {D3DFILL_SOLID, D3DFILL_WIREFRAME, D3DFILL_POINT}) {
    for (const Case& c : {Case{D3DCULL_NONE, true, true}, Case{D3DCULL_CCW, true, false},
                          Case{D3DCULL_CW, false, true}}) {
      SCOPED_TRACE(::testing::Message() << "fill " << fill << " cull " << c.cull);
      device.clear();
      device.setRenderState(D3DRENDERSTATE_FILLMODE, fill);
      device.setRenderState(D3DRENDERSTATE_CULLMODE, c.cull);
      device.drawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, const_cast<D3DVERTEX*>(left), 3, 0);
      device.drawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, const_cast<D3DVERTEX*>(right), 3, 0);
      // Filled: the middle; wire and point: every corner.
      using Pixels = std::vector<std::pair<int, int>>;
      const bool solid = fill == D3DFILL_SOLID;
      for (const auto& [x, y] : solid ? Pixels{{16, 29}} : Pixels{{8, 24}, {24, 24}, {16, 40}}) {
        EXPECT_EQ(lit(x, y), c.leftShown) << x << ", " << y;
      }
      for (const auto& [x, y] : solid ? Pixels{{48, 29}} : Pixels{{40, 24}, {48, 40}, {56, 24}}) {
        EXPECT_EQ(lit(x, y), c.rightShown) << x << ", " << y;
      }
    }
  }
}

TEST_F(GlFrame, ListsKeepTheMaterialTheyCameWith) {
  D3DMATERIAL red = material(), blue = material();
  red.dcvEmissive.r = 1.0f;
  blue.dcvEmissive.b = 1.0f;
  device.updateMaterial(red);
  D3DVERTEX line[2] = {vertex(-1, 0, 4), vertex(1, 0, 4)};
  device.drawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, line, 2, 0);
  device.updateMaterial(blue);
  D3DVERTEX higher[2] = {vertex(-1, 1, 4), vertex(1, 1, 4)};
  device.drawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, higher, 2, 0);
  expectNear(brightest(SIZE / 2, SIZE / 2), {255, 0, 0});
  expectNear(brightest(SIZE / 2, SIZE / 4), {0, 0, 255});
}

TEST_F(GlFrame, TheNearerSurfaceHidesTheFartherInEitherOrderUnlessDepthIsOff) {
  D3DMATERIAL red = material(), blue = material();
  red.dcvEmissive.r = 1.0f;
  blue.dcvEmissive.b = 1.0f;
  device.setRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
  const auto draw = [&](const D3DMATERIAL& m, float z) {
    device.updateMaterial(m);
    triangle(z);
  };
  draw(red, 3), draw(blue, 6);
  expectNear(centre(), {255, 0, 0});
  device.clear();
  draw(blue, 6), draw(red, 3);
  expectNear(centre(), {255, 0, 0});
  device.clear();
  device.setRenderState(D3DRENDERSTATE_ZENABLE, FALSE);
  draw(red, 3), draw(blue, 6);
  expectNear(centre(), {0, 0, 255});
  // Nearer than the near plane (z = 1) nothing is drawn.
  device.clear();
  draw(red, 0.5f);
  expectNear(centre(), {0, 0, 0});
}

// The renderer's cube, straight ahead, its front face square to the eye.
struct RenderedCube : GlFrame {
  SceneRenderer renderer;
  MeshNode cube;

  void SetUp() override {
    ASSERT_EQ(renderer.attach(&device, &window), ATTACHED);
    ASSERT_TRUE(device.ready);
    // Looking along +x, so that the view turns the light as it turns the cube.
    renderer.eye = {-6, 0, 0};
    renderer.lookAt = {0, 0, 0};
    renderer.up = {0, 1, 0};
    cube.makeUnitCube();
    cube.fillBuffers();
    cube.orientation = {0, 0, 0, 1};
    cube.diffuseColor = {0.0f, 0.5f, 1.0f};
    cube.emissiveColor = {0.25f, 0.0f, 0.0f};
    cube.specularColor = {0.0f, 0.0f, 0.0f};
  }
  void draw(int mode) {
    renderer.globalFillMode = mode;
    renderer.beginFrame();
    renderer.drawNode(cube);
    renderer.endFrame();
  }
};

TEST_F(RenderedCube, EachLookDrawsTheFrontFaceItsOwnWay) {
  // The face towards the eye spans -1 to 1 at depth 5: pixels 19..44.
  device.setLight(1, directional(1, 0, 0));
  draw(RENDER_MODE_TEXTURED);
  // Lit from behind the eye: every corner's normal (+-1, +-1, -1) / sqrt 3
  // gets N.L = 1/sqrt 3 of the diffuse colour, over the emissive one.
  const double nl = 1 / std::sqrt(3.0);
  expectNear(centre(), {64, int(std::lround(0.5 * nl * 255)), int(std::lround(nl * 255))});
  EXPECT_FALSE(lit(4, 4));

  // Wire: the edges glow in the diffuse colour; inside the face, off its
  // diagonals and the back face's edges, nothing is drawn. Point: the
  // corners only, an unlit point list, white.
  draw(RENDER_MODE_WIREFRAME);
  EXPECT_FALSE(lit(32, 26));
  expectNear(brightest(32, 19), {0, 128, 255});
  draw(RENDER_MODE_POINTS);
  EXPECT_FALSE(lit(32, 26));
  EXPECT_FALSE(lit(32, 19));
  expectNear(brightest(19, 19), {255, 255, 255});
}

TEST_F(RenderedCube, FieldDrawsEveryNormalLineInTheNodesDiffuseColour) {
  // A node of four points on a row, each with its normal pointing up, drawn
  // as the surface is with "Field" on: no points, one line per point.
  MeshNode surface;
  surface.renderMode = RENDER_MODE_POINTS;
  surface.allocatePoints(4);
  for (int i = 0; i < 4; ++i) {
    surface.positions[i] = {-1.5f + i, -1.0f, 0.0f};
    surface.normals[i] = {0.0f, 1.0f, 0.0f};
  }
  surface.buildBuffers();
  surface.fillBuffers();
  surface.orientation = {0, 0, 0, 1};
  surface.diffuseColor = {1.0f, 1.0f, 0.0f};
  surface.drawSurface = false;
  surface.normalLength = 2.0f;
  // The eye looks along +z here; a cube follows the lines, in a material of
  // its own, as the cubes follow the surface in a frame.
  renderer.eye = {0, 0, -6};
  cube.position = {0.0f, 2.5f, 0.0f};
  cube.scaling = {0.2f, 0.2f, 0.2f};
  renderer.beginFrame();
  renderer.drawNode(surface);
  renderer.drawNode(cube);
  renderer.endFrame();
  // At depth 6, x lands on pixel 32 + 32 x / 3; the lines run from row 43
  // up to row 21.
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    expectNear(brightest(int(std::lround(32 + (-1.5 + i) * 32 / 3)), 32), {255, 255, 0});
  }
  EXPECT_FALSE(lit(32, 32));  // between the lines
  EXPECT_FALSE(lit(16, 50));  // below them
  EXPECT_TRUE(lit(32, 5));    // the cube, at 2.5 above them
}

TEST_F(GlFrame, ListsOfAnyLengthDrawTheirWholeLinesAndTrianglesOnly) {
  D3DMATERIAL m = material();
  m.dcvEmissive.g = 1.0f;
  device.updateMaterial(m);
  // A line and a left-over end, then a line of its own: the left-over end
  // pairs with nothing.
  D3DVERTEX oddLines[3] = {vertex(-1, -1, 4), vertex(-1, 1, 4), vertex(1, 1, 4)};
  D3DVERTEX line[2] = {vertex(0.5f, -1.5f, 4), vertex(1.5f, -1.5f, 4)};
  device.drawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, oddLines, 3, 0);
  device.drawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, line, 2, 0);
  EXPECT_TRUE(lit(16, 32));
  EXPECT_TRUE(lit(48, 56));
  EXPECT_FALSE(lit(44, 36)) << "a line from the left-over end";
  // The same for triangles, drawn and indexed: a left-over corner far up
  // left, then a triangle low right, which alone is filled there.
  for (const bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "indexed" : "drawn");
    device.clear();
    D3DVERTEX oddTriangles[4] = {vertex(-1.5f, -1, 4), vertex(-1, 0, 4), vertex(-0.5f, -1, 4),
                                 vertex(-1.8f, 1.8f, 4)};
    D3DVERTEX triangle[3] = {vertex(0.5f, -1, 4), vertex(1, 0, 4), vertex(1.5f, -1, 4)};
    WORD corners[4] = {0, 1, 2, 3};
    if (indexed) {
      device.drawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, oddTriangles, 4, corners, 4, 0);
      device.drawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, corners, 3, 0);
    } else {
      device.drawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, oddTriangles, 4, 0);
      device.drawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, 0);
    }
    EXPECT_TRUE(lit(16, 44));
    EXPECT_TRUE(lit(48, 44));
    EXPECT_FALSE(lit(30, 28)) << "a triangle with the left-over corner";
  }
}

TEST_F(GlFrame, DrawsPointListsLongerThanOneDirect3DCallTakes) {
  // 70,000 points on one spot off the middle, then the last one alone in
  // the middle: it is drawn only if the whole list is.
  std::vector<D3DVERTEX> points(70000, vertex(-1, -1, 4));
  points.back() = vertex(0, 0, 4);
  device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, points.data(), DWORD(points.size()),
                       D3DDP_DONOTLIGHT);
  expectNear(brightest(SIZE / 2, SIZE / 2), {255, 255, 255});
  EXPECT_TRUE(lit(16, 48));
}

TEST_F(GlFrame, FollowsTheWindowsSizeAndIsNotReadyWithoutOne) {
  window.width = 100;
  window.height = 40;
  ASSERT_EQ(device.resize(), S_OK);
  EXPECT_EQ(device.width, 100);
  device.clear();
  triangle(4, vertex(0, 0, 0), D3DDP_DONOTLIGHT);
  EXPECT_TRUE(lit(98, 38));
  window.width = 0;
  device.resize();
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(device.beginScene(), E_FAIL);
  EXPECT_EQ(device.clear(), S_OK);
}

}  // namespace

// A frame of every kind of draw the program makes, each with its own values:
// a lit cube with a highlight, the same cube as a wireframe (its vertices held
// by the device after the first), and a point list.
std::vector<unsigned char> drawEveryKind(GlDevice& device, SceneRenderer& renderer) {
  MeshNode cube;
  cube.makeUnitCube();
  cube.fillBuffers();
  cube.diffuseColor = {0.0f, 0.5f, 1.0f};
  cube.specularColor = {1.0f, 1.0f, 1.0f};
  renderer.eye = {-3, 2, -6};
  renderer.lookAt = {0, 0, 0};
  renderer.up = {0, 1, 0};
  std::vector<unsigned char> frames;
  for (int frame = 0; frame < 2; ++frame) {
    device.setLight(1, directional(1, -1, 1));
    renderer.beginFrame();
    renderer.globalFillMode = RENDER_MODE_TEXTURED;
    renderer.drawNode(cube);
    renderer.globalFillMode = RENDER_MODE_WIREFRAME;
    cube.position = {0.0f, 1.5f, 0.0f};
    renderer.drawNode(cube);
    cube.position = {0.0f, 0.0f, 0.0f};
    D3DVERTEX points[3] = {vertex(-2, -2, 2), vertex(2, -2, 2), vertex(0, -1.5f, 2)};
    device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, points, 3, D3DDP_DONOTLIGHT);
    renderer.endFrame();
    std::vector<unsigned char> rgba(size_t(SIZE) * SIZE * 4);
    glReadPixels(0, 0, SIZE, SIZE, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    frames.insert(frames.end(), rgba.begin(), rgba.end());
  }
  return frames;
}

TEST(GlDeviceStart, EveryValueSetIsInForceOnAFrameThatHadNoAreaAndOnANewContext) {
  std::vector<unsigned char> expected;
  {
    GlWindow window{nullptr, SIZE, SIZE};
    GlDevice device;
    SceneRenderer renderer;
    renderer.attach(&device, &window);
    ASSERT_TRUE(device.ready);
    expected = drawEveryKind(device, renderer);
    // The highlight is there: the cube's red comes from it alone, and the
    // white points have all of it.
    bool highlight = false;
    for (size_t i = 0; i < expected.size(); i += 4) highlight |= expected[i] > 0 && expected[i] < 255;
    EXPECT_TRUE(highlight);

    // A new context, as after a loss: the states, and nothing the old
    // context's buffers held.
    ASSERT_EQ(device.startUp(), S_OK);
    EXPECT_EQ(drawEveryKind(device, renderer), expected) << "on a new context";
  }
  // The renderer's material and highlights are set while the frame is empty.
  GlWindow window{nullptr, 0, 0};
  GlDevice device;
  SceneRenderer renderer;
  renderer.attach(&device, &window);
  ASSERT_FALSE(device.ready);
  window.width = window.height = SIZE;
  ASSERT_EQ(device.resize(), S_OK);
  ASSERT_TRUE(device.ready);
  EXPECT_EQ(drawEveryKind(device, renderer), expected) << "after the frame grew";
}

TEST_F(GlFrame, AShaderThatDoesNotCompileIsReportedInTheDriversWords) {
  std::string problem;
  EXPECT_EQ(compileShader(GL_FRAGMENT_SHADER, "#version 300 es\nvoid main() { nothing; }\n",
                          problem),
            0u);
  EXPECT_NE(problem.find("the fragment shader does not compile: "), std::string::npos) << problem;
  EXPECT_NE(problem.find("nothing"), std::string::npos) << "the driver's log names the word";
}

TEST_F(GlFrame, DepthsTheWindowsProgramsZBufferCannotTellApartAreOne) {
  // Two depths inside one step of a 16-bit z-buffer, the Windows program's:
  // the farther surface, drawn second, passes the test as the nearer did.
  const int step = 58982;  // depth 1 - 1/z near 0.9, z near 10
  const auto at = [](double depth) { return float(1.0 / (1.0 - depth)); };
  const float nearer = at((step + 0.1) / 65535), farther = at((step + 0.4) / 65535);
  D3DMATERIAL red = material(), blue = material();
  red.dcvEmissive.r = 1.0f;
  blue.dcvEmissive.b = 1.0f;
  device.updateMaterial(red);
  triangle(nearer);
  device.updateMaterial(blue);
  triangle(farther);
  expectNear(centre(), {0, 0, 255});
}
