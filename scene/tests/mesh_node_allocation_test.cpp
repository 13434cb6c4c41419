// The mesh node's answers to exhausted memory: every failure code and the
// state it leaves.
#include "scene/mesh_node.h"
#include "scene/tests/scene_checks.h"
#include "testing/failing_allocation.h"

#include <gtest/gtest.h>

namespace {

struct MeshNodeAllocation : ::testing::Test {
  void TearDown() override { failAllocationAfter(-1); }
};

}  // namespace

TEST_F(MeshNodeAllocation, AllocatePointsNamesTheArrayThatFailedAndKeepsNone) {
  const int expected[] = {POSITIONS_FAILED, NORMALS_FAILED, TEX_COORDS_FAILED};
  for (int failing = 0; failing < 3; ++failing) {
    MeshNode node;
    ASSERT_EQ(node.allocatePoints(4), ALLOCATED);
    ASSERT_EQ(node.buildBuffers(), ALLOCATED);

    failAllocationAfter(failing);
    EXPECT_EQ(node.allocatePoints(16), expected[failing]);
    expectNoPoints(node);
    EXPECT_FALSE(node.buffersReady);
  }
}

TEST_F(MeshNodeAllocation, FailedTriangleListKeepsNoTriangles) {
  MeshNode node;
  ASSERT_EQ(node.allocateTriangles(2), ALLOCATED);
  failAllocationAfter(0);
  EXPECT_EQ(node.allocateTriangles(12), TRIANGLES_FAILED);
  EXPECT_EQ(node.triangles, nullptr);
  EXPECT_EQ(node.triangleCount, 0);
}

TEST_F(MeshNodeAllocation, FailedBuildKeepsNeitherBuffer) {
  for (int failing = 0; failing < 2; ++failing) {
    MeshNode node;
    node.makeUnitCube();
    ASSERT_EQ(node.buildBuffers(), ALLOCATED);

    failAllocationAfter(failing);
    EXPECT_EQ(node.buildBuffers(), failing == 0 ? VERTEX_BUFFER_FAILED : INDEX_BUFFER_FAILED);
    EXPECT_EQ(node.vertexBuffer, nullptr);
    EXPECT_EQ(node.indexBuffer, nullptr);
    EXPECT_FALSE(node.buffersReady);
  }
}

TEST_F(MeshNodeAllocation, FillWithoutBufferMemoryLeavesTheNodeUnchanged) {
  MeshNode node;
  node.makeUnitCube();
  failAllocationAfter(0);
  node.fillBuffers();
  EXPECT_FALSE(node.buffersReady);
  EXPECT_EQ(node.vertexBuffer, nullptr);
  EXPECT_EQ(node.pointCount, 8);
  EXPECT_EQ(node.triangleCount, 12);
  EXPECT_EQ(node.positions[6].x, 1.0f);

  // Once memory is there again, the next fill builds and fills.
  node.fillBuffers();
  EXPECT_TRUE(node.buffersReady);
  EXPECT_EQ(node.vertexBuffer[6].x, 1.0f);
}

TEST_F(MeshNodeAllocation, UnitCubeStopsAtTheFirstFailedAllocation) {
  MeshNode withoutPoints;
  failAllocationAfter(0);
  withoutPoints.makeUnitCube();
  expectNoPoints(withoutPoints);
  EXPECT_EQ(withoutPoints.triangleCount, 0);

  MeshNode withoutTriangles;
  failAllocationAfter(3);  // the three point arrays succeed
  withoutTriangles.makeUnitCube();
  EXPECT_EQ(withoutTriangles.pointCount, 8);
  EXPECT_EQ(withoutTriangles.positions[0].x, -1.0f);
  EXPECT_EQ(withoutTriangles.triangles, nullptr);
  EXPECT_EQ(withoutTriangles.triangleCount, 0);

  // Such a node still draws its corners: the buffers build without indices.
  withoutTriangles.fillBuffers();
  EXPECT_TRUE(withoutTriangles.buffersReady);
  EXPECT_EQ(withoutTriangles.vertexBuffer[7].z, 1.0f);
}
