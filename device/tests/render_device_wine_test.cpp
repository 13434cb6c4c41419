// The RenderDevice on the real DirectDraw and Direct3D of the machine (Wine's
// here), in a real window on the display: a known scene is drawn, the back
// buffer is read back and the screen captured, and the colours are checked
// where the geometry must land and where it must not; then the window is
// resized, moved, minimised and restored, and the device is started again.
#include "device/tests/device_fixture.h"
#include "testing/pixel_readback.h"

#include <vector>

namespace {

// A vertex that lands on pixel (px, py) of a width x height render window at
// view depth z, under the device's fixed projection and an identity view:
// x' = 2x/z across -1..1, y' = 2y/z from h/w at the top to -h/w at the bottom.
D3DVERTEX vertexAtPixel(float px, float py, float z, int width, int height) {
  const float xNdc = 2.0f * px / float(width) - 1.0f;
  const float yNdc = (float(height) / 2.0f - py) * 2.0f / float(width);
  D3DVERTEX vertex{};
  vertex.x = xNdc * z / 2.0f;
  vertex.y = yNdc * z / 2.0f;
  vertex.z = z;
  vertex.nz = -1.0f;  // facing the camera
  return vertex;
}

// Draws the rectangle between two pixel corners at view depth z, as an
// indexed triangle list.
HRESULT drawRectangle(RenderDevice& device, float left, float top, float right, float bottom,
                      float z, int width, int height) {
  D3DVERTEX corners[] = {vertexAtPixel(left, top, z, width, height),
                         vertexAtPixel(right, top, z, width, height),
                         vertexAtPixel(right, bottom, z, width, height),
                         vertexAtPixel(left, bottom, z, width, height)};
  WORD indices[] = {0, 1, 3, 1, 2, 3};
  return device.drawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, corners, 4, indices, 6, 0);
}

// Where the scene's parts lie in a width x height window; the checks look
// at these pixels.
struct Layout {
  int width, height;
  POINT redOnly() const { return {int(0.2 * width), int(0.6 * height)}; }
  POINT greenOverRed() const { return {int(0.33 * width), int(0.25 * height)}; }
  POINT points() const { return {int(0.7 * width), int(0.3 * height)}; }
  POINT line() const { return {int(0.75 * width), int(0.8 * height)}; }
  POINT belowLine() const { return {int(0.75 * width), int(0.8 * height) + 12}; }
  POINT empty() const { return {int(0.7 * width), int(0.6 * height)}; }
  POINT corner() const { return {int(0.05 * width), int(0.95 * height)}; }
};

// Clears and draws the known scene under a light from behind the camera:
// a green triangle (plain list) in front of a red quad (indexed list) drawn
// after it, so that the z-buffer decides the overlap; a white block of
// unlit points; and a lit green line placed by a world translation.
void drawScene(RenderDevice& device, const Layout& layout) {
  const int w = layout.width;
  const int h = layout.height;
  D3DMATRIX world = identityMatrix();

  device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1));
  ASSERT_EQ(device.clear(), D3D_OK);
  ASSERT_EQ(device.beginScene(), D3D_OK);
  device.applyViewProjection();
  ASSERT_EQ(device.setTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID), D3D_OK);
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW), D3D_OK);

  ASSERT_EQ(device.updateMaterial(diffuseMaterial(0, 1, 0)), D3D_OK);
  D3DVERTEX triangle[] = {vertexAtPixel(0.3f * w, 0.1f * h, 3, w, h),
                          vertexAtPixel(0.5f * w, 0.1f * h, 3, w, h),
                          vertexAtPixel(0.3f * w, 0.4f * h, 3, w, h)};
  EXPECT_EQ(device.drawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle, 3, 0), D3D_OK);

  ASSERT_EQ(device.updateMaterial(diffuseMaterial(1, 0, 0)), D3D_OK);
  EXPECT_EQ(drawRectangle(device, 0.1f * w, 0.2f * h, 0.4f * w, 0.7f * h, 4, w, h), D3D_OK);

  std::vector<D3DVERTEX> block;
  const POINT centre = layout.points();
  for (int dy = -3; dy <= 3; ++dy) {
    for (int dx = -3; dx <= 3; ++dx) {
      block.push_back(vertexAtPixel(centre.x + dx + 0.5f, centre.y + dy + 0.5f, 5, w, h));
    }
  }
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, block.data(), DWORD(block.size()),
                                 D3DDP_DONOTLIGHT),
            D3D_OK);

  // The line is made on the horizon and moved down to its row by the world
  // transform: y' = 2y/z at depth 4.
  ASSERT_EQ(device.updateMaterial(diffuseMaterial(0, 1, 0)), D3D_OK);
  D3DVERTEX line[] = {vertexAtPixel(0.55f * w, h / 2.0f, 4, w, h),
                      vertexAtPixel(0.95f * w, h / 2.0f, 4, w, h)};
  const D3DVERTEX onRow = vertexAtPixel(0, layout.line().y + 0.5f, 4, w, h);
  D3DMATRIX down = translationMatrix(0, onRow.y, 0);
  ASSERT_EQ(device.setTransform(D3DTRANSFORMSTATE_WORLD, &down), D3D_OK);
  EXPECT_EQ(device.drawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, line, 2, 0), D3D_OK);
  ASSERT_EQ(device.setTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);

  ASSERT_EQ(device.endScene(), D3D_OK);
}

void expectScene(const Image& image, const Layout& layout, const char* where) {
  SCOPED_TRACE(where);
  ASSERT_EQ(image.width, layout.width);
  ASSERT_EQ(image.height, layout.height);
  auto check = [&](POINT p, bool (*test)(const Colour&), const char* what) {
    EXPECT_TRUE(test(image.at(p.x, p.y)))
        << what << " at (" << p.x << ", " << p.y << "): " << describe(image.at(p.x, p.y));
  };
  check(layout.redOnly(), isRed, "lit red quad");
  check(layout.greenOverRed(), isGreen, "nearer green triangle over the quad");
  check(layout.points(), isWhite, "unlit point block");
  check(layout.empty(), isBlack, "nothing");
  check(layout.corner(), isBlack, "nothing");
  const POINT line = layout.line();
  EXPECT_TRUE(image.nearRow(line.x, line.y, 1, isGreen))
      << "lit line near (" << line.x << ", " << line.y << "): " << describe(image.at(line.x, line.y));
  const POINT below = layout.belowLine();
  EXPECT_TRUE(isBlack(image.at(below.x, below.y))) << "below the line";
}

// Presents and checks that the picture reached the screen.
void expectOnScreen(RenderDevice& device, const Layout& layout) {
  ASSERT_EQ(device.present(), DD_OK);
  GdiFlush();
  pumpMessages();
  expectScene(captureScreen(device.screenRect), layout, "on the screen");
}

// Clears and draws a near green square and then, over it, a farther red
// one, and gives back the colour where they overlap: green when the device
// tests depth, red when it does not.
Colour drawNearThenFar(RenderDevice& device) {
  const int w = device.clientRect.right;
  const int h = device.clientRect.bottom;
  D3DMATRIX world = identityMatrix();
  EXPECT_EQ(device.clear(), D3D_OK);
  EXPECT_EQ(device.beginScene(), D3D_OK);
  device.applyViewProjection();
  device.setTransform(D3DTRANSFORMSTATE_WORLD, &world);
  const struct {
    float depth;
    D3DMATERIAL material;
  } squares[] = {{3, diffuseMaterial(0, 1, 0)}, {4, diffuseMaterial(1, 0, 0)}};
  for (const auto& square : squares) {
    EXPECT_EQ(device.updateMaterial(square.material), D3D_OK);
    EXPECT_EQ(drawRectangle(device, 0.25f * w, 0.25f * h, 0.75f * w, 0.75f * h, square.depth, w, h),
              D3D_OK);
  }
  EXPECT_EQ(device.endScene(), D3D_OK);
  return readBackBuffer(device).at(w / 2, h / 2);
}

class RealDeviceTest : public ::testing::Test {
 protected:
  RealDeviceTest() {
    resetDeviceEnumeration();
    pumpMessages();
  }

  void startDevice() {
    device.attachWindow(window.handle);
    device.requireDrawPrimitive = true;
    ASSERT_EQ(device.startUp(), DD_OK);
    device.resetMatrices();
    device.applyViewProjection();
    ASSERT_EQ(device.createMaterial(diffuseMaterial(1, 1, 1)), D3D_OK);
    ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE), D3D_OK);
  }

  void drawAndCheck(const char* when) {
    SCOPED_TRACE(when);
    const Layout layout{device.clientRect.right, device.clientRect.bottom};
    drawScene(device, layout);
    expectScene(readBackBuffer(device), layout, "in the back buffer");
    expectOnScreen(device, layout);
  }

  TestWindow window{600, 440, 320, 240, true};
  RenderDevice device;
};

}  // namespace

TEST_F(RealDeviceTest, DrawsFollowsTheWindowAndStartsAgain) {
  startDevice();
  EXPECT_TRUE(device.ready);
  EXPECT_TRUE(device.useDx6);
  EXPECT_TRUE(device.useHardware);
  EXPECT_TRUE(same(device.deviceGuid, IID_IDirect3DHALDevice));
  EXPECT_TRUE(device.useZBuffer);
  EXPECT_EQ(device.presentByGdi, runningOnWine());
  drawAndCheck("first frame");

  // Resized to another shape: the back buffer, viewport and picture follow.
  window.place(600, 440, 400, 200);
  pumpMessages();
  ASSERT_EQ(device.resize(), DD_OK);
  EXPECT_EQ(device.clientRect, (RECT{0, 0, 400, 200}));
  drawAndCheck("after a resize");

  // Moved: the screen rectangle follows, and so does the picture.
  window.place(620, 480, 400, 200);
  pumpMessages();
  device.windowMoved();
  EXPECT_EQ(device.screenRect, (RECT{620, 480, 1020, 680}));
  drawAndCheck("after a move");

  // Minimised: no area, nothing built, nothing drawn; restored: drawing again.
  ShowWindow(window.handle, SW_MINIMIZE);
  pumpMessages();
  RECT minimised{};
  GetClientRect(window.handle, &minimised);
  EXPECT_EQ(minimised, (RECT{0, 0, 0, 0}));
  EXPECT_EQ(device.resize(), DD_OK);
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(device.backBuffer4, nullptr);
  EXPECT_EQ(device.present(), DD_OK);
  ShowWindow(window.handle, SW_RESTORE);
  window.place(620, 480, 400, 200);
  pumpMessages();
  ASSERT_EQ(device.resize(), DD_OK);
  EXPECT_TRUE(device.ready);
  drawAndCheck("after minimise and restore");

  // Torn down and started again in the same process, on the same record.
  device.tearDown();
  EXPECT_EQ(device.directDraw, nullptr);
  startDevice();
  drawAndCheck("after starting again");
}

// What a caller set stays set through a rebuild. Wine keeps most render
// states with the DirectDraw object across a rebuild (the specular switch
// among them), but sets depth testing anew for every device it makes: the
// state that shows here whether the device sets them again.
TEST_F(RealDeviceTest, ACallersStateIsInForceAgainAfterAResize) {
  startDevice();
  device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1));
  EXPECT_TRUE(isGreen(drawNearThenFar(device)));
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_ZENABLE, FALSE), D3D_OK);
  ASSERT_TRUE(isRed(drawNearThenFar(device)));

  window.place(600, 440, 400, 200);
  pumpMessages();
  ASSERT_EQ(device.resize(), DD_OK);
  const Colour resized = drawNearThenFar(device);
  EXPECT_TRUE(isRed(resized)) << describe(resized);
}
