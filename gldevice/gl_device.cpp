// The GlDevice's lifetime and the values its draws are made with: start-up,
// teardown, resize and a lost context; render states, transforms, lights and
// the material. GL holds none of these values for long: they live in the
// record and reach the program before the next draw that needs them, each
// only when it differs from what the program holds.
#include "gldevice/gl_device.h"

#include "platform/device_values.h"

#include <GLES3/gl3.h>

#include <cmath>
#include <cstring>
#include <optional>

namespace {

// The lights in view space, pointing towards each light, for the shader.
GlLighting viewLighting(const GlDrawState& state) {
  GlLighting lighting;
  for (int i = 0; i < 3; ++i) lighting.ambient[i] = state.ambient[i];
  const D3DMATRIX& v = state.view;
  for (int slot = 0; slot < MAX_LIGHTS; ++slot) {
    const D3DLIGHT2& light = state.lights[slot];
    if (!state.lightSet[slot] || !(light.dwFlags & D3DLIGHT_ACTIVE)) continue;
    const D3DVECTOR& d = light.dvDirection;
    const double x = double(d.x) * v._11 + double(d.y) * v._21 + double(d.z) * v._31;
    const double y = double(d.x) * v._12 + double(d.y) * v._22 + double(d.z) * v._32;
    const double z = double(d.x) * v._13 + double(d.y) * v._23 + double(d.z) * v._33;
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0) continue;
    float* direction = lighting.directions[lighting.count];
    direction[0] = float(-x / length);
    direction[1] = float(-y / length);
    direction[2] = float(-z / length);
    float* color = lighting.colors[lighting.count];
    color[0] = light.dcvColor.r;
    color[1] = light.dcvColor.g;
    color[2] = light.dcvColor.b;
    ++lighting.count;
  }
  return lighting;
}

// The state's field in the record; null for a state not drawn here.
DWORD* renderStateField(GlDrawState& state, D3DRENDERSTATETYPE renderState) {
  switch (renderState) {
    case D3DRENDERSTATE_ZENABLE: return &state.zEnable;
    case D3DRENDERSTATE_FILLMODE: return &state.fillMode;
    case D3DRENDERSTATE_CULLMODE: return &state.cullMode;
    case D3DRENDERSTATE_SPECULARENABLE: return &state.specularEnable;
    default: return nullptr;
  }
}

// From Direct3D's clip space to GL's, for a frame of this size. The Direct3D
// viewport keeps pixels square: x runs from -1 to 1 across the width and y
// from h/w to -h/w down the height (its clip height is 2h/w), so a taller
// frame shows more above and below. Its pixel centres lie on whole
// coordinates, half a pixel before GL's. And the frame is drawn top row
// first, as Wine's Direct3D draws it, so that a point or an edge that falls
// exactly between two pixels lands on the one it lands on there.
D3DMATRIX viewportClip(int width, int height) {
  const float clipHeight = float(2.0 * height / width);  // as the viewport's dvClipHeight
  D3DMATRIX clip = identityMatrix();
  clip._22 = -2.0f / clipHeight;
  clip._41 = 1.0f / float(width);
  clip._42 = 1.0f / float(height);
  return clip;
}

// Whether GL holds this value already.
template <class Value>
bool held(const std::optional<Value>& cached, const Value& value) {
  return cached.has_value() && std::memcmp(&*cached, &value, sizeof value) == 0;
}

}  // namespace

GlDevice::GlDevice() {
  state.world = state.view = state.projection = identityMatrix();
  resetMatrices();
}

GlDevice::~GlDevice() { tearDown(); }

template <class Change>
void GlDevice::change(Keeps keeps, Change&& apply) {
  flushLists();
  if (keeps == Keeps::NOTHING) flushTriangles();
  apply();
}

BOOL GlDevice::attachWindow(GlWindow* renderWindow) {
  window = renderWindow;
  return renderWindow != nullptr ? TRUE : FALSE;
}

HRESULT GlDevice::startUp() {
  tearDown();
  problem.clear();
  if (window == nullptr) return E_FAIL;
  if (!createContext(context, *window)) {
    problem = CONTEXT_MISSING;
    return E_FAIL;
  }
  const HRESULT hr = makeObjects();
  if (FAILED(hr)) return hr;
  return resize();
}

HRESULT GlDevice::makeObjects() {
  if (!createObjects(objects, problem)) {
    tearDown();
    return E_FAIL;
  }
  cache = GlCache{};
  return S_OK;
}

void GlDevice::tearDown() {
  ready = false;
  waiting = GlWaiting{};
  // Also on a context the browser took away: its objects are gone, but the
  // page's tables of them are freed only this way.
  if (context.handle != 0) {
    forgetFramesInFlight();
    releaseObjects(objects);
  }
  lastFrameTime = {};
  objects = GlObjects{};
  destroyContext(context);
}

void GlDevice::resetMatrices() {
  view = identityMatrix();
  projection = fixedProjection();
}

void GlDevice::applyViewProjection() {
  change(Keeps::NOTHING, [&] {
    state.projection = projection;
    state.view = view;
  });
}

HRESULT GlDevice::resize() {
  if (context.handle == 0) return S_OK;
  flush();
  ready = false;
  readFrameSize(*window, width, height);
  if (width <= 0 || height <= 0) return S_OK;
  if (!makeFrame(objects, width, height)) {
    problem = "no frame of " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels could be made";
    return E_FAIL;
  }
  problem.clear();
  applyFixedState();
  ready = true;
  return S_OK;
}

bool GlDevice::restoreIfLost() {
  if (context.handle != 0 && !contextLost(context)) return ready;
  // startUp makes the context again, on the window as it is now; the states
  // stay in the record and reach the new program with the next draw.
  startUp();
  return ready;
}

// The frame's area and what never changes, then the render states.
void GlDevice::applyFixedState() {
  glViewport(0, 0, width, height);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepthf(1.0f);
  glDepthFunc(GL_LEQUAL);
  applyRenderStates();
}

// The GL state that follows the render states.
void GlDevice::applyRenderStates() {
  if (state.zEnable) {
    glEnable(GL_DEPTH_TEST);
  } else {
    glDisable(GL_DEPTH_TEST);
  }
  // Direct3D judges a face's turn as it shows on the screen; the frame is
  // drawn top row first, upside down to GL, where a turn that shows
  // clockwise is counter-clockwise: D3DCULL_CCW keeps what GL calls
  // counter-clockwise.
  if (state.cullMode == D3DCULL_NONE) {
    glDisable(GL_CULL_FACE);
  } else {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(state.cullMode == D3DCULL_CCW ? GL_CCW : GL_CW);
  }
}

HRESULT GlDevice::setRenderState(D3DRENDERSTATETYPE renderState, DWORD value) {
  DWORD* field = renderStateField(state, renderState);
  if (field == nullptr) return E_NOTIMPL;
  // The renderer sets the fill and cull states for every node; most of the
  // time they stay as they were, and GL hears nothing.
  if (*field == value) return S_OK;
  change(Keeps::NOTHING, [&] { *field = value; });
  if (ready) applyRenderStates();
  return S_OK;
}

HRESULT GlDevice::setTransform(D3DTRANSFORMSTATETYPE transform, D3DMATRIX* matrix) {
  if (matrix == nullptr) return E_INVALIDARG;
  switch (transform) {
    case D3DTRANSFORMSTATE_WORLD:
      change(Keeps::GATHERED_TRIANGLES, [&] { state.world = *matrix; });
      return S_OK;
    case D3DTRANSFORMSTATE_VIEW:
      change(Keeps::NOTHING, [&] { state.view = *matrix; });
      return S_OK;
    case D3DTRANSFORMSTATE_PROJECTION:
      change(Keeps::NOTHING, [&] { state.projection = *matrix; });
      return S_OK;
    default: return E_INVALIDARG;
  }
}

HRESULT GlDevice::getTransform(D3DTRANSFORMSTATETYPE transform, D3DMATRIX* matrix) {
  if (matrix == nullptr) return E_INVALIDARG;
  switch (transform) {
    case D3DTRANSFORMSTATE_WORLD: *matrix = state.world; return S_OK;
    case D3DTRANSFORMSTATE_VIEW: *matrix = state.view; return S_OK;
    case D3DTRANSFORMSTATE_PROJECTION: *matrix = state.projection; return S_OK;
    default: return E_INVALIDARG;
  }
}

HRESULT GlDevice::setLight(int slot, D3DLIGHT2 light) {
  if (slot < 0 || slot >= MAX_LIGHTS) return E_FAIL;
  // Directional lights are all the scene has; the others are not drawn.
  if (light.dltType != D3DLIGHT_DIRECTIONAL) return E_NOTIMPL;
  change(Keeps::NOTHING, [&] {
    state.lights[slot] = light;
    state.lightSet[slot] = true;
  });
  return S_OK;
}

void GlDevice::releaseLight(int slot) {
  if (slot < 0 || slot >= MAX_LIGHTS) return;
  change(Keeps::NOTHING, [&] { state.lightSet[slot] = false; });
}

HRESULT GlDevice::createMaterial(D3DMATERIAL material) {
  state.materialMade = true;
  return updateMaterial(material);
}

HRESULT GlDevice::updateMaterial(D3DMATERIAL material) {
  if (!state.materialMade) return E_FAIL;
  change(Keeps::GATHERED_TRIANGLES, [&] { state.material = material; });
  return S_OK;
}

// Hands the program whatever differs from what it holds.
void GlDevice::prepareDraw(const D3DMATRIX& worldView, bool lit) {
  if (!held(cache.worldView, worldView)) {
    uploadWorldView(objects, worldView);
    cache.worldView = worldView;
  }
  const D3DMATRIX clipped = multiplied(state.projection, viewportClip(width, height));
  if (!held(cache.projection, clipped)) {
    uploadProjection(objects, clipped);
    cache.projection = clipped;
  }
  const GlLighting lighting = viewLighting(state);
  if (!held(cache.lighting, lighting)) {
    uploadLighting(objects, lighting);
    cache.lighting = lighting;
  }
  // Whether highlights are on travels with the material.
  const GlMaterial material = glMaterial(state.material, state.specularEnable != FALSE);
  if (!held(cache.material, material)) {
    setMaterial(material);
    cache.material = material;
  }
  if (cache.lit != lit) {
    uploadLit(objects, lit);
    cache.lit = lit;
  }
}
