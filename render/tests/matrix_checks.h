// What a test needs to see where a matrix puts a point: the point (a row
// vector with w = 1) times the matrix, as Direct3D applies it.
#pragma once

#include "platform/d3d_types.h"
#include "scene/vector3.h"

#include <cstring>

inline Vector3 transform(const Vector3& p, const D3DMATRIX& m) {
  return {stored(double(p.x) * m._11 + double(p.y) * m._21 + double(p.z) * m._31 + m._41),
          stored(double(p.x) * m._12 + double(p.y) * m._22 + double(p.z) * m._32 + m._42),
          stored(double(p.x) * m._13 + double(p.y) * m._23 + double(p.z) * m._33 + m._43)};
}

inline bool sameMatrix(const D3DMATRIX& a, const D3DMATRIX& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}
