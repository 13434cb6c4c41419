// The RenderDevice's one material object: made from a description, loaded
// with a new description for every drawn node, and selected on the device
// through the handle the device gives it.
#include "device/generations.h"

HRESULT RenderDevice::createMaterial(D3DMATERIAL material) {
  if (!ready) return E_FAIL;
  releaseMaterial();
  return onPath(*this, E_FAIL, [&](auto path) {
    const HRESULT hr = path.direct3D->CreateMaterial(&path.material, nullptr);
    if (hr != D3D_OK) return hr;
    return updateMaterial(material);
  });
}

HRESULT RenderDevice::updateMaterial(D3DMATERIAL material) {
  if (!ready) return E_FAIL;
  return onPath(*this, E_FAIL, [&](auto path) {
    // createMaterial may never have succeeded.
    if (!path.material) return E_FAIL;
    const HRESULT hr = path.material->SetMaterial(&material);
    if (hr != D3D_OK) return hr;
    return selectMaterial();
  });
}

HRESULT RenderDevice::selectMaterial() {
  return onPath(*this, E_FAIL, [&](auto path) {
    if (!path.material) return E_FAIL;
    D3DMATERIALHANDLE handle = 0;
    const HRESULT hr = path.material->GetHandle(path.device, &handle);
    if (hr != D3D_OK) return hr;
    return setLightState(D3DLIGHTSTATE_MATERIAL, handle);
  });
}

void RenderDevice::releaseMaterial() {
  releaseInterface(material2, material3);
}
