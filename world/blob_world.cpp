#include "world/blob_world.h"

#include <cmath>

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
  layOutRing(DEFAULT_NODE_COUNT, DEFAULT_RING_RADIUS, DEFAULT_NODE_MASS, DEFAULT_NODE_POWER);
  player = std::make_unique<Agent>();
  player->world = this;
  spawnNpcs(DEFAULT_NPC_COUNT);
}

BlobWorld::~BlobWorld() {
  nodes.reset();
  player.reset();
  clearNpcs();
  nodeCount = 0;
}

void BlobWorld::layOutRing(int count, float radius, float mass, float power) {
  nodes.reset();
  nodeCount = 0;
  ringRadius = radius;
  if (count <= 0) return;

  // The count is set only once the array exists, so a failed allocation
  // leaves a consistent world without nodes.
  nodes = std::make_unique<BlobNode[]>(count);
  nodeCount = count;
  const float stepAngle = stored(double(FULL_TURN) / count);
  double angle = 0.0;  // accumulated in double, never rounded
  for (int i = 0; i < count; ++i) {
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
}

float BlobWorld::fieldValue(const Vector3& point) const {
  float sum = 0.0f;
  for (int i = 0; i < nodeCount; ++i) sum = stored(sum + nodes[i].fieldTerm(point));
  return sum;
}

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

void BlobWorld::spawnNpcs(int count) {
  clearNpcs();
  if (count <= 0) return;

  npcs = std::make_unique<std::unique_ptr<Agent>[]>(count);
  for (int i = 0; i < count; ++i) {
    // t runs from 0 for the first NPC to 1 for the last.
    const float t = (count == 1) ? 1.0f : stored(double(i) / (count - 1));
    npcs[i] = std::make_unique<Agent>();
    // Counted as each one exists, so an allocation failure part-way leaves
    // the world stepping and destroying only the NPCs it has.
    npcCount = i + 1;
    Agent& npc = *npcs[i];
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
}

void BlobWorld::clearNpcs() {
  for (int i = 0; i < npcCount; ++i) npcs[i].reset();
  npcs.reset();
  npcCount = 0;
}

void BlobWorld::stepAgents() {
  player->step();
  for (int i = 0; i < npcCount; ++i) npcs[i]->step();
}
