// The RenderDevice's frame operations on fakes: what reaches Direct3D, how
// the two interface generations are bridged, lights and the material, and
// following the window through moves, resizes and minimising.
#include "device/tests/device_fixture.h"

#include <gmock/gmock.h>

#include <vector>

using ::testing::ElementsAre;

namespace {

// Vertices whose x counts them off, so a piece of a list shows where it starts.
std::vector<D3DVERTEX> numberedVertices(DWORD count) {
  std::vector<D3DVERTEX> vertices(count);
  for (DWORD i = 0; i < count; ++i) vertices[i].x = static_cast<float>(i);
  return vertices;
}

std::vector<DWORD> drawCounts(const FakeDirectX& fakes) {
  std::vector<DWORD> counts;
  for (const FakeCall& call : fakes.callsTo("DrawPrimitive")) counts.push_back(call.args[2]);
  return counts;
}

}  // namespace

TEST_F(DeviceTest, BeforeStartUpNoFrameOperationReachesDirectX) {
  expectNothingReachesDirectX(device, fakes);
  device.moveScreenRect(5, 5);
  EXPECT_EQ(device.screenRect.left, 0);
  EXPECT_TRUE(fakes.calls().empty()) << fakes.log();
}

TEST_F(DeviceTest, ClearCoversTheClientAreaAndTheZBufferWhenThereIsOne) {
  ASSERT_EQ(start(), S_OK);
  fakes.clearCalls();
  EXPECT_EQ(device.clear(), S_OK);
  const FakeCall clear = fakes.callsTo("IDirect3DViewport3::Clear").at(0);
  EXPECT_THAT(clear.args, ElementsAre(1u, DWORD(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)));
  ASSERT_EQ(clear.rects.size(), 1u);
  const D3DRECT area = clear.rects[0];
  EXPECT_EQ((RECT{area.x1, area.y1, area.x2, area.y2}), (RECT{0, 0, 400, 300}));
}

TEST_F(DeviceTest, SceneStateAndTransformCallsPassThroughWithTheirResults) {
  ASSERT_EQ(start(), S_OK);
  fakes.clearCalls();
  D3DMATRIX world = translationMatrix(1, 2, 3);
  D3DMATRIX readBack{};
  EXPECT_EQ(device.beginScene(), S_OK);
  EXPECT_EQ(device.setRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_CCW), S_OK);
  EXPECT_EQ(device.setLightState(D3DLIGHTSTATE_AMBIENT, 0x00102030), S_OK);
  EXPECT_EQ(device.setTransform(D3DTRANSFORMSTATE_WORLD, &world), S_OK);
  EXPECT_EQ(device.getTransform(D3DTRANSFORMSTATE_WORLD, &readBack), S_OK);
  EXPECT_TRUE(same(readBack, world));
  EXPECT_EQ(device.beginScene(), D3DERR_SCENE_IN_SCENE);
  EXPECT_EQ(device.endScene(), S_OK);
  EXPECT_EQ(device.endScene(), D3DERR_SCENE_NOT_IN_SCENE);

  EXPECT_THAT(fakes.callsTo("SetRenderState").at(0).args, ElementsAre(22u, 3u));
  EXPECT_THAT(fakes.callsTo("SetLightState").at(0).args, ElementsAre(2u, 0x00102030u));
  EXPECT_EQ(fakes.callsTo("SetTransform").at(0).args[0], DWORD(D3DTRANSFORMSTATE_WORLD));
  EXPECT_TRUE(same(fakes.callsTo("SetTransform").at(0).matrix, world));
}

TEST(RenderDeviceVertexCodes, TranslateBetweenVertexTypesAndFlexibleFormats) {
  const struct {
    DWORD type, format;
  } pairs[] = {{D3DVT_VERTEX, 0x112}, {D3DVT_LVERTEX, 0x1e2}, {D3DVT_TLVERTEX, 0x1c4}};
  for (const auto& pair : pairs) {
    EXPECT_EQ(RenderDevice::toVertexFormat(pair.type), pair.format);
    EXPECT_EQ(RenderDevice::toVertexFormat(pair.format), pair.format);
    EXPECT_EQ(RenderDevice::toVertexType(pair.format), pair.type);
    EXPECT_EQ(RenderDevice::toVertexType(pair.type), pair.type);
  }
  EXPECT_EQ(RenderDevice::toVertexFormat(0x142), 0x142u);
  EXPECT_EQ(RenderDevice::toVertexType(0x142), 0x142u);
}

class FrameOnEachGeneration : public EachGeneration {};
EACH_GENERATION(FrameOnEachGeneration);

TEST_P(FrameOnEachGeneration, EachInterfaceGetsTheVertexCodeItUnderstands) {
  ASSERT_EQ(start(), S_OK);
  std::vector<D3DVERTEX> triangle = numberedVertices(3);
  WORD indices[] = {0, 1, 2};
  device.beginScene();
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, triangle.data(), 3,
                                 D3DDP_DONOTLIGHT),
            S_OK);
  EXPECT_EQ(device.drawPrimitive(D3DPT_LINELIST, D3DVT_VERTEX, triangle.data(), 2, 0), S_OK);
  EXPECT_EQ(device.drawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, triangle.data(), 3,
                                        indices, 3, 0),
            S_OK);
  device.endScene();

  const DWORD expected = directX6() ? D3DFVF_VERTEX : D3DVT_VERTEX;
  const auto draws = fakes.callsTo("DrawPrimitive");
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_THAT(draws[0].args, ElementsAre(DWORD(D3DPT_POINTLIST), expected, 3u,
                                         DWORD(D3DDP_DONOTLIGHT)));
  EXPECT_EQ(draws[1].args[1], expected);
  EXPECT_EQ(draws[0].vertices.size(), 3u);
  // On DirectX 5 the indexed draw goes to IDirect3DDevice2 as well.
  const auto indexed = fakes.callsTo(directX6() ? "IDirect3DDevice3::DrawIndexedPrimitive"
                                                : "IDirect3DDevice2::DrawIndexedPrimitive");
  ASSERT_EQ(indexed.size(), 1u);
  EXPECT_THAT(indexed[0].args, ElementsAre(DWORD(D3DPT_TRIANGLELIST), expected, 3u, 3u, 0u));
  EXPECT_THAT(indexed[0].indices, ElementsAre(0, 1, 2));
}

TEST_P(FrameOnEachGeneration, LongListsArriveInPiecesThatEndOnAPrimitive) {
  ASSERT_EQ(start(), S_OK);
  std::vector<D3DVERTEX> cloud = numberedVertices(150000);
  device.beginScene();

  const struct {
    D3DPRIMITIVETYPE type;
    DWORD count;
    std::vector<DWORD> pieces;
  } lists[] = {{D3DPT_POINTLIST, 70000, {65535, 4465}},
               {D3DPT_LINELIST, 70000, {65534, 4466}},
               {D3DPT_TRIANGLELIST, 90000, {65535, 24465}},
               {D3DPT_TRIANGLELIST, 150000, {65535, 65535, 18930}},
               // Exactly the most one call takes goes in one call.
               {D3DPT_POINTLIST, 65535, {65535}}};
  // The vertices named either way: as a flexible format or as a type.
  for (DWORD code : {DWORD(D3DFVF_VERTEX), DWORD(D3DVT_VERTEX)}) {
    for (const auto& list : lists) {
      SCOPED_TRACE(std::to_string(list.count) + " vertices of type " +
                   std::to_string(list.type) + ", code " + std::to_string(code));
      fakes.clearCalls();
      EXPECT_EQ(device.drawPrimitive(list.type, code, cloud.data(), list.count, D3DDP_DONOTLIGHT),
                S_OK);
      EXPECT_EQ(drawCounts(fakes), list.pieces);
      // Each piece starts where the one before ends, with the same flags.
      DWORD first = 0;
      for (const FakeCall& piece : fakes.callsTo("DrawPrimitive")) {
        EXPECT_EQ(piece.vertices.at(0).x, float(first));
        EXPECT_EQ(piece.args[0], DWORD(list.type));
        EXPECT_EQ(piece.args[3], DWORD(D3DDP_DONOTLIGHT));
        first += piece.args[2];
      }
    }
  }

  // The first failing piece ends the list and is the result.
  fakes.clearCalls();
  fakes.script("DrawPrimitive", {D3D_OK, DDERR_GENERIC});
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, cloud.data(), 150000, 0),
            DDERR_GENERIC);
  EXPECT_EQ(fakes.count("DrawPrimitive"), 2u);
  device.endScene();
}

TEST_F(DeviceTest, LightSlotsOutsideZeroToNineAreRefused) {
  ASSERT_EQ(start(), S_OK);
  fakes.clearCalls();
  EXPECT_EQ(device.setLight(-1, directionalLight(1, 1, 1, 0, 0, 1)), E_FAIL);
  EXPECT_EQ(device.setLight(MAX_LIGHTS, directionalLight(1, 1, 1, 0, 0, 1)), E_FAIL);
  device.releaseLight(-1);
  device.releaseLight(MAX_LIGHTS);
  EXPECT_TRUE(fakes.calls().empty());
  EXPECT_EQ(device.setLight(0, directionalLight(1, 1, 1, 0, 0, 1)), S_OK);
  EXPECT_EQ(device.setLight(MAX_LIGHTS - 1, directionalLight(1, 1, 1, 0, 0, 1)), S_OK);
  EXPECT_NE(device.lights[0], nullptr);
  EXPECT_NE(device.lights[MAX_LIGHTS - 1], nullptr);
}

TEST_F(DeviceTest, SetLightReplacesTheSlotsLight) {
  ASSERT_EQ(start(), S_OK);
  const D3DLIGHT2 first = directionalLight(1, 0, 0, 0, 0, 1);
  const D3DLIGHT2 second = directionalLight(0, 1, 0, 0, -1, 0);
  ASSERT_EQ(device.setLight(1, first), S_OK);
  EXPECT_TRUE(same(fakes.callsTo("SetLight").at(0).light, first));
  IDirect3DLight* firstLight = device.lights[1];
  ASSERT_EQ(device.setLight(1, second), S_OK);
  EXPECT_NE(device.lights[1], firstLight);
  EXPECT_TRUE(same(*device.lightDescs[1], second));
  EXPECT_EQ(fakes.count("DeleteLight"), 1u);

  const auto lights = drawOnePoint(device, fakes).lights;
  ASSERT_EQ(lights.size(), 1u);
  EXPECT_TRUE(same(lights[0], second));

  device.releaseLight(1);
  EXPECT_EQ(device.lights[1], nullptr);
  EXPECT_EQ(device.lightDescs[1], nullptr);
  EXPECT_EQ(fakes.referenceReport().find("light"), std::string::npos) << fakes.referenceReport();
}

TEST_P(FrameOnEachGeneration, AFailedSetLightKeepsTheObjectButNoDescription) {
  ASSERT_EQ(start(), S_OK);
  fakes.script("SetLight", {DDERR_INVALIDPARAMS});
  EXPECT_EQ(device.setLight(2, directionalLight(1, 1, 1, 0, 0, 1)), DDERR_INVALIDPARAMS);
  EXPECT_NE(device.lights[2], nullptr);
  EXPECT_EQ(device.lightDescs[2], nullptr);
  EXPECT_EQ(fakes.count("AddLight"), 0u);
  // The next setLight of the slot releases it.
  EXPECT_EQ(device.setLight(2, directionalLight(1, 1, 1, 0, 0, 1)), S_OK);
}

TEST_F(DeviceTest, TheMaterialIsSelectedByItsHandleForEveryUpdate) {
  ASSERT_EQ(start(), S_OK);
  // Before any material exists there is nothing to update.
  EXPECT_EQ(device.updateMaterial(diffuseMaterial(1, 1, 1)), E_FAIL);
  fakes.script("CreateMaterial", {DDERR_OUTOFMEMORY});
  EXPECT_EQ(device.createMaterial(diffuseMaterial(1, 1, 1)), DDERR_OUTOFMEMORY);
  EXPECT_EQ(device.updateMaterial(diffuseMaterial(1, 1, 1)), E_FAIL);

  const D3DMATERIAL red = diffuseMaterial(1, 0, 0);
  const D3DMATERIAL blue = diffuseMaterial(0, 0, 1);
  fakes.clearCalls();
  ASSERT_EQ(device.createMaterial(red), S_OK);
  EXPECT_THAT(fakes.methods(),
              ElementsAre("IDirect3D3::CreateMaterial", "IDirect3DMaterial3::SetMaterial",
                          "IDirect3DMaterial3::GetHandle", "IDirect3DDevice3::SetLightState"));
  const FakeCall handle = fakes.callsTo("GetHandle").at(0);
  EXPECT_THAT(fakes.callsTo("SetLightState").at(0).args,
              ElementsAre(DWORD(D3DLIGHTSTATE_MATERIAL), handle.handle));

  ASSERT_EQ(device.updateMaterial(blue), S_OK);
  EXPECT_TRUE(same(drawOnePoint(device, fakes).material, blue));

  // A second createMaterial replaces the first object.
  ASSERT_EQ(device.createMaterial(red), S_OK);
  EXPECT_EQ(fakes.count("CreateMaterial"), 2u);

  // A description the material refuses is reported, not selected.
  fakes.clearCalls();
  fakes.script("SetMaterial", {DDERR_INVALIDPARAMS});
  EXPECT_EQ(device.updateMaterial(blue), DDERR_INVALIDPARAMS);
  EXPECT_EQ(fakes.count("GetHandle"), 0u);
}

TEST_F(DeviceTest, PresentBlitsTheBackBufferToTheWindowsPlaceAndFollowsAMove) {
  ASSERT_EQ(start(), S_OK);
  const int primary = fakes.callsTo("CreateSurface").at(0).made;
  const int backBuffer = fakes.callsTo("CreateSurface").at(1).made;
  fakes.clearCalls();
  ASSERT_EQ(device.present(), S_OK);
  const FakeCall blit = fakes.callsTo("Blt").at(0);
  EXPECT_EQ(blit.object, primary);
  EXPECT_THAT(blit.args, ElementsAre(DWORD(backBuffer), DWORD(DDBLT_WAIT)));
  EXPECT_EQ(blit.destination, (RECT{100, 80, 500, 380}));
  EXPECT_EQ(blit.source, (RECT{0, 0, 400, 300}));

  window.place(130, 50, 400, 300);
  device.windowMoved();
  EXPECT_EQ(device.screenRect, (RECT{130, 50, 530, 350}));
  ASSERT_EQ(device.present(), S_OK);
  EXPECT_EQ(fakes.callsTo("Blt").at(1).destination, (RECT{130, 50, 530, 350}));

  device.moveScreenRect(-20, 10);
  EXPECT_EQ(device.screenRect, (RECT{-20, 10, 380, 310}));
}

TEST_F(DeviceTest, PresentRestoresEveryLostSurfaceAndTriesOnceMore) {
  ASSERT_EQ(start(), S_OK);
  for (const char* role : {"back buffer", "primary"}) {
    SCOPED_TRACE(role);
    fakes.loseSurface(role);
    fakes.clearCalls();
    EXPECT_EQ(device.present(), S_OK);
    EXPECT_EQ(fakes.count("Blt"), 2u);
    EXPECT_EQ(fakes.count("Restore"), 1u);
  }
  // A lost z-buffer does not stop the blit, but goes with a lost back buffer
  // and is restored with it, as is everything lost at once.
  fakes.loseSurface("back buffer");
  fakes.loseSurface("z-buffer");
  fakes.clearCalls();
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(fakes.count("Restore"), 2u);
  for (const char* role : {"back buffer", "z-buffer", "primary"}) fakes.loseSurface(role);
  fakes.clearCalls();
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(fakes.count("Restore"), 3u);

  // A second loss is returned.
  fakes.clearCalls();
  fakes.script("Blt", {DDERR_SURFACELOST, DDERR_SURFACELOST});
  EXPECT_EQ(device.present(), DDERR_SURFACELOST);
  EXPECT_EQ(fakes.count("Blt"), 2u);
  // Any other error is returned at once.
  fakes.clearCalls();
  fakes.script("Blt", {DDERR_GENERIC});
  EXPECT_EQ(device.present(), DDERR_GENERIC);
  EXPECT_EQ(fakes.count("Blt"), 1u);
}

TEST_F(GdiDeviceTest, PresentCopiesTheBackBufferThroughGdiAndLeavesTheWindowOutOfDirectDraw) {
  ASSERT_EQ(start(), S_OK);
  EXPECT_TRUE(device.presentByGdi);
  EXPECT_EQ(fakes.callsTo("SetCooperativeLevel").at(0).window, nullptr);
  EXPECT_EQ(fakes.count("CreateClipper"), 0u);
  EXPECT_EQ(fakes.count("SetClipper"), 0u);
  fakes.clearCalls();
  ASSERT_EQ(device.present(), S_OK);
  EXPECT_THAT(fakes.methods(),
              ElementsAre("IDirectDrawSurface4::GetDC", "IDirectDrawSurface4::ReleaseDC"));
  EXPECT_EQ(fakes.count("Blt"), 0u);

  // A lost back buffer is restored and the copy made again.
  fakes.loseSurface("back buffer");
  fakes.clearCalls();
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(fakes.count("Restore"), 1u);
  EXPECT_EQ(fakes.count("ReleaseDC"), 1u);

  fakes.script("GetDC", {DDERR_CANTCREATEDC});
  EXPECT_EQ(device.present(), DDERR_CANTCREATEDC);
}

TEST_F(DeviceTest, ResizeRebuildsTheSizedObjectsAndKeepsTheRest) {
  ASSERT_EQ(start(), S_OK);
  ASSERT_EQ(device.createMaterial(diffuseMaterial(1, 1, 1)), S_OK);
  IDirectDrawSurface4* primary = device.primary4;
  const size_t liveObjects = fakes.references();
  fakes.clearCalls();

  // The ambient colour goes to the device packed as a D3DCOLOR: alpha,
  // red, green, blue from the top byte down, each channel cut to 0..255.
  device.ambient[0] = 0.5f;
  device.ambient[1] = 0.25f;
  device.ambient[2] = 1.0f;
  device.ambient[3] = 0.1f;
  window.place(140, 90, 640, 480);
  ASSERT_EQ(device.resize(), S_OK) << fakes.log();
  EXPECT_TRUE(device.ready);
  EXPECT_EQ(device.primary4, primary);
  EXPECT_EQ(fakes.references(), liveObjects) << fakes.referenceReport();
  EXPECT_EQ(device.screenRect, (RECT{140, 90, 780, 570}));
  const auto surfaces = fakes.callsTo("CreateSurface");
  ASSERT_EQ(surfaces.size(), 2u);
  EXPECT_EQ(surfaces[0].desc2.dwWidth, 640u);
  EXPECT_EQ(surfaces[0].desc2.dwHeight, 480u);
  EXPECT_EQ(surfaces[1].desc2.dwWidth, 640u);
  EXPECT_EQ(fakes.callsTo("SetViewport2").at(0).viewport.dwWidth, 640u);
  EXPECT_EQ(fakes.count("EnumDevices"), 0u);
  // The ambient colour and the matrices are applied to the new device.
  EXPECT_THAT(fakes.callsTo("SetLightState").at(0).args,
              ElementsAre(DWORD(D3DLIGHTSTATE_AMBIENT), 0x197F3FFFu));
  EXPECT_EQ(fakes.count("SetTransform"), 2u);
  // The material object lives on and selects itself on the new device.
  EXPECT_EQ(device.updateMaterial(diffuseMaterial(0, 1, 0)), S_OK);
  EXPECT_EQ(fakes.callsTo("GetHandle").at(0).args[0],
            DWORD(fakes.callsTo("CreateDevice").at(0).made));
}

// Rebuilds of every kind: a resize, a minimise (nothing is built until the
// window has an area again) and a restore, a failed rebuild and the next one.
TEST_F(DeviceTest, EverythingSetIsInForceAgainAfterEveryRebuild) {
  ASSERT_EQ(start(), S_OK);
  const D3DLIGHT2 light = directionalLight(1, 1, 1, 0.5f, 0, 1);
  ASSERT_EQ(device.setLight(1, light), S_OK);
  IDirect3DLight* firstLight = device.lights[1];
  const D3DMATERIAL material = diffuseMaterial(0.5f, 0.25f, 1);
  ASSERT_EQ(device.createMaterial(material), S_OK);
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE), S_OK);
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID), S_OK);
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_WIREFRAME), S_OK);
  // A value the device refuses leaves the one it took.
  fakes.script("SetRenderState", {DDERR_INVALIDPARAMS});
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_POINT), DDERR_INVALIDPARAMS);
  // A caller's own ambient light wins over the device's zero ambient colour;
  // a value the device refuses leaves the one it took.
  ASSERT_EQ(device.setLightState(D3DLIGHTSTATE_AMBIENT, 0x00404040), S_OK);
  fakes.script("SetLightState", {DDERR_INVALIDPARAMS});
  ASSERT_EQ(device.setLightState(D3DLIGHTSTATE_AMBIENT, 0x00FFFFFF), DDERR_INVALIDPARAMS);

  // Draws a frame and checks the state it was drawn with.
  const auto expectStates = [&](const char* after) {
    SCOPED_TRACE(after);
    ASSERT_TRUE(device.ready);
    ASSERT_NE(device.lights[1], nullptr);
    ASSERT_NE(device.lightDescs[1], nullptr);
    EXPECT_TRUE(same(*device.lightDescs[1], light));
    device.clear();
    const FakeDrawState state = drawOnePoint(device, fakes);
    EXPECT_EQ(device.present(), S_OK);
    EXPECT_EQ(state.renderState(D3DRENDERSTATE_SPECULARENABLE), DWORD(TRUE));
    EXPECT_EQ(state.renderState(D3DRENDERSTATE_FILLMODE), DWORD(D3DFILL_WIREFRAME));
    EXPECT_EQ(state.lightStates.at(D3DLIGHTSTATE_AMBIENT), 0x00404040u);
    // The material object selects itself on the new device, with the handle
    // that device gave it.
    EXPECT_TRUE(same(state.material, material));
    ASSERT_EQ(state.lights.size(), 1u);
    EXPECT_TRUE(same(state.lights[0], light));
  };

  ASSERT_EQ(resizeWindow(320, 240), S_OK);
  EXPECT_NE(device.lights[1], firstLight);
  expectStates("a resize");

  fakes.clearCalls();
  EXPECT_EQ(resizeWindow(0, 0), S_OK);
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(fakes.count("CreateSurface"), 0u);
  EXPECT_EQ(device.backBuffer4, nullptr);
  EXPECT_EQ(device.device3, nullptr);
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(fakes.count("Blt"), 0u);
  // A zero width alone also waits.
  EXPECT_EQ(resizeWindow(0, 300), S_OK);
  EXPECT_FALSE(device.ready);
  ASSERT_EQ(resizeWindow(400, 300), S_OK);
  expectStates("a minimise and a restore");

  fakes.script("CreateDevice", {DDERR_GENERIC, DDERR_OUTOFMEMORY});
  EXPECT_EQ(resizeWindow(300, 200), DDERR_OUTOFMEMORY);
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(device.beginScene(), E_FAIL);
  ASSERT_EQ(resizeWindow(310, 210), S_OK);
  EXPECT_EQ(device.clientRect.right, 310);
  expectStates("a failed rebuild and the next one");

  // A device started again after a teardown is a new one: its rebuilds
  // bring back only what was set on it.
  device.tearDown();
  ASSERT_EQ(start(), S_OK);
  ASSERT_EQ(device.resize(), S_OK);
  const FakeDrawState restarted = drawOnePoint(device, fakes);
  EXPECT_EQ(restarted.renderState(D3DRENDERSTATE_FILLMODE, 0xFFFF), 0xFFFFu);
  EXPECT_EQ(restarted.lightStates.at(D3DLIGHTSTATE_AMBIENT), 0u);
}

TEST_F(DeviceTest, ALightTheViewportRefusesAfterAResizeKeepsNoOtherOut) {
  ASSERT_EQ(start(), S_OK);
  ASSERT_EQ(device.setLight(1, directionalLight(1, 0, 0, 0, 0, 1)), S_OK);
  ASSERT_EQ(device.setLight(2, directionalLight(0, 1, 0, 0, 0, 1)), S_OK);
  fakes.clearCalls();
  fakes.script("AddLight", {DDERR_INVALIDPARAMS, DDERR_GENERIC});
  // Both lights are tried; the first refusal is the rebuild's result, and
  // the device is not ready.
  EXPECT_EQ(resizeWindow(320, 240), DDERR_INVALIDPARAMS);
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(fakes.count("AddLight"), 2u);
}
