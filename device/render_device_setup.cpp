// Start-up and teardown of the RenderDevice: DirectDraw, the surfaces, the
// choice of Direct3D device with its fallbacks (hardware to software device,
// video to system memory, z-buffer to none), the viewport and the fixed
// matrices. Every create here has its release below, in mirrored order.
#include "device/render_device.h"

#include <cstring>

DirectDrawCreateFunction directDrawCreate = DirectDrawCreate;
PresentWay presentWay = PresentWay::DETECT;
D3DDEVICEDESC chosenDeviceDesc{};
DWORD displayBitDepth = 16;

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

// Surface capabilities and description flags of the three surfaces.
constexpr DWORD BACK_BUFFER_CAPS = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
constexpr DWORD VIDEO_ZBUFFER_CAPS = DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY;
constexpr DWORD SYSTEM_ZBUFFER_CAPS = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
constexpr DWORD SIZED_SURFACE = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;

// Displays wider than this at TRUE_COLOUR_BITS or more get the software
// device from the start: the hardware of the time could not keep up there.
constexpr DWORD WIDEST_HARDWARE_DISPLAY = 1024;
constexpr DWORD TRUE_COLOUR_BITS = 32;
// Palettised displays are refused.
constexpr DWORD PALETTE_DISPLAY_BITS = 8;
// The depth of a z-buffer for the software device on the DirectX 5 path.
constexpr DWORD SOFTWARE_ZBUFFER_BITS = 16;

// Texture formats that cannot serve: palettised or with an alpha channel.
constexpr DWORD UNWANTED_TEXTURE_FLAGS = DDPF_PALETTEINDEXED8 | DDPF_PALETTEINDEXED4 | DDPF_ALPHAPIXELS;

// Copies a device description the runtime reports; an older runtime may pass
// a shorter record than this header's, so never read past its dwSize.
void copyDeviceDesc(const D3DDEVICEDESC& source) {
  size_t bytes = sizeof(D3DDEVICEDESC);
  if (source.dwSize != 0 && source.dwSize < bytes) bytes = source.dwSize;
  chosenDeviceDesc = D3DDEVICEDESC{};
  std::memcpy(&chosenDeviceDesc, &source, bytes);
}

bool sameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

}  // namespace

bool runningOnWine() {
  static const bool onWine = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return onWine;
}

RenderDevice::RenderDevice() { resetMatrices(); }

RenderDevice::~RenderDevice() { tearDown(); }

BOOL RenderDevice::attachWindow(HWND renderWindow) {
  window = renderWindow;
  return GetClientRect(window, &screenRect);
}

HRESULT RenderDevice::startUp() {
  if (!window) return S_OK;
  presentByGdi = presentWay == PresentWay::GDI_COPY ||
                 (presentWay == PresentWay::DETECT && runningOnWine());

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

HRESULT RenderDevice::setCooperativeLevel() {
  // Under GDI presentation the window stays out of DirectDraw's hands.
  HWND cooperativeWindow = presentByGdi ? nullptr : window;
  if (useDx6) return directDraw4->SetCooperativeLevel(cooperativeWindow, DDSCL_NORMAL);
  if (useDx5) return directDraw2->SetCooperativeLevel(cooperativeWindow, DDSCL_NORMAL);
  return E_FAIL;
}

HRESULT RenderDevice::createPrimary() {
  if (useDx6) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return directDraw4->CreateSurface(&desc, &primary4, nullptr);
  }
  if (useDx5) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    HRESULT hr = directDraw2->CreateSurface(&desc, &primary, nullptr);
    if (FAILED(hr)) return hr;
    return primary->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&primary3));
  }
  return E_FAIL;
}

HRESULT RenderDevice::createBackBuffer() {
  GetClientRect(window, &screenRect);
  clientRect = screenRect;
  POINT topLeft{screenRect.left, screenRect.top};
  POINT bottomRight{screenRect.right, screenRect.bottom};
  ClientToScreen(window, &topLeft);
  ClientToScreen(window, &bottomRight);
  SetRect(&screenRect, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);

  const DWORD width = screenRect.right - screenRect.left;
  const DWORD height = screenRect.bottom - screenRect.top;
  if (useDx6) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = SIZED_SURFACE;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = BACK_BUFFER_CAPS;
    return directDraw4->CreateSurface(&desc, &backBuffer4, nullptr);
  }
  if (useDx5) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = SIZED_SURFACE;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = BACK_BUFFER_CAPS;
    HRESULT hr = directDraw2->CreateSurface(&desc, &backBuffer, nullptr);
    if (FAILED(hr)) return hr;
    return backBuffer->QueryInterface(IID_IDirectDrawSurface3,
                                      reinterpret_cast<void**>(&backBuffer3));
  }
  return E_FAIL;
}

HRESULT RenderDevice::createClipper() {
  if (!useDx6 && !useDx5) return E_FAIL;
  // GDI presentation draws through the window's own device context, which
  // clips; a window clipper on the primary is not wanted there.
  if (presentByGdi) return S_OK;
  IDirectDrawClipper* clipper = nullptr;
  HRESULT hr = useDx6 ? directDraw4->CreateClipper(0, &clipper, nullptr)
                      : directDraw2->CreateClipper(0, &clipper, nullptr);
  if (FAILED(hr)) return hr;
  clipper->SetHWnd(0, window);
  if (useDx6) {
    primary4->SetClipper(clipper);
  } else {
    primary->SetClipper(clipper);
  }
  // The primary surface holds the clipper from here on.
  clipper->Release();
  return hr;
}

HRESULT RenderDevice::createDirect3D() {
  if (useDx6) {
    return directDraw4->QueryInterface(IID_IDirect3D3, reinterpret_cast<void**>(&direct3D3));
  }
  if (useDx5) {
    return directDraw2->QueryInterface(IID_IDirect3D2, reinterpret_cast<void**>(&direct3D2));
  }
  return E_FAIL;
}

HRESULT CALLBACK RenderDevice::acceptHardwareDevice(GUID* guid, char*, char*,
                                                    D3DDEVICEDESC* hardware, D3DDEVICEDESC*,
                                                    void* context) {
  if (hardware->dcmColorModel == 0) return D3DENUMRET_OK;
  *static_cast<GUID*>(context) = *guid;
  copyDeviceDesc(*hardware);
  return D3DENUMRET_CANCEL;
}

HRESULT CALLBACK RenderDevice::acceptSoftwareDevice(GUID* guid, char*, char*,
                                                    D3DDEVICEDESC* hardware,
                                                    D3DDEVICEDESC* software, void* context) {
  if (hardware->dcmColorModel != 0) return D3DENUMRET_OK;
  *static_cast<GUID*>(context) = *guid;
  copyDeviceDesc(*software);
  return D3DENUMRET_CANCEL;
}

HRESULT RenderDevice::enumerateDevices(LPD3DENUMDEVICESCALLBACK accept) {
  if (useDx6) return direct3D3->EnumDevices(accept, &deviceGuid);
  return direct3D2->EnumDevices(accept, &deviceGuid);
}

HRESULT RenderDevice::enumerateSoftware() {
  useHardware = false;
  softwareFallback = true;
  return enumerateDevices(acceptSoftwareDevice);
}

HRESULT RenderDevice::getDisplayMode(DWORD& width, DWORD& bitsPerPixel) {
  HRESULT hr = E_FAIL;
  if (useDx6) {
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof(mode);
    hr = directDraw4->GetDisplayMode(&mode);
    width = mode.dwWidth;
    bitsPerPixel = mode.ddpfPixelFormat.dwRGBBitCount;
  } else if (useDx5) {
    DDSURFACEDESC mode{};
    mode.dwSize = sizeof(mode);
    hr = directDraw2->GetDisplayMode(&mode);
    width = mode.dwWidth;
    bitsPerPixel = mode.ddpfPixelFormat.dwRGBBitCount;
  }
  return hr;
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
    displayBitDepth = bitsPerPixel;
  }

  if (requireDrawPrimitive && !(chosenDeviceDesc.dwDevCaps & D3DDEVCAPS_DRAWPRIMTLVERTEX)) {
    if (!useHardware) return E_FAIL;
    hr = enumerateSoftware();
    if (FAILED(hr)) return hr;
    if (!(chosenDeviceDesc.dwDevCaps & D3DDEVCAPS_DRAWPRIMTLVERTEX)) return E_FAIL;
  }
  if (!useHardware) return hr;

  HRESULT modeResult = getDisplayMode(width, bitsPerPixel);
  if (FAILED(modeResult)) return modeResult;
  if (width > WIDEST_HARDWARE_DISPLAY && bitsPerPixel >= TRUE_COLOUR_BITS) {
    return enumerateSoftware();
  }
  return hr;
}

// A software device stands in for the hardware one; the hardware GUID is
// kept so that undoZBufferFallback can go back to it.
void RenderDevice::switchToSoftware() {
  useHardware = false;
  softwareFallback = true;
  savedDeviceGuid = deviceGuid;
  deviceGuid = IID_IDirect3DRGBDevice;
}

// The z-buffer step may switch to the software device only because the
// hardware device has no z-buffer of its own; the next z-buffer or device
// creation tries the hardware device again.
void RenderDevice::undoZBufferFallback() {
  if (!retryHardware) return;
  retryHardware = false;
  useHardware = true;
  softwareFallback = false;
  deviceGuid = savedDeviceGuid;
}

HRESULT RenderDevice::noZBuffer() {
  useZBuffer = false;
  return S_OK;
}

HRESULT CALLBACK RenderDevice::acceptZBufferFormat(DDPIXELFORMAT* format, void* context) {
  // A format with a stencil or any other extra is passed over.
  if (format->dwFlags != DDPF_ZBUFFER) return D3DENUMRET_OK;
  *static_cast<DDPIXELFORMAT*>(context) = *format;
  return D3DENUMRET_CANCEL;
}

DWORD RenderDevice::zBufferBitsFromDepthFlags(DWORD depthFlags) {
  // Shallowest first: the cheapest depth the device supports wins.
  static const struct {
    DWORD flag;
    DWORD bits;
  } depths[] = {{DDBD_1, 1},   {DDBD_2, 2},   {DDBD_4, 4},  {DDBD_8, 8},
                {DDBD_16, 16}, {DDBD_24, 24}, {DDBD_32, 32}};
  for (const auto& depth : depths) {
    if (depthFlags & depth.flag) return depth.bits;
  }
  return 0;
}

HRESULT RenderDevice::attachZBuffer() {
  HRESULT hr = useDx6 ? backBuffer4->AddAttachedSurface(zBuffer4)
                      : backBuffer3->AddAttachedSurface(zBuffer3);
  if (hr == DDERR_SURFACEALREADYATTACHED) return S_OK;
  if (hr == DDERR_CANNOTATTACHSURFACE) {
    // A z-buffer the back buffer does not take is no z-buffer: keeping it
    // would have every clear ask for a depth clear the device cannot do.
    releaseInterface(zBuffer4);
    releaseInterface(zBuffer3);
    releaseInterface(zBuffer);
    return noZBuffer();
  }
  if (hr == DDERR_SURFACELOST) {
    if (useDx6) {
      backBuffer4->Restore();
      return backBuffer4->AddAttachedSurface(zBuffer4);
    }
    backBuffer3->Restore();
    return backBuffer3->AddAttachedSurface(zBuffer3);
  }
  return hr;
}

HRESULT RenderDevice::createZBuffer() {
  undoZBufferFallback();
  if (!useZBuffer) return S_OK;
  const DWORD width = screenRect.right - screenRect.left;
  const DWORD height = screenRect.bottom - screenRect.top;

  if (useDx6) {
    DDPIXELFORMAT format{};
    HRESULT hr = direct3D3->EnumZBufferFormats(deviceGuid, acceptZBufferFormat, &format);
    if (hr == DDERR_NOZBUFFERHW) {
      switchToSoftware();
      retryHardware = true;
      hr = direct3D3->EnumZBufferFormats(deviceGuid, acceptZBufferFormat, &format);
    }
    if (hr == E_OUTOFMEMORY || format.dwSize != sizeof(DDPIXELFORMAT)) return noZBuffer();

    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = SIZED_SURFACE | DDSD_PIXELFORMAT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddpfPixelFormat = format;
    desc.ddsCaps.dwCaps = sameGuid(deviceGuid, IID_IDirect3DHALDevice) ? VIDEO_ZBUFFER_CAPS
                                                                       : SYSTEM_ZBUFFER_CAPS;
    hr = directDraw4->CreateSurface(&desc, &zBuffer4, nullptr);
    if (hr == DDERR_OUTOFVIDEOMEMORY) {
      desc.ddsCaps.dwCaps = SYSTEM_ZBUFFER_CAPS;
      hr = directDraw4->CreateSurface(&desc, &zBuffer4, nullptr);
    }
    if (FAILED(hr)) return noZBuffer();
    return attachZBuffer();
  }

  if (useDx5) {
    if (chosenDeviceDesc.dwDeviceZBufferBitDepth == 0) {
      switchToSoftware();
      retryHardware = true;
    }
    return createZBuffer5();
  }
  return S_OK;
}

// The DirectX 5 z-buffer for the device deviceGuid names: the hardware
// device's depth in video memory, or 16 bits in system memory for a software
// device.
HRESULT RenderDevice::createZBuffer5() {
  const DWORD width = screenRect.right - screenRect.left;
  const DWORD height = screenRect.bottom - screenRect.top;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = SIZED_SURFACE | DDSD_ZBUFFERBITDEPTH;
  desc.dwWidth = width;
  desc.dwHeight = height;
  if (sameGuid(deviceGuid, IID_IDirect3DHALDevice)) {
    desc.dwZBufferBitDepth = zBufferBitsFromDepthFlags(chosenDeviceDesc.dwDeviceZBufferBitDepth);
    desc.ddsCaps.dwCaps = VIDEO_ZBUFFER_CAPS;
  } else {
    desc.dwZBufferBitDepth = SOFTWARE_ZBUFFER_BITS;
    desc.ddsCaps.dwCaps = SYSTEM_ZBUFFER_CAPS;
  }
  HRESULT hr = directDraw2->CreateSurface(&desc, &zBuffer, nullptr);
  if (hr == DDERR_OUTOFVIDEOMEMORY) {
    desc.ddsCaps.dwCaps = SYSTEM_ZBUFFER_CAPS;
    hr = directDraw2->CreateSurface(&desc, &zBuffer, nullptr);
  }
  if (FAILED(hr)) return noZBuffer();
  hr = zBuffer->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&zBuffer3));
  if (FAILED(hr)) return noZBuffer();
  return attachZBuffer();
}

HRESULT CALLBACK RenderDevice::acceptTextureFormat(DDPIXELFORMAT* format, void* context) {
  if (format->dwFlags & UNWANTED_TEXTURE_FLAGS) return D3DENUMRET_OK;
  // A 15-bit format serves a 16-bit display.
  if (format->dwRGBBitCount != displayBitDepth && format->dwRGBBitCount != displayBitDepth - 1) {
    return D3DENUMRET_OK;
  }
  *static_cast<DDPIXELFORMAT*>(context) = *format;
  return D3DENUMRET_CANCEL;
}

HRESULT RenderDevice::createDevice() {
  undoZBufferFallback();
  if (!useDx6 && !useDx5) return S_OK;
  DWORD width = 0;
  DWORD bitsPerPixel = 0;
  HRESULT hr = getDisplayMode(width, bitsPerPixel);
  if (FAILED(hr)) return hr;
  if (bitsPerPixel <= PALETTE_DISPLAY_BITS) return DDERR_INVALIDMODE;

  if (useDx6) {
    if (useHardware) {
      hr = direct3D3->CreateDevice(deviceGuid, backBuffer4, &device3, nullptr);
      if (FAILED(hr)) {
        // The z-buffer was made for the hardware device: make it again for
        // the software one. This fallback lasts until the program ends.
        switchToSoftware();
        releaseZBuffer();
        createZBuffer();
        hr = direct3D3->CreateDevice(IID_IDirect3DRGBDevice, backBuffer4, &device3, nullptr);
        if (FAILED(hr)) return hr;
      }
    } else {
      deviceGuid = IID_IDirect3DRGBDevice;
      hr = direct3D3->CreateDevice(deviceGuid, backBuffer4, &device3, nullptr);
      if (FAILED(hr)) return hr;
    }

    textureFormat = DDPIXELFORMAT{};
    hr = device3->EnumTextureFormats(acceptTextureFormat, &textureFormat);
    if (SUCCEEDED(hr) && textureFormat.dwSize == sizeof(DDPIXELFORMAT)) return hr;
    if (useHardware) {
      switchToSoftware();
      releaseZBuffer();
      createZBuffer();
      releaseInterface(device3);
      hr = direct3D3->CreateDevice(IID_IDirect3DRGBDevice, backBuffer4, &device3, nullptr);
      if (FAILED(hr)) return hr;
      textureFormat = DDPIXELFORMAT{};
      hr = device3->EnumTextureFormats(acceptTextureFormat, &textureFormat);
    }
    if (textureFormat.dwSize == sizeof(DDPIXELFORMAT)) return hr;
    return E_FAIL;
  }

  if (useHardware) {
    hr = direct3D2->CreateDevice(deviceGuid, backBuffer, &device2);
    if (SUCCEEDED(hr)) return hr;
    // The z-buffer was made for the hardware device, in video memory; the
    // software device needs its own in system memory.
    switchToSoftware();
    releaseZBuffer();
    if (useZBuffer) createZBuffer5();
    retryHardware = true;
    return direct3D2->CreateDevice(IID_IDirect3DRGBDevice, backBuffer, &device2);
  }
  deviceGuid = IID_IDirect3DRGBDevice;
  return direct3D2->CreateDevice(deviceGuid, backBuffer, &device2);
}

HRESULT RenderDevice::createViewport() {
  const LONG width = clientRect.right - clientRect.left;
  const LONG height = clientRect.bottom - clientRect.top;
  // x runs from -1 to 1 across the width and y from h/w to -h/w down the
  // height, so pixels stay square.
  D3DVIEWPORT2 viewport{};
  viewport.dwSize = sizeof(viewport);
  viewport.dwX = 0;
  viewport.dwY = 0;
  viewport.dwWidth = width;
  viewport.dwHeight = height;
  viewport.dvClipX = -1.0f;
  viewport.dvClipWidth = 2.0f;
  viewport.dvClipHeight = static_cast<float>(2.0L * height / width);
  viewport.dvClipY = viewport.dvClipHeight * 0.5f;
  viewport.dvMinZ = 0.0f;
  viewport.dvMaxZ = 1.0f;

  if (useDx6) {
    HRESULT hr = direct3D3->CreateViewport(&viewport3, nullptr);
    if (FAILED(hr)) return hr;
    device3->AddViewport(viewport3);
    viewport3->SetViewport2(&viewport);
    device3->SetCurrentViewport(viewport3);
    return hr;
  }
  if (useDx5) {
    HRESULT hr = direct3D2->CreateViewport(&viewport2, nullptr);
    if (FAILED(hr)) return hr;
    hr = device2->AddViewport(viewport2);
    if (FAILED(hr)) return hr;
    hr = viewport2->SetViewport2(&viewport);
    if (FAILED(hr)) return hr;
    return device2->SetCurrentViewport(viewport2);
  }
  return S_OK;
}

void RenderDevice::resetMatrices() {
  view = D3DMATRIX{};
  view._11 = view._22 = view._33 = view._44 = 1.0f;
  // x' = 2x/z, y' = 2y/z, depth 1 - 1/z: near plane at z = 1, depth tends
  // to 1 at infinity, horizontal field of view 2 atan(1/2).
  projection = D3DMATRIX{};
  projection._11 = 2.0f;
  projection._22 = 2.0f;
  projection._33 = 1.0f;
  projection._34 = 1.0f;
  projection._43 = -1.0f;
}

void RenderDevice::applyViewProjection() {
  if (useDx6) {
    if (!device3) return;
    device3->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    device3->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
  } else if (useDx5) {
    if (!device2) return;
    device2->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    device2->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
  }
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

void RenderDevice::releaseMaterial() {
  releaseInterface(material2);
  releaseInterface(material3);
}

void RenderDevice::releaseAllLights() {
  for (int slot = 0; slot < MAX_LIGHTS; ++slot) releaseLight(slot);
}

void RenderDevice::releaseViewport() {
  releaseInterface(viewport3);
  releaseInterface(viewport2);
}

void RenderDevice::releaseDevice() {
  releaseInterface(device3);
  releaseInterface(device2);
}

void RenderDevice::releaseZBuffer() {
  if (zBuffer4) {
    if (backBuffer4) backBuffer4->DeleteAttachedSurface(0, zBuffer4);
    releaseInterface(zBuffer4);
  }
  releaseInterface(zBuffer);
  if (zBuffer3) {
    if (backBuffer3) backBuffer3->DeleteAttachedSurface(0, zBuffer3);
    releaseInterface(zBuffer3);
  }
}

void RenderDevice::releaseDirect3D() {
  releaseInterface(direct3D3);
  releaseInterface(direct3D2);
}

void RenderDevice::releaseBackBuffer() {
  releaseInterface(backBuffer4);
  releaseInterface(backBuffer);
  releaseInterface(backBuffer3);
}

void RenderDevice::releasePrimary() {
  // The window clipper goes with the primary surface that holds it.
  releaseInterface(primary4);
  releaseInterface(primary);
  releaseInterface(primary3);
}

void RenderDevice::releaseDirectDraw() {
  releaseInterface(directDraw4);
  releaseInterface(directDraw2);
  releaseInterface(directDraw);
}
