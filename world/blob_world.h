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

  // Six nodes on a ring of radius 10, the player and 44 NPCs.
  BlobWorld();
  ~BlobWorld();
  // Agents point back at their world, so a world never changes address.
  BlobWorld(const BlobWorld&) = delete;
  BlobWorld& operator=(const BlobWorld&) = delete;

  // Replaces the nodes by count nodes of the given mass and power, evenly on
  // a circle of the given radius in the x-y plane, the first on the positive
  // x axis, anticlockwise seen from +z. A single node sits at the origin; a
  // count of 0 or less leaves the world without nodes.
  void layOutRing(int count, float radius, float mass, float power);

  // The summed field of all nodes, 0 where there are none.
  float fieldValue(const Vector3& point) const;
  // GRADIENT_SCALE times the field's gradient by forward differences of
  // gradientStep: it points towards rising field, towards the nodes.
  void numericGradient(const Vector3& point, Vector3& destination) const;

  // Replaces all NPCs by a row of count agents at rest; a negative count
  // counts as 0.
  void spawnNpcs(int count);
  void clearNpcs();
  // Steps the player, then each NPC in index order.
  void stepAgents();
};
