// The RenderDevice's per-frame operations: clear and the scene bracket;
// render states, light states and transforms, with the states kept for the
// next rebuild; and drawing. Each forwards to the active generation's
// interfaces, translating what differs, and does nothing while the device is
// not ready.
#include "device/generations.h"

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

// The three vertex layouts, by their DirectX 5 vertex type and their
// DirectX 6 flexible vertex format.
struct VertexCodes {
  DWORD type;
  DWORD format;
  size_t stride;
};
constexpr VertexCodes VERTEX_CODES[] = {
    {D3DVT_VERTEX, D3DFVF_VERTEX, sizeof(D3DVERTEX)},
    {D3DVT_LVERTEX, D3DFVF_LVERTEX, sizeof(D3DLVERTEX)},
    {D3DVT_TLVERTEX, D3DFVF_TLVERTEX, sizeof(D3DTLVERTEX)},
};

// Bytes per vertex of a layout named by either code; 0 for any other code,
// whose vertices cannot be counted off here.
size_t vertexStride(DWORD vertexCode) {
  for (const VertexCodes& codes : VERTEX_CODES) {
    if (vertexCode == codes.type || vertexCode == codes.format) return codes.stride;
  }
  return 0;
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
  return onPath(*this, S_OK, [&](auto path) {
    return path.viewport ? path.viewport->Clear(1, &rect, flags) : S_OK;
  });
}

HRESULT RenderDevice::beginScene() {
  if (!ready) return E_FAIL;
  return onPath(*this, E_FAIL, [](auto path) { return path.device->BeginScene(); });
}

HRESULT RenderDevice::endScene() {
  if (!ready) return E_FAIL;
  return onPath(*this, E_FAIL, [](auto path) { return path.device->EndScene(); });
}

HRESULT RenderDevice::applyRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return onPath(*this, E_FAIL,
                [&](auto path) { return path.device->SetRenderState(state, value); });
}

HRESULT RenderDevice::applyLightState(D3DLIGHTSTATETYPE state, DWORD value) {
  return onPath(*this, E_FAIL,
                [&](auto path) { return path.device->SetLightState(state, value); });
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
  return onPath(*this, E_FAIL,
                [&](auto path) { return path.device->SetTransform(state, matrix); });
}

HRESULT RenderDevice::getTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
  if (!ready) return E_FAIL;
  return onPath(*this, E_FAIL,
                [&](auto path) { return path.device->GetTransform(state, matrix); });
}

void RenderDevice::applyViewProjection() {
  onPath(*this, S_OK, [&](auto path) {
    if (!path.device) return S_OK;
    path.device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
    path.device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view);
    return S_OK;
  });
}

DWORD RenderDevice::toVertexFormat(DWORD vertexCode) {
  for (const VertexCodes& codes : VERTEX_CODES) {
    if (vertexCode == codes.type) return codes.format;
  }
  return vertexCode;
}

DWORD RenderDevice::toVertexType(DWORD vertexCode) {
  for (const VertexCodes& codes : VERTEX_CODES) {
    if (vertexCode == codes.format) return codes.type;
  }
  return vertexCode;
}

HRESULT RenderDevice::drawPiece(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                                DWORD vertexCount, DWORD flags) {
  return onPath(*this, E_FAIL, [&](auto path) {
    return path.device->DrawPrimitive(type, path.vertexCode(vertexCode), vertices, vertexCount,
                                      flags);
  });
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
  return onPath(*this, E_FAIL, [&](auto path) {
    return path.device->DrawIndexedPrimitive(type, path.vertexCode(vertexCode), vertices,
                                             vertexCount, indices, indexCount, flags);
  });
}
