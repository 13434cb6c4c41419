// What the RenderDevice makes for the render window's size, and makes again
// when it changes: the back buffer, Direct3D, the z-buffer (hardware to
// software device, video to system memory, z-buffer to none), the Direct3D
// device and the viewport, each beside its release; and resize, which
// releases and rebuilds them.
#include "device/generations.h"

#include <cstring>

namespace {

constexpr DWORD BACK_BUFFER_CAPS = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
constexpr DWORD VIDEO_ZBUFFER_CAPS = DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY;
constexpr DWORD SYSTEM_ZBUFFER_CAPS = DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY;
constexpr DWORD SIZED_SURFACE = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;

// Palettised displays are refused.
constexpr DWORD PALETTE_DISPLAY_BITS = 8;
// The depth of a z-buffer for the software device on the DirectX 5 path.
constexpr DWORD SOFTWARE_ZBUFFER_BITS = 16;

// Texture formats that cannot serve: palettised or with an alpha channel.
constexpr DWORD UNWANTED_TEXTURE_FLAGS = DDPF_PALETTEINDEXED8 | DDPF_PALETTEINDEXED4 | DDPF_ALPHAPIXELS;

bool sameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// One channel of a packed D3DCOLOR: the float times 255, truncated.
DWORD colourByte(float channel) {
  return static_cast<DWORD>(static_cast<int>(channel * 255.0)) & 0xFF;
}

// Takes the z-buffer off the back buffer, when both exist, and releases it.
template <class Surface>
void detachAndRelease(Surface* backBuffer, Surface*& zBuffer) {
  if (zBuffer && backBuffer) backBuffer->DeleteAttachedSurface(0, zBuffer);
  releaseInterface(zBuffer);
}

// A surface description of the given capabilities and size.
template <class SurfaceDesc>
SurfaceDesc sizedSurface(DWORD caps, const RECT& area) {
  SurfaceDesc desc{};
  desc.dwSize = sizeof(desc);
  desc.dwFlags = SIZED_SURFACE;
  desc.dwWidth = area.right - area.left;
  desc.dwHeight = area.bottom - area.top;
  desc.ddsCaps.dwCaps = caps;
  return desc;
}

}  // namespace

HRESULT RenderDevice::resize() {
  // Only a device that once started can rebuild; one whose last rebuild
  // failed or found no area tries again here.
  if (!started) return S_OK;
  releaseLights();
  releaseViewport();
  releaseDevice();
  releaseZBuffer();
  releaseDirect3D();
  releaseBackBuffer();
  ready = false;

  // A minimised window has no client area; nothing can be built for it, so
  // wait for the resize that restores it.
  RECT area{};
  GetClientRect(window, &area);
  if (area.right - area.left <= 0 || area.bottom - area.top <= 0) return S_OK;

  HRESULT (RenderDevice::*const steps[])() = {
      &RenderDevice::createBackBuffer, &RenderDevice::createClipper,
      &RenderDevice::createDirect3D,   &RenderDevice::createZBuffer,
      &RenderDevice::createDevice,     &RenderDevice::createViewport,
      &RenderDevice::recreateLights,
  };
  HRESULT hr = S_OK;
  for (auto step : steps) {
    hr = (this->*step)();
    if (FAILED(hr)) return hr;
  }
  ready = true;
  // The ambient colour first, so that a caller's own ambient state, set
  // again with the others, wins over it.
  applyLightState(D3DLIGHTSTATE_AMBIENT, packedAmbient());
  restoreStates();
  applyViewProjection();
  return hr;
}

DWORD RenderDevice::packedAmbient() const {
  return colourByte(ambient[3]) << 24 | colourByte(ambient[0]) << 16 |
         colourByte(ambient[1]) << 8 | colourByte(ambient[2]);
}

HRESULT RenderDevice::createBackBuffer() {
  GetClientRect(window, &screenRect);
  clientRect = screenRect;
  POINT topLeft{screenRect.left, screenRect.top};
  POINT bottomRight{screenRect.right, screenRect.bottom};
  ClientToScreen(window, &topLeft);
  ClientToScreen(window, &bottomRight);
  SetRect(&screenRect, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);

  return onPath(*this, E_FAIL, [&](auto path) {
    auto desc = sizedSurface<typename decltype(path)::G::SurfaceDesc>(BACK_BUFFER_CAPS, screenRect);
    return path.createSurface(desc, path.createdBackBuffer, path.backBuffer);
  });
}

void RenderDevice::releaseBackBuffer() {
  releaseInterface(backBuffer4, backBuffer, backBuffer3);
}

HRESULT RenderDevice::createDirect3D() {
  return onPath(*this, E_FAIL, [](auto path) {
    using G = typename decltype(path)::G;
    return path.directDraw->QueryInterface(G::DIRECT3D_IID,
                                           reinterpret_cast<void**>(&path.direct3D));
  });
}

void RenderDevice::releaseDirect3D() {
  releaseInterface(direct3D3, direct3D2);
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

// Makes the z-buffer surface on the given path, in system memory when video
// memory is full, and attaches it to the back buffer; without it the device
// goes on without a z-buffer.
template <class SomePath, class SurfaceDesc>
HRESULT RenderDevice::createZBufferSurface(SomePath path, SurfaceDesc& desc) {
  HRESULT hr = path.directDraw->CreateSurface(&desc, &path.createdZBuffer, nullptr);
  if (hr == DDERR_OUTOFVIDEOMEMORY) {
    desc.ddsCaps.dwCaps = SYSTEM_ZBUFFER_CAPS;
    hr = path.directDraw->CreateSurface(&desc, &path.createdZBuffer, nullptr);
  }
  if (FAILED(hr) || FAILED(path.useSurface(path.createdZBuffer, path.zBuffer))) return noZBuffer();
  return attachZBuffer();
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

HRESULT RenderDevice::createZBuffer() {
  undoZBufferFallback();
  if (!useZBuffer) return S_OK;
  if (useDx6) return createZBuffer6();
  if (useDx5) {
    // A hardware device that offers no depth gets a z-buffer made for the
    // software device, and is tried again with it.
    if (deviceEnumeration.chosenDeviceDesc.dwDeviceZBufferBitDepth == 0) {
      switchToSoftware();
      retryHardware = true;
    }
    return createZBuffer5();
  }
  return S_OK;
}

// The DirectX 6 z-buffer in the first plain depth format of the device
// deviceGuid names; a hardware device without one has the software device's.
HRESULT RenderDevice::createZBuffer6() {
  DDPIXELFORMAT format{};
  HRESULT hr = direct3D3->EnumZBufferFormats(deviceGuid, acceptZBufferFormat, &format);
  if (hr == DDERR_NOZBUFFERHW) {
    switchToSoftware();
    retryHardware = true;
    hr = direct3D3->EnumZBufferFormats(deviceGuid, acceptZBufferFormat, &format);
  }
  if (hr == E_OUTOFMEMORY || format.dwSize != sizeof(DDPIXELFORMAT)) return noZBuffer();

  const bool hardware = sameGuid(deviceGuid, IID_IDirect3DHALDevice);
  auto desc = sizedSurface<DDSURFACEDESC2>(hardware ? VIDEO_ZBUFFER_CAPS : SYSTEM_ZBUFFER_CAPS,
                                           screenRect);
  desc.dwFlags |= DDSD_PIXELFORMAT;
  desc.ddpfPixelFormat = format;
  return createZBufferSurface(directX6Path(*this), desc);
}

// The DirectX 5 z-buffer for the device deviceGuid names: the hardware
// device's shallowest depth in video memory, or 16 bits in system memory
// for a software device.
HRESULT RenderDevice::createZBuffer5() {
  const bool hardware = sameGuid(deviceGuid, IID_IDirect3DHALDevice);
  auto desc = sizedSurface<DDSURFACEDESC>(hardware ? VIDEO_ZBUFFER_CAPS : SYSTEM_ZBUFFER_CAPS,
                                          screenRect);
  desc.dwFlags |= DDSD_ZBUFFERBITDEPTH;
  desc.dwZBufferBitDepth =
      hardware ? zBufferBitsFromDepthFlags(deviceEnumeration.chosenDeviceDesc.dwDeviceZBufferBitDepth)
               : SOFTWARE_ZBUFFER_BITS;
  return createZBufferSurface(directX5Path(*this), desc);
}

HRESULT RenderDevice::attachZBuffer() {
  return onPath(*this, S_OK, [&](auto path) {
    HRESULT hr = path.backBuffer->AddAttachedSurface(path.zBuffer);
    if (hr == DDERR_SURFACEALREADYATTACHED) return S_OK;
    if (hr == DDERR_CANNOTATTACHSURFACE) {
      // A z-buffer the back buffer does not take is no z-buffer: keeping it
      // would have every clear ask for a depth clear the device cannot do.
      releaseInterface(zBuffer4, zBuffer3, zBuffer);
      return noZBuffer();
    }
    if (hr == DDERR_SURFACELOST) {
      path.backBuffer->Restore();
      return path.backBuffer->AddAttachedSurface(path.zBuffer);
    }
    return hr;
  });
}

// The z-buffer was made for the hardware device; the software device that
// replaces it needs its own, in system memory. The device is made either way:
// a z-buffer the back buffer would not take is no z-buffer, released, so
// that no clear asks for a depth clear the device cannot do.
void RenderDevice::remakeZBufferForSoftware() {
  releaseZBuffer();
  if (!useZBuffer) return;
  const HRESULT hr = useDx6 ? createZBuffer6() : createZBuffer5();
  if (FAILED(hr)) {
    releaseZBuffer();
    noZBuffer();
  }
}

void RenderDevice::releaseZBuffer() {
  detachAndRelease(backBuffer4, zBuffer4);
  releaseInterface(zBuffer);
  detachAndRelease(backBuffer3, zBuffer3);
}

HRESULT CALLBACK RenderDevice::acceptTextureFormat(DDPIXELFORMAT* format, void* context) {
  if (format->dwFlags & UNWANTED_TEXTURE_FLAGS) return D3DENUMRET_OK;
  // A 15-bit format serves a 16-bit display.
  const DWORD displayBits = deviceEnumeration.displayBitDepth;
  if (format->dwRGBBitCount != displayBits && format->dwRGBBitCount != displayBits - 1) {
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
  return useDx6 ? createDevice6() : createDevice5();
}

// The DirectX 6 device: hardware while it can be made and offers a texture
// format for the display, the software RGB device for good otherwise.
HRESULT RenderDevice::createDevice6() {
  HRESULT hr;
  if (useHardware) {
    hr = direct3D3->CreateDevice(deviceGuid, backBuffer4, &device3, nullptr);
    if (FAILED(hr)) {
      switchToSoftware();
      remakeZBufferForSoftware();
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
    remakeZBufferForSoftware();
    releaseInterface(device3);
    hr = direct3D3->CreateDevice(IID_IDirect3DRGBDevice, backBuffer4, &device3, nullptr);
    if (FAILED(hr)) return hr;
    textureFormat = DDPIXELFORMAT{};
    hr = device3->EnumTextureFormats(acceptTextureFormat, &textureFormat);
  }
  if (textureFormat.dwSize == sizeof(DDPIXELFORMAT)) return hr;
  return E_FAIL;
}

// The DirectX 5 device: hardware when it can be made; otherwise the software
// RGB device, and the hardware device is tried again at the next rebuild.
HRESULT RenderDevice::createDevice5() {
  if (!useHardware) {
    deviceGuid = IID_IDirect3DRGBDevice;
    return direct3D2->CreateDevice(deviceGuid, backBuffer, &device2);
  }
  const HRESULT hr = direct3D2->CreateDevice(deviceGuid, backBuffer, &device2);
  if (SUCCEEDED(hr)) return hr;
  switchToSoftware();
  remakeZBufferForSoftware();
  retryHardware = true;
  return direct3D2->CreateDevice(IID_IDirect3DRGBDevice, backBuffer, &device2);
}

void RenderDevice::releaseDevice() {
  releaseInterface(device3, device2);
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

  return onPath(*this, S_OK, [&](auto path) {
    // DirectX 6 counts only the viewport's creation; DirectX 5 each step.
    const bool eachStepCounts = !decltype(path)::DIRECTX_6;
    const HRESULT created = path.direct3D->CreateViewport(&path.viewport, nullptr);
    if (FAILED(created)) return created;
    HRESULT hr = path.device->AddViewport(path.viewport);
    if (FAILED(hr) && eachStepCounts) return hr;
    hr = path.viewport->SetViewport2(&viewport);
    if (FAILED(hr) && eachStepCounts) return hr;
    hr = path.device->SetCurrentViewport(path.viewport);
    return eachStepCounts ? hr : created;
  });
}

void RenderDevice::releaseViewport() {
  releaseInterface(viewport3, viewport2);
}
