// The blob world's answers to exhausted memory: a new ring or a new row of
// NPCs that cannot be had leaves the world as it was.
#include "testing/failing_allocation.h"
#include "world/blob_world.h"

#include <gtest/gtest.h>

#include <new>

namespace {

struct WorldAllocation : ::testing::Test {
  void TearDown() override { failAllocationAfter(-1); }
};

}  // namespace

TEST_F(WorldAllocation, ARingWithoutStorageKeepsTheOldRing) {
  BlobWorld world;
  const BlobNode* nodes = world.nodes.get();
  failAllocationAfter(0);
  EXPECT_FALSE(world.layOutRing(12, 4.0f, 1.0f, 1.0f));
  EXPECT_EQ(world.nodes.get(), nodes);
  EXPECT_EQ(world.nodeCount, 6);
  EXPECT_EQ(world.ringRadius, 10.0f);
  EXPECT_EQ(world.nodes[0].mass, 3.0f);
}

TEST_F(WorldAllocation, ARowOfNpcsWithoutStorageKeepsTheOldRow) {
  BlobWorld world;
  failAllocationAfter(-1);
  ASSERT_TRUE(world.spawnNpcs(5));
  const int allocations = allocationsCounted();

  // Each array allocation of a new row fails in turn. Either the whole new
  // row arrives (a cube may retry its own buffers) or the old row stays.
  int refused = 0;
  for (int failing = 0; failing < allocations; ++failing) {
    SCOPED_TRACE(failing);
    failAllocationAfter(-1);
    ASSERT_TRUE(world.spawnNpcs(3));
    const Agent* first = world.npcs[0].get();

    failAllocationAfter(failing);
    if (world.spawnNpcs(5)) {
      ASSERT_EQ(world.npcCount, 5);
      for (int i = 0; i < 5; ++i) {
        const MeshNode& cube = *world.npcs[i]->mesh;
        EXPECT_EQ(cube.pointCount, 8);
        EXPECT_EQ(cube.triangleCount, 12);
        EXPECT_TRUE(cube.buffersReady);
      }
    } else {
      ++refused;
      EXPECT_EQ(world.npcCount, 3);
      EXPECT_EQ(world.npcs[0].get(), first);
      world.stepAgents();  // the kept row still steps
    }
  }
  EXPECT_GT(refused, 5);
  failAllocationAfter(0);
  EXPECT_FALSE(world.spawnNpcs(5)) << "the row's own array";
}

TEST_F(WorldAllocation, AWorldWithoutStorageIsNotConstructed) {
  failAllocationAfter(0);
  EXPECT_THROW(BlobWorld(), std::bad_alloc);
  failAllocationAfter(40);
  EXPECT_THROW(BlobWorld(), std::bad_alloc);
}
