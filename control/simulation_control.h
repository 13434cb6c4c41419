// SimulationControl: the logic behind the main dialog's edits and buttons.
// It owns the blob world and the surface node that receives the point cloud,
// builds a world from the parameter edits, samples the cloud a batch per idle
// tick with the "cancel %d" countdown on the Regenerate button, cancels a
// running generation, replaces the NPCs and writes the parameters back. It
// reaches the window only through its ControlPanel.
#pragma once

#include "control/control_panel.h"
#include "scene/mesh_node.h"
#include "world/blob_world.h"

#include <cstdint>
#include <memory>

// Points placed per idle tick while a generation runs.
constexpr int GENERATION_BATCH = 10;

// Field work one batch may do, in field terms: under Wine a term costs up to
// about 150 ns (pow with an exponent that is not a whole number), so at most
// about 15 ms of work. A batch places its points within TRIES_PER_POINT
// candidates each, which in a world of 100 nodes and a band that is hard to
// hit would be 10^8 terms, seconds of work. The default world's batches ask
// 8843 terms on average and at most 25236 (over 200 runs of the default
// cloud), so its runs place the same points in the same ticks as without the
// allowance; so does a world without nodes, whose point fails after 10000
// terms. A point the allowance does not reach waits for the next tick, which
// goes on drawing from the same random sequence and counting its tries.
constexpr std::int64_t SAMPLING_TERMS_PER_TICK = 100000;

// The default world: six nodes of mass 3 and power 2 on a ring of radius 10,
// iso level 0.25 with range 0.01, and a cloud of 1600 points.
constexpr int DEFAULT_POINT_COUNT = 1600;

// Largest counts the edits may ask for; larger values are refused like
// negative ones. They keep every idle tick short, drawing included. With
// "Field" on a frame makes one Direct3D call per point, about 3.5 us each
// under Wine here and more than twice that when the two processors are
// shared with other work: 50000 points keep those calls near 175 ms, where
// 100000 took 350 ms and up to 850 ms shared. A cloud of 50000 points takes
// about 3.5 MB (positions, normals, texture vectors and the render copy).
// Each node costs one pow in every field value and each NPC a dozen device
// calls a frame; the allowances of the sampler and of the agents' steps
// bound the field work a tick does, whatever the counts.
constexpr int MAX_POINT_COUNT = 50000;
constexpr int MAX_NODE_COUNT = 100;
constexpr int MAX_NPC_COUNT = 1000;

struct SimulationControl {
  // Elapsed animation time; the frame composition advances it.
  float elapsedTime = 0.0f;
  // The current world and its surface, always replaced together.
  std::unique_ptr<BlobWorld> world;
  std::unique_ptr<MeshNode> surface;
  // Level and range handed to each generation batch: copies of the world's.
  float genLevel = DEFAULT_LEVEL;
  float genRange = DEFAULT_RANGE;
  // Index of the next surface point to place.
  int genCursor = 0;
  // Candidates that point has drawn so far (TRIES_PER_POINT once it failed).
  int genTries = 0;
  bool generating = false;

  ControlPanel* panel = nullptr;

  // Builds the default world and starts its generation.
  void buildDefaultWorld();

  // Replaces world and surface by a new world laid out from the parameters,
  // starts a generation of pointCount points and writes the edits back.
  // When the storage for the new world cannot be obtained nothing changes
  // and the result is false.
  bool buildWorld(int nodeCount, float ringRadius, float mass, float power, float level,
                  float range, int pointCount);

  // One batch of the running generation, with the countdown caption; the
  // batch that completes the cloud refreshes the surface's render buffers.
  // The cloud is complete when every point is placed, or when its last
  // point failed (drew all its tries in vain); a point that waits for work
  // has not failed.
  void generationTick();
  bool lastPointFailed() const;

  // The Regenerate button: cancels a running generation, or rebuilds the
  // world from the edits.
  void OnRegenerate();
  void regenerateFromEdits();

  // Shows the current world's parameters in the eight edits.
  void writeParameters();

  // The New button: replaces the NPCs by as many as the "NPC" edit says.
  void OnNew();

  // Frees the world and the surface.
  void releaseWorld();
};
