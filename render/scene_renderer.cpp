#include "render/scene_renderer.h"

#include "render/math3d.h"

namespace {

// The vertex layout of every node: D3DVERTEX, position, normal, one pair of
// texture coordinates.
constexpr DWORD VERTEX_FORMAT = D3DFVF_VERTEX;

// Length of a normal line in vertices: from the point along its normal.
constexpr DWORD LINE_VERTICES = 2;

// How a render mode draws: fill and cull states, lit or emissive material,
// and points or indexed triangles.
struct ModeLook {
  D3DFILLMODE fill;
  D3DCULL cull;
  bool lit;
  bool points;
};

ModeLook lookOf(int mode) {
  switch (mode) {
    case RENDER_MODE_SOLID:
    case RENDER_MODE_TEXTURED:
      return {D3DFILL_SOLID, D3DCULL_CCW, true, false};
    case RENDER_MODE_WIREFRAME:
      return {D3DFILL_WIREFRAME, D3DCULL_NONE, false, false};
    case RENDER_MODE_POINTS:
      return {D3DFILL_POINT, D3DCULL_NONE, false, true};
    default:
      return {D3DFILL_SOLID, D3DCULL_CCW, false, false};
  }
}

void setColor(D3DCOLORVALUE& destination, const ColorRgb& color) {
  destination.r = color.r;
  destination.g = color.g;
  destination.b = color.b;
}

const ColorRgb BLACK{0.0f, 0.0f, 0.0f};

// The node's placement: T translates by its position, S scales per axis,
// R rotates by its orientation.
void placementMatrices(const MeshNode& node, D3DMATRIX& t, D3DMATRIX& s, D3DMATRIX& r) {
  identityMatrix(t);
  t._41 = node.position.x;
  t._42 = node.position.y;
  t._43 = node.position.z;
  identityMatrix(s);
  s._11 = node.scaling.x;
  s._22 = node.scaling.y;
  s._33 = node.scaling.z;
  quaternionMatrix(r, node.orientation.x, node.orientation.y, node.orientation.z,
                   node.orientation.w);
}

D3DVERTEX lineVertex(float x, float y, float z, float nz) {
  D3DVERTEX vertex{};
  vertex.x = x;
  vertex.y = y;
  vertex.z = z;
  vertex.nz = nz;
  return vertex;
}

}  // namespace

SceneRenderer::SceneRenderer() { material.dwSize = sizeof(D3DMATERIAL); }

int SceneRenderer::attach(SceneDevice* renderDevice, SceneWindow renderWindow) {
  device = renderDevice;
  if (renderDevice == nullptr || renderWindow == nullptr) return NOTHING_TO_ATTACH;
  window = renderWindow;
  device->attachWindow(window);
  device->requireDrawPrimitive = true;
  device->startUp();
  device->resetMatrices();
  device->applyViewProjection();
  device->createMaterial(material);
  device->setRenderState(D3DRENDERSTATE_SPECULARENABLE, TRUE);
  return ATTACHED;
}

void SceneRenderer::beginFrame() {
  if (device == nullptr) return;
  // A degenerate camera leaves the last frame's view in place.
  lookAtMatrix(device->view, eye, lookAt, up);
  device->clear();
  device->beginScene();
  device->applyViewProjection();
}

void SceneRenderer::endFrame() {
  if (device == nullptr) return;
  device->endScene();
  device->present();
}

HRESULT SceneRenderer::drawNode(MeshNode& node) {
  if (device == nullptr) return E_FAIL;
  int mode = node.renderMode;
  if (forceGlobalMode || mode == RENDER_MODE_GLOBAL) mode = globalFillMode;
  const ModeLook look = lookOf(mode);

  // A device that cannot report its world transform draws nothing either;
  // the identity then stands for it.
  D3DMATRIX saved;
  if (FAILED(device->getTransform(D3DTRANSFORMSTATE_WORLD, &saved))) identityMatrix(saved);

  // W = saved x S x R x T: a point goes through the saved transform first,
  // then is scaled, rotated and translated by the node.
  D3DMATRIX t, s, r, world;
  placementMatrices(node, t, s, r);
  multiplyMatrices(world, t, r);
  multiplyMatrices(world, world, s);
  multiplyMatrices(world, world, saved);
  device->setTransform(D3DTRANSFORMSTATE_WORLD, &world);

  writeMaterial(node, mode);
  device->updateMaterial(material);
  device->setRenderState(D3DRENDERSTATE_FILLMODE, look.fill);
  device->setRenderState(D3DRENDERSTATE_CULLMODE, look.cull);

  // Render buffers that could not be built (or no longer match the node's
  // geometry) are never handed to the device.
  const bool buffersUsable = node.buffersReady && node.vertexBuffer != nullptr;
  if (node.drawSurface && buffersUsable) {
    if (look.points) {
      device->drawPrimitive(D3DPT_POINTLIST, VERTEX_FORMAT, node.vertexBuffer.get(),
                            node.pointCount, D3DDP_DONOTLIGHT);
    } else if (node.indexBuffer != nullptr) {
      device->drawIndexedPrimitive(D3DPT_TRIANGLELIST, VERTEX_FORMAT, node.vertexBuffer.get(),
                                   node.pointCount, node.indexBuffer.get(),
                                   CORNERS_PER_TRIANGLE * node.triangleCount, 0);
    }
  }
  if (node.normalLength != 0.0f && buffersUsable) drawNormalLines(node);

  for (int i = 0; i < node.childCount; ++i) {
    if (node.children[i] != nullptr) drawNode(*node.children[i]);
  }
  return device->setTransform(D3DTRANSFORMSTATE_WORLD, &saved);
}

void SceneRenderer::writeMaterial(const MeshNode& node, int mode) {
  if (lookOf(mode).lit) {
    setColor(material.dcvDiffuse, node.diffuseColor);
    setColor(material.dcvAmbient, node.ambientColor);
    setColor(material.dcvSpecular, node.specularColor);
    setColor(material.dcvEmissive, node.emissiveColor);
    material.dvPower = LIT_SPECULAR_POWER;
  } else {
    // Unlit looks glow in the node's diffuse colour; the power stays as the
    // last lit node left it.
    setColor(material.dcvDiffuse, BLACK);
    setColor(material.dcvAmbient, BLACK);
    setColor(material.dcvSpecular, node.specularColor);
    setColor(material.dcvEmissive, node.diffuseColor);
  }
}

void SceneRenderer::drawNormalLines(MeshNode& node) {
  setColor(material.dcvEmissive, node.diffuseColor);
  setColor(material.dcvDiffuse, node.diffuseColor);
  device->updateMaterial(material);

  const double length = node.normalLength;
  for (int i = 0; i < node.pointCount; ++i) {
    const D3DVERTEX& point = node.vertexBuffer[i];
    D3DVERTEX line[LINE_VERTICES] = {
        lineVertex(point.x, point.y, point.z, 1.0f),
        lineVertex(stored(point.x + point.nx * length), stored(point.y + point.ny * length),
                   stored(point.z + point.nz * length), 0.0f),
    };
    device->drawPrimitive(D3DPT_LINELIST, VERTEX_FORMAT, line, LINE_VERTICES, 0);
  }
}
