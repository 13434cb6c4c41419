#include "world/blob_world.h"

#include <cmath>
#include <new>

namespace {

// The row of NPCs that spawnNpcs lays out at rest, shrunk to a third of a cube.
constexpr double NPC_ROW_WIDTH = 33.0;   // along x
constexpr double NPC_ROW_DEPTH = 7.0;    // along z
constexpr float NPC_START_HEIGHT = 20.0f;
constexpr float NPC_SCALE = 0.3f;
// Colour cycles along the row: cos(DIFFUSE_BLUE_CYCLE * t) turns the diffuse
// blue twice from one end to the other, EMISSIVE_BLUE_CYCLE the emissive blue
// three times. Both are kept as these rounded numbers, not as 4 pi and 6 pi.
constexpr double DIFFUSE_BLUE_CYCLE = 12.566;
constexpr double EMISSIVE_BLUE_CYCLE = 18.849;
constexpr float EMISSIVE_STRENGTH = 0.4f;
constexpr float EMISSIVE_BLUE_STRENGTH = 0.2f;

// The node-to-point difference with each component rounded to float, as the
// field terms and vectors measure it.
Vector3 offsetFrom(const Vector3& node, const Vector3& point) {
  Vector3 offset;
  point.subtract(node, offset);
  return offset;
}

}  // namespace

double BlobNode::fieldTerm(const Vector3& point) const {
  const double distance = std::sqrt(squaredLength(offsetFrom(position, point)));
  return double(mass) / std::pow(distance, double(power));
}

void BlobNode::addFieldVector(const Vector3& point, Vector3& accumulator) const {
  const Vector3 offset = offsetFrom(position, point);
  const double distance = std::sqrt(squaredLength(offset));
  const double s = double(mass) / std::pow(distance, double(power) + 1.0);
  accumulator.x = stored(accumulator.x + s * offset.x);
  accumulator.y = stored(accumulator.y + s * offset.y);
  accumulator.z = stored(accumulator.z + s * offset.z);
}

BlobWorld::BlobWorld() {
  if (!layOutRing(DEFAULT_NODE_COUNT, DEFAULT_RING_RADIUS, DEFAULT_NODE_MASS,
                  DEFAULT_NODE_POWER)) {
    throw std::bad_alloc();
  }
  player = std::make_unique<Agent>();
  player->world = this;
  if (!spawnNpcs(DEFAULT_NPC_COUNT)) throw std::bad_alloc();
}

BlobWorld::~BlobWorld() {
  nodes.reset();
  player.reset();
  clearNpcs();
  nodeCount = 0;
}

bool BlobWorld::layOutRing(int count, float radius, float mass, float power) {
  // The new array is obtained before the old one goes, so that a ring whose
  // storage cannot be had leaves the world as it was.
  std::unique_ptr<BlobNode[]> ring;
  if (count > 0) {
    ring.reset(new (std::nothrow) BlobNode[count]);
    if (ring == nullptr) return false;
  }
  nodes = std::move(ring);
  nodeCount = count > 0 ? count : 0;
  ringRadius = radius;
  if (nodeCount == 0) return true;

  const float stepAngle = stored(double(FULL_TURN) / count);
  double angle = 0.0;  // accumulated in double, never rounded
  for (int i = 0; i < nodeCount; ++i) {
    BlobNode& node = nodes[i];
    node.mass = mass;
    node.power = power;
    if (count == 1) {
      node.position = Vector3{};
    } else {
      node.position.set(stored(radius * std::cos(angle)), stored(radius * std::sin(angle)), 0.0f);
    }
    angle += stepAngle;
  }
  return true;
}

float BlobWorld::fieldValue(const Vector3& point) const {
  termsEvaluated += fieldValueCost();
  float sum = 0.0f;
  for (int i = 0; i < nodeCount; ++i) sum = stored(sum + nodes[i].fieldTerm(point));
  return sum;
}

std::int64_t BlobWorld::fieldValueCost() const { return nodeCount > 0 ? nodeCount : 1; }

void BlobWorld::numericGradient(const Vector3& point, Vector3& destination) const {
  const float here = fieldValue(point);
  Vector3 probe = point;
  probe.x = stored(double(point.x) + gradientStep);
  destination.x = stored(double(fieldValue(probe)) - here);
  probe = point;
  probe.y = stored(double(point.y) + gradientStep);
  destination.y = stored(double(fieldValue(probe)) - here);
  probe = point;
  probe.z = stored(double(point.z) + gradientStep);
  destination.z = stored(double(fieldValue(probe)) - here);
  destination.scale(stored(double(GRADIENT_SCALE) / gradientStep), destination);
}

namespace {

// A new agent whose cube is complete, or null when its storage could not be
// obtained.
std::unique_ptr<Agent> newAgent() {
  std::unique_ptr<Agent> agent;
  try {
    agent = std::make_unique<Agent>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  const MeshNode& cube = *agent->mesh;
  if (cube.pointCount == 0 || cube.triangleCount == 0 || !cube.buffersReady) return nullptr;
  return agent;
}

}  // namespace

bool BlobWorld::spawnNpcs(int count) {
  if (count < 0) count = 0;
  // The new row is built completely before the old one is released: when
  // its storage cannot be obtained the world keeps the NPCs it has.
  std::unique_ptr<std::unique_ptr<Agent>[]> row;
  if (count > 0) {
    row.reset(new (std::nothrow) std::unique_ptr<Agent>[count]);
    if (row == nullptr) return false;
  }
  for (int i = 0; i < count; ++i) {
    // t runs from 0 for the first NPC to 1 for the last.
    const float t = (count == 1) ? 1.0f : stored(double(i) / (count - 1));
    row[i] = newAgent();
    if (row[i] == nullptr) return false;
    Agent& npc = *row[i];
    npc.world = this;

    MeshNode& mesh = *npc.mesh;
    mesh.diffuseColor = ColorRgb{t, stored(1.0 - t),
                                 stored((std::cos(DIFFUSE_BLUE_CYCLE * t) + 1.0) * 0.5)};
    const float emissiveGreen = stored(double(EMISSIVE_STRENGTH) * t);
    mesh.emissiveColor =
        ColorRgb{stored(double(EMISSIVE_STRENGTH) - emissiveGreen), emissiveGreen,
                 stored((std::cos(EMISSIVE_BLUE_CYCLE * t) + 1.0) * EMISSIVE_BLUE_STRENGTH)};
    mesh.position.set(stored((t - 0.5) * NPC_ROW_WIDTH), NPC_START_HEIGHT,
                      stored((t - 0.5) * NPC_ROW_DEPTH));
    npc.velocity = Vector3{};
    mesh.scaling.set(NPC_SCALE, NPC_SCALE, NPC_SCALE);
  }
  clearNpcs();
  npcs = std::move(row);
  npcCount = count;
  return true;
}

void BlobWorld::clearNpcs() {
  for (int i = 0; i < npcCount; ++i) npcs[i].reset();
  npcs.reset();
  npcCount = 0;
  firstServed = 0;
}

void BlobWorld::stepAgents() {
  WorkAllowance frame{AGENT_TERMS_PER_FRAME};
  const int agentCount = npcCount + 1;
  for (int turn = 0; turn < agentCount; ++turn) {
    const int index = (firstServed + turn) % agentCount;
    if (!agentAt(index).step(frame)) {
      firstServed = index;
      return;
    }
  }
  firstServed = 0;
}
