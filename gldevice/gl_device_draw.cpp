// The GlDevice's frame: clear, the scene bracket, and the draws, and a fence
// after each frame presented, by which the device tells whether GL is still
// drawing frames presented long ago. Point and
// line lists that follow one another with nothing changed between them are
// drawn together (the "Field" lines come one call per point, and each GL
// call costs far more in a browser than the vertices do). Triangles are
// drawn at once: filled by GL, or, for the wire and point fills that GLES
// lacks, as their edges or corners, culled here as GL would cull them.
#include "gldevice/gl_device.h"
#include "platform/device_values.h"

#include <GLES3/gl3.h>

#include <algorithm>
#include <cstring>

namespace {

// The DirectX 5 vertex type of D3DVERTEX; D3DFVF_VERTEX is the other code.
constexpr DWORD D3DVT_VERTEX_CODE = 1;

bool isVertexCode(DWORD vertexCode) {
  return vertexCode == D3DFVF_VERTEX || vertexCode == D3DVT_VERTEX_CODE;
}

bool sameVertex(const D3DVERTEX& a, const D3DVERTEX& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool listedSeparately(D3DPRIMITIVETYPE type) {
  return type == D3DPT_POINTLIST || type == D3DPT_LINELIST;
}

// The corners' place on the screen, as GL sees them: x and y after the
// division by w. False for a corner behind the eye, which GL clips.
bool onScreen(const D3DVERTEX& vertex, const D3DMATRIX& m, double& x, double& y) {
  const double px = vertex.x, py = vertex.y, pz = vertex.z;
  const double cx = px * m._11 + py * m._21 + pz * m._31 + m._41;
  const double cy = px * m._12 + py * m._22 + pz * m._32 + m._42;
  const double cw = px * m._14 + py * m._24 + pz * m._34 + m._44;
  if (cw <= 0.0) return false;
  x = cx / cw;
  y = cy / cw;
  return true;
}

}  // namespace

// A frame begins with its clear, in the device's own framebuffer (the last
// frame shown may have left the window's bound).
HRESULT GlDevice::clear() {
  if (!ready) return S_OK;
  flush();
  glBindFramebuffer(GL_FRAMEBUFFER, objects.frameBuffer);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  return S_OK;
}

HRESULT GlDevice::beginScene() { return ready ? S_OK : E_FAIL; }

HRESULT GlDevice::endScene() {
  if (!ready) return E_FAIL;
  flush();
  return S_OK;
}

// In the browser the canvas shows the frame when the animation frame returns;
// off the browser it stays in the framebuffer for whoever reads it.
HRESULT GlDevice::present() {
  if (!ready) return S_OK;
  flush();
  showFrame(context, objects.frameBuffer, width, height);
  // Frames drawn by hand, many in one turn of the event loop, are never
  // asked about between them: the finished ones are forgotten here too.
  forgetFinishedFrames();
  if (GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0)) {
    framesInFlight.push_back({fence, std::chrono::steady_clock::now()});
  }
  glFlush();
  return S_OK;
}

bool GlDevice::drawingBehind(std::chrono::steady_clock::duration quickFrame) {
  forgetFinishedFrames();
  if (framesInFlight.empty()) return false;
  return framesInFlight.size() > 1 || lastFrameTime > quickFrame;
}

// GL finishes frames in the order they came; a fence GL cannot wait for
// (its context was lost) stands for a finished frame. WebGL tells a fence
// signalled only in a later turn of the browser's event loop.
void GlDevice::forgetFinishedFrames() {
  while (!framesInFlight.empty()) {
    auto fence = static_cast<GLsync>(framesInFlight.front().fence);
    if (glClientWaitSync(fence, 0, 0) == GL_TIMEOUT_EXPIRED) return;
    glDeleteSync(fence);
    lastFrameTime = std::chrono::steady_clock::now() - framesInFlight.front().presented;
    framesInFlight.pop_front();
  }
}

void GlDevice::forgetFramesInFlight() {
  for (const GlFrameInFlight& frame : framesInFlight) glDeleteSync(static_cast<GLsync>(frame.fence));
  framesInFlight.clear();
}

void GlDevice::flush() {
  flushLists();
  flushTriangles();
}

void GlDevice::flushLists() {
  std::vector<D3DVERTEX>& list = waiting.list;
  if (list.empty()) return;
  // A point drawn again right after itself changes no pixel, and a browser
  // drawing in software pays about a microsecond for every point: a cloud
  // still sampled has its unplaced points all at the origin, 49990 of them
  // in a cloud of 50000, and those are drawn once.
  if (waiting.listType == D3DPT_POINTLIST) {
    list.erase(std::unique(list.begin(), list.end(), sameVertex), list.end());
  }
  prepareDraw(multiplied(state.world, state.view), waiting.listLit);
  glBindVertexArray(objects.listArray);
  // The list drawn last is in the buffer still, and the cloud or its "Field"
  // lines are the same frame after frame: only a list that differs is sent,
  // as the triangles' buffers are.
  const size_t bytes = list.size() * sizeof(D3DVERTEX);
  if (cache.list.size() != list.size() || std::memcmp(cache.list.data(), list.data(), bytes) != 0) {
    glBindBuffer(GL_ARRAY_BUFFER, objects.listBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), list.data(), GL_DYNAMIC_DRAW);
    cache.list.swap(list);
  }
  glDrawArrays(waiting.listType == D3DPT_POINTLIST ? GL_POINTS : GL_LINES, 0,
               GLsizei(cache.list.size()));
  list.clear();
}

HRESULT GlDevice::drawPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                                DWORD vertexCount, DWORD flags) {
  if (!ready) return E_FAIL;
  if (!isVertexCode(vertexCode)) return E_NOTIMPL;
  const bool lit = (flags & D3DDP_DONOTLIGHT) == 0;
  const auto* first = static_cast<const D3DVERTEX*>(vertices);
  if (type == D3DPT_TRIANGLELIST) {
    return drawTriangles(first, vertexCount - vertexCount % 3, nullptr, 0, lit);
  }
  if (!listedSeparately(type)) return E_NOTIMPL;
  flushTriangles();
  // A line list draws whole lines only.
  const DWORD usable = type == D3DPT_LINELIST ? vertexCount - vertexCount % 2 : vertexCount;
  if (!waiting.list.empty() && (waiting.listType != type || waiting.listLit != lit)) flush();
  waiting.listType = type;
  waiting.listLit = lit;
  waiting.list.insert(waiting.list.end(), first, first + usable);
  return S_OK;
}

HRESULT GlDevice::drawIndexedPrimitive(D3DPRIMITIVETYPE type, DWORD vertexCode, void* vertices,
                                       DWORD vertexCount, WORD* indices, DWORD indexCount,
                                       DWORD flags) {
  if (!ready) return E_FAIL;
  if (!isVertexCode(vertexCode) || type != D3DPT_TRIANGLELIST) return E_NOTIMPL;
  return drawTriangles(static_cast<const D3DVERTEX*>(vertices), vertexCount, indices,
                       indexCount - indexCount % 3, (flags & D3DDP_DONOTLIGHT) == 0);
}

// Whether the cull mode takes away the triangle with these corners, judged
// by its turn on the screen as GL judges a filled one.
bool GlDevice::culled(const D3DVERTEX* vertices, const std::uint32_t* corners,
                      const D3DMATRIX& clip) const {
  if (state.cullMode == D3DCULL_NONE) return false;
  double x[3], y[3];
  for (int i = 0; i < 3; ++i) {
    if (!onScreen(vertices[corners[i]], clip, x[i], y[i])) return false;
  }
  const double turn = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
  return state.cullMode == D3DCULL_CCW ? turn > 0.0 : turn < 0.0;
}

HRESULT GlDevice::drawTriangles(const D3DVERTEX* vertices, DWORD vertexCount, const WORD* indices,
                                DWORD indexCount, bool lit) {
  if (vertexCount == 0) return S_OK;
  flushLists();
  if (state.fillMode == D3DFILL_SOLID) {
    gather(vertices, vertexCount, indices, indexCount, lit);
    return S_OK;
  }
  flushTriangles();
  const D3DMATRIX worldView = multiplied(state.world, state.view);
  prepareDraw(worldView, lit);
  glBindVertexArray(objects.triangleArray);
  holdTriangleVertices(vertices, vertexCount);
  // Wire and point fills: every triangle the cull mode keeps, as its three
  // edges or its three corners.
  const bool wire = state.fillMode == D3DFILL_WIREFRAME;
  const DWORD corners = indices == nullptr ? vertexCount : indexCount;
  const D3DMATRIX clip = multiplied(worldView, state.projection);
  outline.clear();
  std::uint32_t triangle[3];
  for (DWORD first = 0; first + 3 <= corners; first += 3) {
    for (int i = 0; i < 3; ++i) triangle[i] = indices ? indices[first + i] : first + i;
    if (culled(vertices, triangle, clip)) continue;
    if (wire) {
      outline.insert(outline.end(), {triangle[0], triangle[1], triangle[1], triangle[2],
                                     triangle[2], triangle[0]});
    } else {
      outline.insert(outline.end(), triangle, triangle + 3);
    }
  }
  if (outline.empty()) return S_OK;
  holdTriangleIndices(outline.data(), outline.size() * sizeof(std::uint32_t));
  glDrawElements(wire ? GL_LINES : GL_POINTS, GLsizei(outline.size()), GL_UNSIGNED_INT, nullptr);
  return S_OK;
}

// Sends the triangles' vertices unless their buffer holds them already.
void GlDevice::holdTriangleVertices(const D3DVERTEX* vertices, DWORD count) {
  std::vector<D3DVERTEX>& held = cache.triangleVertices;
  const size_t bytes = count * sizeof(D3DVERTEX);
  if (held.size() == count && std::memcmp(held.data(), vertices, bytes) == 0) return;
  held.assign(vertices, vertices + count);
  glBindBuffer(GL_ARRAY_BUFFER, objects.vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bytes), vertices, GL_DYNAMIC_DRAW);
}

// The same for the indices, 16-bit or 32-bit.
void GlDevice::holdTriangleIndices(const void* indices, size_t bytes) {
  std::vector<unsigned char>& held = cache.triangleIndices;
  if (held.size() == bytes && std::memcmp(held.data(), indices, bytes) == 0) return;
  const auto* first = static_cast<const unsigned char*>(indices);
  held.assign(first, first + bytes);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(bytes), indices, GL_DYNAMIC_DRAW);
}

// Filled triangles join the gathered ones: corners in view space, normals
// turned as the shader would turn them, the material beside each corner.
void GlDevice::gather(const D3DVERTEX* vertices, DWORD vertexCount, const WORD* indices,
                      DWORD indexCount, bool lit) {
  if (!waiting.triangles.empty() && waiting.trianglesLit != lit) flushTriangles();
  waiting.trianglesLit = lit;
  const D3DMATRIX m = multiplied(state.world, state.view);
  float n[9];
  normalMatrix(m, n);
  GlLitVertex corner;
  corner.material = glMaterial(state.material, state.specularEnable != FALSE);
  const auto first = std::uint32_t(waiting.triangles.size());
  for (DWORD i = 0; i < vertexCount; ++i) {
    const D3DVERTEX& v = vertices[i];
    const double p[4] = {v.x, v.y, v.z, 1.0};
    const float* rows = &m._11;
    for (int column = 0; column < 4; ++column) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += p[k] * rows[k * 4 + column];
      corner.position[column] = float(sum);
    }
    const double normal[3] = {v.nx, v.ny, v.nz};
    for (int column = 0; column < 3; ++column) {
      double sum = 0.0;
      for (int k = 0; k < 3; ++k) sum += normal[k] * n[k * 3 + column];
      corner.normal[column] = float(sum);
    }
    waiting.triangles.push_back(corner);
  }
  const DWORD corners = indices == nullptr ? vertexCount : indexCount;
  for (DWORD i = 0; i < corners; ++i) {
    waiting.triangleIndices.push_back(first + (indices ? indices[i] : i));
  }
}

void GlDevice::flushTriangles() {
  std::vector<GlLitVertex>& triangles = waiting.triangles;
  std::vector<std::uint32_t>& indices = waiting.triangleIndices;
  if (indices.empty()) {
    triangles.clear();
    return;
  }
  // The corners are in view space already.
  prepareDraw(identityMatrix(), waiting.trianglesLit);
  glBindVertexArray(objects.litArray);
  glBindBuffer(GL_ARRAY_BUFFER, objects.litBuffer);
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(triangles.size() * sizeof(GlLitVertex)),
               triangles.data(), GL_STREAM_DRAW);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indices.size() * sizeof(std::uint32_t)),
               indices.data(), GL_STREAM_DRAW);
  glDrawElements(GL_TRIANGLES, GLsizei(indices.size()), GL_UNSIGNED_INT, nullptr);
  triangles.clear();
  indices.clear();
}
