// Vectors and matrices for the renderer: the camera's view matrix, the
// rotation matrix of a node's quaternion and matrix products, in Direct3D's
// conventions (row-major D3DMATRIX, points as row vectors p x M, translation
// in the fourth row, left-handed coordinates with the camera looking along
// +z). Lengths and dot products are returned unrounded in double precision;
// every stored element is rounded to a 32-bit float.
#pragma once

#include "platform/d3d_types.h"
#include "scene/vector3.h"

// Below this length a direction is unusable: 1e-6 as a 32-bit float.
constexpr float USABLE_LENGTH = 1e-6f;

double vectorLengthSquared(const Vector3& v);
double vectorLength(const Vector3& v);
double vectorDot(const Vector3& a, const Vector3& b);

// destination = a x b; the destination may be a or b.
Vector3& vectorCross(Vector3& destination, const Vector3& a, const Vector3& b);

D3DMATRIX& identityMatrix(D3DMATRIX& destination);

// destination = B x A (note the order: A is applied first to a row-vector
// point). The destination may be either operand.
void multiplyMatrices(D3DMATRIX& destination, const D3DMATRIX& a, const D3DMATRIX& b);

// Rotation matrix of the quaternion (x, y, z, w), which is not normalised.
D3DMATRIX& quaternionMatrix(D3DMATRIX& destination, float x, float y, float z, float w);

// View matrix of a camera at eye looking at target. The up vector need not be
// unit length nor perpendicular to the view; when it is unusable the world y
// axis, and failing that the world z axis, stands in for it. Returns
// E_INVALIDARG, leaving the destination untouched, when eye and target are
// too close together or no up direction can be found.
HRESULT lookAtMatrix(D3DMATRIX& destination, const Vector3& eye, const Vector3& target,
                     const Vector3& up);
