// Start-up and teardown of the RenderDevice, and what lives from one to the
// other: DirectDraw, its interface generation, the primary surface and the
// choice of Direct3D device (hardware first, software when the hardware
// device cannot serve). Each create here has its release beside it.
#include "device/generations.h"
#include "platform/device_values.h"

#include <cstring>

DirectDrawCreateFunction directDrawCreate = DirectDrawCreate;
DeviceEnumeration deviceEnumeration;

void resetDeviceEnumeration() { deviceEnumeration = DeviceEnumeration{}; }

namespace {

// The records whose dwSize tells DirectDraw and Direct3D which version of
// them the caller means. The surface descriptions hold a pointer, so they are
// 124 and 108 bytes in a 32-bit program and larger in a 64-bit one; the rest
// are the same on both.
constexpr bool POINTERS_ARE_32_BITS = sizeof(void*) == 4;
static_assert(sizeof(DDSURFACEDESC2) == (POINTERS_ARE_32_BITS ? 124 : 136));
static_assert(sizeof(DDSURFACEDESC) == (POINTERS_ARE_32_BITS ? 108 : 120));
static_assert(sizeof(D3DDEVICEDESC) == 252);
static_assert(sizeof(DDPIXELFORMAT) == 32);
static_assert(sizeof(D3DVIEWPORT2) == 44);
static_assert(sizeof(D3DLIGHT2) == 80);
static_assert(sizeof(D3DMATERIAL) == 80);

// Displays wider than this at TRUE_COLOUR_BITS or more get the software
// device from the start: the hardware of the time could not keep up there.
constexpr DWORD WIDEST_HARDWARE_DISPLAY = 1024;
constexpr DWORD TRUE_COLOUR_BITS = 32;

// Takes the enumerated device: its GUID into the context, its description
// into the enumeration's record. An older runtime may pass a shorter
// description than this header's, so never read past its dwSize.
HRESULT acceptDevice(const GUID& guid, const D3DDEVICEDESC& description, void* context) {
  *static_cast<GUID*>(context) = guid;
  size_t bytes = sizeof(D3DDEVICEDESC);
  if (description.dwSize != 0 && description.dwSize < bytes) bytes = description.dwSize;
  deviceEnumeration.chosenDeviceDesc = D3DDEVICEDESC{};
  std::memcpy(&deviceEnumeration.chosenDeviceDesc, &description, bytes);
  return D3DENUMRET_CANCEL;
}

}  // namespace

RenderDevice::RenderDevice() { resetMatrices(); }

RenderDevice::~RenderDevice() { tearDown(); }

BOOL RenderDevice::attachWindow(HWND renderWindow) {
  window = renderWindow;
  return GetClientRect(window, &screenRect);
}

HRESULT RenderDevice::startUp() {
  if (!window) return S_OK;
  choosePresentation();

  HRESULT (RenderDevice::*const steps[])() = {
      &RenderDevice::createDirectDraw, &RenderDevice::setCooperativeLevel,
      &RenderDevice::createPrimary,    &RenderDevice::createBackBuffer,
      &RenderDevice::createClipper,    &RenderDevice::createDirect3D,
      &RenderDevice::chooseDevice,     &RenderDevice::createZBuffer,
      &RenderDevice::createDevice,     &RenderDevice::createViewport,
  };
  HRESULT hr = S_OK;
  for (auto step : steps) {
    hr = (this->*step)();
    if (FAILED(hr)) return hr;
  }
  ready = true;
  started = true;
  return hr;
}

void RenderDevice::tearDown() {
  releaseMaterial();
  releaseAllLights();
  releaseViewport();
  releaseDevice();
  releaseZBuffer();
  releaseDirect3D();
  releaseBackBuffer();
  releasePrimary();
  releaseDirectDraw();
  ready = false;
  started = false;
  // A device started again is a new one: it starts from the defaults.
  renderStates.clear();
  lightStates.clear();
}

void RenderDevice::resetMatrices() {
  view = identityMatrix();
  projection = fixedProjection();
}

// DirectDraw decides the generation for the whole run: DirectX 6 when it
// offers IDirectDraw4, DirectX 5 otherwise.
HRESULT RenderDevice::createDirectDraw() {
  HRESULT hr = directDrawCreate(nullptr, &directDraw, nullptr);
  if (FAILED(hr)) return hr;
  if (useDx6) {
    hr = directDraw->QueryInterface(IID_IDirectDraw4, reinterpret_cast<void**>(&directDraw4));
    if (hr != E_NOINTERFACE) return hr;
    useDx6 = false;
    useDx5 = true;
  }
  return directDraw->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&directDraw2));
}

void RenderDevice::releaseDirectDraw() {
  releaseInterface(directDraw4, directDraw2, directDraw);
}

HRESULT RenderDevice::createPrimary() {
  return onPath(*this, E_FAIL, [](auto path) {
    typename decltype(path)::G::SurfaceDesc desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return path.createSurface(desc, path.createdPrimary, path.primary);
  });
}

void RenderDevice::releasePrimary() {
  releaseInterface(primary4, primary, primary3);
}

HRESULT CALLBACK RenderDevice::acceptHardwareDevice(GUID* guid, char*, char*,
                                                    D3DDEVICEDESC* hardware, D3DDEVICEDESC*,
                                                    void* context) {
  if (hardware->dcmColorModel == 0) return D3DENUMRET_OK;
  return acceptDevice(*guid, *hardware, context);
}

HRESULT CALLBACK RenderDevice::acceptSoftwareDevice(GUID* guid, char*, char*,
                                                    D3DDEVICEDESC* hardware,
                                                    D3DDEVICEDESC* software, void* context) {
  if (hardware->dcmColorModel != 0) return D3DENUMRET_OK;
  return acceptDevice(*guid, *software, context);
}

HRESULT RenderDevice::enumerateDevices(LPD3DENUMDEVICESCALLBACK accept) {
  return onPath(*this, S_OK,
                [&](auto path) { return path.direct3D->EnumDevices(accept, &deviceGuid); });
}

HRESULT RenderDevice::enumerateSoftware() {
  useHardware = false;
  softwareFallback = true;
  return enumerateDevices(acceptSoftwareDevice);
}

HRESULT RenderDevice::getDisplayMode(DWORD& width, DWORD& bitsPerPixel) {
  return onPath(*this, E_FAIL, [&](auto path) {
    typename decltype(path)::G::SurfaceDesc mode{};
    mode.dwSize = sizeof(mode);
    const HRESULT hr = path.directDraw->GetDisplayMode(&mode);
    width = mode.dwWidth;
    bitsPerPixel = mode.ddpfPixelFormat.dwRGBBitCount;
    return hr;
  });
}

HRESULT RenderDevice::chooseDevice() {
  if (!useDx6 && !useDx5) return S_OK;

  HRESULT hr;
  if (useHardware) {
    hr = enumerateDevices(acceptHardwareDevice);
    if (FAILED(hr)) {
      hr = enumerateSoftware();
      if (FAILED(hr)) return hr;
    }
  } else {
    hr = enumerateDevices(acceptSoftwareDevice);
    if (FAILED(hr)) return hr;
  }

  DWORD width = 0;
  DWORD bitsPerPixel = 0;
  if (useHardware || softwareFallback) {
    HRESULT modeResult = getDisplayMode(width, bitsPerPixel);
    if (FAILED(modeResult)) return modeResult;
    deviceEnumeration.displayBitDepth = bitsPerPixel;
  }

  const DWORD& devCaps = deviceEnumeration.chosenDeviceDesc.dwDevCaps;
  if (requireDrawPrimitive && !(devCaps & D3DDEVCAPS_DRAWPRIMTLVERTEX)) {
    if (!useHardware) return E_FAIL;
    hr = enumerateSoftware();
    if (FAILED(hr)) return hr;
    if (!(devCaps & D3DDEVCAPS_DRAWPRIMTLVERTEX)) return E_FAIL;
  }
  if (!useHardware) return hr;

  HRESULT modeResult = getDisplayMode(width, bitsPerPixel);
  if (FAILED(modeResult)) return modeResult;
  if (width > WIDEST_HARDWARE_DISPLAY && bitsPerPixel >= TRUE_COLOUR_BITS) {
    return enumerateSoftware();
  }
  return hr;
}
