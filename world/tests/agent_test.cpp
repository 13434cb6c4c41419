#include "world/agent.h"

#include "scene/tests/scene_checks.h"
#include "world/blob_world.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

double speedOf(const Agent& agent) { return std::sqrt(squaredLength(agent.velocity)); }

void expectVectorFloatEq(const Vector3& v, const Vector3& expected) {
  EXPECT_FLOAT_EQ(v.x, expected.x);
  EXPECT_FLOAT_EQ(v.y, expected.y);
  EXPECT_FLOAT_EQ(v.z, expected.z);
}

void expectColor(const ColorRgb& c, float r, float g, float b) {
  EXPECT_NEAR(c.r, r, 1e-6);
  EXPECT_NEAR(c.g, g, 1e-6);
  EXPECT_NEAR(c.b, b, 1e-6);
}

// A world whose player is the agent under test.
struct AgentStep : ::testing::Test {
  BlobWorld world;
  Agent& agent = *world.player;

  void place(const Vector3& position, const Vector3& velocity) {
    agent.mesh->position = position;
    agent.velocity = velocity;
  }
  Vector3 gravityAt(const Vector3& point) const {
    Vector3 gravity;
    world.numericGradient(point, gravity);
    return gravity;
  }
};

}  // namespace

TEST(Agent, StartsAsAReadyUnitCubeAboveTheRingAndStaysThereWithoutAWorld) {
  Agent agent;
  ASSERT_NE(agent.mesh, nullptr);
  EXPECT_EQ(agent.mesh->pointCount, 8);
  EXPECT_EQ(agent.mesh->triangleCount, 12);
  EXPECT_TRUE(agent.mesh->buffersReady);
  EXPECT_EQ(agent.mesh->vertexBuffer[6].x, 1.0f);  // filled, not only built
  EXPECT_EQ(agent.mesh->renderMode, RENDER_MODE_GLOBAL);
  EXPECT_EQ(agent.mesh->scaling.x, 1.0f);
  expectVectorFloatEq(agent.mesh->position, {0, 11, 0});
  expectVectorFloatEq(agent.velocity, {0.8f, 0, 0.1f});
  EXPECT_NEAR(speedOf(agent), 0.806, 1e-3);
  EXPECT_EQ(agent.minSpeed, 0.02f);
  EXPECT_EQ(agent.world, nullptr);

  agent.step();
  expectVectorFloatEq(agent.mesh->position, {0, 11, 0});
  expectVectorFloatEq(agent.velocity, {0.8f, 0, 0.1f});
}

TEST(SpawnNpcs, TheRowRunsFromCyanAtTheLeftToMagentaAtTheRightAtRest) {
  BlobWorld world;
  world.spawnNpcs(2);
  ASSERT_EQ(world.npcCount, 2);
  const MeshNode& first = *world.npcs[0]->mesh;
  expectVectorFloatEq(first.position, {-16.5f, 20, -3.5f});
  expectColor(first.diffuseColor, 0, 1, 1);
  expectColor(first.emissiveColor, 0.4f, 0, 0.4f);
  const MeshNode& last = *world.npcs[1]->mesh;
  expectVectorFloatEq(last.position, {16.5f, 20, 3.5f});
  expectColor(last.diffuseColor, 1, 0, 1);
  expectColor(last.emissiveColor, 0, 0.4f, 0.4f);

  // A single NPC is the row's right end.
  world.spawnNpcs(1);
  ASSERT_EQ(world.npcCount, 1);
  const Agent& npc = *world.npcs[0];
  EXPECT_EQ(npc.world, &world);
  expectColor(npc.mesh->diffuseColor, 1, 0, 1);
  expectColor(npc.mesh->emissiveColor, 0, 0.4f, 0.4f);
  expectVectorFloatEq(npc.mesh->position, {16.5f, 20, 3.5f});
  expectVectorFloatEq(npc.velocity, {0, 0, 0});
  expectVectorFloatEq(npc.mesh->scaling, {0.3f, 0.3f, 0.3f});
}

TEST(SpawnNpcs, TheRowIsEvenAndItsColoursCycle) {
  const BlobWorld world;  // 44 NPCs
  for (int i = 0; i < world.npcCount; ++i) {
    const double t = double(i) / 43;
    const MeshNode& mesh = *world.npcs[i]->mesh;
    EXPECT_NEAR(mesh.position.x, (t - 0.5) * 33, 1e-5);
    EXPECT_EQ(mesh.position.y, 20.0f);
    EXPECT_NEAR(mesh.position.z, (t - 0.5) * 7, 1e-5);
    EXPECT_NEAR(mesh.diffuseColor.b, (std::cos(12.566 * t) + 1) * 0.5, 1e-6);
    EXPECT_NEAR(mesh.emissiveColor.b, (std::cos(18.849 * t) + 1) * 0.2, 1e-6);
    EXPECT_NEAR(mesh.emissiveColor.r + mesh.emissiveColor.g, 0.4, 1e-6);
  }
}

TEST(SpawnNpcs, ReplacesTheWholeRowAndRefusesNegativeCounts) {
  BlobWorld world;
  world.spawnNpcs(3);
  EXPECT_EQ(world.npcCount, 3);
  world.spawnNpcs(0);
  EXPECT_EQ(world.npcCount, 0);
  EXPECT_EQ(world.npcs, nullptr);
  world.spawnNpcs(5);
  world.spawnNpcs(-7);
  EXPECT_EQ(world.npcCount, 0);
  EXPECT_EQ(world.npcs, nullptr);
  world.clearNpcs();
  EXPECT_EQ(world.npcCount, 0);
}

TEST(StepAgents, MovesThePlayerAndEveryNpc) {
  BlobWorld world;
  world.spawnNpcs(3);
  Vector3 before[4];
  for (int i = 0; i <= 3; ++i) before[i] = world.agentAt(i).mesh->position;
  world.stepAgents();
  for (int i = 0; i <= 3; ++i) {
    Vector3 moved;
    world.agentAt(i).mesh->position.subtract(before[i], moved);
    EXPECT_GT(squaredLength(moved), 0.0) << "agent " << i;
  }
}

TEST_F(AgentStep, AFieldExactlyAtTheLevelCountsAsOutside) {
  const Vector3 start{3.0f, 4.0f, 0.5f};
  place(start, Vector3{0.0f, 0.5f, 0.0f});
  world.level = world.fieldValue(start);
  const Vector3 gravity = gravityAt(start);

  agent.step();

  // Neither damped by 0.9997 nor pushed: gravity is added, the agent moves,
  // and only then is the velocity damped.
  Vector3 velocity;
  Vector3{0.0f, 0.5f, 0.0f}.add(gravity, velocity);
  Vector3 expected;
  start.add(velocity, expected);
  expectVector(agent.mesh->position, expected);
  velocity.scale(0.98f, velocity);
  expectVectorFloatEq(agent.velocity, velocity);
}

TEST_F(AgentStep, DeepInsideItIsPushedBackAlongGravityUntilOutsideThenMoves) {
  world.layOutRing(1, 0.0f, 1.0f, 2.0f);  // the surface is the sphere of radius 2
  const Vector3 start{1.5f, 0.0f, 0.0f};
  place(start, Vector3{0.0f, 0.0f, 0.0f});
  const Vector3 gravity = gravityAt(start);

  agent.step();

  // From rest, the move after the push-out is gravity itself.
  Vector3 pushedTo;
  agent.mesh->position.subtract(gravity, pushedTo);
  EXPECT_LE(world.fieldValue(pushedTo), world.level);
  Vector3 onePassLess;
  pushedTo.add(gravity, onePassLess);
  EXPECT_GT(world.fieldValue(onePassLess), world.level) << "pushed further than needed";
  const double passes = (pushedTo.x - start.x) / -gravity.x;
  EXPECT_NEAR(passes, std::round(passes), 1e-3) << "not whole passes along -gravity";
  EXPECT_GE(std::round(passes), 3.0);
}

TEST_F(AgentStep, InsideTheVelocityIsDampedBeforeGravityIsAdded) {
  world.layOutRing(1, 0.0f, 1.0f, 2.0f);
  const Vector3 start{0.0f, 1.0f, 0.0f};
  place(start, Vector3{0.5f, 0.0f, 0.0f});
  const Vector3 gravity = gravityAt(start);

  agent.step();

  Vector3 velocity;
  Vector3{0.5f, 0.0f, 0.0f}.scale(0.9997f, velocity);
  velocity.add(gravity, velocity);
  velocity.scale(0.98f, velocity);
  expectVectorFloatEq(agent.velocity, velocity);
}

TEST_F(AgentStep, SlowAgentsAreSpedUpToTheMinimumAndRestingOnesStayAtRest) {
  world.layOutRing(0, 10.0f, 3.0f, 2.0f);  // no field, no gravity
  place(Vector3{1, 2, 3}, Vector3{0.001f, 0.0f, -0.001f});
  world.spawnNpcs(1);
  const Agent& resting = *world.npcs[0];

  world.stepAgents();

  EXPECT_NEAR(speedOf(agent), agent.minSpeed, 1e-8);
  EXPECT_GT(agent.velocity.x, 0.0f);
  EXPECT_LT(agent.velocity.z, 0.0f);
  // A velocity of zero length has no direction to stretch: it stays zero.
  expectVectorFloatEq(resting.velocity, {0, 0, 0});
  expectVectorFloatEq(resting.mesh->position, {16.5f, 20, 3.5f});
}

TEST_F(AgentStep, AConstantFieldAboveTheLevelDoesNotHangThePushOut) {
  world.layOutRing(3, 5.0f, 1.0f, 0.0f);  // power 0: field 3 everywhere, no gravity
  place(Vector3{1.0f, 2.0f, 3.0f}, Vector3{0.5f, 0.0f, 0.0f});

  const std::int64_t before = world.termsEvaluated;
  agent.step();
  // A pass that cannot move the agent is not repeated up to the bound.
  EXPECT_LE(world.termsEvaluated - before, 10 * world.fieldValueCost());

  // Pushing against zero gravity leads nowhere; the step moves on, with the
  // velocity damped as inside the surface.
  EXPECT_FLOAT_EQ(agent.mesh->position.x, 1.0f + 0.5f * 0.9997f);
  EXPECT_EQ(agent.mesh->position.y, 2.0f);
}

TEST_F(AgentStep, AFieldRisingOutwardsDoesNotHangThePushOut) {
  world.layOutRing(6, 10.0f, 3.0f, -2.0f);
  world.spawnNpcs(2);
  for (int frame = 0; frame < 3; ++frame) world.stepAgents();
  for (int i = 0; i <= 2; ++i) EXPECT_TRUE(std::isfinite(world.agentAt(i).mesh->position.x));
}

TEST_F(AgentStep, InTheDefaultWorldEveryAgentReachesTheSurfaceAndKeepsMoving) {
  constexpr int FRAMES = 1000;
  constexpr int FRAMES_TO_REACH_SURFACE = 300;
  bool reached[45] = {};
  for (int frame = 0; frame < FRAMES; ++frame) {
    world.stepAgents();
    for (int i = 0; i <= world.npcCount; ++i) {
      const Agent& moving = world.agentAt(i);
      const Vector3& p = moving.mesh->position;
      if (world.fieldValue(p) > world.level) reached[i] = true;
      if (frame == FRAMES_TO_REACH_SURFACE) {
        EXPECT_TRUE(reached[i]) << "agent " << i;
      }
      ASSERT_LT(squaredLength(p), 100.0 * 100.0) << "agent " << i << " escaped";
      ASSERT_GE(speedOf(moving), moving.minSpeed * (1 - 1e-6)) << "agent " << i;
    }
  }
}

namespace {

bool samePlace(const Vector3& a, const Vector3& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

struct AgentProgress {
  std::int64_t steps;
  bool pushingOut;
  int passes;
  Vector3 position;
};

AgentProgress progressOf(const Agent& agent) {
  return {agent.stepsTaken, agent.pushingOut, agent.pushOutPasses, agent.mesh->position};
}

// Steps a world of a hundred heavy nodes for the given frames beside a twin
// whose agents step without any limit, and checks every frame: the frame's
// work stays within its allowance; the agents take their turns round the row
// from the one the frame before left waiting (the player when none was),
// each finishing one step, until one is left waiting, and no agent after it
// moves; and every agent whose step is over stands where its twin stands
// after as many steps, to the bit, with the same velocity. Returns the
// frames that left an agent waiting.
int stepBesideUnlimitedTwin(float power, float level, int npcs, int frames) {
  BlobWorld world;
  BlobWorld twin;
  for (BlobWorld* heavy : {&world, &twin}) {
    heavy->layOutRing(100, 10.0f, 3.0f, power);
    heavy->level = level;
    heavy->spawnNpcs(npcs);
    for (int i = 0; i <= npcs; ++i) heavy->agentAt(i).velocity = AGENT_START_VELOCITY;
  }
  const int agents = npcs + 1;
  int firstTurn = 0;
  int framesCut = 0;
  std::vector<AgentProgress> before(agents);
  for (int frame = 0; frame < frames; ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    for (int i = 0; i < agents; ++i) before[i] = progressOf(world.agentAt(i));
    const std::int64_t termsBefore = world.termsEvaluated;
    world.stepAgents();
    EXPECT_LE(world.termsEvaluated - termsBefore, AGENT_TERMS_PER_FRAME);

    int waiting = -1;
    for (int turn = 0; turn < agents; ++turn) {
      const int i = (firstTurn + turn) % agents;
      const AgentProgress now = progressOf(world.agentAt(i));
      if (waiting >= 0) {
        EXPECT_EQ(now.steps, before[i].steps) << "agent " << i << " after " << waiting;
        EXPECT_EQ(now.passes, before[i].passes) << "agent " << i << " after " << waiting;
        EXPECT_TRUE(samePlace(now.position, before[i].position)) << "agent " << i;
      } else if (now.steps != before[i].steps + 1) {
        EXPECT_EQ(now.steps, before[i].steps) << "agent " << i;
        waiting = i;
      }
    }
    if (waiting >= 0) ++framesCut;
    firstTurn = waiting >= 0 ? waiting : 0;

    for (int i = 0; i < agents; ++i) {
      const Agent& agent = world.agentAt(i);
      if (agent.pushingOut) continue;
      Agent& unlimited = twin.agentAt(i);
      while (unlimited.stepsTaken < agent.stepsTaken) unlimited.step();
      EXPECT_TRUE(samePlace(agent.mesh->position, unlimited.mesh->position)) << "agent " << i;
      EXPECT_TRUE(samePlace(agent.velocity, unlimited.velocity)) << "agent " << i;
    }
    if (::testing::Test::HasFailure()) break;
  }
  return framesCut;
}

}  // namespace

TEST(StepAgents, HeavyWorldsMoveAlongTheUnlimitedPathsTakingTurnsRoundTheRow) {
  // A wide blob (power 1) covers the NPCs' row: they start deep inside,
  // pushing out for up to a million terms each, and then move on over it.
  EXPECT_GT(stepBesideUnlimitedTwin(1.0f, DEFAULT_LEVEL, 20, 200), 20);
  // Below a level no field goes under every agent is always inside, and
  // every push-out runs to MAX_PUSH_OUT_PASSES over seven frames.
  EXPECT_GT(stepBesideUnlimitedTwin(2.0f, -1e30f, 5, 60), 50);
}

TEST(StepAgents, TheDefaultWorldMovesExactlyAsWithoutTheAllowance) {
  // Its agents land on the blob in the first few hundred frames, the
  // push-outs' busiest time (frame 109 the heaviest).
  BlobWorld world;
  BlobWorld unlimited;
  for (int frame = 0; frame < 400; ++frame) {
    world.stepAgents();
    for (int i = 0; i <= unlimited.npcCount; ++i) unlimited.agentAt(i).step();
    for (int i = 0; i <= world.npcCount; ++i) {
      ASSERT_TRUE(samePlace(world.agentAt(i).mesh->position, unlimited.agentAt(i).mesh->position))
          << "agent " << i << ", frame " << frame;
    }
  }
}
