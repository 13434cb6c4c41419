// The RenderDevice's lights: a light object per slot, on the viewport, and
// the device's copy of the description it was set from, which outlives the
// object so that a resize can make the light again.
#include "device/generations.h"

HRESULT RenderDevice::setLight(int slot, D3DLIGHT2 light) {
  if (!ready || slot < 0 || slot >= MAX_LIGHTS) return E_FAIL;
  releaseLight(slot);
  return onPath(*this, E_FAIL, [&](auto path) {
    HRESULT hr = path.direct3D->CreateLight(&lights[slot], nullptr);
    if (hr != D3D_OK) return hr;
    // A light that does not take the description stays in its slot, unused
    // and without a copy; the next setLight or releaseLight of the slot
    // releases it.
    hr = lights[slot]->SetLight(reinterpret_cast<D3DLIGHT*>(&light));
    if (hr != D3D_OK) return hr;
    lightDescs[slot] = std::make_unique<D3DLIGHT2>(light);
    return path.viewport->AddLight(lights[slot]);
  });
}

// Takes the slot's light off the viewport and releases it.
void RenderDevice::releaseLightObject(int slot) {
  if (!lights[slot]) return;
  onPath(*this, S_OK, [&](auto path) {
    return path.viewport ? path.viewport->DeleteLight(lights[slot]) : S_OK;
  });
  releaseInterface(lights[slot]);
}

void RenderDevice::releaseLight(int slot) {
  if (slot < 0 || slot >= MAX_LIGHTS) return;
  releaseLightObject(slot);
  lightDescs[slot].reset();
}

void RenderDevice::releaseLights() {
  for (int slot = 0; slot < MAX_LIGHTS; ++slot) releaseLightObject(slot);
}

void RenderDevice::releaseAllLights() {
  for (int slot = 0; slot < MAX_LIGHTS; ++slot) releaseLight(slot);
}

HRESULT RenderDevice::recreateLights() {
  return onPath(*this, E_FAIL, [&](auto path) {
    HRESULT firstFailure = S_OK;
    for (int slot = 0; slot < MAX_LIGHTS; ++slot) {
      if (!lightDescs[slot]) continue;
      HRESULT hr = path.direct3D->CreateLight(&lights[slot], nullptr);
      if (hr != D3D_OK) return hr;
      hr = lights[slot]->SetLight(reinterpret_cast<D3DLIGHT*>(lightDescs[slot].get()));
      if (hr != D3D_OK) return hr;
      // A light the viewport refuses does not keep the others out; the first
      // refusal is what the rebuild reports.
      hr = path.viewport->AddLight(lights[slot]);
      if (FAILED(hr) && SUCCEEDED(firstFailure)) firstFailure = hr;
    }
    return firstFailure;
  });
}
