#include "world/agent.h"

#include "world/blob_world.h"

#include <cmath>

Agent::Agent() : mesh(std::make_unique<MeshNode>()) {
  mesh->makeUnitCube();
  mesh->buildBuffers();
  mesh->fillBuffers();
  mesh->position = AGENT_START_POSITION;
}

void Agent::step() {
  if (world == nullptr) return;
  Vector3& p = mesh->position;

  Vector3 gravity;  // points towards rising field, towards the nodes
  world->numericGradient(p, gravity);
  float field = world->fieldValue(p);

  if (field > world->level) {
    velocity.scale(INSIDE_DAMPING, velocity);
    // Back out against the same gravity until the field falls to the level.
    int passes = 0;
    do {
      p.subtract(gravity, p);
      field = world->fieldValue(p);
    } while (field > world->level && ++passes < MAX_PUSH_OUT_PASSES);
  }

  velocity.add(gravity, velocity);
  p.add(velocity, p);
  velocity.scale(FRAME_DAMPING, velocity);

  // Keep the agent moving. A velocity of exactly zero length has no
  // direction to stretch, so it stays zero rather than becoming 0 * inf.
  const double speed = std::sqrt(squaredLength(velocity));
  if (speed < minSpeed && speed != 0.0) {
    const double stretch = double(minSpeed) / speed;
    velocity.set(stored(velocity.x * stretch), stored(velocity.y * stretch),
                 stored(velocity.z * stretch));
  }
}
