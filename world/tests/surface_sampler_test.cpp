#include "world/blob_world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr float LEVEL = 0.25f;
constexpr float RANGE = 0.01f;

// Calls of rand() made by work(), seen through the generator's state: the
// work runs after srand(seed), and the values that follow it are looked up in
// a fresh run of the same sequence. Several values are matched, since a
// generator with 15-bit results repeats single values often.
template <typename Work>
int randCallsDuring(unsigned seed, Work work, int limit = 100000) {
  constexpr int WINDOW = 4;
  std::srand(seed);
  work();
  std::vector<int> next(WINDOW);
  for (int& value : next) value = std::rand();
  std::srand(seed);
  std::vector<int> sequence(limit + WINDOW);
  for (int& value : sequence) value = std::rand();
  for (int calls = 0; calls < limit; ++calls)
    if (std::equal(next.begin(), next.end(), sequence.begin() + calls)) return calls;
  return -1;
}

double distanceSquared(const Vector3& a, const Vector3& b) {
  Vector3 d;
  a.subtract(b, d);
  return squaredLength(d);
}

const Vector3& nearestNode(const BlobWorld& world, const Vector3& p) {
  int nearest = 0;
  for (int i = 1; i < world.nodeCount; ++i)
    if (distanceSquared(world.nodes[i].position, p) <
        distanceSquared(world.nodes[nearest].position, p))
      nearest = i;
  return world.nodes[nearest].position;
}

}  // namespace

TEST(SurfaceSampler, PointsLieOnTheBandOnTheGridWithUnitNormalsTowardsTheRing) {
  std::srand(11);
  const BlobWorld world;
  MeshNode surface;
  ASSERT_EQ(world.startSampling(surface, LEVEL, RANGE, 300, 0), 300);
  ASSERT_EQ(surface.pointCount, 300);

  const float low = stored(double(LEVEL) - RANGE), high = stored(double(LEVEL) + RANGE);
  for (int i = 0; i < surface.pointCount; ++i) {
    SCOPED_TRACE(i);
    const Vector3& p = surface.positions[i];
    const float value = world.fieldValue(p);
    EXPECT_GE(value, low);
    EXPECT_LE(value, high);
    for (float coordinate : {p.x, p.y, p.z}) {
      EXPECT_GE(coordinate, -20.0f);
      EXPECT_LE(coordinate, 19.996f);
      const double steps = (double(coordinate) + 20.0) / 0.004;
      EXPECT_NEAR(steps, std::round(steps), 0.01) << coordinate << " is off the grid";
    }
    const Vector3& n = surface.normals[i];
    EXPECT_NEAR(n.dot(n), 1.0, 1e-6);
    Vector3 towardsNode;
    nearestNode(world, p).subtract(p, towardsNode);
    EXPECT_GT(n.dot(towardsNode), 0.0) << "the normal points into the blob";
  }
}

TEST(SurfaceSampler, TheSameGeneratorStateGivesTheSameCloud) {
  const BlobWorld world;
  MeshNode first, second;
  std::srand(5);
  world.startSampling(first, LEVEL, RANGE, 40, 0);
  std::srand(5);
  world.startSampling(second, LEVEL, RANGE, 40, 0);
  EXPECT_EQ(std::memcmp(first.positions.get(), second.positions.get(), 40 * sizeof(Vector3)), 0);
  EXPECT_EQ(std::memcmp(first.normals.get(), second.normals.get(), 40 * sizeof(Vector3)), 0);
}

TEST(SurfaceSampler, BatchesStopAtTheirEndOrAtThePointCount) {
  const BlobWorld world;
  MeshNode surface;
  EXPECT_EQ(world.startSampling(surface, LEVEL, RANGE, 25, 10), 10);
  EXPECT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 10, 10), 20);
  EXPECT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 20, 10), 25);
  EXPECT_EQ(world.startSampling(surface, LEVEL, RANGE, 25, 0), 25);
  EXPECT_EQ(world.startSampling(surface, LEVEL, RANGE, 25, -4), 25);
  // The largest batch does not overflow the end.
  EXPECT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 3, 2147483647), 25);
}

TEST(SurfaceSampler, NothingToPlaceDrawsNothing) {
  const BlobWorld world;
  MeshNode surface;
  surface.allocatePoints(8);
  EXPECT_EQ(randCallsDuring(3, [&] { EXPECT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 8, 10), 8); }), 0);
  EXPECT_EQ(randCallsDuring(3, [&] { EXPECT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 12, 0), 12); }), 0);
  EXPECT_EQ(randCallsDuring(3, [&] { EXPECT_EQ(world.startSampling(surface, LEVEL, RANGE, 0, 10), 0); }), 0);
  EXPECT_EQ(surface.pointCount, 0);
}

TEST(SurfaceSampler, AnUnreachableBandFailsThePointAfterTheFullBudget) {
  BlobWorld world;
  world.layOutRing(0, 10.0f, 3.0f, 2.0f);  // the field is 0 everywhere
  MeshNode surface;
  surface.allocatePoints(10);
  const int calls = randCallsDuring(8, [&] {
    EXPECT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 4, 10), 4);
  }, 3 * TRIES_PER_POINT + 10);
  EXPECT_EQ(calls, 3 * TRIES_PER_POINT);
  EXPECT_EQ(surface.positions[4].x, 0.0f) << "a failed point writes nothing";
}

TEST(SurfaceSampler, ABandAroundZeroWithoutNodesTakesEveryFirstCandidate) {
  BlobWorld world;
  world.layOutRing(0, 10.0f, 3.0f, 2.0f);
  MeshNode surface;
  const int calls = randCallsDuring(8, [&] {
    EXPECT_EQ(world.startSampling(surface, 0.0f, RANGE, 6, 0), 6);
  });
  EXPECT_EQ(calls, 3 * 6);
  // The draws go to z, y and x in this order.
  std::srand(8);
  const float z = stored(((std::rand() % DRAW_MODULUS) * double(DRAW_SCALE) - 1.0) * 20.0);
  const float y = stored(((std::rand() % DRAW_MODULUS) * double(DRAW_SCALE) - 1.0) * 20.0);
  const float x = stored(((std::rand() % DRAW_MODULUS) * double(DRAW_SCALE) - 1.0) * 20.0);
  EXPECT_EQ(surface.positions[0].x, x);
  EXPECT_EQ(surface.positions[0].y, y);
  EXPECT_EQ(surface.positions[0].z, z);
  // Without a gradient the normal is stored as zero.
  EXPECT_EQ(surface.normals[0].x, 0.0f);
  EXPECT_EQ(surface.normals[0].y, 0.0f);
  EXPECT_EQ(surface.normals[0].z, 0.0f);

  // Both bounds belong to the band: a field of exactly 0 is on a band from
  // 0 up ("Level" equal to "Rnge") and on a band up to 0.
  EXPECT_EQ(world.startSampling(surface, RANGE, RANGE, 2, 0), 2);
  EXPECT_EQ(world.startSampling(surface, -RANGE, RANGE, 2, 0), 2);
}

TEST(SurfaceSampler, AFailedPointIsRetriedByTheNextCall) {
  BlobWorld world;
  MeshNode surface;
  ASSERT_EQ(world.startSampling(surface, LEVEL, RANGE, 12, 5), 5);

  world.layOutRing(0, 10.0f, 3.0f, 2.0f);
  ASSERT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 5, 3), 5);

  world.layOutRing(6, 10.0f, 3.0f, 2.0f);
  EXPECT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 5, 3), 8);
  for (int i = 5; i < 8; ++i) EXPECT_NEAR(world.fieldValue(surface.positions[i]), LEVEL, RANGE);
}

TEST(SurfaceSampler, PointsAnAllowanceDoesNotReachArePlacedByLaterCallsAsWithoutIt) {
  const BlobWorld world;
  constexpr int POINTS = 60;
  MeshNode unlimited;
  std::srand(21);
  world.startSampling(unlimited, LEVEL, RANGE, POINTS, 0);

  // An allowance of a few dozen candidates a call leaves most points to
  // later calls.
  const std::int64_t allowanceTerms = 40 * world.fieldValueCost();
  MeshNode limited;
  limited.allocatePoints(POINTS);
  std::srand(21);
  int cursor = 0;
  int calls = 0;
  while (cursor < POINTS && calls < 100000) {
    WorkAllowance allowance{allowanceTerms};
    const std::int64_t before = world.termsEvaluated;
    const int next = world.sampleSurface(limited, LEVEL, RANGE, cursor, 10, allowance);
    ASSERT_LE(world.termsEvaluated - before, allowanceTerms);
    ASSERT_GE(next, cursor);
    cursor = next;
    ++calls;
  }
  ASSERT_EQ(cursor, POINTS);
  EXPECT_GT(calls, 2 * POINTS) << "the allowance never held a point back";
  EXPECT_EQ(std::memcmp(limited.positions.get(), unlimited.positions.get(),
                        POINTS * sizeof(Vector3)), 0);
  EXPECT_EQ(std::memcmp(limited.normals.get(), unlimited.normals.get(),
                        POINTS * sizeof(Vector3)), 0);
}
