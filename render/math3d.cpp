#include "render/math3d.h"

#include "platform/device_values.h"

#include <cmath>

namespace {

// A length counts as usable when it is at least USABLE_LENGTH; a length that
// is not a number never does.
bool usable(double length) { return length >= USABLE_LENGTH; }

}  // namespace

double vectorLengthSquared(const Vector3& v) {
  return double(v.y) * v.y + double(v.z) * v.z + double(v.x) * v.x;
}

double vectorLength(const Vector3& v) { return std::sqrt(vectorLengthSquared(v)); }

double vectorDot(const Vector3& a, const Vector3& b) {
  return double(a.y) * b.y + double(a.z) * b.z + double(a.x) * b.x;
}

Vector3& vectorCross(Vector3& destination, const Vector3& a, const Vector3& b) {
  const Vector3 result{stored(double(a.y) * b.z - double(b.y) * a.z),
                       stored(double(a.z) * b.x - double(b.z) * a.x),
                       stored(double(a.x) * b.y - double(b.x) * a.y)};
  destination = result;
  return destination;
}

D3DMATRIX& identityMatrix(D3DMATRIX& destination) {
  destination = identityMatrix();
  return destination;
}

// b applied first: the product every device computes, the other way round.
void multiplyMatrices(D3DMATRIX& destination, const D3DMATRIX& a, const D3DMATRIX& b) {
  destination = multiplied(b, a);
}

D3DMATRIX& quaternionMatrix(D3DMATRIX& destination, float x, float y, float z, float w) {
  const double dx = x, dy = y, dz = z, dw = w;
  identityMatrix(destination);
  destination._11 = stored(1.0 - 2.0 * (dy * dy + dz * dz));
  destination._12 = stored(2.0 * (dx * dy - dz * dw));
  destination._13 = stored(2.0 * (dx * dz + dy * dw));
  destination._21 = stored(2.0 * (dx * dy + dz * dw));
  destination._22 = stored(1.0 - 2.0 * (dx * dx + dz * dz));
  destination._23 = stored(2.0 * (dy * dz - dx * dw));
  destination._31 = stored(2.0 * (dx * dz - dy * dw));
  destination._32 = stored(2.0 * (dy * dz + dx * dw));
  destination._33 = stored(1.0 - 2.0 * (dx * dx + dy * dy));
  return destination;
}

HRESULT lookAtMatrix(D3DMATRIX& destination, const Vector3& eye, const Vector3& target,
                     const Vector3& up) {
  Vector3 d;
  target.subtract(eye, d);
  const double viewLength = vectorLength(d);
  if (!usable(viewLength)) return E_INVALIDARG;
  d.set(stored(d.x / viewLength), stored(d.y / viewLength), stored(d.z / viewLength));

  // Up made perpendicular to the view direction.
  const double s = double(d.z) * up.z + double(d.y) * up.y + double(up.x) * d.x;
  Vector3 u{stored(up.x - s * d.x), stored(up.y - s * d.y), stored(up.z - s * d.z)};
  if (!usable(std::sqrt(vectorLengthSquared(u)))) {
    // The world y axis made perpendicular to d.
    u.set(stored(-double(d.y) * d.x), stored(1.0 - double(d.y) * d.y),
          stored(-double(d.y) * d.z));
  }
  if (!usable(std::sqrt(vectorLengthSquared(u)))) {
    // Looking along y: the world z axis made perpendicular to d.
    u.set(stored(-double(d.z) * d.x), stored(-double(d.z) * d.y),
          stored(1.0 - double(d.z) * d.z));
  }
  const double upLength = std::sqrt(vectorLengthSquared(u));
  if (!usable(upLength)) return E_INVALIDARG;
  u.set(stored(u.x / upLength), stored(u.y / upLength), stored(u.z / upLength));

  Vector3 r;
  vectorCross(r, u, d);

  identityMatrix(destination);
  destination._11 = r.x;
  destination._12 = u.x;
  destination._13 = d.x;
  destination._21 = r.y;
  destination._22 = u.y;
  destination._23 = d.y;
  destination._31 = r.z;
  destination._32 = u.z;
  destination._33 = d.z;
  destination._41 = stored(-(double(r.z) * eye.z + double(r.y) * eye.y + double(eye.x) * r.x));
  destination._42 = stored(-(double(u.z) * eye.z + double(u.y) * eye.y + double(eye.x) * u.x));
  destination._43 = stored(-vectorDot(eye, d));
  return S_OK;
}
