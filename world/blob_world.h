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

#include <cstdint>
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

// Field work that one frame's agent steps may do together, in field terms:
// each step's gravity and inside test, and its push-out passes. Under Wine a
// term costs up to about 150 ns (pow with an exponent that is not a whole
// number), so this is at most about 22 ms of work. The heaviest accepted
// world asks 500 terms of every one of its 1001 agents before any push-out,
// and 1000 NPCs just spawned deep inside a blob of 100 nodes would push out
// for up to 10^9 terms. The default world asks at most 8844 terms a frame
// (over its first 200000 frames), so it moves exactly as without the
// allowance. A step that finds the allowance spent waits, not begun or part
// of the way out, for the next frame, and goes on from where it stood.
constexpr std::int64_t AGENT_TERMS_PER_FRAME = 150000;

// The surface sampler: candidates per point before the point fails, and the
// draw that maps rand() onto the cube of half-size 20 around the origin in
// steps of 0.004 (from -20 to 19.996).
constexpr int TRIES_PER_POINT = 10000;
constexpr int DRAW_MODULUS = 10000;
constexpr float DRAW_SCALE = 0.0002f;
constexpr double CUBE_HALF_SIZE = 20.0;

// numericGradient evaluates the field this many times: at the point and one
// step along each axis.
constexpr int FIELD_VALUES_PER_GRADIENT = 4;

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
  // Field terms evaluated so far, one per node and field value: the meter
  // of the world's work, which benchmarks and tests read. It counts, it
  // changes no result.
  mutable std::int64_t termsEvaluated = 0;
  // The agent whose turn comes first in the next frame: the one whose step
  // the frame before left waiting; the player when none was left.
  int firstServed = 0;

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
  // What one field value costs in field terms: one per node, and at least
  // one, since a world without nodes still does the work of asking.
  std::int64_t fieldValueCost() const;
  // GRADIENT_SCALE times the field's gradient by forward differences of
  // gradientStep: it points towards rising field, towards the nodes.
  void numericGradient(const Vector3& point, Vector3& destination) const;

  // Sizes the surface's point arrays for pointCount points and places the
  // first batch; returns the cursor after it. A failed allocation leaves the
  // surface without points and places nothing.
  int startSampling(MeshNode& surface, float level, float range, int pointCount,
                    int batch) const;
  // The same, its first batch within the allowance (see below).
  int startSampling(MeshNode& surface, float level, float range, int pointCount, int batch,
                    WorkAllowance& allowance, int& tries) const;
  // Places up to batch more points (all remaining ones when batch is 0 or
  // less) on the band level - range <= field <= level + range, starting at
  // index start (at least 0), each with the unit normal of the field's
  // gradient. Returns the new cursor; a point that finds no candidate within
  // TRIES_PER_POINT draws stops the call at its own index, to be tried again
  // by the next call.
  int sampleSurface(MeshNode& surface, float level, float range, int start, int batch) const;
  // The same within an allowance of field work: a candidate is drawn only
  // while the allowance still holds its field value and, should it be
  // accepted, its normal. A point the allowance does not reach waits at its
  // index, and the next call goes on drawing from the same sequence, so the
  // cloud is the one an unlimited run places. tries carries the candidates
  // the point at the cursor has drawn between calls (0 for a new run): a
  // point fails only once it has drawn TRIES_PER_POINT in all, however many
  // calls they took, and then the call ends with tries at TRIES_PER_POINT,
  // which the next call takes as a fresh start of that point. So a point
  // fails after exactly the draws it fails after in an unlimited run.
  int sampleSurface(MeshNode& surface, float level, float range, int start, int batch,
                    WorkAllowance& allowance, int& tries) const;

  // Replaces all NPCs by a row of count agents at rest; a negative count
  // counts as 0. False, with the NPCs kept as they were, when the storage for
  // the new row cannot be obtained.
  bool spawnNpcs(int count);
  void clearNpcs();
  // Steps every agent once, the player first and the NPCs in index order
  // after it, with AGENT_TERMS_PER_FRAME of field work shared among them.
  // When the work runs short, the agent whose step it cannot finish and
  // every agent after it wait; the next frame begins with that agent and
  // goes round the row, so every agent takes its k-th step before any takes
  // its (k+1)-th. Agents do not see each other, so the order changes
  // nothing but who waits.
  void stepAgents();
  // The agent at index 0 (the player) to npcCount (the last NPC).
  Agent& agentAt(int index) { return index == 0 ? *player : *npcs[index - 1]; }
};
