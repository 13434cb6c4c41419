// Rejection sampling of the iso-surface: candidates drawn at random in a cube
// around the origin are accepted where the field lies within the band around
// the iso level. One call places at most one batch of points, so a cloud can
// be grown a little per idle tick; the caller keeps the cursor between calls.
#include "world/blob_world.h"

#include <cassert>
#include <cstdlib>

namespace {

// Draws one coordinate: 0..9999 from rand() mapped onto -20 .. 19.996 in
// steps of 0.004.
float drawCoordinate() {
  const int draw = std::rand() % DRAW_MODULUS;
  return stored((draw * double(DRAW_SCALE) - 1.0) * CUBE_HALF_SIZE);
}

}  // namespace

int BlobWorld::startSampling(MeshNode& surface, float level, float range, int pointCount,
                             int batch) const {
  WorkAllowance unlimited;
  int tries = 0;
  return startSampling(surface, level, range, pointCount, batch, unlimited, tries);
}

int BlobWorld::startSampling(MeshNode& surface, float level, float range, int pointCount,
                             int batch, WorkAllowance& allowance, int& tries) const {
  // A failed allocation leaves the node without points, and the sampling
  // below then returns at once.
  surface.allocatePoints(pointCount);
  tries = 0;
  return sampleSurface(surface, level, range, 0, batch, allowance, tries);
}

int BlobWorld::sampleSurface(MeshNode& surface, float level, float range, int start,
                             int batch) const {
  WorkAllowance unlimited;
  int tries = 0;
  return sampleSurface(surface, level, range, start, batch, unlimited, tries);
}

int BlobWorld::sampleSurface(MeshNode& surface, float level, float range, int start, int batch,
                             WorkAllowance& allowance, int& tries) const {
  assert(start >= 0 && "the cursor counts placed points");
  const float low = stored(double(level) - range);
  const float high = stored(double(level) + range);
  int end = surface.pointCount;
  if (batch >= 1 && batch < surface.pointCount - start) end = start + batch;

  const std::int64_t candidateCost = fieldValueCost();
  const std::int64_t normalCost = FIELD_VALUES_PER_GRADIENT * candidateCost;
  int cursor = start;
  while (cursor < end) {
    // A point that failed in an earlier call is tried afresh.
    if (tries >= TRIES_PER_POINT) tries = 0;
    Vector3 candidate;
    bool accepted = false;
    while (!accepted && tries < TRIES_PER_POINT) {
      // The point waits for the next call with the tries it has drawn; an
      // accepted candidate's normal is never left unpaid.
      if (!allowance.holds(candidateCost + normalCost)) return cursor;
      allowance.take(candidateCost);
      ++tries;
      // The draws are assigned z first, then y, then x.
      candidate.z = drawCoordinate();
      candidate.y = drawCoordinate();
      candidate.x = drawCoordinate();
      const float value = fieldValue(candidate);
      accepted = low <= value && value <= high;  // false for NaN
    }
    // The point failed: the next call tries the same index again.
    if (!accepted) return cursor;

    allowance.take(normalCost);
    Vector3 normal;
    numericGradient(candidate, normal);
    normalize(normal);
    surface.positions[cursor] = candidate;
    surface.normals[cursor] = normal;
    ++cursor;
    tries = 0;
  }
  return cursor;
}
