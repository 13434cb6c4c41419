// What every device of the program starts from and computes alike: the light
// slots, the identity, the fixed projection x' = 2x/z, y' = 2y/z, depth
// 1 - 1/z (near plane at z = 1, depth tending to 1 at infinity, a horizontal
// field of view of 2 atan(1/2)), and the product of two row-vector Direct3D
// matrices. Both devices, the GL device's shader and the renderer's math take
// them from here.
#pragma once

#include "platform/d3d_types.h"

// Light slots a device holds.
constexpr int MAX_LIGHTS = 10;

inline D3DMATRIX identityMatrix() {
  D3DMATRIX m{};
  m._11 = m._22 = m._33 = m._44 = 1.0f;
  return m;
}

inline D3DMATRIX fixedProjection() {
  D3DMATRIX m{};
  m._11 = 2.0f;
  m._22 = 2.0f;
  m._33 = 1.0f;
  m._34 = 1.0f;
  m._43 = -1.0f;
  return m;
}

// a x b for row-vector points: a is applied first. Each element is summed in
// double precision and stored as a float.
inline D3DMATRIX multiplied(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX result{};
  const float* pa = &a._11;
  const float* pb = &b._11;
  float* out = &result._11;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += double(pa[row * 4 + k]) * pb[k * 4 + column];
      out[row * 4 + column] = float(sum);
    }
  }
  return result;
}
