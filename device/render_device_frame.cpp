// The RenderDevice's per-frame operations: clear, scene bracket and present;
// render states, light states and transforms; drawing; lights and the
// material; and following the render window when it moves or changes size.
// Each forwards to the DirectX 6 interfaces or to the DirectX 5 ones,
// translating what differs, and does nothing while the device is not ready.
#include "device/render_device.h"

#include <algorithm>

namespace {

// Direct3D of this generation takes at most D3DMAXNUMVERTICES vertices per
// DrawPrimitive call. The longest piece of a list that still ends on a
// primitive boundary; 0 for a primitive type that cannot be cut apart.
DWORD longestPiece(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST:
      return D3DMAXNUMVERTICES;
    case D3DPT_LINELIST:
      return D3DMAXNUMVERTICES - D3DMAXNUMVERTICES % 2;
    case D3DPT_TRIANGLELIST:
      return D3DMAXNUMVERTICES - D3DMAXNUMVERTICES % 3;
    default:
      return 0;
  }
}

// Bytes per vertex of the three vertex layouts the codes name; 0 for any
// other code, whose vertices cannot be counted off here.
size_t vertexStride(DWORD vertexCode) {
  switch (vertexCode) {
    case D3DVT_VERTEX:
    case D3DFVF_VERTEX:
      return sizeof(D3DVERTEX);
    case D3DVT_LVERTEX:
    case D3DFVF_LVERTEX:
      return sizeof(D3DLVERTEX);
    case D3DVT_TLVERTEX:
    case D3DFVF_TLVERTEX:
      return sizeof(D3DTLVERTEX);
    default:
      return 0;
  }
}

// One channel of a packed D3DCOLOR: the float times 255, truncated.
DWORD colourByte(float channel) {
  return static_cast<DWORD>(static_cast<int>(channel * 255.0)) & 0xFF;
}

template <class Surface>
void restoreIfLost(Surface* surface) {
  if (surface && surface->IsLost() == DDERR_SURFACELOST) surface->Restore();
}

template <class Surface>
HRESULT blitToPrimary(Surface* primary, Surface* backBuffer, RECT* screenRect, RECT* clientRect) {
  return primary->Blt(screenRect, backBuffer, clientRect, DDBLT_WAIT, nullptr);
}

// Copies the back buffer into the window through GDI; both device contexts
// are given back at once.
template <class Surface>
HRESULT copyThroughGdi(Surface* backBuffer, HWND window, const RECT& area) {
  HDC surfaceDC = nullptr;
  HRESULT hr = backBuffer->GetDC(&surfaceDC);
  if (FAILED(hr)) return hr;
  HDC windowDC = GetDC(window);
  if (!windowDC) {
    backBuffer->ReleaseDC(surfaceDC);
    return E_FAIL;
  }
  const BOOL copied = BitBlt(windowDC, 0, 0, area.right - area.left, area.bottom - area.top,
                             surfaceDC, area.left, area.top, SRCCOPY);
  const DWORD error = copied ? ERROR_SUCCESS : GetLastError();
  ReleaseDC(window, windowDC);
  backBuffer->ReleaseDC(surfaceDC);
  if (copied) return hr;
  return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace

HRESULT RenderDevice::clear() {
  if (!ready) return S_OK;
  D3DRECT rect{};
  rect.x1 = clientRect.left;
  rect.y1 = clientRect.top;
  rect.x2 = clientRect.right;
  rect.y2 = clientRect.bottom;
  const DWORD flags = useZBuffer ? D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER : D3DCLEAR_TARGET;
  if (useDx6) return viewport3 ? viewport3->Clear(1, &rect, flags) : S_OK;
  if (useDx5) return viewport2 ? viewport2->Clear(1, &rect, flags) : S_OK;
  return S_OK;
}

HRESULT RenderDevice::beginScene() {
  if (!ready) return E_FAIL;
  if (useDx6) return device3->BeginScene();
  if (useDx5) return device2->BeginScene();
  return E_FAIL;
}

HRESULT RenderDevice::endScene() {
  if (!ready) return E_FAIL;
  if (useDx6) return device3->EndScene();
  if (useDx5) return device2->EndScene();
  return E_FAIL;
}

HRESULT RenderDevice::copyToWindow() {
  if (useDx6) {
    return presentByGdi ? copyThroughGdi(backBuffer4, window, clientRect)
                        : blitToPrimary(primary4, backBuffer4, &screenRect, &clientRect);
  }
  return presentByGdi ? copyThroughGdi(backBuffer3, window, clientRect)
                      : blitToPrimary(primary3, backBuffer3, &screenRect, &clientRect);
}

// Any of the device's surfaces may have lost its memory (a mode change, a
// locked screen); restoring only the primary would leave the window black.
void RenderDevice::restoreLostSurfaces() {
  if (useDx6) {
    restoreIfLost(primary4);
    restoreIfLost(backBuffer4);
    restoreIfLost(zBuffer4);
  } else {
    restoreIfLost(primary3);
    restoreIfLost(backBuffer3);
    restoreIfLost(zBuffer3);
  }
}

HRESULT RenderDevice::present() {
  if (!ready) return S_OK;
  if (useDx6 && !primary4) return E_FAIL;
  if (useDx5 && !primary3) return E_FAIL;
  if (!useDx6 && !useDx5) return S_OK;
  HRESULT hr = copyToWindow();
  if (hr == DDERR_SURFACELOST) {
    restoreLostSurfaces();
    hr = copyToWindow();
  }
  return hr;
}

HRESULT RenderDevice::applyRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (useDx6) return device3->SetRenderState(state, value);
  if (useDx5) return device2->SetRenderState(state, value);
  return E_FAIL;
}

HRESULT RenderDevice::applyLightState(D3DLIGHTSTATETYPE state, DWORD value) {
  if (useDx6) return device3->SetLightState(state, value);
  if (useDx5) return device2->SetLightState(state, value);
  return E_FAIL;
}

HRESULT RenderDevice::setRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (!ready) return E_FAIL;
  const HRESULT hr = applyRenderState(state, value);
  if (SUCCEEDED(hr)) renderStates[state] = value;
  return hr;
}

HRESULT RenderDevice::setLightState(D3DLIGHTSTATETYPE state, DWORD value) {
  if (!ready) return E_FAIL;
  const HRESULT hr = applyLightState(state, value);
  if (SUCCEEDED(hr)) lightStates[state] = value;
  return hr;
}

// Sets every state a caller had set on the device before it was rebuilt.
// Each was accepted once; the results are dropped, since a state the new
// device refused leaves only its default, which is where it starts anyway.
void RenderDevice::restoreStates() {
  for (const auto& [state, value] : renderStates) applyRenderState(state, value);
  for (const auto& [state, value] : lightStates) {
    // A material handle belongs to the device that gave it out: the material
    // object gives one for the new device instead.
    if (state == D3DLIGHTSTATE_MATERIAL) {
      selectMaterial();
    } else {
      applyLightState(state, value);
    }
  }
}

HRESULT RenderDevice::setTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (!ready) return E_FAIL;
  if (useDx6) return device3->SetTransform(state, matrix);
  if (useDx5) return device2->SetTransform(state, matrix);
  return E_FAIL;
}

HRESULT RenderDevice::getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (!ready) return E_FAIL;
  if (useDx6) return device3->GetTransform(state, matrix);
  if (useDx5) return device2->GetTransform(state, matrix);
  return E_FAIL;
}

DWORD RenderDevice::toVertexFormat(DWORD vertexCode) {
  switch (vertexCode) {
    case D3DVT_VERTEX:
      return D3DFVF_VERTEX;
    case D3DVT_LVERTEX:
      return D3DFVF_LVERTEX;
    case D3DVT_TLVERTEX:
      return D3DFVF_TLVERTEX;
    default:
      return vertexCode;
  }
}

DWORD RenderDevice::toVertexType(DWORD vertexCode) {
  switch (vertexCode) {
    case D3DFVF_VERTEX:
      return D3DVT_VERTEX;
    case D3DFVF_LVERTEX:
      return D3DVT_LVERTEX;
    case D3DFVF_TLVERTEX:
      return D3DVT_TLVERTEX;
    default:
      return vertexCode;
  }
}

HRESULT RenderDevice::drawPiece(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                                DWORD vertexCount, DWORD flags) {
  if (useDx6) {
    return device3->DrawPrimitive(type, toVertexFormat(vertexCode), vertices, vertexCount, flags);
  }
  return device2->DrawPrimitive(type, static_cast<D3DVERTEXTYPE>(toVertexType(vertexCode)),
                                vertices, vertexCount, flags);
}

HRESULT RenderDevice::drawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                                    DWORD vertexCount, DWORD flags) {
  if (!ready) return E_FAIL;
  if (!useDx6 && !useDx5) return E_FAIL;
  const DWORD piece = longestPiece(type);
  const size_t stride = vertexStride(vertexCode);
  if (vertexCount <= D3DMAXNUMVERTICES || piece == 0 || stride == 0) {
    return drawPiece(type, vertexCode, vertices, vertexCount, flags);
  }
  // A longer list goes in consecutive calls, each ending on a primitive.
  auto* bytes = static_cast<unsigned char*>(vertices);
  HRESULT hr = S_OK;
  for (DWORD first = 0; first < vertexCount; first += piece) {
    const DWORD count = std::min(piece, vertexCount - first);
    hr = drawPiece(type, vertexCode, bytes + first * stride, count, flags);
    if (FAILED(hr)) return hr;
  }
  return hr;
}

HRESULT RenderDevice::drawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode,
                                           void* vertices, DWORD vertexCount, WORD* indices,
                                           DWORD indexCount, DWORD flags) {
  if (!ready) return E_FAIL;
  if (useDx6) {
    return device3->DrawIndexedPrimitive(type, toVertexFormat(vertexCode), vertices, vertexCount,
                                         indices, indexCount, flags);
  }
  if (useDx5) {
    return device2->DrawIndexedPrimitive(type,
                                         static_cast<D3DVERTEXTYPE>(toVertexType(vertexCode)),
                                         vertices, vertexCount, indices, indexCount, flags);
  }
  return E_FAIL;
}

HRESULT RenderDevice::setLight(int slot, D3DLIGHT2 light) {
  if (!ready || slot < 0 || slot >= MAX_LIGHTS) return E_FAIL;
  releaseLight(slot);
  if (useDx6) {
    HRESULT hr = direct3D3->CreateLight(&lights[slot], nullptr);
    if (hr != D3D_OK) return hr;
    lightDescs[slot] = new D3DLIGHT2(light);
    hr = lights[slot]->SetLight(reinterpret_cast<D3DLIGHT*>(lightDescs[slot]));
    if (hr != D3D_OK) {
      // The light object stays in its slot, unused; the next setLight or
      // releaseLight of the slot releases it.
      delete lightDescs[slot];
      lightDescs[slot] = nullptr;
      return hr;
    }
    return viewport3->AddLight(lights[slot]);
  }
  if (useDx5) {
    HRESULT hr = direct3D2->CreateLight(&lights[slot], nullptr);
    if (hr != D3D_OK) return hr;
    hr = lights[slot]->SetLight(reinterpret_cast<D3DLIGHT*>(&light));
    if (hr != D3D_OK) return hr;
    lightDescs[slot] = new D3DLIGHT2(light);
    return viewport2->AddLight(lights[slot]);
  }
  return E_FAIL;
}

void RenderDevice::releaseLight(int slot) {
  if (slot < 0 || slot >= MAX_LIGHTS) return;
  if (lights[slot]) {
    if (useDx6 && viewport3) {
      viewport3->DeleteLight(lights[slot]);
    } else if (useDx5 && viewport2) {
      viewport2->DeleteLight(lights[slot]);
    }
    releaseInterface(lights[slot]);
  }
  delete lightDescs[slot];
  lightDescs[slot] = nullptr;
}

void RenderDevice::releaseLights() {
  for (int slot = 0; slot < MAX_LIGHTS; ++slot) {
    if (!lights[slot]) continue;
    if (useDx6 && viewport3) {
      viewport3->DeleteLight(lights[slot]);
    } else if (useDx5 && viewport2) {
      viewport2->DeleteLight(lights[slot]);
    }
    releaseInterface(lights[slot]);
  }
}

HRESULT RenderDevice::recreateLights() {
  if (!useDx6 && !useDx5) return E_FAIL;
  HRESULT firstFailure = S_OK;
  for (int slot = 0; slot < MAX_LIGHTS; ++slot) {
    if (!lightDescs[slot]) continue;
    HRESULT step = useDx6 ? direct3D3->CreateLight(&lights[slot], nullptr)
                          : direct3D2->CreateLight(&lights[slot], nullptr);
    if (step != D3D_OK) return step;
    step = lights[slot]->SetLight(reinterpret_cast<D3DLIGHT*>(lightDescs[slot]));
    if (step != D3D_OK) return step;
    // A light the viewport refuses does not keep the others out; the first
    // refusal is what the rebuild reports.
    step = useDx6 ? viewport3->AddLight(lights[slot]) : viewport2->AddLight(lights[slot]);
    if (FAILED(step) && SUCCEEDED(firstFailure)) firstFailure = step;
  }
  return firstFailure;
}

// Selects the material object on the device through the handle the device
// gives it.
HRESULT RenderDevice::selectMaterial() {
  if (useDx6 ? !material3 : !material2) return E_FAIL;
  D3DMATERIALHANDLE handle = 0;
  HRESULT hr = useDx6 ? material3->GetHandle(device3, &handle)
                      : material2->GetHandle(device2, &handle);
  if (hr != D3D_OK) return hr;
  return setLightState(D3DLIGHTSTATE_MATERIAL, handle);
}

HRESULT RenderDevice::createMaterial(D3DMATERIAL material) {
  if (!ready) return E_FAIL;
  releaseMaterial();
  if (useDx6) {
    HRESULT hr = direct3D3->CreateMaterial(&material3, nullptr);
    if (hr != D3D_OK) return hr;
    hr = material3->SetMaterial(&material);
    if (hr != D3D_OK) return hr;
    return selectMaterial();
  }
  if (useDx5) {
    HRESULT hr = direct3D2->CreateMaterial(&material2, nullptr);
    if (hr != D3D_OK) return hr;
    hr = material2->SetMaterial(&material);
    if (hr != D3D_OK) return hr;
    return selectMaterial();
  }
  return E_FAIL;
}

HRESULT RenderDevice::updateMaterial(D3DMATERIAL material) {
  if (!ready) return E_FAIL;
  // createMaterial may never have succeeded.
  if (useDx6) {
    if (!material3) return E_FAIL;
    HRESULT hr = material3->SetMaterial(&material);
    if (hr != D3D_OK) return hr;
    return selectMaterial();
  }
  if (useDx5) {
    if (!material2) return E_FAIL;
    HRESULT hr = material2->SetMaterial(&material);
    if (hr != D3D_OK) return hr;
    return selectMaterial();
  }
  return E_FAIL;
}

void RenderDevice::windowMoved() {
  if (!ready || !window) return;
  // The render window is a borderless child control: its window rectangle
  // is its client area on the screen.
  RECT windowRect{};
  if (GetWindowRect(window, &windowRect)) moveScreenRect(windowRect.left, windowRect.top);
}

void RenderDevice::moveScreenRect(int x, int y) {
  if (!ready) return;
  SetRect(&screenRect, x, y, x + (screenRect.right - screenRect.left),
          y + (screenRect.bottom - screenRect.top));
}

DWORD RenderDevice::packedAmbient() const {
  return colourByte(ambient[3]) << 24 | colourByte(ambient[0]) << 16 |
         colourByte(ambient[1]) << 8 | colourByte(ambient[2]);
}

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
  };
  for (auto step : steps) {
    HRESULT hr = (this->*step)();
    if (FAILED(hr)) return hr;
  }
  HRESULT hr = recreateLights();
  if (FAILED(hr)) return hr;
  ready = true;
  // The ambient colour first, so that a caller's own ambient state, set
  // again with the others, wins over it.
  applyLightState(D3DLIGHTSTATE_AMBIENT, packedAmbient());
  restoreStates();
  applyViewProjection();
  return hr;
}
