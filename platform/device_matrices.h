// The matrices a device starts with, the same for every device: the
// identity, and the fixed projection x' = 2x/z, y' = 2y/z, depth 1 - 1/z
// (near plane at z = 1, depth tending to 1 at infinity, a horizontal field
// of view of 2 atan(1/2)), as row-vector Direct3D matrices.
#pragma once

#include "platform/d3d_types.h"

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
