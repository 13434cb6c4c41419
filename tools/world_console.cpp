// Runs the blob world on the console until the window program exists: builds
// the default world, steps its agents frame by frame as the idle loop will,
// and prints where they are and how long a frame of stepping takes.
#include "world/blob_world.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

constexpr int FRAMES = 1200;
constexpr int FRAMES_PER_REPORT = 100;

double lengthOf(const Vector3& v) { return std::sqrt(squaredLength(v)); }

void printWorld(const BlobWorld& world) {
  std::printf("Blob world: %d nodes on a ring of radius %.3f, level %.3f, range %.3f\n",
              world.nodeCount, double(world.ringRadius), double(world.level),
              double(world.range));
  for (int i = 0; i < world.nodeCount; ++i) {
    const BlobNode& node = world.nodes[i];
    std::printf("  node %d at (%7.3f, %7.3f, %7.3f), mass %.3f, power %.3f\n", i,
                double(node.position.x), double(node.position.y), double(node.position.z),
                double(node.mass), double(node.power));
  }
  std::printf("Field at the origin: %.3f\n", double(world.fieldValue(Vector3{})));
  const MeshNode& cube = *world.player->mesh;
  std::printf("Agents: the player and %d NPCs, each a cube of %d corners and %d triangles\n\n",
              world.npcCount, cube.pointCount, cube.triangleCount);
}

// One line per report: where the player is, and how many agents are inside
// the surface or within a tenth of the level from it.
void printFrame(const BlobWorld& world, int frame) {
  int inside = 0;
  int nearSurface = 0;
  const auto count = [&](const Agent& agent) {
    const float field = world.fieldValue(agent.mesh->position);
    if (field > world.level) ++inside;
    if (std::fabs(double(field) - world.level) <= 0.1 * world.level) ++nearSurface;
  };
  count(*world.player);
  for (int i = 0; i < world.npcCount; ++i) count(*world.npcs[i]);

  const Agent& player = *world.player;
  const Vector3& p = player.mesh->position;
  std::printf("frame %4d  player at (%7.2f, %7.2f, %7.2f) field %.3f speed %.3f"
              "  agents inside %2d, near the surface %2d of %d\n",
              frame, double(p.x), double(p.y), double(p.z), double(world.fieldValue(p)),
              lengthOf(player.velocity), inside, nearSurface, world.npcCount + 1);
}

}  // namespace

int main() {
  BlobWorld world;
  printWorld(world);
  printFrame(world, 0);

  using Clock = std::chrono::steady_clock;
  Clock::duration stepping{};
  for (int frame = 1; frame <= FRAMES; ++frame) {
    const Clock::time_point start = Clock::now();
    world.stepAgents();
    stepping += Clock::now() - start;
    if (frame % FRAMES_PER_REPORT == 0) printFrame(world, frame);
  }

  const double microseconds =
      std::chrono::duration<double, std::micro>(stepping).count() / FRAMES;
  std::printf("\nStepping %d agents took %.1f us per frame on average over %d frames.\n",
              world.npcCount + 1, microseconds, FRAMES);
  return 0;
}
