// The two DirectX generations the RenderDevice speaks, as types: DirectX 6
// (IDirectDraw4, IDirectDrawSurface4, IDirect3D3 ...) and DirectX 5
// (IDirectDraw2, IDirectDrawSurface3 ...). A step whose generations differ
// only in their interfaces and records is written once, over a Path, and
// onPath runs it on the device's active generation: the one place that
// chooses between them. Private to the device layer's sources.
#pragma once

#include "device/render_device.h"

#include <type_traits>

struct DirectX6 {
  using DirectDraw = IDirectDraw4;
  using SurfaceDesc = DDSURFACEDESC2;
  // CreateSurface hands out the interface that blits, attaches and restores.
  using CreatedSurface = IDirectDrawSurface4;
  using Surface = IDirectDrawSurface4;
  using Direct3D = IDirect3D3;
  using Device = IDirect3DDevice3;
  using Viewport = IDirect3DViewport3;
  using Material = IDirect3DMaterial3;
  static constexpr const GUID& DIRECT3D_IID = IID_IDirect3D3;
  // Vertices are described by a flexible vertex format.
  static DWORD vertexCode(DWORD code) { return RenderDevice::toVertexFormat(code); }
};

struct DirectX5 {
  using DirectDraw = IDirectDraw2;
  using SurfaceDesc = DDSURFACEDESC;
  // CreateSurface hands out an IDirectDrawSurface; blits, attachments and
  // restores go through its IDirectDrawSurface3.
  using CreatedSurface = IDirectDrawSurface;
  using Surface = IDirectDrawSurface3;
  using Direct3D = IDirect3D2;
  using Device = IDirect3DDevice2;
  using Viewport = IDirect3DViewport2;
  using Material = IDirect3DMaterial2;
  static constexpr const GUID& DIRECT3D_IID = IID_IDirect3D2;
  // Vertices are described by a vertex type.
  static D3DVERTEXTYPE vertexCode(DWORD code) {
    return static_cast<D3DVERTEXTYPE>(RenderDevice::toVertexType(code));
  }
};

// The RenderDevice's objects of one generation, by reference. On DirectX 6
// a surface and the one CreateSurface made are the same field.
template <class Generation>
struct Path {
  using G = Generation;
  typename G::DirectDraw*& directDraw;
  typename G::CreatedSurface*& createdPrimary;
  typename G::CreatedSurface*& createdBackBuffer;
  typename G::CreatedSurface*& createdZBuffer;
  typename G::Surface*& primary;
  typename G::Surface*& backBuffer;
  typename G::Surface*& zBuffer;
  typename G::Direct3D*& direct3D;
  typename G::Device*& device;
  typename G::Viewport*& viewport;
  typename G::Material*& material;

  static constexpr bool DIRECTX_6 = std::is_same_v<G, DirectX6>;
  static auto vertexCode(DWORD code) { return G::vertexCode(code); }

  // Makes a surface from a description, and gets the interface the device
  // uses it through.
  HRESULT createSurface(typename G::SurfaceDesc& desc, typename G::CreatedSurface*& created,
                        typename G::Surface*& surface) const {
    const HRESULT hr = directDraw->CreateSurface(&desc, &created, nullptr);
    if (FAILED(hr) || DIRECTX_6) return hr;
    return useSurface(created, surface);
  }

  // A surface made on DirectX 5 is used through its IDirectDrawSurface3; on
  // DirectX 6 the surface made is already the one used.
  static HRESULT useSurface([[maybe_unused]] typename G::CreatedSurface* created,
                            [[maybe_unused]] typename G::Surface*& surface) {
    if constexpr (DIRECTX_6) {
      return S_OK;
    } else {
      return created->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&surface));
    }
  }
};

inline Path<DirectX6> directX6Path(RenderDevice& d) {
  return {d.directDraw4, d.primary4, d.backBuffer4, d.zBuffer4, d.primary4, d.backBuffer4,
          d.zBuffer4,    d.direct3D3, d.device3,   d.viewport3, d.material3};
}

inline Path<DirectX5> directX5Path(RenderDevice& d) {
  return {d.directDraw2, d.primary,   d.backBuffer, d.zBuffer,   d.primary3,  d.backBuffer3,
          d.zBuffer3,    d.direct3D2, d.device2,    d.viewport2, d.material2};
}

// Runs `step` on the path of the active generation and returns its result;
// with neither generation active returns `neither`. No run reaches that: one
// generation is active from construction on (useDx6, until createDirectDraw
// may switch to useDx5); it is the result the operations promise all the same.
template <class Step>
HRESULT onPath(RenderDevice& device, HRESULT neither, Step&& step) {
  if (device.useDx6) return step(directX6Path(device));
  if (device.useDx5) return step(directX5Path(device));
  return neither;
}
