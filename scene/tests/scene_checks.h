// Checks of the scene's records that the tests of every layer above it share.
#pragma once

#include "scene/mesh_node.h"

#include <gtest/gtest.h>

// Each component exactly as expected.
inline void expectVector(const Vector3& actual, const Vector3& expected) {
  EXPECT_EQ(actual.x, expected.x);
  EXPECT_EQ(actual.y, expected.y);
  EXPECT_EQ(actual.z, expected.z);
}

// Each component within tolerance of the expected one.
inline void expectVectorNear(const Vector3& actual, const Vector3& expected, float tolerance) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// A node that holds no point arrays.
inline void expectNoPoints(const MeshNode& node) {
  EXPECT_EQ(node.positions, nullptr);
  EXPECT_EQ(node.normals, nullptr);
  EXPECT_EQ(node.texCoords, nullptr);
  EXPECT_EQ(node.pointCount, 0);
}
