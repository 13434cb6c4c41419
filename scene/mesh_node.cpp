#include "scene/mesh_node.h"

#include <cmath>
#include <cstddef>
#include <new>

namespace {

// New arrays are cleared: the surface's texture coordinates are never written
// and its point arrays only fill up while sampling runs, yet the render
// buffers copy every entry. Zeros there are harmless; leftover memory is not.
// A negative count fails like an allocation that found no memory.
template <typename T>
std::unique_ptr<T[]> allocateArray(long long count) {
  if (count < 0) return nullptr;
  return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<std::size_t>(count)]());
}

constexpr int CUBE_CORNER_COUNT = 8;
constexpr int CUBE_TRIANGLE_COUNT = 12;

constexpr Vector3 CUBE_CORNERS[CUBE_CORNER_COUNT] = {
    {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1},
    {-1, 1, -1},  {1, 1, -1},  {1, 1, 1},  {-1, 1, 1},
};

// Two triangles per face, each clockwise seen from outside the cube.
constexpr MeshTriangle CUBE_TRIANGLES[CUBE_TRIANGLE_COUNT] = {
    {{0, 1, 2}}, {{2, 3, 0}},  // y = -1
    {{7, 6, 4}}, {{4, 6, 5}},  // y = +1
    {{0, 4, 1}}, {{1, 4, 5}},  // z = -1
    {{7, 3, 2}}, {{2, 6, 7}},  // z = +1
    {{0, 3, 7}}, {{7, 4, 0}},  // x = -1
    {{1, 5, 2}}, {{2, 5, 6}},  // x = +1
};

}  // namespace

MeshNode::MeshNode() { reset(); }

MeshNode::~MeshNode() { reset(); }

void MeshNode::reset() {
  freePoints();
  freeTriangles();
  freeBuffers();

  diffuseColor = DEFAULT_DIFFUSE_COLOR;
  specularColor = DEFAULT_SPECULAR_COLOR;
  ambientColor = DEFAULT_AMBIENT_COLOR;
  emissiveColor = DEFAULT_EMISSIVE_COLOR;
  normalLength = 0.0f;
  drawSurface = true;
  position = Vector3{};
  orientation = DEFAULT_ORIENTATION;
  scaling = DEFAULT_SCALING;

  // Leave the parent's slot empty without destroying this node: whoever reset
  // it is tearing it down or keeps it. The parent's array is not compacted.
  if (parent != nullptr && parent->children != nullptr) {
    for (int i = 0; i < parent->childCount; ++i) {
      if (parent->children[i].get() == this) parent->children[i].release();
    }
  }
  parent = nullptr;

  if (children != nullptr) {
    for (int i = 0; i < childCount; ++i) {
      if (children[i] == nullptr) continue;
      // Cleared first, so the child's own reset does not walk this array
      // while it is being torn down.
      children[i]->parent = nullptr;
      children[i].reset();
    }
    children.reset();
  }
  childCount = 0;
  buffersReady = false;
}

int MeshNode::allocatePoints(int count) {
  freePoints();
  int result = ALLOCATED;
  positions = allocateArray<Vector3>(count);
  if (positions == nullptr) {
    result = POSITIONS_FAILED;
  } else {
    normals = allocateArray<Vector3>(count);
    if (normals == nullptr) {
      result = NORMALS_FAILED;
    } else {
      texCoords = allocateArray<Vector3>(count);
      if (texCoords == nullptr) result = TEX_COORDS_FAILED;
    }
  }
  if (result != ALLOCATED) {
    freePoints();
    return result;
  }
  pointCount = count;
  buffersReady = false;
  return ALLOCATED;
}

void MeshNode::freePoints() {
  positions.reset();
  normals.reset();
  texCoords.reset();
  pointCount = 0;
  buffersReady = false;
}

int MeshNode::allocateTriangles(int count) {
  freeTriangles();
  triangles = allocateArray<MeshTriangle>(count);
  if (triangles == nullptr) {
    freeTriangles();
    return TRIANGLES_FAILED;
  }
  triangleCount = count;
  buffersReady = false;
  return ALLOCATED;
}

void MeshNode::freeTriangles() {
  triangles.reset();
  triangleCount = 0;
  buffersReady = false;
}

int MeshNode::buildBuffers() {
  freeBuffers();
  int result = ALLOCATED;
  vertexBuffer = allocateArray<D3DVERTEX>(pointCount);
  if (vertexBuffer == nullptr) {
    result = VERTEX_BUFFER_FAILED;
  } else {
    indexBuffer = allocateArray<std::uint16_t>(
        static_cast<long long>(CORNERS_PER_TRIANGLE) * triangleCount);
    if (indexBuffer == nullptr) result = INDEX_BUFFER_FAILED;
  }
  if (result != ALLOCATED) freeBuffers();
  buffersReady = (result == ALLOCATED);
  return result;
}

void MeshNode::fillBuffers() {
  if (!buffersReady) {
    buildBuffers();
    if (!buffersReady) return;
  }
  if (vertexBuffer == nullptr || indexBuffer == nullptr) return;

  for (int i = 0; i < pointCount; ++i) {
    D3DVERTEX& vertex = vertexBuffer[i];
    vertex.x = positions[i].x;
    vertex.y = positions[i].y;
    vertex.z = positions[i].z;
    vertex.nx = normals[i].x;
    vertex.ny = normals[i].y;
    vertex.nz = normals[i].z;
    vertex.tu = texCoords[i].y;
    vertex.tv = texCoords[i].z;
  }
  // Direct3D of this generation takes 16-bit indices: a corner beyond 65535
  // keeps only its low 16 bits.
  for (int t = 0; t < triangleCount; ++t) {
    for (int k = 0; k < CORNERS_PER_TRIANGLE; ++k) {
      indexBuffer[CORNERS_PER_TRIANGLE * std::size_t(t) + k] =
          static_cast<std::uint16_t>(triangles[t].corners[k]);
    }
  }
}

void MeshNode::freeBuffers() {
  vertexBuffer.reset();
  indexBuffer.reset();
}

void MeshNode::setOrientation(const Vector3& axis, float angle) {
  const double length = std::sqrt(squaredLength(axis));
  const float halfAngle = stored(double(angle) * 0.5);
  const float sine = stored(std::sin(double(halfAngle)));
  const double cosine = std::cos(double(halfAngle));

  Vector3 unitAxis = axis;
  if (length != 0.0) {
    const double inverse = 1.0 / length;
    unitAxis.set(stored(axis.x * inverse), stored(axis.y * inverse), stored(axis.z * inverse));
  }
  orientation.x = stored(double(unitAxis.x) * sine);
  orientation.y = stored(double(unitAxis.y) * sine);
  orientation.z = stored(double(unitAxis.z) * sine);
  orientation.w = stored(cosine);
}

void MeshNode::makeUnitCube() {
  reset();
  if (allocatePoints(CUBE_CORNER_COUNT) != ALLOCATED) return;
  for (int i = 0; i < CUBE_CORNER_COUNT; ++i) {
    positions[i] = CUBE_CORNERS[i];
    normals[i] = CUBE_CORNERS[i];
    texCoords[i] = CUBE_CORNERS[i];
  }
  if (allocateTriangles(CUBE_TRIANGLE_COUNT) != ALLOCATED) return;
  for (int t = 0; t < CUBE_TRIANGLE_COUNT; ++t) triangles[t] = CUBE_TRIANGLES[t];
}
