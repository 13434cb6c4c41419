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

bool sameLight(const D3DLIGHT2& a, const D3DLIGHT2& b) {
  return std::memcmp(&a, &b, sizeof(D3DLIGHT2)) == 0;
}

bool sameMaterial(const D3DMATERIAL& a, const D3DMATERIAL& b) {
  return std::memcmp(&a, &b, sizeof(D3DMATERIAL)) == 0;
}

// Draws one point in a scene and gives back the state it was drawn with.
FakeDrawState drawOnePoint(RenderDevice& device, const FakeDirectX& fakes) {
  device.beginScene();
  D3DVERTEX vertex{};
  device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, 0);
  device.endScene();
  return fakes.callsTo("DrawPrimitive").back().state;
}

}  // namespace

TEST_F(DeviceTest, BeforeStartUpNoFrameOperationReachesDirectX) {
  D3DVERTEX vertex{};
  WORD index = 0;
  D3DMATRIX matrix = identityMatrix();
  EXPECT_EQ(device.clear(), S_OK);
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(device.beginScene(), E_FAIL);
  EXPECT_EQ(device.endScene(), E_FAIL);
  EXPECT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID), E_FAIL);
  EXPECT_EQ(device.setLightState(D3DLIGHTSTATE_AMBIENT, 0), E_FAIL);
  EXPECT_EQ(device.setTransform(D3DTRANSFORMSTATE_WORLD, &matrix), E_FAIL);
  EXPECT_EQ(device.getTransform(D3DTRANSFORMSTATE_WORLD, &matrix), E_FAIL);
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, 0), E_FAIL);
  EXPECT_EQ(device.drawIndexedPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, &index, 1, 0),
            E_FAIL);
  EXPECT_EQ(device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1)), E_FAIL);
  EXPECT_EQ(device.createMaterial(diffuseMaterial(1, 1, 1)), E_FAIL);
  EXPECT_EQ(device.updateMaterial(diffuseMaterial(1, 1, 1)), E_FAIL);
  EXPECT_EQ(device.resize(), S_OK);
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
  EXPECT_EQ(clear.rects[0].x1, 0);
  EXPECT_EQ(clear.rects[0].y1, 0);
  EXPECT_EQ(clear.rects[0].x2, 400);
  EXPECT_EQ(clear.rects[0].y2, 300);
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
  EXPECT_TRUE(sameMatrix(readBack, world));
  EXPECT_EQ(device.beginScene(), D3DERR_SCENE_IN_SCENE);
  EXPECT_EQ(device.endScene(), S_OK);
  EXPECT_EQ(device.endScene(), D3DERR_SCENE_NOT_IN_SCENE);

  EXPECT_THAT(fakes.callsTo("SetRenderState").at(0).args, ElementsAre(22u, 3u));
  EXPECT_THAT(fakes.callsTo("SetLightState").at(0).args, ElementsAre(2u, 0x00102030u));
  EXPECT_EQ(fakes.callsTo("SetTransform").at(0).args[0], DWORD(D3DTRANSFORMSTATE_WORLD));
  EXPECT_TRUE(sameMatrix(fakes.callsTo("SetTransform").at(0).matrix, world));
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

TEST_F(DeviceTest, LongListsArriveInPiecesThatEndOnAPrimitive) {
  ASSERT_EQ(start(), S_OK);
  std::vector<D3DVERTEX> cloud = numberedVertices(150000);
  device.beginScene();

  fakes.clearCalls();
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, cloud.data(), 70000,
                                 D3DDP_DONOTLIGHT),
            S_OK);
  EXPECT_THAT(drawCounts(fakes), ElementsAre(65535u, 4465u));
  const auto pieces = fakes.callsTo("DrawPrimitive");
  EXPECT_EQ(pieces[1].vertices.at(0).x, 65535.0f);
  EXPECT_EQ(pieces[1].args[3], DWORD(D3DDP_DONOTLIGHT));

  fakes.clearCalls();
  EXPECT_EQ(device.drawPrimitive(D3DPT_LINELIST, D3DFVF_VERTEX, cloud.data(), 70000, 0), S_OK);
  EXPECT_THAT(drawCounts(fakes), ElementsAre(65534u, 4466u));

  fakes.clearCalls();
  EXPECT_EQ(device.drawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, cloud.data(), 90000, 0), S_OK);
  EXPECT_THAT(drawCounts(fakes), ElementsAre(65535u, 24465u));

  // Exactly the most one call takes goes in one call.
  fakes.clearCalls();
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, cloud.data(), 65535, 0), S_OK);
  EXPECT_THAT(drawCounts(fakes), ElementsAre(65535u));

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
  EXPECT_TRUE(sameLight(fakes.callsTo("SetLight").at(0).light, first));
  IDirect3DLight* firstLight = device.lights[1];
  ASSERT_EQ(device.setLight(1, second), S_OK);
  EXPECT_NE(device.lights[1], firstLight);
  EXPECT_TRUE(sameLight(*device.lightDescs[1], second));
  EXPECT_EQ(fakes.count("DeleteLight"), 1u);

  device.beginScene();
  D3DVERTEX vertex{};
  device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, 0);
  device.endScene();
  const auto lights = fakes.callsTo("DrawPrimitive").at(0).state.lights;
  ASSERT_EQ(lights.size(), 1u);
  EXPECT_TRUE(sameLight(lights[0], second));

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
  device.beginScene();
  D3DVERTEX vertex{};
  device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, 0);
  device.endScene();
  EXPECT_TRUE(sameMaterial(fakes.callsTo("DrawPrimitive").at(0).state.material, blue));

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
  EXPECT_EQ(blit.destination.left, 100);
  EXPECT_EQ(blit.destination.top, 80);
  EXPECT_EQ(blit.destination.right, 500);
  EXPECT_EQ(blit.destination.bottom, 380);
  EXPECT_EQ(blit.source.right, 400);
  EXPECT_EQ(blit.source.bottom, 300);

  window.place(130, 50, 400, 300);
  device.windowMoved();
  EXPECT_EQ(device.screenRect.left, 130);
  EXPECT_EQ(device.screenRect.top, 50);
  EXPECT_EQ(device.screenRect.right, 530);
  EXPECT_EQ(device.screenRect.bottom, 350);
  ASSERT_EQ(device.present(), S_OK);
  EXPECT_EQ(fakes.callsTo("Blt").at(1).destination.left, 130);
  EXPECT_EQ(fakes.callsTo("Blt").at(1).destination.bottom, 350);

  device.moveScreenRect(-20, 10);
  EXPECT_EQ(device.screenRect.left, -20);
  EXPECT_EQ(device.screenRect.right, 380);
  EXPECT_EQ(device.screenRect.bottom, 310);
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

TEST_F(GdiDeviceTest, PresentCopiesTheBackBufferThroughGdi) {
  ASSERT_EQ(start(), S_OK);
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

  window.place(140, 90, 640, 480);
  ASSERT_EQ(device.resize(), S_OK) << fakes.log();
  EXPECT_TRUE(device.ready);
  EXPECT_EQ(device.primary4, primary);
  EXPECT_EQ(fakes.references(), liveObjects) << fakes.referenceReport();
  EXPECT_EQ(device.screenRect.left, 140);
  EXPECT_EQ(device.screenRect.bottom, 570);
  const auto surfaces = fakes.callsTo("CreateSurface");
  ASSERT_EQ(surfaces.size(), 2u);
  EXPECT_EQ(surfaces[0].desc2.dwWidth, 640u);
  EXPECT_EQ(surfaces[0].desc2.dwHeight, 480u);
  EXPECT_EQ(surfaces[1].desc2.dwWidth, 640u);
  EXPECT_EQ(fakes.callsTo("SetViewport2").at(0).viewport.dwWidth, 640u);
  EXPECT_EQ(fakes.count("EnumDevices"), 0u);
  // The zero ambient colour and the matrices are applied to the new device.
  EXPECT_THAT(fakes.callsTo("SetLightState").at(0).args,
              ElementsAre(DWORD(D3DLIGHTSTATE_AMBIENT), 0u));
  EXPECT_EQ(fakes.count("SetTransform"), 2u);
  // The material object lives on and selects itself on the new device.
  EXPECT_EQ(device.updateMaterial(diffuseMaterial(0, 1, 0)), S_OK);
  EXPECT_EQ(fakes.callsTo("GetHandle").at(0).args[0],
            DWORD(fakes.callsTo("CreateDevice").at(0).made));
}

TEST_F(DeviceTest, ALightInSlotOneIsThereAgainAfterAResize) {
  ASSERT_EQ(start(), S_OK);
  const D3DLIGHT2 light = directionalLight(1, 1, 1, 0.5f, 0, 1);
  ASSERT_EQ(device.setLight(1, light), S_OK);
  IDirect3DLight* before = device.lights[1];
  window.place(100, 80, 320, 240);
  ASSERT_EQ(device.resize(), S_OK);
  EXPECT_NE(device.lights[1], before);
  ASSERT_NE(device.lightDescs[1], nullptr);
  EXPECT_TRUE(sameLight(*device.lightDescs[1], light));

  device.beginScene();
  D3DVERTEX vertex{};
  device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, 0);
  device.endScene();
  const auto lights = fakes.callsTo("DrawPrimitive").at(0).state.lights;
  ASSERT_EQ(lights.size(), 1u);
  EXPECT_TRUE(sameLight(lights[0], light));
}

TEST_F(DeviceTest, EveryStateSetIsInForceAgainAfterEveryRebuild) {
  ASSERT_EQ(start(), S_OK);
  const D3DMATERIAL material = diffuseMaterial(0.5f, 0.25f, 1);
  ASSERT_EQ(device.createMaterial(material), S_OK);
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE), S_OK);
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_SOLID), S_OK);
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_WIREFRAME), S_OK);
  // A value the device refuses leaves the one it took.
  fakes.script("SetRenderState", {DDERR_INVALIDPARAMS});
  ASSERT_EQ(device.setRenderState(D3DRENDERSTATE_FILLMODE, D3DFILL_POINT), DDERR_INVALIDPARAMS);
  // A caller's own ambient light wins over the device's zero ambient colour.
  ASSERT_EQ(device.setLightState(D3DLIGHTSTATE_AMBIENT, 0x00404040), S_OK);

  const auto expectStates = [&](const char* after) {
    SCOPED_TRACE(after);
    ASSERT_TRUE(device.ready);
    const FakeDrawState state = drawOnePoint(device, fakes);
    EXPECT_EQ(state.renderState(D3DRENDERSTATE_SPECULARENABLE), DWORD(TRUE));
    EXPECT_EQ(state.renderState(D3DRENDERSTATE_FILLMODE), DWORD(D3DFILL_WIREFRAME));
    EXPECT_EQ(state.lightStates.at(D3DLIGHTSTATE_AMBIENT), 0x00404040u);
    // The material object selects itself on the new device.
    EXPECT_TRUE(sameMaterial(state.material, material));
  };

  window.place(100, 80, 320, 240);
  ASSERT_EQ(device.resize(), S_OK);
  expectStates("a resize");

  window.place(100, 80, 0, 0);
  ASSERT_EQ(device.resize(), S_OK);
  window.place(100, 80, 400, 300);
  ASSERT_EQ(device.resize(), S_OK);
  expectStates("a minimise and a restore");

  fakes.script("CreateDevice", {DDERR_GENERIC, DDERR_OUTOFMEMORY});
  window.place(100, 80, 300, 200);
  ASSERT_EQ(device.resize(), DDERR_OUTOFMEMORY);
  window.place(100, 80, 310, 210);
  ASSERT_EQ(device.resize(), S_OK);
  expectStates("a failed rebuild and the next one");

  // A device started again after a teardown is a new one: its rebuilds
  // bring back only what was set on it.
  device.tearDown();
  ASSERT_EQ(start(), S_OK);
  ASSERT_EQ(device.resize(), S_OK);
  EXPECT_EQ(drawOnePoint(device, fakes).renderState(D3DRENDERSTATE_FILLMODE, 0xFFFF), 0xFFFFu);
}

TEST_F(DeviceTest, ALightTheViewportRefusesAfterAResizeKeepsNoOtherOut) {
  ASSERT_EQ(start(), S_OK);
  ASSERT_EQ(device.setLight(1, directionalLight(1, 0, 0, 0, 0, 1)), S_OK);
  ASSERT_EQ(device.setLight(2, directionalLight(0, 1, 0, 0, 0, 1)), S_OK);
  fakes.clearCalls();
  fakes.script("AddLight", {DDERR_INVALIDPARAMS});
  window.place(100, 80, 320, 240);
  // The first refusal is the rebuild's result, and the device is not ready.
  EXPECT_EQ(device.resize(), DDERR_INVALIDPARAMS);
  EXPECT_FALSE(device.ready);
  const auto added = fakes.callsTo("AddLight");
  ASSERT_EQ(added.size(), 2u);
  EXPECT_EQ(added[1].result, S_OK);
}

TEST_F(DeviceTest, MinimisingWaitsAndRestoringDrawsAgain) {
  ASSERT_EQ(start(), S_OK);
  ASSERT_EQ(device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1)), S_OK);

  window.place(100, 80, 0, 0);
  fakes.clearCalls();
  EXPECT_EQ(device.resize(), S_OK);
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(fakes.count("CreateSurface"), 0u);
  EXPECT_EQ(device.backBuffer4, nullptr);
  EXPECT_EQ(device.device3, nullptr);
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(fakes.count("Blt"), 0u);

  // A later resize with an area rebuilds; a zero width alone also waits.
  window.place(100, 80, 0, 300);
  EXPECT_EQ(device.resize(), S_OK);
  EXPECT_FALSE(device.ready);
  window.place(100, 80, 400, 300);
  ASSERT_EQ(device.resize(), S_OK);
  EXPECT_TRUE(device.ready);
  ASSERT_NE(device.lights[1], nullptr);

  device.clear();
  device.beginScene();
  D3DVERTEX vertex{};
  EXPECT_EQ(device.drawPrimitive(D3DPT_POINTLIST, D3DFVF_VERTEX, &vertex, 1, 0), S_OK);
  device.endScene();
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(fakes.callsTo("DrawPrimitive").at(0).state.lights.size(), 1u);
}

TEST_F(DeviceTest, AFailedResizeIsTriedAgainAtTheNextResize) {
  ASSERT_EQ(start(), S_OK);
  fakes.script("CreateDevice", {DDERR_GENERIC, DDERR_OUTOFMEMORY});
  window.place(100, 80, 300, 200);
  EXPECT_EQ(device.resize(), DDERR_OUTOFMEMORY);
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(device.beginScene(), E_FAIL);

  window.place(100, 80, 310, 210);
  ASSERT_EQ(device.resize(), S_OK);
  EXPECT_TRUE(device.ready);
  EXPECT_EQ(device.clientRect.right, 310);
  EXPECT_EQ(device.beginScene(), S_OK);
  EXPECT_EQ(device.endScene(), S_OK);
}
