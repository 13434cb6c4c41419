// MeshNode, the one drawable thing: per-point geometry, an optional triangle
// list, the render buffers handed to Direct3D unchanged, a material, a
// placement and a list of children. It holds no drawing code; its owner writes
// the geometry and placement, calls fillBuffers, and gives the node to the
// renderer.
//
// Allocations report failure through small result codes rather than
// exceptions, and every failure leaves the node consistent: either an array
// exists with its full count, or it does not exist and its count is 0.
#pragma once

#include "platform/d3d_types.h"
#include "scene/vector3.h"

#include <cstdint>
#include <memory>

// Values of renderMode. The renderer's global fill mode takes the first four
// ("tex" is 3, which draws exactly like 0); a node in mode 4 follows it.
constexpr int RENDER_MODE_SOLID = 0;
constexpr int RENDER_MODE_WIREFRAME = 1;
constexpr int RENDER_MODE_POINTS = 2;
constexpr int RENDER_MODE_TEXTURED = 3;
constexpr int RENDER_MODE_GLOBAL = 4;

// Result codes of the allocating operations.
constexpr int ALLOCATED = 0;
constexpr int POSITIONS_FAILED = 1;
constexpr int NORMALS_FAILED = 2;
constexpr int TEX_COORDS_FAILED = 3;
constexpr int TRIANGLES_FAILED = 1;
constexpr int VERTEX_BUFFER_FAILED = 1;
constexpr int INDEX_BUFFER_FAILED = 2;

constexpr int CORNERS_PER_TRIANGLE = 3;

struct ColorRgb {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
};

// A rotation as x, y, z, w; the renderer turns it into a matrix unnormalised.
struct Quaternion {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;
};

// The material and placement that a new or reset node has. The default
// orientation is a half turn about z, not the identity: a local point
// (x, y, z) is drawn at (-x, -y, z) plus the position.
constexpr ColorRgb DEFAULT_DIFFUSE_COLOR{0.8f, 0.8f, 0.9f};
constexpr ColorRgb DEFAULT_SPECULAR_COLOR{0.2f, 0.2f, 0.1f};
constexpr ColorRgb DEFAULT_AMBIENT_COLOR{0.1f, 0.1f, 0.1f};
constexpr ColorRgb DEFAULT_EMISSIVE_COLOR{0.0f, 0.0f, 0.0f};
constexpr Quaternion DEFAULT_ORIENTATION{0.0f, 0.0f, 1.0f, 0.0f};
constexpr Vector3 DEFAULT_SCALING{1.0f, 1.0f, 1.0f};

// Indices of a triangle's corners in the point arrays. Seen from the visible
// side the corners run clockwise, Direct3D's front-face convention.
struct MeshTriangle {
  int corners[CORNERS_PER_TRIANGLE] = {0, 0, 0};
};

struct MeshNode {
  int renderMode = RENDER_MODE_GLOBAL;

  std::unique_ptr<Vector3[]> positions;
  std::unique_ptr<Vector3[]> normals;
  // Only the second and third components are used: they become tu and tv.
  std::unique_ptr<Vector3[]> texCoords;
  int pointCount = 0;

  std::unique_ptr<MeshTriangle[]> triangles;
  int triangleCount = 0;

  // In the wireframe and point modes and for normal lines the renderer uses
  // the diffuse colour as the emissive one.
  ColorRgb diffuseColor = DEFAULT_DIFFUSE_COLOR;
  ColorRgb specularColor = DEFAULT_SPECULAR_COLOR;
  ColorRgb ambientColor = DEFAULT_AMBIENT_COLOR;
  ColorRgb emissiveColor = DEFAULT_EMISSIVE_COLOR;
  // When not exactly 0, a line this long is drawn along every point's normal.
  float normalLength = 0.0f;
  bool drawSurface = true;

  Vector3 position;
  Quaternion orientation = DEFAULT_ORIENTATION;
  Vector3 scaling = DEFAULT_SCALING;

  // The node whose children array holds this one; not owned.
  MeshNode* parent = nullptr;
  // Entries may be empty: a child that is reset leaves its slot empty and the
  // parent's childCount unchanged.
  std::unique_ptr<std::unique_ptr<MeshNode>[]> children;
  int childCount = 0;

  bool buffersReady = false;
  std::unique_ptr<D3DVERTEX[]> vertexBuffer;       // pointCount entries
  std::unique_ptr<std::uint16_t[]> indexBuffer;    // 3 * triangleCount entries

  MeshNode();
  ~MeshNode();
  // Children point back at their parent, so a node never changes address.
  MeshNode(const MeshNode&) = delete;
  MeshNode& operator=(const MeshNode&) = delete;

  // Frees all geometry, buffers and children, detaches the node from its
  // parent and restores the default material and placement. renderMode is
  // left as it is. A detached child belongs to whoever reset it.
  void reset();

  int allocatePoints(int count);
  void freePoints();
  int allocateTriangles(int count);
  void freeTriangles();

  // Sizes the render buffers for the current points and triangles.
  int buildBuffers();
  // Copies the points and triangles into the render buffers, building them
  // first when they are not ready.
  void fillBuffers();
  void freeBuffers();

  // Rotation by angle (radians) about axis; a zero axis is used as it is.
  void setOrientation(const Vector3& axis, float angle);

  // Resets the node and gives it the eight corners and twelve clockwise
  // triangles of the cube from (-1, -1, -1) to (1, 1, 1); the normals are the
  // corner vectors. The render buffers are left to fillBuffers.
  void makeUnitCube();
};
