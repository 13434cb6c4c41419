#include "world/blob_world.h"

#include "scene/tests/scene_checks.h"

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

// The first count points of both clouds agree to the bit, normals too.
void expectSameCloud(const MeshNode& actual, const MeshNode& expected, int count) {
  const size_t bytes = count * sizeof(Vector3);
  EXPECT_EQ(std::memcmp(actual.positions.get(), expected.positions.get(), bytes), 0);
  EXPECT_EQ(std::memcmp(actual.normals.get(), expected.normals.get(), bytes), 0);
}

// The default world, a surface and the band of the default level and range.
struct SurfaceSampler : ::testing::Test {
  BlobWorld world;
  MeshNode surface;

  int startSampling(int pointCount, int batch) {
    return world.startSampling(surface, LEVEL, RANGE, pointCount, batch);
  }
  int sampleFrom(int cursor, int batch) {
    return world.sampleSurface(surface, LEVEL, RANGE, cursor, batch);
  }
};

}  // namespace

TEST_F(SurfaceSampler, PointsLieOnTheBandOnTheGridWithUnitNormalsTowardsTheRing) {
  std::srand(11);
  ASSERT_EQ(startSampling(300, 0), 300);
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

TEST_F(SurfaceSampler, TheSameGeneratorStateGivesTheSameCloud) {
  MeshNode second;
  std::srand(5);
  startSampling(40, 0);
  std::srand(5);
  world.startSampling(second, LEVEL, RANGE, 40, 0);
  expectSameCloud(surface, second, 40);
}

TEST_F(SurfaceSampler, BatchesStopAtTheirEndOrAtThePointCount) {
  EXPECT_EQ(startSampling(25, 10), 10);
  EXPECT_EQ(sampleFrom(10, 10), 20);
  EXPECT_EQ(sampleFrom(20, 10), 25);
  EXPECT_EQ(startSampling(25, 0), 25);
  EXPECT_EQ(startSampling(25, -4), 25);
  // The largest batch does not overflow the end.
  EXPECT_EQ(sampleFrom(3, 2147483647), 25);
}

TEST_F(SurfaceSampler, NothingToPlaceDrawsNothing) {
  surface.allocatePoints(8);
  EXPECT_EQ(randCallsDuring(3, [&] { EXPECT_EQ(sampleFrom(8, 10), 8); }), 0);
  EXPECT_EQ(randCallsDuring(3, [&] { EXPECT_EQ(sampleFrom(12, 0), 12); }), 0);
  EXPECT_EQ(randCallsDuring(3, [&] { EXPECT_EQ(startSampling(0, 10), 0); }), 0);
  EXPECT_EQ(surface.pointCount, 0);
}

TEST_F(SurfaceSampler, AnUnreachableBandFailsThePointAfterTheFullBudget) {
  world.layOutRing(0, 10.0f, 3.0f, 2.0f);  // the field is 0 everywhere
  surface.allocatePoints(10);
  const int calls = randCallsDuring(
      8, [&] { EXPECT_EQ(sampleFrom(4, 10), 4); }, 3 * TRIES_PER_POINT + 10);
  EXPECT_EQ(calls, 3 * TRIES_PER_POINT);
  EXPECT_EQ(surface.positions[4].x, 0.0f) << "a failed point writes nothing";
}

TEST_F(SurfaceSampler, ABandAroundZeroWithoutNodesTakesEveryFirstCandidate) {
  world.layOutRing(0, 10.0f, 3.0f, 2.0f);
  const int calls =
      randCallsDuring(8, [&] { EXPECT_EQ(world.startSampling(surface, 0.0f, RANGE, 6, 0), 6); });
  EXPECT_EQ(calls, 3 * 6);
  // The draws go to z, y and x in this order.
  std::srand(8);
  const auto draw = [] {
    return stored(((std::rand() % DRAW_MODULUS) * double(DRAW_SCALE) - 1.0) * 20.0);
  };
  const float z = draw();
  const float y = draw();
  expectVector(surface.positions[0], {draw(), y, z});
  // Without a gradient the normal is stored as zero.
  expectVector(surface.normals[0], {0, 0, 0});

  // Both bounds belong to the band: a field of exactly 0 is on a band from
  // 0 up ("Level" equal to "Rnge") and on a band up to 0.
  EXPECT_EQ(world.startSampling(surface, RANGE, RANGE, 2, 0), 2);
  EXPECT_EQ(world.startSampling(surface, -RANGE, RANGE, 2, 0), 2);
}

TEST_F(SurfaceSampler, AFailedPointIsRetriedByTheNextCall) {
  ASSERT_EQ(startSampling(12, 5), 5);
  world.layOutRing(0, 10.0f, 3.0f, 2.0f);
  ASSERT_EQ(sampleFrom(5, 3), 5);
  world.layOutRing(6, 10.0f, 3.0f, 2.0f);
  EXPECT_EQ(sampleFrom(5, 3), 8);
  for (int i = 5; i < 8; ++i) EXPECT_NEAR(world.fieldValue(surface.positions[i]), LEVEL, RANGE);
}

TEST_F(SurfaceSampler, PointsAnAllowanceDoesNotReachArePlacedByLaterCallsAsWithoutIt) {
  constexpr int POINTS = 60;
  std::srand(21);
  startSampling(POINTS, 0);

  // An allowance of a few dozen candidates a call leaves most points to
  // later calls.
  const std::int64_t allowanceTerms = 40 * world.fieldValueCost();
  MeshNode limited;
  limited.allocatePoints(POINTS);
  std::srand(21);
  int cursor = 0;
  int tries = 0;
  int calls = 0;
  while (cursor < POINTS && calls < 100000) {
    WorkAllowance allowance{allowanceTerms};
    const std::int64_t before = world.termsEvaluated;
    const int next = world.sampleSurface(limited, LEVEL, RANGE, cursor, 10, allowance, tries);
    ASSERT_LE(world.termsEvaluated - before, allowanceTerms);
    ASSERT_GE(next, cursor);
    ASSERT_LT(tries, TRIES_PER_POINT) << "a point that waits for work has not failed";
    cursor = next;
    ++calls;
  }
  ASSERT_EQ(cursor, POINTS);
  EXPECT_GT(calls, 2 * POINTS) << "the allowance never held a point back";
  expectSameCloud(limited, surface, POINTS);
}

TEST_F(SurfaceSampler, APointFailsAfterItsTriesHoweverManyCallsTheyTake) {
  world.layOutRing(0, 10.0f, 3.0f, 2.0f);  // the field is 0 everywhere
  surface.allocatePoints(3);
  int tries = 0;
  int calls = 0;
  const int draws = randCallsDuring(
      8,
      [&] {
        while (tries < TRIES_PER_POINT && calls < TRIES_PER_POINT) {
          WorkAllowance allowance{3000};
          EXPECT_EQ(world.sampleSurface(surface, LEVEL, RANGE, 1, 10, allowance, tries), 1);
          ++calls;
        }
      },
      3 * TRIES_PER_POINT + 10);
  EXPECT_EQ(draws, 3 * TRIES_PER_POINT);
  EXPECT_EQ(tries, TRIES_PER_POINT);
  EXPECT_GT(calls, 3);
  // The next call tries the point afresh.
  WorkAllowance allowance{3000};
  world.sampleSurface(surface, LEVEL, RANGE, 1, 10, allowance, tries);
  EXPECT_LT(tries, 3000);

  // A point placed leaves none of its tries to the next: on a band around
  // the field of 0 every first candidate is taken.
  tries = 5000;
  WorkAllowance more{3000};
  EXPECT_EQ(world.sampleSurface(surface, 0.0f, RANGE, 1, 10, more, tries), 3);
  EXPECT_EQ(tries, 0);
}
