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
  WorkAllowance unlimited;
  step(unlimited);
}

bool Agent::step(WorkAllowance& allowance) {
  if (world == nullptr) return true;
  if (!pushingOut) {
    // A step begins only when its gravity and its inside test can be paid;
    // otherwise it waits, nothing of it done.
    const std::int64_t beginCost = (FIELD_VALUES_PER_GRADIENT + 1) * world->fieldValueCost();
    if (!allowance.take(beginCost)) return false;
    // stepGravity points towards rising field, towards the nodes.
    world->numericGradient(mesh->position, stepGravity);
    if (!(world->fieldValue(mesh->position) > world->level)) {
      move();
      return true;
    }
    velocity.scale(INSIDE_DAMPING, velocity);
    pushingOut = true;
    pushOutPasses = 0;
  }
  if (!pushOut(allowance)) return false;
  pushingOut = false;
  move();
  return true;
}

// Backs out against the step's gravity until the field falls to the level,
// for at most MAX_PUSH_OUT_PASSES passes and as far as the allowance goes.
// True when the push-out is over.
bool Agent::pushOut(WorkAllowance& allowance) {
  Vector3& p = mesh->position;
  const std::int64_t passCost = world->fieldValueCost();
  while (pushOutPasses < MAX_PUSH_OUT_PASSES) {
    if (!allowance.take(passCost)) return false;
    const Vector3 before = p;
    p.subtract(stepGravity, p);
    ++pushOutPasses;
    if (!(world->fieldValue(p) > world->level)) return true;
    // A gravity too small to move the agent (zero in a constant field) would
    // repeat this very pass up to the bound: its outcome is already known.
    if (p.x == before.x && p.y == before.y && p.z == before.z) return true;
  }
  return true;
}

void Agent::move() {
  ++stepsTaken;
  velocity.add(stepGravity, velocity);
  mesh->position.add(velocity, mesh->position);
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
