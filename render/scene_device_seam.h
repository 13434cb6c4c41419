// What the scene renderer and the frame composition ask of the device the
// build links (SceneDevice, drawing into a SceneWindow; scene_device.h names
// them): these fields and operations with exactly these signatures, checked
// here when the renderer is compiled for either device, so that a device
// that drifts from them does not build.
#pragma once

#include "platform/d3d_types.h"
#include "scene_device.h"

#include <type_traits>

namespace scene_device_seam {

template <class Member, class Expected>
constexpr bool is = std::is_same_v<Member, Expected>;
using D = SceneDevice;

static_assert(is<decltype(D::ready), bool>);
static_assert(is<decltype(D::requireDrawPrimitive), bool>);
static_assert(is<decltype(D::view), D3DMATRIX>);
static_assert(is<decltype(&D::attachWindow), BOOL (D::*)(SceneWindow)>);
static_assert(is<decltype(&D::startUp), HRESULT (D::*)()>);
static_assert(is<decltype(&D::resetMatrices), void (D::*)()>);
static_assert(is<decltype(&D::applyViewProjection), void (D::*)()>);
static_assert(is<decltype(&D::createMaterial), HRESULT (D::*)(D3DMATERIAL)>);
static_assert(is<decltype(&D::updateMaterial), HRESULT (D::*)(D3DMATERIAL)>);
static_assert(is<decltype(&D::setRenderState), HRESULT (D::*)(D3DRENDERSTATETYPE, DWORD)>);
static_assert(is<decltype(&D::setLight), HRESULT (D::*)(int, D3DLIGHT2)>);
static_assert(is<decltype(&D::getTransform),
                 HRESULT (D::*)(D3DTRANSFORMSTATETYPE, D3DMATRIX*)>);
static_assert(is<decltype(&D::setTransform),
                 HRESULT (D::*)(D3DTRANSFORMSTATETYPE, D3DMATRIX*)>);
static_assert(is<decltype(&D::clear), HRESULT (D::*)()>);
static_assert(is<decltype(&D::beginScene), HRESULT (D::*)()>);
static_assert(is<decltype(&D::endScene), HRESULT (D::*)()>);
static_assert(is<decltype(&D::present), HRESULT (D::*)()>);
static_assert(is<decltype(&D::drawPrimitive),
                 HRESULT (D::*)(D3DPRIMITIVETYPE, DWORD, void*, DWORD, DWORD)>);
static_assert(is<decltype(&D::drawIndexedPrimitive),
                 HRESULT (D::*)(D3DPRIMITIVETYPE, DWORD, void*, DWORD, WORD*, DWORD, DWORD)>);

}  // namespace scene_device_seam
