#include "world/blob_world.h"

#include "scene/tests/scene_checks.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A world whose only node sits at the origin.
void useSingleNode(BlobWorld& world, float mass, float power) {
  world.layOutRing(1, 123.0f, mass, power);
}

Vector3 summedFieldVector(const BlobWorld& world, const Vector3& point) {
  Vector3 sum;
  for (int i = 0; i < world.nodeCount; ++i) world.nodes[i].addFieldVector(point, sum);
  return sum;
}

}  // namespace

TEST(BlobWorld, StartsWithTheDefaultRingParametersAndAgentsAndTheirField) {
  const BlobWorld world;
  EXPECT_EQ(world.nodeCount, 6);
  EXPECT_EQ(world.ringRadius, 10.0f);
  EXPECT_EQ(world.level, 0.25f);
  EXPECT_EQ(world.range, 0.01f);
  EXPECT_EQ(world.gradientStep, 0.1f);
  EXPECT_EQ(world.useAnalyticGradient, 0);
  for (int i = 0; i < world.nodeCount; ++i) {
    EXPECT_EQ(world.nodes[i].mass, 3.0f);
    EXPECT_EQ(world.nodes[i].power, 2.0f);
  }
  ASSERT_NE(world.player, nullptr);
  EXPECT_EQ(world.player->world, &world);
  ASSERT_EQ(world.npcCount, 44);
  for (int i = 0; i < world.npcCount; ++i) EXPECT_EQ(world.npcs[i]->world, &world);

  // Six terms of 3 / 10^2 at the origin.
  EXPECT_FLOAT_EQ(world.fieldValue(Vector3{}), 0.18f);
  // Outside the ring, rising field lies inwards and the field vector outwards.
  const Vector3 outside{20.0f, 0.0f, 0.0f};
  Vector3 gradient;
  world.numericGradient(outside, gradient);
  EXPECT_LT(gradient.x, 0.0f);
  EXPECT_GT(summedFieldVector(world, outside).x, 0.0f);
}

TEST(BlobWorld, DefaultRingStartsOnPositiveXAndTurnsAnticlockwise) {
  const BlobWorld world;
  const Vector3& first = world.nodes[0].position;
  const Vector3& second = world.nodes[1].position;
  const Vector3& fourth = world.nodes[3].position;
  EXPECT_EQ(first.x, 10.0f);
  EXPECT_EQ(first.y, 0.0f);
  EXPECT_FLOAT_EQ(second.x, 5.0f);
  EXPECT_FLOAT_EQ(second.y, 8.660254f);
  EXPECT_FLOAT_EQ(fourth.x, -10.0f);
  EXPECT_NEAR(fourth.y, 0.0f, 1e-5);
  for (int i = 0; i < world.nodeCount; ++i) {
    EXPECT_EQ(world.nodes[i].position.z, 0.0f);
    EXPECT_NEAR(std::sqrt(squaredLength(world.nodes[i].position)), 10.0, 1e-5);
    // Consecutive nodes are one sixth of a turn apart.
    const Vector3& p = world.nodes[i].position;
    const Vector3& q = world.nodes[(i + 1) % 6].position;
    EXPECT_NEAR(std::atan2(double(p.x) * q.y - double(p.y) * q.x, p.dot(q)), 1.0471976, 1e-6);
  }
}

TEST(BlobWorld, LayOutRingReplacesNodesAndKeepsTheRadiusPuttingASingleNodeAtTheOrigin) {
  BlobWorld world;
  world.layOutRing(3, 4.0f, 1.5f, 3.0f);
  ASSERT_EQ(world.nodeCount, 3);
  EXPECT_EQ(world.ringRadius, 4.0f);
  EXPECT_EQ(world.nodes[0].position.x, 4.0f);
  EXPECT_FLOAT_EQ(world.nodes[1].position.x, -2.0f);
  EXPECT_FLOAT_EQ(world.nodes[1].position.y, 3.4641016f);
  EXPECT_FLOAT_EQ(world.nodes[2].position.y, -3.4641016f);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(world.nodes[i].mass, 1.5f);
    EXPECT_EQ(world.nodes[i].power, 3.0f);
  }
  // The agents are not touched by a new ring.
  EXPECT_EQ(world.npcCount, 44);

  world.layOutRing(1, 7.0f, 2.0f, 2.0f);
  ASSERT_EQ(world.nodeCount, 1);
  EXPECT_EQ(world.ringRadius, 7.0f);
  expectVector(world.nodes[0].position, {0, 0, 0});
}

TEST(BlobWorld, WithoutNodesEveryFieldQuantityIsZero) {
  for (const int count : {0, -4}) {
    BlobWorld world;
    world.layOutRing(count, 5.0f, 3.0f, 2.0f);
    EXPECT_EQ(world.nodeCount, 0);
    EXPECT_EQ(world.nodes, nullptr);
    EXPECT_EQ(world.ringRadius, 5.0f);
    const Vector3 point{1.0f, -2.0f, 3.0f};
    EXPECT_EQ(world.fieldValue(point), 0.0f);
    Vector3 gradient{9.0f, 9.0f, 9.0f};
    world.numericGradient(point, gradient);
    expectVector(gradient, {0, 0, 0});
    EXPECT_EQ(squaredLength(summedFieldVector(world, point)), 0.0);
  }
}

TEST(BlobWorld, FieldTermsUseRealPowersAndIEEEResults) {
  BlobWorld world;
  useSingleNode(world, 2.0f, 3.0f);
  EXPECT_EQ(world.fieldValue(Vector3{0, 2, 0}), 0.25f);  // 2 / 2^3

  useSingleNode(world, 1.0f, 1.5f);
  EXPECT_EQ(world.fieldValue(Vector3{0, 0, 4}), 0.125f);  // 1 / 4^1.5

  useSingleNode(world, 1.0f, -2.0f);  // a field that grows with distance
  EXPECT_EQ(world.fieldValue(Vector3{3, 0, 0}), 9.0f);
  EXPECT_DOUBLE_EQ(world.nodes[0].fieldTerm(Vector3{0, 4, 3}), 25.0);

  // A point on a node gives an infinite field without failing.
  useSingleNode(world, 3.0f, 2.0f);
  EXPECT_TRUE(std::isinf(world.fieldValue(Vector3{})));
}

TEST(BlobWorld, NumericGradientIsThreeTenthsOfTheSlopeTowardsTheNodes) {
  BlobWorld world;
  useSingleNode(world, 3.0f, 2.0f);
  // F = 3 / r^2, so dF/dx = -6 x / r^4, -0.048 at (5, 0, 0).
  const Vector3 point{5.0f, 0.0f, 0.0f};
  Vector3 gradient;
  world.numericGradient(point, gradient);
  EXPECT_NEAR(gradient.x, 0.3 * -0.048, 0.3 * 0.048 * 0.05);  // forward difference
  EXPECT_LT(gradient.y, 0.0f);  // stepping off the axis moves away from the node
  EXPECT_LT(gradient.z, 0.0f);

  // The factor follows the step, so a finer step gets closer to the slope.
  world.gradientStep = 0.001f;
  world.numericGradient(point, gradient);
  EXPECT_NEAR(gradient.x, 0.3 * -0.048, 0.3 * 0.048 * 0.002);
}

TEST(BlobWorld, FieldVectorHasTheTermsLengthAndPointsAwayFromTheNode) {
  BlobNode node;
  node.position.set(1.0f, 2.0f, 3.0f);
  node.mass = 2.0f;
  const Vector3 point{4.0f, 6.0f, 3.0f};  // 5 away along (0.6, 0.8, 0)
  Vector3 accumulator{1.0f, 0.0f, -1.0f};
  node.addFieldVector(point, accumulator);
  EXPECT_DOUBLE_EQ(node.fieldTerm(point), 0.08);
  EXPECT_FLOAT_EQ(accumulator.x, 1.0f + 0.048f);
  EXPECT_FLOAT_EQ(accumulator.y, 0.064f);
  EXPECT_EQ(accumulator.z, -1.0f);
}

TEST(WorkAllowance, IsSpentToItsLastTermAndNoFurther) {
  WorkAllowance allowance{10};
  EXPECT_TRUE(allowance.take(4));
  EXPECT_FALSE(allowance.take(7)) << "more than is left";
  EXPECT_TRUE(allowance.take(6));
  EXPECT_FALSE(allowance.holds(1));
}
