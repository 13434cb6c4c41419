// Agent, a cube that moves in the blob field: pulled along the field's
// gradient, pushed back out when it sinks inside the iso-surface, and so
// carried over it. The agent's position is its cube's position, so moving the
// agent moves what is drawn.
#pragma once

#include "scene/mesh_node.h"
#include "scene/vector3.h"
#include "world/work_allowance.h"

#include <cstdint>
#include <memory>

struct BlobWorld;

// Where a new agent starts and how it moves.
constexpr Vector3 AGENT_START_POSITION{0.0f, 11.0f, 0.0f};
constexpr Vector3 AGENT_START_VELOCITY{0.8f, 0.0f, 0.1f};
constexpr float AGENT_MIN_SPEED = 0.02f;
// Velocity kept per frame while inside the surface, and per frame always.
constexpr float INSIDE_DAMPING = 0.9997f;
constexpr float FRAME_DAMPING = 0.98f;
// Push-out passes of one step. The default world needs under two hundred, a
// wide blob (power 1) about ten thousand once, when the agents start deep
// inside it. The bound only stops worlds where gravity cannot lead out, such
// as a negative power: there the step gives up pushing and the agent moves
// on, so the program keeps running, and the next step pushes again.
constexpr int MAX_PUSH_OUT_PASSES = 10000;

struct Agent {
  std::unique_ptr<MeshNode> mesh;  // its position is the agent's position
  Vector3 velocity = AGENT_START_VELOCITY;  // displacement per frame
  float minSpeed = AGENT_MIN_SPEED;
  BlobWorld* world = nullptr;  // not owned; an agent without a world stays put
  // A step whose push-out ran out of allowance: it goes on in a later frame
  // with the gravity it began with and the passes it has made, and moves the
  // agent once the push-out is over, so the path is the one an unlimited
  // step takes, only later.
  bool pushingOut = false;
  Vector3 stepGravity;
  int pushOutPasses = 0;
  // Steps completed: how far along its path the agent is.
  std::int64_t stepsTaken = 0;

  // A unit cube at AGENT_START_POSITION with ready render buffers.
  Agent();

  // Advances the agent by one frame in its world's field, without a limit
  // on its work.
  void step();
  // The same, drawing on the allowance for the step's field values: its
  // gravity and inside test when it begins, each push-out pass after. True
  // when the step is over (or the agent has no world); false when the
  // allowance ran short, and the step waits for a later call, not begun or
  // part of the way out.
  bool step(WorkAllowance& allowance);

 private:
  bool pushOut(WorkAllowance& allowance);
  void move();
};
