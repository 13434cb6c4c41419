#include "scene/vector3.h"
#include "scene/tests/scene_checks.h"

#include <gtest/gtest.h>

#include <cfloat>

TEST(Vector3, SubtractRoundsEachComponentToFloat) {
  const Vector3 a{1.0f, 1e8f, -2.5f};
  const Vector3 b{FLT_EPSILON / 4, 1.0f, 0.5f};
  Vector3 d;
  a.subtract(b, d);
  // 1 - eps/4 and 1e8 - 1 are not floats: both round back to the minuend.
  expectVector(d, {1.0f, 1e8f, -3.0f});
}

TEST(Vector3, ScaleMayWriteIntoItself) {
  Vector3 v{1.0f, -2.0f, 3.0f};
  v.scale(0.5f, v);
  expectVector(v, {0.5f, -1.0f, 1.5f});
}

TEST(Vector3, DotIsDoublePrecisionAndUnrounded) {
  const Vector3 v{0.0f, 4097.0f, 0.0f};
  // 4097 * 4097 = 16785409 is odd and above 2^24: no float holds it.
  EXPECT_EQ(v.dot(v), 16785409.0);
}

TEST(Vector3, NormalizeGivesUnitLengthAndLeavesZeroAlone) {
  Vector3 v{3.0f, 0.0f, 4.0f};
  normalize(v);
  EXPECT_FLOAT_EQ(v.x, 0.6f);
  EXPECT_FLOAT_EQ(v.z, 0.8f);
  EXPECT_NEAR(std::sqrt(v.dot(v)), 1.0, 1e-7);

  Vector3 zero;
  normalize(zero);
  expectVector(zero, {0, 0, 0});
}
