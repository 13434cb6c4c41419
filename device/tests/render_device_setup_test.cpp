// Start-up of the RenderDevice on fakes: the objects it makes with which
// arguments, and each fallback (DirectX 5 interfaces, software device, system
// memory, no z-buffer).
#include "device/tests/device_fixture.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;

namespace {

bool usesOnlyDirectX5Interfaces(const FakeCall& call) {
  for (const char* newer : {"IDirectDraw4::", "IDirectDrawSurface4::", "IDirect3D3::",
                            "IDirect3DDevice3::", "IDirect3DViewport3::", "IDirect3DMaterial3::"}) {
    if (call.method.rfind(newer, 0) == 0) return false;
  }
  return true;
}

// A device that goes on without a z-buffer holds none and clears only its
// target.
void expectNoZBuffer(FakeMachine& machine) {
  EXPECT_FALSE(machine.device.useZBuffer);
  EXPECT_EQ(machine.device.zBuffer4, nullptr);
  EXPECT_EQ(machine.device.zBuffer3, nullptr);
  machine.fakes.clearCalls();
  EXPECT_EQ(machine.device.clear(), S_OK);
  EXPECT_EQ(machine.fakes.callsTo("Clear").at(0).args[1], DWORD(D3DCLEAR_TARGET));
}

}  // namespace

TEST_F(DeviceTest, StartsOnDirectX6WithTheHardwareDeviceAZBufferAndTheWindowsClipper) {
  ASSERT_EQ(start(), S_OK) << fakes.log();

  EXPECT_TRUE(device.ready);
  EXPECT_TRUE(device.useDx6);
  EXPECT_FALSE(device.useDx5);
  EXPECT_TRUE(device.useHardware);
  EXPECT_FALSE(device.softwareFallback);
  EXPECT_TRUE(device.useZBuffer);
  EXPECT_TRUE(same(device.deviceGuid, IID_IDirect3DHALDevice));
  EXPECT_EQ(device.screenRect, (RECT{100, 80, 500, 380}));
  EXPECT_EQ(device.clientRect, (RECT{0, 0, 400, 300}));

  EXPECT_THAT(fakes.methods(),
              ElementsAre("DirectDrawCreate", "IDirectDraw::QueryInterface",
                          "IDirectDraw4::SetCooperativeLevel", "IDirectDraw4::CreateSurface",
                          "IDirectDraw4::CreateSurface", "IDirectDraw4::CreateClipper",
                          "IDirectDrawClipper::SetHWnd", "IDirectDrawSurface4::SetClipper",
                          "IDirectDraw4::QueryInterface", "IDirect3D3::EnumDevices",
                          "IDirectDraw4::GetDisplayMode", "IDirectDraw4::GetDisplayMode",
                          "IDirect3D3::EnumZBufferFormats", "IDirectDraw4::CreateSurface",
                          "IDirectDrawSurface4::AddAttachedSurface", "IDirectDraw4::GetDisplayMode",
                          "IDirect3D3::CreateDevice", "IDirect3DDevice3::EnumTextureFormats",
                          "IDirect3D3::CreateViewport", "IDirect3DDevice3::AddViewport",
                          "IDirect3DViewport3::SetViewport2",
                          "IDirect3DDevice3::SetCurrentViewport"));

  const auto surfaces = fakes.callsTo("CreateSurface");
  ASSERT_EQ(surfaces.size(), 3u);
  EXPECT_EQ(surfaces[0].desc2.dwSize, sizeof(DDSURFACEDESC2));
  EXPECT_EQ(surfaces[0].desc2.dwFlags, DWORD(DDSD_CAPS));
  EXPECT_EQ(surfaces[0].desc2.ddsCaps.dwCaps, DWORD(DDSCAPS_PRIMARYSURFACE));
  EXPECT_EQ(surfaces[1].desc2.dwFlags, 0x7u);
  EXPECT_EQ(surfaces[1].desc2.ddsCaps.dwCaps, 0x2040u);
  EXPECT_EQ(surfaces[1].desc2.dwWidth, 400u);
  EXPECT_EQ(surfaces[1].desc2.dwHeight, 300u);
  // The z-buffer: the first format that is a z-buffer and nothing else, in
  // video memory for the hardware device.
  EXPECT_EQ(surfaces[2].desc2.dwFlags, 0x1007u);
  EXPECT_EQ(surfaces[2].desc2.ddsCaps.dwCaps, 0x24000u);
  EXPECT_EQ(surfaces[2].desc2.ddpfPixelFormat.dwFlags, DWORD(DDPF_ZBUFFER));
  EXPECT_EQ(surfaces[2].desc2.dwWidth, 400u);
  EXPECT_EQ(surfaces[2].desc2.dwHeight, 300u);

  // The first texture format that is neither palettised nor with alpha and
  // has the display's depth.
  EXPECT_EQ(device.textureFormat.dwRGBBitCount, 16u);
  EXPECT_EQ(device.textureFormat.dwFlags, DWORD(DDPF_RGB));
  EXPECT_EQ(device.textureFormat.dwRBitMask, 0xF800u);

  // The blit presentation binds the window and its clipper to the primary.
  const FakeCall level = fakes.callsTo("SetCooperativeLevel").at(0);
  EXPECT_EQ(level.window, window.handle);
  EXPECT_EQ(level.args, std::vector<DWORD>{DDSCL_NORMAL});
  EXPECT_EQ(fakes.callsTo("SetHWnd").at(0).window, window.handle);
  const FakeCall setClipper = fakes.callsTo("SetClipper").at(0);
  EXPECT_EQ(setClipper.object, fakes.callsTo("CreateSurface").at(0).made);
  EXPECT_EQ(setClipper.args[0], DWORD(fakes.callsTo("CreateClipper").at(0).made));
  // The device gave its own clipper reference back; the primary keeps the
  // clipper alive, and it goes with the primary.
  device.releasePrimary();
  EXPECT_EQ(fakes.referenceReport().find("clipper"), std::string::npos) << fakes.referenceReport();
}

TEST_F(DeviceTest, WithoutDirectDraw4EveryObjectIsMadeThroughTheDirectX5Interfaces) {
  fakes.offerDirectDraw4 = false;
  ASSERT_EQ(start(), S_OK) << fakes.log();
  EXPECT_FALSE(device.useDx6);
  EXPECT_TRUE(device.useDx5);
  EXPECT_NE(device.primary3, nullptr);
  EXPECT_NE(device.backBuffer3, nullptr);
  EXPECT_NE(device.zBuffer3, nullptr);
  EXPECT_NE(device.device2, nullptr);
  EXPECT_NE(device.viewport2, nullptr);
  // The hardware device's z-buffer takes the shallowest depth offered.
  const FakeCall zBuffer = fakes.callsTo("CreateSurface").at(2);
  EXPECT_EQ(zBuffer.desc.dwFlags, 0x47u);
  EXPECT_EQ(zBuffer.desc.dwZBufferBitDepth, 16u);
  EXPECT_EQ(zBuffer.desc.ddsCaps.dwCaps, 0x24000u);
  EXPECT_EQ(zBuffer.desc.dwWidth, 400u);
  EXPECT_TRUE(device.useHardware);

  // A whole frame, a light, the material and a resize stay on the older path.
  device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1));
  device.createMaterial(diffuseMaterial(1, 0, 0));
  device.clear();
  drawOnePoint(device, fakes, D3DDP_DONOTLIGHT);
  EXPECT_EQ(device.present(), S_OK);
  EXPECT_EQ(resizeWindow(320, 200), S_OK);

  EXPECT_FALSE(device.useDx6);
  EXPECT_EQ(fakes.callsTo("IDirect3DDevice2::DrawPrimitive").size(), 1u);
  for (const FakeCall& call : fakes.calls()) {
    EXPECT_TRUE(usesOnlyDirectX5Interfaces(call)) << call.text();
  }
  const auto surfaces = fakes.callsTo("IDirectDraw2::CreateSurface");
  ASSERT_EQ(surfaces.size(), 5u);
  EXPECT_EQ(surfaces[0].desc.dwSize, sizeof(DDSURFACEDESC));
}

TEST_F(DeviceTest, AnEightBitDisplayIsRefusedAndNothingIsDrawn) {
  fakes.displayBits = 8;
  EXPECT_EQ(start(), DDERR_INVALIDMODE);
  EXPECT_FALSE(device.ready);

  fakes.clearCalls();
  expectNothingReachesDirectX(device, fakes);
}

TEST_F(DeviceTest, RequiredDrawPrimitiveWithoutHardwareTakesTheFirstSoftwareDevice) {
  const DWORD firstCaps = D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_FLOATTLVERTEX;
  fakes.devices = {FakeDeviceInfo::softwareDevice(IID_IDirect3DMMXDevice, firstCaps),
                   FakeDeviceInfo::rgb()};
  ASSERT_EQ(start(), S_OK) << fakes.log();
  EXPECT_FALSE(device.useHardware);
  EXPECT_TRUE(device.softwareFallback);
  EXPECT_EQ(deviceEnumeration.chosenDeviceDesc.dwDevCaps, firstCaps);
  EXPECT_TRUE(same(fakes.callsTo("EnumZBufferFormats").at(0).guid, IID_IDirect3DMMXDevice));
  // The software path creates the RGB device and its z-buffer in system memory.
  EXPECT_TRUE(same(fakes.callsTo("CreateDevice").at(0).guid, IID_IDirect3DRGBDevice));
  EXPECT_EQ(fakes.callsTo("CreateSurface").at(2).desc2.ddsCaps.dwCaps, 0x20800u);
}

TEST_F(DeviceTest, RequiredDrawPrimitiveFailsWhenNoDeviceHasIt) {
  fakes.devices = {FakeDeviceInfo::softwareDevice(IID_IDirect3DMMXDevice, 0),
                   FakeDeviceInfo::rgb(0)};
  EXPECT_EQ(start(), E_FAIL);
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(fakes.count("CreateDevice"), 0u);
}

TEST_F(DeviceTest, AHardwareDeviceWithoutDrawPrimitiveGivesWayToSoftware) {
  fakes.devices = {FakeDeviceInfo::rgb(), FakeDeviceInfo::hal(0)};
  ASSERT_EQ(start(), S_OK);
  EXPECT_FALSE(device.useHardware);
  EXPECT_TRUE(device.softwareFallback);
  EXPECT_TRUE(same(fakes.callsTo("CreateDevice").at(0).guid, IID_IDirect3DRGBDevice));
}

TEST_F(DeviceTest, OnlyWideTrueColourDisplaysGetTheSoftwareDevice) {
  const struct {
    DWORD width, height, bits;
    bool hardware;
  } displays[] = {{1280, 1024, 32, false}, {1280, 1024, 16, true}, {1024, 768, 32, true}};
  for (const auto& display : displays) {
    SCOPED_TRACE(std::to_string(display.width) + " wide at " + std::to_string(display.bits));
    FakeMachine machine;
    machine.fakes.displayWidth = display.width;
    machine.fakes.displayHeight = display.height;
    machine.fakes.displayBits = display.bits;
    ASSERT_EQ(machine.start(), S_OK) << machine.fakes.log();
    EXPECT_EQ(machine.device.useHardware, display.hardware);
    EXPECT_EQ(machine.device.softwareFallback, !display.hardware);
    EXPECT_EQ(deviceEnumeration.displayBitDepth, display.bits);
    EXPECT_TRUE(same(machine.fakes.callsTo("CreateDevice").at(0).guid,
                     display.hardware ? IID_IDirect3DHALDevice : IID_IDirect3DRGBDevice));
    machine.expectAllReleased();
  }
}

TEST_F(DeviceTest, WithoutAnExactZBufferFormatItStartsWithoutZBuffer) {
  fakes.zBufferFormats = {fakeZBufferFormat(16, DDPF_STENCILBUFFER),
                          fakeZBufferFormat(24, DDPF_STENCILBUFFER)};
  ASSERT_EQ(start(), S_OK);
  EXPECT_TRUE(device.ready);
  EXPECT_EQ(fakes.count("CreateSurface"), 2u);
  expectNoZBuffer(*this);
}

TEST_F(DeviceTest, NoHardwareZBufferSwitchesToSoftwareForTheZBufferOnly) {
  fakes.devices = {FakeDeviceInfo::rgb(), FakeDeviceInfo::hal(D3DDEVCAPS_DRAWPRIMTLVERTEX, 0)};
  device.attachWindow(window.handle);
  for (auto step : {&RenderDevice::createDirectDraw, &RenderDevice::setCooperativeLevel,
                    &RenderDevice::createPrimary, &RenderDevice::createBackBuffer,
                    &RenderDevice::createDirect3D, &RenderDevice::chooseDevice}) {
    ASSERT_EQ((device.*step)(), S_OK);
  }

  ASSERT_EQ(device.createZBuffer(), S_OK) << fakes.log();
  const auto enumerations = fakes.callsTo("EnumZBufferFormats");
  ASSERT_EQ(enumerations.size(), 2u);
  EXPECT_EQ(enumerations[0].result, DDERR_NOZBUFFERHW);
  EXPECT_TRUE(same(enumerations[1].guid, IID_IDirect3DRGBDevice));
  EXPECT_EQ(fakes.callsTo("CreateSurface").back().desc2.ddsCaps.dwCaps, 0x20800u);
  EXPECT_FALSE(device.useHardware);
  EXPECT_TRUE(device.softwareFallback);
  EXPECT_TRUE(device.retryHardware);
  EXPECT_TRUE(same(device.deviceGuid, IID_IDirect3DRGBDevice));
  EXPECT_TRUE(same(device.savedDeviceGuid, IID_IDirect3DHALDevice));

  // Device creation goes back to the hardware device, with that z-buffer.
  ASSERT_EQ(device.createDevice(), S_OK);
  EXPECT_TRUE(device.useHardware);
  EXPECT_FALSE(device.softwareFallback);
  EXPECT_FALSE(device.retryHardware);
  EXPECT_TRUE(same(device.deviceGuid, IID_IDirect3DHALDevice));
  EXPECT_TRUE(same(fakes.callsTo("CreateDevice").at(0).guid, IID_IDirect3DHALDevice));
}

TEST_F(DeviceTest, AFailingHardwareDeviceFallsBackToRgbForGood) {
  fakes.script("CreateDevice", {DDERR_GENERIC});
  ASSERT_EQ(start(), S_OK) << fakes.log();
  const auto creations = fakes.callsTo("CreateDevice");
  ASSERT_EQ(creations.size(), 2u);
  EXPECT_TRUE(same(creations[1].guid, IID_IDirect3DRGBDevice));
  EXPECT_FALSE(device.useHardware);
  EXPECT_FALSE(device.retryHardware);
  EXPECT_TRUE(same(device.savedDeviceGuid, IID_IDirect3DHALDevice));
  // The z-buffer was made again for the software device, in system memory.
  const auto surfaces = fakes.callsTo("CreateSurface");
  ASSERT_EQ(surfaces.size(), 4u);
  EXPECT_EQ(surfaces[3].desc2.ddsCaps.dwCaps, 0x20800u);
  EXPECT_NE(device.zBuffer4, nullptr);

  // A resize keeps the software device.
  ASSERT_EQ(resizeWindow(200, 100), S_OK);
  EXPECT_TRUE(same(fakes.callsTo("CreateDevice").back().guid, IID_IDirect3DRGBDevice));
}

TEST_F(DeviceTest, TextureFormatsDecideBetweenHardwareAndSoftwareDevice) {
  // The hardware device's formats cannot be enumerated: the RGB device serves.
  fakes.script("EnumTextureFormats", {DDERR_GENERIC});
  ASSERT_EQ(start(), S_OK) << fakes.log();
  EXPECT_FALSE(device.useHardware);
  EXPECT_TRUE(same(fakes.callsTo("CreateDevice").back().guid, IID_IDirect3DRGBDevice));
  EXPECT_EQ(device.textureFormat.dwRGBBitCount, 16u);

  // No format of the display's depth on either device: E_FAIL.
  FakeMachine machine;
  machine.fakes.textureFormats = {fakeRgbFormat(24), fakeRgbFormat(16, DDPF_ALPHAPIXELS)};
  EXPECT_EQ(machine.start(), E_FAIL);
  EXPECT_FALSE(machine.device.ready);
  EXPECT_EQ(machine.fakes.count("CreateDevice"), 2u);
  machine.expectAllReleased();
}

TEST_F(DeviceTest, AFifteenBitTextureFormatServesASixteenBitDisplay) {
  fakes.textureFormats = {fakeRgbFormat(32), fakeRgbFormat(15)};
  ASSERT_EQ(start(), S_OK);
  EXPECT_EQ(device.textureFormat.dwRGBBitCount, 15u);
  EXPECT_TRUE(device.useHardware);
}

TEST_F(DeviceTest, OutOfVideoMemoryPutsTheZBufferInSystemMemory) {
  fakes.videoMemoryFull = true;
  ASSERT_EQ(start(), S_OK);
  const auto surfaces = fakes.callsTo("CreateSurface");
  ASSERT_EQ(surfaces.size(), 4u);
  EXPECT_EQ(surfaces[2].result, DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(surfaces[3].desc2.ddsCaps.dwCaps, 0x20800u);
  EXPECT_TRUE(device.useZBuffer);
  EXPECT_NE(device.zBuffer4, nullptr);
}

TEST_F(DeviceTest, AZBufferThatCannotBeMadeIsDoneWithout) {
  for (std::vector<HRESULT> results : {std::vector<HRESULT>{DD_OK, DD_OK, DDERR_OUTOFVIDEOMEMORY,
                                                            DDERR_OUTOFVIDEOMEMORY},
                                       std::vector<HRESULT>{DD_OK, DD_OK, DDERR_GENERIC}}) {
    FakeMachine machine;
    machine.fakes.script("CreateSurface", results);
    EXPECT_EQ(machine.start(), S_OK) << machine.fakes.log();
    EXPECT_EQ(machine.fakes.count("CreateSurface"), results.size());
    expectNoZBuffer(machine);
    machine.expectAllReleased();
  }
}

TEST_F(DeviceTest, DirectX5WithoutHardwareDepthsMakesASoftwareZBufferAndRetriesHardware) {
  fakes.offerDirectDraw4 = false;
  fakes.devices = {FakeDeviceInfo::rgb(), FakeDeviceInfo::hal(D3DDEVCAPS_DRAWPRIMTLVERTEX, 0)};
  ASSERT_EQ(start(), S_OK);
  const FakeCall zBuffer = fakes.callsTo("CreateSurface").at(2);
  EXPECT_EQ(zBuffer.desc.dwZBufferBitDepth, 16u);
  EXPECT_EQ(zBuffer.desc.ddsCaps.dwCaps, 0x20800u);
  // The hardware device is tried again with that z-buffer.
  EXPECT_TRUE(same(fakes.callsTo("CreateDevice").at(0).guid, IID_IDirect3DHALDevice));
  EXPECT_TRUE(device.useHardware);
  EXPECT_FALSE(device.retryHardware);
}

TEST_F(DeviceTest, DirectX5HardwareDeviceFailureTakesRgbAndMarksARetry) {
  fakes.offerDirectDraw4 = false;
  fakes.script("CreateDevice", {DDERR_GENERIC});
  ASSERT_EQ(start(), S_OK);
  EXPECT_TRUE(same(fakes.callsTo("CreateDevice").at(1).guid, IID_IDirect3DRGBDevice));
  EXPECT_FALSE(device.useHardware);
  EXPECT_TRUE(device.retryHardware);
  // The hardware device's z-buffer in video memory gives way to a 16-bit one
  // in system memory, attached to the back buffer, for the software device.
  const auto surfaces = fakes.callsTo("CreateSurface");
  ASSERT_EQ(surfaces.size(), 4u);
  EXPECT_EQ(surfaces[2].desc.ddsCaps.dwCaps, DWORD(DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY));
  EXPECT_EQ(surfaces[3].desc.ddsCaps.dwCaps, DWORD(DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY));
  EXPECT_EQ(surfaces[3].desc.dwZBufferBitDepth, 16u);
  EXPECT_EQ(fakes.count("AddAttachedSurface"), 2u);
  EXPECT_TRUE(device.useZBuffer);
  EXPECT_NE(device.zBuffer3, nullptr);
}

TEST(RenderDeviceZBufferDepth, TheShallowestFlaggedDepthWins) {
  const struct {
    DWORD flags, bits;
  } cases[] = {{0, 0},          {DDBD_32, 32},          {DDBD_24 | DDBD_32, 24},
               {0x700, 16},     {DDBD_8 | DDBD_16, 8},  {DDBD_4, 4},
               {DDBD_2, 2},     {DDBD_1 | DDBD_32, 1},  {0x80000000, 0}};
  for (const auto& depth : cases) {
    EXPECT_EQ(RenderDevice::zBufferBitsFromDepthFlags(depth.flags), depth.bits)
        << std::hex << depth.flags;
  }
}

class SetupOnEachGeneration : public EachGeneration {};
EACH_GENERATION(SetupOnEachGeneration);

TEST_P(SetupOnEachGeneration, EachAttachResultIsHandled) {
  const struct {
    std::vector<HRESULT> attach;
    HRESULT result;
    size_t attachCalls;
    size_t restores;
    bool zBuffer;  // the device goes on with a z-buffer
  } cases[] = {
      {{DDERR_SURFACEALREADYATTACHED}, S_OK, 1, 0, true},
      // A z-buffer the back buffer does not take is dropped, and the device
      // clears no depth.
      {{DDERR_CANNOTATTACHSURFACE}, S_OK, 1, 0, false},
      {{DDERR_SURFACELOST, DD_OK}, S_OK, 2, 1, true},
      {{DDERR_SURFACELOST, DDERR_GENERIC}, DDERR_GENERIC, 2, 1, true},
      {{DDERR_INVALIDOBJECT}, DDERR_INVALIDOBJECT, 1, 0, true},
  };
  for (const auto& attach : cases) {
    SCOPED_TRACE("attach answers " + std::to_string(attach.attach[0]));
    FakeMachine machine;
    machine.fakes.offerDirectDraw4 = directX6();
    machine.fakes.script("AddAttachedSurface", attach.attach);
    EXPECT_EQ(machine.start(), attach.result);
    EXPECT_EQ(machine.device.useZBuffer, attach.zBuffer);
    EXPECT_EQ(machine.fakes.count("AddAttachedSurface"), attach.attachCalls);
    const auto restores = machine.fakes.callsTo("Restore");
    ASSERT_EQ(restores.size(), attach.restores);
    if (!restores.empty()) {
      // The back buffer is the one restored.
      EXPECT_EQ(restores[0].object, machine.fakes.callsTo("AddAttachedSurface").at(0).object);
    }
    if (!attach.zBuffer) expectNoZBuffer(machine);
    machine.expectAllReleased();
  }
}

TEST_P(SetupOnEachGeneration, AZBufferTheSoftwareDeviceCannotAttachIsDoneWithout) {
  // The hardware device fails, and the back buffer refuses the z-buffer made
  // again for the software device that replaces it.
  fakes.script("CreateDevice", {DDERR_GENERIC});
  fakes.script("AddAttachedSurface", {DD_OK, DDERR_INVALIDOBJECT});
  ASSERT_EQ(start(), S_OK) << fakes.log();
  EXPECT_FALSE(device.useHardware);
  EXPECT_EQ(fakes.count("AddAttachedSurface"), 2u);
  expectNoZBuffer(*this);
}

TEST_F(DeviceTest, TheViewportKeepsPixelsSquare) {
  ASSERT_EQ(start(), S_OK);
  const D3DVIEWPORT2 viewport = fakes.callsTo("SetViewport2").at(0).viewport;
  EXPECT_EQ(viewport.dwSize, sizeof(D3DVIEWPORT2));
  EXPECT_EQ(viewport.dwX, 0u);
  EXPECT_EQ(viewport.dwY, 0u);
  EXPECT_EQ(viewport.dwWidth, 400u);
  EXPECT_EQ(viewport.dwHeight, 300u);
  EXPECT_EQ(viewport.dvClipX, -1.0f);
  EXPECT_EQ(viewport.dvClipWidth, 2.0f);
  EXPECT_EQ(viewport.dvClipHeight, 1.5f);
  EXPECT_EQ(viewport.dvClipY, 0.75f);
  EXPECT_EQ(viewport.dvMinZ, 0.0f);
  EXPECT_EQ(viewport.dvMaxZ, 1.0f);

  // 2h/w is rounded once, from extended precision.
  ASSERT_EQ(resizeWindow(640, 479), S_OK);
  const D3DVIEWPORT2 resized = fakes.callsTo("SetViewport2").back().viewport;
  EXPECT_EQ(resized.dvClipHeight, static_cast<float>(2.0L * 479 / 640));
  EXPECT_EQ(resized.dvClipY, resized.dvClipHeight * 0.5f);
}

TEST_F(DeviceTest, WithoutAWindowStartUpDoesNothing) {
  EXPECT_EQ(device.startUp(), S_OK);
  EXPECT_FALSE(device.ready);
  EXPECT_TRUE(fakes.calls().empty());
  EXPECT_EQ(device.resize(), S_OK);
  EXPECT_TRUE(fakes.calls().empty());
}

TEST_F(DeviceTest, TearDownReleasesEverythingOnceAndMayRunAgain) {
  device.tearDown();
  EXPECT_EQ(fakes.releases(), 0u);

  ASSERT_EQ(start(), S_OK);
  device.setLight(1, directionalLight(1, 1, 1, 0, 0, 1));
  device.createMaterial(diffuseMaterial(1, 1, 1));
  EXPECT_GT(fakes.references(), 0u);
  device.tearDown();
  EXPECT_FALSE(device.ready);
  EXPECT_EQ(fakes.references(), 0u) << fakes.referenceReport();
  EXPECT_EQ(device.lightDescs[1], nullptr);
  const size_t releases = fakes.releases();
  device.tearDown();
  EXPECT_EQ(fakes.releases(), releases);

  // And the same record starts again.
  ASSERT_EQ(device.startUp(), S_OK);
  EXPECT_TRUE(device.ready);
}

TEST_F(DeviceTest, MatricesStartAsTheFixedProjectionAndIdentityView) {
  const D3DMATRIX projection = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1, 1, 0, 0, -1, 0};
  EXPECT_TRUE(same(device.projection, projection));
  EXPECT_TRUE(same(device.view, identityMatrix()));

  ASSERT_EQ(start(), S_OK);
  device.view = translationMatrix(1, 2, 3);
  device.projection._11 = 5;
  device.applyViewProjection();
  const auto transforms = fakes.callsTo("SetTransform");
  ASSERT_EQ(transforms.size(), 2u);
  EXPECT_EQ(transforms[0].args[0], DWORD(D3DTRANSFORMSTATE_PROJECTION));
  EXPECT_TRUE(same(transforms[0].matrix, device.projection));
  EXPECT_EQ(transforms[1].args[0], DWORD(D3DTRANSFORMSTATE_VIEW));
  EXPECT_TRUE(same(transforms[1].matrix, device.view));

  device.resetMatrices();
  EXPECT_TRUE(same(device.projection, projection));
  EXPECT_TRUE(same(device.view, identityMatrix()));
}
