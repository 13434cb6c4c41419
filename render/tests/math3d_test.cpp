#include "render/math3d.h"
#include "render/tests/matrix_checks.h"
#include "scene/tests/scene_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

D3DMATRIX rows(std::initializer_list<float> values) {
  D3DMATRIX m;
  std::memcpy(&m._11, values.begin(), sizeof m);
  return m;
}

void expectMatrixNear(const D3DMATRIX& actual, const D3DMATRIX& expected, float tolerance = 1e-6f) {
  const float* a = &actual._11;
  const float* e = &expected._11;
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(a[i], e[i], tolerance) << "element " << (i / 4 + 1) << (i % 4 + 1);
}

D3DMATRIX translation(float x, float y, float z) {
  D3DMATRIX t;
  identityMatrix(t);
  t._41 = x;
  t._42 = y;
  t._43 = z;
  return t;
}

const D3DMATRIX IDENTITY = rows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

}  // namespace

TEST(VectorFunctions, LengthDotAndCross) {
  EXPECT_EQ(vectorLengthSquared({1, 2, 2}), 9.0);
  EXPECT_EQ(vectorLength({1, 2, 2}), 3.0);
  EXPECT_EQ(vectorDot({1, 2, 3}, {4, -5, 6}), 12.0);

  Vector3 z;
  vectorCross(z, {1, 0, 0}, {0, 1, 0});
  expectVector(z, {0, 0, 1});

  // The destination may be an operand.
  Vector3 a{0, 1, 0};
  vectorCross(a, a, Vector3{0, 0, 1});
  expectVector(a, {1, 0, 0});
}

TEST(MultiplyMatrices, ResultIsSecondOperandTimesFirst) {
  // R is a quarter turn about z that takes the row vector (1, 0, 0) to
  // (0, -1, 0) and (0, 1, 0) to (1, 0, 0).
  D3DMATRIX r;
  quaternionMatrix(r, 0, 0, std::sin(0.7853982f), std::cos(0.7853982f));
  const D3DMATRIX t = translation(1, 2, 3);

  D3DMATRIX rt;
  multiplyMatrices(rt, t, r);  // R x T: rotate first, then translate
  expectVectorNear(transform({1, 0, 0}, rt), {1, 1, 3}, 1e-6f);

  D3DMATRIX tr;
  multiplyMatrices(tr, r, t);  // T x R: translate first, then rotate
  expectVectorNear(transform({1, 0, 0}, tr), {2, -2, 3}, 1e-6f);
}

TEST(MultiplyMatrices, DestinationMayBeEitherOperand) {
  const D3DMATRIX a = rows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  const D3DMATRIX b = rows({-1, 0.5f, 2, 0, 3, 1, 0, -2, 0, 0, 1, 0, 4, -3, 2, 1});
  D3DMATRIX separate;
  multiplyMatrices(separate, a, b);

  D3DMATRIX first = a;
  multiplyMatrices(first, first, b);
  D3DMATRIX second = b;
  multiplyMatrices(second, a, second);
  EXPECT_EQ(std::memcmp(&first, &separate, sizeof separate), 0);
  EXPECT_EQ(std::memcmp(&second, &separate, sizeof separate), 0);

  // Element (1, 1) of B x A is row 1 of B times column 1 of A.
  EXPECT_EQ(separate._11, -1 * 1 + 0.5f * 5 + 2 * 9 + 0 * 13);
}

TEST(QuaternionMatrix, IdentityHalfTurnAndRotationAboutY) {
  D3DMATRIX m;
  expectMatrixNear(quaternionMatrix(m, 0, 0, 0, 1), IDENTITY, 0.0f);
  expectMatrixNear(quaternionMatrix(m, 0, 0, 1, 0),
                   rows({-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}), 0.0f);

  const float theta = 0.6f;
  quaternionMatrix(m, 0, std::sin(theta / 2), 0, std::cos(theta / 2));
  expectVectorNear(transform({1, 0, 0}, m), {std::cos(theta), 0, std::sin(theta)}, 1e-6f);

  // Not normalised: a quaternion of length 2 scales as well as rotates.
  quaternionMatrix(m, 0, 0, 0, 2);
  EXPECT_EQ(m._11, 1.0f);
  quaternionMatrix(m, 2, 0, 0, 0);
  EXPECT_EQ(m._22, -7.0f);
}

TEST(QuaternionMatrix, AUnitQuaternionTurnsAboutItsAxisByItsAngleWithoutStretching) {
  // An axis with no zero component, so that every element of the matrix
  // takes part.
  const double norm = std::sqrt(14.0);
  const Vector3 axis{float(1 / norm), float(2 / norm), float(3 / norm)};
  const double angle = 0.7;
  const double sine = std::sin(angle / 2);
  D3DMATRIX m;
  quaternionMatrix(m, float(axis.x * sine), float(axis.y * sine), float(axis.z * sine),
                   float(std::cos(angle / 2)));

  // Rows of unit length and at right angles: nothing is stretched or sheared.
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const float* a = &m._11 + 4 * i;
      const float* b = &m._11 + 4 * j;
      EXPECT_NEAR(double(a[0]) * b[0] + double(a[1]) * b[1] + double(a[2]) * b[2],
                  i == j ? 1.0 : 0.0, 1e-6)
          << "rows " << i + 1 << " and " << j + 1;
    }
  }
  expectVectorNear(transform(axis, m), axis, 1e-6f);
  const Vector3 across{float(2 / std::sqrt(5.0)), float(-1 / std::sqrt(5.0)), 0};
  EXPECT_NEAR(vectorDot(across, transform(across, m)), std::cos(angle), 1e-6);
}

TEST(LookAtMatrix, CameraOnNegativeZLookingAtOriginOrAlongYWithWorldZAsUp) {
  D3DMATRIX view;
  ASSERT_EQ(lookAtMatrix(view, {0, 0, -10}, {0, 0, 0}, {0, 1, 0}), S_OK);
  expectMatrixNear(view, translation(0, 0, 10), 0.0f);

  ASSERT_EQ(lookAtMatrix(view, {0, 0, 0}, {0, 5, 0}, {0, 1, 0}), S_OK);
  expectMatrixNear(view, rows({-1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1}), 0.0f);
}

TEST(LookAtMatrix, TargetLandsOnViewAxisInFrontOfCamera) {
  const Vector3 eye{3, -4, 7}, target{-1, 2, 0.5f};
  D3DMATRIX view;
  ASSERT_EQ(lookAtMatrix(view, eye, target, {0.2f, 3, 0}), S_OK);
  expectVectorNear(transform(target, view), {0, 0, std::sqrt(16.0f + 36.0f + 42.25f)}, 1e-5f);
  // The eye itself maps to the origin of view space.
  const Vector3 origin = transform(eye, view);
  EXPECT_NEAR(vectorLength(origin), 0.0, 1e-5);
}

TEST(LookAtMatrix, ZeroOrUnusableUpUsesWorldYMadePerpendicular) {
  // An up vector that is not a number gives no direction either: the world y
  // axis stands in for it rather than filling the view with NaN.
  D3DMATRIX withZero, withY, withNan;
  ASSERT_EQ(lookAtMatrix(withZero, {5, 3, -2}, {0, 0, 0}, {0, 0, 0}), S_OK);
  ASSERT_EQ(lookAtMatrix(withY, {5, 3, -2}, {0, 0, 0}, {0, 1, 0}), S_OK);
  ASSERT_EQ(lookAtMatrix(withNan, {5, 3, -2}, {0, 0, 0}, {NAN, 0, 0}), S_OK);
  expectMatrixNear(withZero, withY);
  expectMatrixNear(withNan, withZero, 0.0f);
}

TEST(LookAtMatrix, FailuresLeaveDestinationUntouched) {
  const D3DMATRIX before = rows({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  D3DMATRIX view = before;
  EXPECT_EQ(lookAtMatrix(view, {1, 2, 3}, {1, 2, 3}, {0, 1, 0}), E_INVALIDARG);
  EXPECT_EQ(std::memcmp(&view, &before, sizeof view), 0);

  // Closer than the usable length: still too close.
  EXPECT_EQ(lookAtMatrix(view, {0, 0, 0}, {0, 0, 5e-7f}, {0, 1, 0}), E_INVALIDARG);
  EXPECT_EQ(lookAtMatrix(view, {0, 0, 0}, {NAN, 0, 1}, {0, 1, 0}), E_INVALIDARG);
  EXPECT_EQ(std::memcmp(&view, &before, sizeof view), 0);
}
