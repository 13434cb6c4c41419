// A rebuild or a new row of NPCs whose storage cannot be obtained is refused:
// the world, the surface and the running generation stay as they were, and
// the edits show the current world again.
#include "control/control_ids.h"
#include "control/simulation_control.h"
#include "testing/fake_panel.h"
#include "testing/failing_allocation.h"

#include <gtest/gtest.h>

namespace {

struct ControlAllocation : ::testing::Test {
  FakePanel panel;
  SimulationControl control;

  void SetUp() override {
    control.panel = &panel;
    control.buildDefaultWorld();
    control.generationTick();
  }
  void TearDown() override { failAllocationAfter(-1); }
};

}  // namespace

TEST_F(ControlAllocation, ARebuildWithoutStorageChangesNothing) {
  // Count the array allocations of one rebuild, then fail each in turn.
  panel.edits[IDC_NUMVERTS] = "500";
  panel.edits[IDC_NODES] = "4";
  failAllocationAfter(-1);
  control.regenerateFromEdits();
  const int allocations = allocationsCounted();
  ASSERT_GT(allocations, 10);

  int refused = 0;
  for (int failing = 0; failing < allocations; ++failing) {
    SCOPED_TRACE(failing);
    const BlobWorld* world = control.world.get();
    const MeshNode* surface = control.surface.get();
    const int cursor = control.genCursor;
    panel.edits[IDC_NUMVERTS] = "700";
    panel.edits[IDC_NODES] = "3";

    failAllocationAfter(failing);
    control.regenerateFromEdits();
    failAllocationAfter(-1);
    if (control.world.get() == world) {
      ++refused;
      EXPECT_EQ(control.surface.get(), surface);
      EXPECT_EQ(control.genCursor, cursor);
      EXPECT_EQ(control.world->nodeCount, 4);
      EXPECT_EQ(panel.edits[IDC_NUMVERTS], "500") << "the edits show the current world";
      EXPECT_EQ(panel.edits[IDC_NODES], "4");
    } else {
      // A cube that retried its own buffers still completes the world.
      EXPECT_EQ(control.world->nodeCount, 3);
      EXPECT_EQ(control.surface->pointCount, 700);
      EXPECT_TRUE(control.surface->buffersReady);
      panel.edits[IDC_NUMVERTS] = "500";
      panel.edits[IDC_NODES] = "4";
      control.regenerateFromEdits();
    }
    EXPECT_TRUE(control.generating);
  }
  EXPECT_GT(refused, allocations / 2);
}

TEST_F(ControlAllocation, NewWithoutStorageKeepsTheNpcs) {
  panel.edits[IDC_NPC] = "20";
  failAllocationAfter(0);
  control.OnNew();
  EXPECT_EQ(control.world->npcCount, 44);
  EXPECT_EQ(panel.edits[IDC_NPC], "44");
}
