// Vector3, the three-float vector shared by the blob world, the mesh node and
// the renderer, with the world's helpers and the one way of normalising used
// throughout the system.
//
// Numeric convention: every stored quantity is a 32-bit float; arithmetic
// between a load and a store runs in double precision and is rounded to float
// only where it is stored. `stored` marks each such rounding.
#pragma once

#include <cmath>

// Rounds a double-precision intermediate to the 32-bit float that is stored.
inline float stored(double value) { return static_cast<float>(value); }

struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  void set(float newX, float newY, float newZ) {
    x = newX;
    y = newY;
    z = newZ;
  }

  // destination = this + other, each component rounded to float; the
  // destination may be this vector itself.
  void add(const Vector3& other, Vector3& destination) const {
    destination.x = stored(double(x) + other.x);
    destination.y = stored(double(y) + other.y);
    destination.z = stored(double(z) + other.z);
  }

  // destination = this - other, each component rounded to float; the
  // destination may be this vector itself.
  void subtract(const Vector3& other, Vector3& destination) const {
    destination.x = stored(double(x) - other.x);
    destination.y = stored(double(y) - other.y);
    destination.z = stored(double(z) - other.z);
  }

  // destination = this * factor; the destination may be this vector itself.
  void scale(float factor, Vector3& destination) const {
    destination.x = stored(double(x) * factor);
    destination.y = stored(double(y) * factor);
    destination.z = stored(double(z) * factor);
  }

  // x*x' + (y*y' + z*z'), in double precision and not rounded.
  double dot(const Vector3& other) const {
    return double(x) * other.x + (double(y) * other.y + double(z) * other.z);
  }
};

// x*x + y*y + z*z summed from left to right in double precision: the squared
// length that distances and speeds are measured with. It may differ from
// dot(v, v), which groups the last two terms first, in the last bit.
inline double squaredLength(const Vector3& v) {
  return double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z;
}

// The system's one way of normalising: a vector of length exactly 0 stays as
// it is; any other is scaled by (float)(1 / length).
inline void normalize(Vector3& v) {
  const double length = std::sqrt(v.dot(v));
  if (length != 0.0) v.scale(stored(1.0 / length), v);
}
