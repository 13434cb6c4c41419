// The fake DirectDraw object (IDirectDraw, IDirectDraw2, IDirectDraw4), its
// surfaces (IDirectDrawSurface, IDirectDrawSurface3, IDirectDrawSurface4) and
// clippers, behind the device's DirectDraw creation function.
#include "testing/fake_objects.h"

extern FakeState* currentFakes;

namespace {

void keepDesc(FakeCall& call, const DDSURFACEDESC& desc) { call.desc = desc; }
void keepDesc(FakeCall& call, const DDSURFACEDESC2& desc) { call.desc2 = desc; }

DWORD zBufferDepthOf(const DDSURFACEDESC& desc) {
  if (desc.dwFlags & DDSD_ZBUFFERBITDEPTH) return desc.dwZBufferBitDepth;
  if (desc.dwFlags & DDSD_PIXELFORMAT) return desc.ddpfPixelFormat.dwZBufferBitDepth;
  return 0;
}

DWORD zBufferDepthOf(const DDSURFACEDESC2& desc) {
  if (desc.dwFlags & DDSD_PIXELFORMAT) return desc.ddpfPixelFormat.dwZBufferBitDepth;
  return 0;
}

template <class Desc>
void describeSurface(const FakeSurface& surface, Desc& desc) {
  const DWORD size = desc.dwSize;
  desc = Desc{};
  desc.dwSize = size;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  desc.dwWidth = surface.width;
  desc.dwHeight = surface.height;
  desc.ddpfPixelFormat = surface.format;
  desc.ddsCaps.dwCaps = surface.caps;
}

// ---- Surfaces ------------------------------------------------------------

template <class Interface, class Desc, class Caps, class EnumCallback>
struct SurfaceFacetCommon : Facet<Interface> {
  FakeSurface& self() { return static_cast<FakeSurface&>(*this->object); }

  STDMETHODIMP AddAttachedSurface(Interface* attachment) override {
    FakeCall& call = this->record("AddAttachedSurface", {this->world().idOf(attachment)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(attachment, "AddAttachedSurface");
    if (!facet) return call.result = DDERR_INVALIDPARAMS;
    auto& other = static_cast<FakeSurface&>(*facet->object);
    if (self().lost || other.lost) return call.result = DDERR_SURFACELOST;
    for (FacetBase* existing : self().attached) {
      if (existing->object == &other) return call.result = DDERR_SURFACEALREADYATTACHED;
    }
    if (!(other.caps & DDSCAPS_ZBUFFER) || other.width != self().width ||
        other.height != self().height) {
      return call.result = DDERR_CANNOTATTACHSURFACE;
    }
    facet->hold();
    self().attached.push_back(facet);
    return call.result;
  }

  STDMETHODIMP DeleteAttachedSurface(DWORD flags, Interface* attachment) override {
    FakeCall& call =
        this->record("DeleteAttachedSurface", {flags, this->world().idOf(attachment)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(attachment, "DeleteAttachedSurface");
    if (!letGoOf(self().attached, facet)) return call.result = DDERR_SURFACENOTATTACHED;
    return call.result;
  }

  STDMETHODIMP Blt(LPRECT destination, Interface* source, LPRECT sourceRect, DWORD flags,
                   LPDDBLTFX effects) override {
    FakeCall& call = this->record("Blt", {this->world().idOf(source), flags});
    call.hasDestination = destination != nullptr;
    call.hasSource = sourceRect != nullptr;
    if (destination) call.destination = *destination;
    if (sourceRect) call.source = *sourceRect;
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(source, "Blt");
    if (!facet && !effects) return call.result = DDERR_INVALIDPARAMS;
    auto* from = facet ? static_cast<FakeSurface*>(facet->object) : nullptr;
    if (self().lost || (from && from->lost)) return call.result = DDERR_SURFACELOST;
    if (from && sourceRect &&
        (sourceRect->left < 0 || sourceRect->top < 0 || sourceRect->right > LONG(from->width) ||
         sourceRect->bottom > LONG(from->height) || sourceRect->left >= sourceRect->right ||
         sourceRect->top >= sourceRect->bottom)) {
      return call.result = DDERR_INVALIDRECT;
    }
    return call.result;
  }

  STDMETHODIMP GetDC(HDC* dc) override {
    FakeCall& call = this->record("GetDC");
    if (FAILED(call.result)) return call.result;
    FakeSurface& surface = self();
    if (surface.lost) return call.result = DDERR_SURFACELOST;
    if (surface.dc) return call.result = DDERR_DCALREADYCREATED;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = LONG(surface.width ? surface.width : 1);
    info.bmiHeader.biHeight = -LONG(surface.height ? surface.height : 1);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    surface.dc = CreateCompatibleDC(nullptr);
    surface.bitmap = CreateDIBSection(surface.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    surface.previousBitmap = SelectObject(surface.dc, surface.bitmap);
    *dc = surface.dc;
    return call.result;
  }

  STDMETHODIMP ReleaseDC(HDC dc) override {
    FakeCall& call = this->record("ReleaseDC");
    if (FAILED(call.result)) return call.result;
    if (!self().dc || dc != self().dc) return call.result = DDERR_INVALIDPARAMS;
    self().releaseDc();
    return call.result;
  }

  STDMETHODIMP IsLost() override {
    FakeCall& call = this->record("IsLost");
    if (FAILED(call.result)) return call.result;
    return call.result = self().lost ? DDERR_SURFACELOST : DD_OK;
  }

  STDMETHODIMP Restore() override {
    FakeCall& call = this->record("Restore");
    if (FAILED(call.result)) return call.result;
    self().lost = false;
    return call.result;
  }

  STDMETHODIMP SetClipper(LPDIRECTDRAWCLIPPER clipper) override {
    FakeCall& call = this->record("SetClipper", {this->world().idOf(clipper)});
    if (FAILED(call.result)) return call.result;
    FacetBase* facet = this->world().find(clipper, "SetClipper");
    if (facet) facet->hold();
    letGoOf(self().clipper);
    self().clipper = facet;
    return call.result;
  }

  STDMETHODIMP GetClipper(LPDIRECTDRAWCLIPPER* clipper) override {
    FakeCall& call = this->record("GetClipper");
    *clipper = nullptr;
    if (FAILED(call.result)) return call.result;
    if (!self().clipper) return call.result = DDERR_NOCLIPPERATTACHED;
    self().clipper->hold();
    *clipper = static_cast<IDirectDrawClipper*>(self().clipper->pointer());
    return call.result;
  }

  STDMETHODIMP GetSurfaceDesc(Desc* desc) override {
    FakeCall& call = this->record("GetSurfaceDesc");
    if (FAILED(call.result)) return call.result;
    if (!desc || desc->dwSize != sizeof(Desc)) return call.result = DDERR_INVALIDPARAMS;
    describeSurface(self(), *desc);
    return call.result;
  }

  FAKE_UNEXPECTED(AddOverlayDirtyRect, (LPRECT))
  FAKE_UNEXPECTED(BltBatch, (LPDDBLTBATCH, DWORD, DWORD))
  FAKE_UNEXPECTED(BltFast, (DWORD, DWORD, Interface*, LPRECT, DWORD))
  FAKE_UNEXPECTED(EnumAttachedSurfaces, (LPVOID, EnumCallback))
  FAKE_UNEXPECTED(EnumOverlayZOrders, (DWORD, LPVOID, EnumCallback))
  FAKE_UNEXPECTED(Flip, (Interface*, DWORD))
  FAKE_UNEXPECTED(GetAttachedSurface, (Caps*, Interface**))
  FAKE_UNEXPECTED(GetBltStatus, (DWORD))
  FAKE_UNEXPECTED(GetCaps, (Caps*))
  FAKE_UNEXPECTED(GetColorKey, (DWORD, LPDDCOLORKEY))
  FAKE_UNEXPECTED(GetFlipStatus, (DWORD))
  FAKE_UNEXPECTED(GetOverlayPosition, (LPLONG, LPLONG))
  FAKE_UNEXPECTED(GetPalette, (LPDIRECTDRAWPALETTE*))
  FAKE_UNEXPECTED(GetPixelFormat, (LPDDPIXELFORMAT))
  FAKE_UNEXPECTED(Initialize, (LPDIRECTDRAW, Desc*))
  FAKE_UNEXPECTED(Lock, (LPRECT, Desc*, DWORD, HANDLE))
  FAKE_UNEXPECTED(SetColorKey, (DWORD, LPDDCOLORKEY))
  FAKE_UNEXPECTED(SetOverlayPosition, (LONG, LONG))
  FAKE_UNEXPECTED(SetPalette, (LPDIRECTDRAWPALETTE))
  FAKE_UNEXPECTED(UpdateOverlay, (LPRECT, Interface*, LPRECT, DWORD, LPDDOVERLAYFX))
  FAKE_UNEXPECTED(UpdateOverlayDisplay, (DWORD))
  FAKE_UNEXPECTED(UpdateOverlayZOrder, (DWORD, Interface*))
};

struct SurfaceFacet : SurfaceFacetCommon<IDirectDrawSurface, DDSURFACEDESC, DDSCAPS,
                                         LPDDENUMSURFACESCALLBACK> {
  static constexpr const char* NAME = "IDirectDrawSurface";
  FAKE_UNEXPECTED(Unlock, (LPVOID))
};

struct Surface3Facet : SurfaceFacetCommon<IDirectDrawSurface3, DDSURFACEDESC, DDSCAPS,
                                          LPDDENUMSURFACESCALLBACK> {
  static constexpr const char* NAME = "IDirectDrawSurface3";
  FAKE_UNEXPECTED(Unlock, (LPVOID))
  FAKE_UNEXPECTED(GetDDInterface, (LPVOID*))
  FAKE_UNEXPECTED(PageLock, (DWORD))
  FAKE_UNEXPECTED(PageUnlock, (DWORD))
  FAKE_UNEXPECTED(SetSurfaceDesc, (LPDDSURFACEDESC, DWORD))
};

struct Surface4Facet : SurfaceFacetCommon<IDirectDrawSurface4, DDSURFACEDESC2, DDSCAPS2,
                                          LPDDENUMSURFACESCALLBACK2> {
  static constexpr const char* NAME = "IDirectDrawSurface4";
  FAKE_UNEXPECTED(Unlock, (LPRECT))
  FAKE_UNEXPECTED(GetDDInterface, (LPVOID*))
  FAKE_UNEXPECTED(PageLock, (DWORD))
  FAKE_UNEXPECTED(PageUnlock, (DWORD))
  FAKE_UNEXPECTED(SetSurfaceDesc, (LPDDSURFACEDESC2, DWORD))
  FAKE_UNEXPECTED(SetPrivateData, (REFGUID, LPVOID, DWORD, DWORD))
  FAKE_UNEXPECTED(GetPrivateData, (REFGUID, LPVOID, LPDWORD))
  FAKE_UNEXPECTED(FreePrivateData, (REFGUID))
  FAKE_UNEXPECTED(GetUniquenessValue, (LPDWORD))
  FAKE_UNEXPECTED(ChangeUniquenessValue, ())
};

// ---- Clipper -----------------------------------------------------------

struct ClipperFacet : Facet<IDirectDrawClipper> {
  static constexpr const char* NAME = "IDirectDrawClipper";
  FakeClipper& self() { return static_cast<FakeClipper&>(*object); }

  STDMETHODIMP SetHWnd(DWORD flags, HWND window) override {
    FakeCall& call = record("SetHWnd", {flags});
    call.window = window;
    if (FAILED(call.result)) return call.result;
    self().window = window;
    return call.result;
  }

  STDMETHODIMP GetHWnd(HWND* window) override {
    FakeCall& call = record("GetHWnd");
    if (FAILED(call.result)) return call.result;
    *window = self().window;
    return call.result;
  }

  FAKE_UNEXPECTED(GetClipList, (LPRECT, LPRGNDATA, LPDWORD))
  FAKE_UNEXPECTED(Initialize, (LPDIRECTDRAW, DWORD))
  FAKE_UNEXPECTED(IsClipListChanged, (BOOL*))
  FAKE_UNEXPECTED(SetClipList, (LPRGNDATA, DWORD))
};

// ---- DirectDraw --------------------------------------------------------

template <class Interface, class Desc, class SurfaceInterface, class SurfaceFacetType,
          class ModesCallback, class SurfacesCallback>
struct DirectDrawFacetCommon : Facet<Interface> {
  FakeDirectDrawObject& self() { return static_cast<FakeDirectDrawObject&>(*this->object); }
  FakeDirectX& script() { return this->world().script; }

  STDMETHODIMP SetCooperativeLevel(HWND window, DWORD flags) override {
    FakeCall& call = this->record("SetCooperativeLevel", {flags});
    call.window = window;
    if (FAILED(call.result)) return call.result;
    self().cooperativeLevelSet = true;
    return call.result;
  }

  STDMETHODIMP CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override {
    FakeCall& call = this->record("CreateClipper", {flags, this->world().idOf(outer)});
    return this->world().template create<FakeClipper, ClipperFacet>(call, clipper);
  }

  STDMETHODIMP CreateSurface(Desc* desc, SurfaceInterface** surface, IUnknown* outer) override {
    FakeCall& call = this->record("CreateSurface", {this->world().idOf(outer)});
    if (desc) keepDesc(call, *desc);
    *surface = nullptr;
    if (FAILED(call.result)) return call.result;
    if (!desc || desc->dwSize != sizeof(Desc)) return call.result = DDERR_INVALIDPARAMS;
    if (!self().cooperativeLevelSet) return call.result = DDERR_NOCOOPERATIVELEVELSET;
    if (!(desc->dwFlags & DDSD_CAPS)) return call.result = DDERR_INVALIDPARAMS;
    const DWORD caps = desc->ddsCaps.dwCaps;
    const bool sized = (desc->dwFlags & DDSD_WIDTH) && (desc->dwFlags & DDSD_HEIGHT);

    std::string role = "surface";
    if (caps & DDSCAPS_PRIMARYSURFACE) {
      role = "primary";
      if (sized) return call.result = DDERR_INVALIDPARAMS;
      for (auto& object : this->world().objects) {
        auto* other = dynamic_cast<FakeSurface*>(object.get());
        if (other && !other->gone && other->role == "primary") {
          return call.result = DDERR_PRIMARYSURFACEALREADYEXISTS;
        }
      }
    } else {
      if (!sized || desc->dwWidth == 0 || desc->dwHeight == 0) {
        return call.result = DDERR_INVALIDPARAMS;
      }
      if (caps & DDSCAPS_ZBUFFER) {
        role = "z-buffer";
        if (zBufferDepthOf(*desc) == 0) return call.result = DDERR_INVALIDPIXELFORMAT;
      } else if (caps & DDSCAPS_3DDEVICE) {
        role = "back buffer";
      }
    }
    if ((caps & DDSCAPS_VIDEOMEMORY) && script().videoMemoryFull) {
      return call.result = DDERR_OUTOFVIDEOMEMORY;
    }

    auto& made = this->world().template make<FakeSurface>();
    made.role = role;
    made.fromDirectDraw4 = sizeof(Desc) == sizeof(DDSURFACEDESC2);
    made.caps = caps;
    if (caps & DDSCAPS_PRIMARYSURFACE) {
      made.width = script().displayWidth;
      made.height = script().displayHeight;
    } else {
      made.width = desc->dwWidth;
      made.height = desc->dwHeight;
    }
    made.zBufferBits = zBufferDepthOf(*desc);
    made.format = (desc->dwFlags & DDSD_PIXELFORMAT) ? desc->ddpfPixelFormat
                                                     : fakeRgbFormat(script().displayBits);
    made.template handOut<SurfaceFacetType>(surface);
    call.made = made.id;
    return call.result;
  }

  STDMETHODIMP GetDisplayMode(Desc* desc) override {
    FakeCall& call = this->record("GetDisplayMode");
    if (FAILED(call.result)) return call.result;
    if (!desc || desc->dwSize != sizeof(Desc)) return call.result = DDERR_INVALIDPARAMS;
    const DWORD size = desc->dwSize;
    *desc = Desc{};
    desc->dwSize = size;
    desc->dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_PITCH | DDSD_REFRESHRATE;
    desc->dwWidth = script().displayWidth;
    desc->dwHeight = script().displayHeight;
    desc->lPitch = LONG(script().displayWidth * ((script().displayBits + 7) / 8));
    desc->dwRefreshRate = 60;
    desc->ddpfPixelFormat = fakeRgbFormat(script().displayBits, script().displayBits <= 8
                                                                    ? DDPF_PALETTEINDEXED8
                                                                    : 0);
    keepDesc(call, *desc);
    return call.result;
  }

  FAKE_UNEXPECTED(Compact, ())
  FAKE_UNEXPECTED(CreatePalette, (DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*))
  FAKE_UNEXPECTED(DuplicateSurface, (SurfaceInterface*, SurfaceInterface**))
  FAKE_UNEXPECTED(EnumDisplayModes, (DWORD, Desc*, LPVOID, ModesCallback))
  FAKE_UNEXPECTED(EnumSurfaces, (DWORD, Desc*, LPVOID, SurfacesCallback))
  FAKE_UNEXPECTED(FlipToGDISurface, ())
  FAKE_UNEXPECTED(GetCaps, (LPDDCAPS, LPDDCAPS))
  FAKE_UNEXPECTED(GetFourCCCodes, (LPDWORD, LPDWORD))
  FAKE_UNEXPECTED(GetGDISurface, (SurfaceInterface**))
  FAKE_UNEXPECTED(GetMonitorFrequency, (LPDWORD))
  FAKE_UNEXPECTED(GetScanLine, (LPDWORD))
  FAKE_UNEXPECTED(GetVerticalBlankStatus, (BOOL*))
  FAKE_UNEXPECTED(Initialize, (GUID*))
  FAKE_UNEXPECTED(RestoreDisplayMode, ())
  FAKE_UNEXPECTED(WaitForVerticalBlank, (DWORD, HANDLE))
};

struct DirectDrawFacet
    : DirectDrawFacetCommon<IDirectDraw, DDSURFACEDESC, IDirectDrawSurface, SurfaceFacet,
                            LPDDENUMMODESCALLBACK, LPDDENUMSURFACESCALLBACK> {
  static constexpr const char* NAME = "IDirectDraw";
  FAKE_UNEXPECTED(SetDisplayMode, (DWORD, DWORD, DWORD))
};

struct DirectDraw2Facet
    : DirectDrawFacetCommon<IDirectDraw2, DDSURFACEDESC, IDirectDrawSurface, SurfaceFacet,
                            LPDDENUMMODESCALLBACK, LPDDENUMSURFACESCALLBACK> {
  static constexpr const char* NAME = "IDirectDraw2";
  FAKE_UNEXPECTED(SetDisplayMode, (DWORD, DWORD, DWORD, DWORD, DWORD))
  FAKE_UNEXPECTED(GetAvailableVidMem, (LPDDSCAPS, LPDWORD, LPDWORD))
};

struct DirectDraw4Facet
    : DirectDrawFacetCommon<IDirectDraw4, DDSURFACEDESC2, IDirectDrawSurface4, Surface4Facet,
                            LPDDENUMMODESCALLBACK2, LPDDENUMSURFACESCALLBACK2> {
  static constexpr const char* NAME = "IDirectDraw4";
  FAKE_UNEXPECTED(SetDisplayMode, (DWORD, DWORD, DWORD, DWORD, DWORD))
  FAKE_UNEXPECTED(GetAvailableVidMem, (LPDDSCAPS2, LPDWORD, LPDWORD))
  FAKE_UNEXPECTED(GetSurfaceFromDC, (HDC, LPDIRECTDRAWSURFACE4*))
  FAKE_UNEXPECTED(RestoreAllSurfaces, ())
  FAKE_UNEXPECTED(TestCooperativeLevel, ())
  FAKE_UNEXPECTED(GetDeviceIdentifier, (LPDDDEVICEIDENTIFIER, DWORD))
};

}  // namespace

FacetBase* FakeDirectDrawObject::facetFor(const IID& iid) {
  if (sameGuid(iid, IID_IDirectDraw)) return facet<DirectDrawFacet>();
  if (sameGuid(iid, IID_IDirectDraw2)) return facet<DirectDraw2Facet>();
  if (sameGuid(iid, IID_IDirectDraw4)) {
    return world.script.offerDirectDraw4 ? facet<DirectDraw4Facet>() : nullptr;
  }
  return direct3DFacetFor(*this, iid);
}

FacetBase* FakeSurface::facetFor(const IID& iid) {
  if (sameGuid(iid, IID_IDirectDrawSurface)) return facet<SurfaceFacet>();
  if (sameGuid(iid, IID_IDirectDrawSurface3)) return facet<Surface3Facet>();
  if (sameGuid(iid, IID_IDirectDrawSurface4)) {
    return world.script.offerDirectDraw4 ? facet<Surface4Facet>() : nullptr;
  }
  return nullptr;
}

void FakeSurface::dropHeldReferences() {
  letGoOf(clipper);
  letGoOfAll(attached);
}

void FakeSurface::releaseDc() {
  if (!dc) return;
  SelectObject(dc, previousBitmap);
  DeleteDC(dc);
  DeleteObject(bitmap);
  dc = nullptr;
  bitmap = nullptr;
}

bool FakeSurface::hasZBuffer() const {
  for (const FacetBase* facet : attached) {
    if (static_cast<const FakeSurface*>(facet->object)->caps & DDSCAPS_ZBUFFER) return true;
  }
  return false;
}

FacetBase* FakeClipper::facetFor(const IID& iid) {
  return sameGuid(iid, IID_IDirectDrawClipper) ? facet<ClipperFacet>() : nullptr;
}

HRESULT WINAPI fakeDirectDrawCreate(GUID* driver, IDirectDraw** directDraw, IUnknown* outer) {
  FakeState& world = *currentFakes;
  FakeCall& call = world.record(nullptr, "DirectDrawCreate",
                                {driver != nullptr, world.idOf(outer)});
  return world.create<FakeDirectDrawObject, DirectDrawFacet>(call, directDraw);
}
