#include "scene/mesh_node.h"
#include "scene/tests/scene_checks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

using ::testing::ElementsAre;
using ::testing::FloatEq;

namespace {

constexpr double QUARTER_TURN = 1.57079632679489661923;

std::array<float, 3> rgb(const ColorRgb& c) { return {c.r, c.g, c.b}; }
std::array<float, 4> xyzw(const Quaternion& q) { return {q.x, q.y, q.z, q.w}; }

void expectDefaultMaterialAndPlacement(const MeshNode& node) {
  EXPECT_THAT(rgb(node.diffuseColor), ElementsAre(0.8f, 0.8f, 0.9f));
  EXPECT_THAT(rgb(node.specularColor), ElementsAre(0.2f, 0.2f, 0.1f));
  EXPECT_THAT(rgb(node.ambientColor), ElementsAre(0.1f, 0.1f, 0.1f));
  EXPECT_THAT(rgb(node.emissiveColor), ElementsAre(0, 0, 0));
  EXPECT_EQ(node.normalLength, 0.0f);
  EXPECT_TRUE(node.drawSurface);
  expectVector(node.position, {0, 0, 0});
  expectVector(node.scaling, {1, 1, 1});
  EXPECT_THAT(xyzw(node.orientation), ElementsAre(0, 0, 1, 0));
}

void expectNothingAllocated(const MeshNode& node) {
  expectNoPoints(node);
  EXPECT_EQ(node.triangleCount, 0);
  EXPECT_EQ(node.childCount, 0);
  EXPECT_EQ(node.triangles, nullptr);
  EXPECT_EQ(node.children, nullptr);
  EXPECT_TRUE(node.vertexBuffer == nullptr && node.indexBuffer == nullptr);
  EXPECT_FALSE(node.buffersReady);
}

// Hangs a new child into the given slot of parent's children array, which
// holds slots entries. Nothing in the system attaches children; tests do it
// by hand as an owner would.
MeshNode* attachChild(MeshNode& parent, int slot, int slots) {
  if (parent.children == nullptr) {
    parent.children = std::make_unique<std::unique_ptr<MeshNode>[]>(slots);
    parent.childCount = slots;
  }
  parent.children[slot] = std::make_unique<MeshNode>();
  parent.children[slot]->parent = &parent;
  return parent.children[slot].get();
}

std::array<float, 8> members(const D3DVERTEX& v) {
  return {v.x, v.y, v.z, v.nx, v.ny, v.nz, v.tu, v.tv};
}

void changeMaterialAndPlacement(MeshNode& node) {
  node.renderMode = RENDER_MODE_POINTS;
  node.diffuseColor = ColorRgb{1, 0, 0};
  node.specularColor = ColorRgb{0, 0, 1};
  node.ambientColor = ColorRgb{1, 1, 0};
  node.emissiveColor = ColorRgb{0, 1, 0};
  node.normalLength = 1.6f;
  node.drawSurface = false;
  node.position.set(1, 2, 3);
  node.scaling.set(2, 2, 2);
  node.setOrientation(Vector3{1, 0, 0}, 1.0f);
}

}  // namespace

TEST(MeshNode, StartsEmptyWithDefaultMaterialAndHalfTurnOrientation) {
  const MeshNode node;
  EXPECT_EQ(node.renderMode, RENDER_MODE_GLOBAL);
  EXPECT_EQ(node.parent, nullptr);
  expectNothingAllocated(node);
  expectDefaultMaterialAndPlacement(node);
}

TEST(MeshNode, AnEmptyNodeBuildsEmptyBuffersThatAllocatingPointsUnreadies) {
  MeshNode node;
  ASSERT_EQ(node.buildBuffers(), ALLOCATED);
  ASSERT_TRUE(node.buffersReady);
  EXPECT_NE(node.vertexBuffer, nullptr);
  EXPECT_NE(node.indexBuffer, nullptr);
  node.fillBuffers();
  EXPECT_TRUE(node.buffersReady);

  // The new points are three cleared arrays.
  ASSERT_EQ(node.allocatePoints(5), ALLOCATED);
  EXPECT_EQ(node.pointCount, 5);
  EXPECT_FALSE(node.buffersReady);
  for (int i = 0; i < 5; ++i) {
    expectVector(node.positions[i], {0, 0, 0});
    expectVector(node.normals[i], {0, 0, 0});
    expectVector(node.texCoords[i], {0, 0, 0});
  }

  ASSERT_EQ(node.allocatePoints(0), ALLOCATED);
  EXPECT_EQ(node.pointCount, 0);

  node.freePoints();
  expectNoPoints(node);
}

TEST(MeshNode, NegativeCountsFailLikeExhaustedMemory) {
  MeshNode node;
  node.makeUnitCube();
  EXPECT_EQ(node.allocatePoints(-1), POSITIONS_FAILED);
  expectNoPoints(node);

  EXPECT_EQ(node.allocateTriangles(-3), TRIANGLES_FAILED);
  EXPECT_EQ(node.triangles, nullptr);
  EXPECT_EQ(node.triangleCount, 0);
  EXPECT_FALSE(node.buffersReady);
}

TEST(MeshNode, FillBuffersCopiesPointsAndTakesTextureCoordinatesFromYAndZ) {
  MeshNode node;
  ASSERT_EQ(node.allocatePoints(2), ALLOCATED);
  node.positions[1].set(1.5f, -2.5f, 3.5f);
  node.normals[1].set(0.0f, 1.0f, 0.0f);
  node.texCoords[1].set(7.0f, 0.25f, 0.75f);

  node.fillBuffers();  // builds the buffers first

  ASSERT_TRUE(node.buffersReady);
  EXPECT_THAT(members(node.vertexBuffer[1]), ElementsAre(1.5f, -2.5f, 3.5f, 0, 1, 0, 0.25f, 0.75f));
}

TEST(MeshNode, IndicesKeepTheLowSixteenBitsOfEachCorner) {
  MeshNode node;
  ASSERT_EQ(node.allocateTriangles(2), ALLOCATED);
  node.triangles[0] = MeshTriangle{{70000, 1, 2}};
  node.triangles[1] = MeshTriangle{{65535, 65536, 3}};
  node.fillBuffers();
  ASSERT_TRUE(node.buffersReady);
  EXPECT_THAT(std::vector<int>(&node.indexBuffer[0], &node.indexBuffer[6]),
              ElementsAre(4464, 1, 2, 65535, 0, 3));
}

TEST(MeshNode, RenderCopyChangesOnlyWhenRefilledAndIsRebuiltOnlyForNewCounts) {
  MeshNode node;
  node.makeUnitCube();
  node.fillBuffers();
  const D3DVERTEX* buffer = node.vertexBuffer.get();

  node.positions[0].set(5, 6, 7);
  EXPECT_EQ(node.vertexBuffer[0].x, -1.0f);
  EXPECT_TRUE(node.buffersReady);

  node.fillBuffers();
  EXPECT_EQ(node.vertexBuffer.get(), buffer);
  EXPECT_EQ(node.vertexBuffer[0].x, 5.0f);
  EXPECT_EQ(node.vertexBuffer[0].z, 7.0f);

  ASSERT_EQ(node.allocatePoints(3), ALLOCATED);
  ASSERT_EQ(node.allocateTriangles(1), ALLOCATED);
  node.positions[2].set(9, 9, 9);
  node.triangles[0] = MeshTriangle{{2, 1, 0}};
  EXPECT_FALSE(node.buffersReady);

  node.fillBuffers();
  ASSERT_TRUE(node.buffersReady);
  EXPECT_EQ(node.vertexBuffer[2].x, 9.0f);
  EXPECT_EQ(node.indexBuffer[0], 2);
  EXPECT_EQ(node.indexBuffer[2], 0);

  node.freeTriangles();
  EXPECT_EQ(node.triangles, nullptr);
  EXPECT_EQ(node.triangleCount, 0);
  EXPECT_FALSE(node.buffersReady);
}

TEST(MeshNode, SetOrientationNormalisesTheAxisAndHalvesTheAngle) {
  MeshNode node;
  node.setOrientation(Vector3{0, 2, 0}, float(QUARTER_TURN));
  EXPECT_THAT(xyzw(node.orientation),
              ElementsAre(0, FloatEq(0.70710677f), 0, FloatEq(0.70710677f)));

  node.setOrientation(Vector3{3, 0, 4}, 2.0f);
  const float sine = std::sin(1.0f);
  EXPECT_FLOAT_EQ(node.orientation.x, 0.6f * sine);
  EXPECT_FLOAT_EQ(node.orientation.z, 0.8f * sine);
  EXPECT_FLOAT_EQ(node.orientation.w, std::cos(1.0f));

  // To the last bit, so that the precision of each step shows.
  node.setOrientation(Vector3{1, 2, 3}, 1.3f);
  EXPECT_THAT(xyzw(node.orientation),
              ElementsAre(0x1.4b3fd8p-3f, 0x1.4b3fd8p-2f, 0x1.f0dfc6p-2f, 0x1.97984cp-1f));

  // An axis of length 0 is used as it is: only the angle remains.
  node.setOrientation(Vector3{0, 0, 0}, 1.3f);
  EXPECT_THAT(xyzw(node.orientation), ElementsAre(0, 0, 0, FloatEq(std::cos(0.65f))));
}

TEST(MeshNode, UnitCubeHasEightCornersAndTwelveOutwardClockwiseTrianglesTwoToAFace) {
  MeshNode node;
  node.makeUnitCube();
  ASSERT_EQ(node.pointCount, 8);
  ASSERT_EQ(node.triangleCount, 12);
  EXPECT_FALSE(node.buffersReady);  // left to fillBuffers

  int cornerUses[8] = {};
  int trianglesPerFace[6] = {};  // -x, +x, -y, +y, -z, +z
  for (int i = 0; i < 8; ++i) {
    const Vector3& p = node.positions[i];
    EXPECT_EQ(std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z), 3.0f) << "corner " << i;
    expectVector(node.normals[i], p);
    expectVector(node.texCoords[i], p);
  }
  for (int t = 0; t < 12; ++t) {
    const int* c = node.triangles[t].corners;
    for (int k = 0; k < 3; ++k) {
      ASSERT_GE(c[k], 0);
      ASSERT_LT(c[k], 8);
      ++cornerUses[c[k]];
    }
    const Vector3& a = node.positions[c[0]];
    const Vector3& b = node.positions[c[1]];
    const Vector3& d = node.positions[c[2]];
    Vector3 ab, ad;
    b.subtract(a, ab);
    d.subtract(a, ad);
    const Vector3 cross{ab.y * ad.z - ab.z * ad.y, ab.z * ad.x - ab.x * ad.z,
                        ab.x * ad.y - ab.y * ad.x};
    const Vector3 centre{(a.x + b.x + d.x) / 3, (a.y + b.y + d.y) / 3, (a.z + b.z + d.z) / 3};
    // The triangle lies in a face; its cross product must point out of the
    // cube along that face's axis.
    EXPECT_GT(cross.dot(centre), 0.0) << "triangle " << t << " faces inwards";
    const int nonZero = (cross.x != 0) + (cross.y != 0) + (cross.z != 0);
    EXPECT_EQ(nonZero, 1) << "triangle " << t << " does not lie in a face";
    const float axes[3][3] = {{a.x, b.x, d.x}, {a.y, b.y, d.y}, {a.z, b.z, d.z}};
    for (int axis = 0; axis < 3; ++axis) {
      if (axes[axis][0] == axes[axis][1] && axes[axis][1] == axes[axis][2]) {
        ++trianglesPerFace[2 * axis + (axes[axis][0] > 0 ? 1 : 0)];
      }
    }
  }
  for (int i = 0; i < 8; ++i) EXPECT_GT(cornerUses[i], 0) << "corner " << i << " unused";
  for (int face = 0; face < 6; ++face) EXPECT_EQ(trianglesPerFace[face], 2) << "face " << face;

  // Corner 1 becomes its vertex.
  node.fillBuffers();
  EXPECT_THAT(members(node.vertexBuffer[1]), ElementsAre(1, -1, -1, 1, -1, -1, -1, -1));
}

TEST(MeshNode, ResettingAChildEmptiesItsSlotButKeepsTheParentsCount) {
  MeshNode parent;
  MeshNode* first = attachChild(parent, 0, 3);
  MeshNode* second = attachChild(parent, 2, 3);

  // Take the child out of the parent's ownership before resetting it, as an
  // owner tearing it down would.
  std::unique_ptr<MeshNode> owned(first);
  owned->reset();

  EXPECT_EQ(parent.childCount, 3);
  EXPECT_EQ(parent.children[0], nullptr);
  EXPECT_EQ(parent.children[1], nullptr);
  EXPECT_EQ(parent.children[2].get(), second);
  EXPECT_EQ(owned->parent, nullptr);
  EXPECT_EQ(second->parent, &parent);
}

TEST(MeshNode, DestroyingAChildLeavesNoDanglingSlotInItsParent) {
  MeshNode parent;
  MeshNode* child = attachChild(parent, 0, 1);
  attachChild(*child, 0, 1);  // a grandchild, destroyed with its parent
  delete child;               // destruction resets first, which frees the slot
  EXPECT_EQ(parent.children[0], nullptr);
  EXPECT_EQ(parent.childCount, 1);
  parent.reset();
  EXPECT_EQ(parent.children, nullptr);
}

TEST(MeshNode, ResetFreesEverythingAndRestoresDefaultsButKeepsRenderMode) {
  MeshNode node;
  node.makeUnitCube();
  node.fillBuffers();
  changeMaterialAndPlacement(node);
  attachChild(node, 0, 2);
  attachChild(node, 1, 2);

  node.reset();

  EXPECT_EQ(node.renderMode, RENDER_MODE_POINTS);
  expectNothingAllocated(node);
  expectDefaultMaterialAndPlacement(node);

  // A cube is made from a reset node, so it starts from the defaults too.
  changeMaterialAndPlacement(node);
  node.makeUnitCube();
  EXPECT_EQ(node.renderMode, RENDER_MODE_POINTS);
  expectDefaultMaterialAndPlacement(node);
}
