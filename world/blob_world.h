// The blob world: point sources on a ring whose summed field,
// mass / distance^power, defines an iso-surface, and the agents that move in
// that field. It answers the field value, its numeric gradient and the field
// vector at any point.
//
// Numeric convention: every stored quantity is a 32-bit float; arithmetic
// between a load and a store runs in double precision (`stored` rounds), and
// powers use double-precision pow with real exponents. Nothing guards the
// arithmetic: a point exactly on a node gives the IEEE results.
#pragma once

#include "scene/vector3.h"
#include "world/agent.h"

#include <memory>

// 2 pi as a 32-bit float, the full turn the ring is divided into.
constexpr float FULL_TURN = 6.2831855f;
// numericGradient returns this times the field's gradient.
constexpr float GRADIENT_SCALE = 0.3f;

constexpr float DEFAULT_LEVEL = 0.25f;
constexpr float DEFAULT_RANGE = 0.01f;
constexpr float DEFAULT_GRADIENT_STEP = 0.1f;
constexpr int DEFAULT_NODE_COUNT = 6;
constexpr float DEFAULT_RING_RADIUS = 10.0f;
constexpr float DEFAULT_NODE_MASS = 3.0f;
constexpr float DEFAULT_NODE_POWER = 2.0f;
constexpr int DEFAULT_NPC_COUNT = 44;

// The surface sampler: candidates per point before the point fails, and the
// draw that maps rand() onto the cube of half-size 20 around the origin in
// steps of 0.004 (from -20 to 19.996).
constexpr int TRIES_PER_POINT = 10000;
constexpr int DRAW_MODULUS = 10000;
constexpr float DRAW_SCALE = 0.0002f;
constexpr double CUBE_HALF_SIZE = 20.0;

// One field source.
struct BlobNode {
  Vector3 position;
  float mass = 1.0f;
  float power = 2.0f;

  // mass / r^power, where r is the distance from the node to point.
  double fieldTerm(const Vector3& point) const;
  // Adds mass * (point - position) / r^(power + 1): a vector of the term's
  // length pointing away from the node.
  void addFieldVector(const Vector3& point, Vector3& accumulator) const;
};

struct BlobWorld {
  std::unique_ptr<BlobNode[]> nodes;
  int nodeCount = 0;
  // A point is inside the surface where the field is greater than level.
  float level = DEFAULT_LEVEL;
  // Half-width of the band the sampler accepts; kept for the caller.
  float range = DEFAULT_RANGE;
  float gradientStep = DEFAULT_GRADIENT_STEP;
  // The world always runs in mode 0 (numeric gradient, acceptance by field
  // value); nothing changes this flag.
  int useAnalyticGradient = 0;
  std::unique_ptr<Agent> player;
  std::unique_ptr<std::unique_ptr<Agent>[]> npcs;
  int npcCount = 0;
  // The radius last given to layOutRing.
  float ringRadius = DEFAULT_RING_RADIUS;

  // Six nodes on a ring of radius 10, the player and 44 NPCs. Throws
  // std::bad_alloc, leaking nothing, when their storage cannot be obtained.
  BlobWorld();
  ~BlobWorld();
  // Agents point back at their world, so a world never changes address.
  BlobWorld(const BlobWorld&) = delete;
  BlobWorld& operator=(const BlobWorld&) = delete;

  // Replaces the nodes by count nodes of the given mass and power, evenly on
  // a circle of the given radius in the x-y plane, the first on the positive
  // x axis, anticlockwise seen from +z. A single node sits at the origin; a
  // count of 0 or less leaves the world without nodes. False, with the world
  // unchanged, when the storage for the new nodes cannot be obtained.
  bool layOutRing(int count, float radius, float mass, float power);

  // The summed field of all nodes, 0 where there are none.
  float fieldValue(const Vector3& point) const;
  // GRADIENT_SCALE times the field's gradient by forward differences of
  // gradientStep: it points towards rising field, towards the nodes.
  void numericGradient(const Vector3& point, Vector3& destination) const;

  // Sizes the surface's point arrays for pointCount points and places the
  // first batch; returns the cursor after it. A failed allocation leaves the
  // surface without points and places nothing.
  int startSampling(MeshNode& surface, float level, float range, int pointCount,
                    int batch) const;
  // Places up to batch more points (all remaining ones when batch is 0 or
  // less) on the band level - range <= field <= level + range, starting at
  // index start (at least 0), each with the unit normal of the field's
  // gradient. Returns the new cursor; a point that finds no candidate within
  // TRIES_PER_POINT draws stops the call at its own index, to be tried again
  // by the next call.
  int sampleSurface(MeshNode& surface, float level, float range, int start, int batch) const;

  // Replaces all NPCs by a row of count agents at rest; a negative count
  // counts as 0. False, with the NPCs kept as they were, when the storage for
  // the new row cannot be obtained.
  bool spawnNpcs(int count);
  void clearNpcs();
  // Steps the player, then each NPC in index order.
  void stepAgents();
};
