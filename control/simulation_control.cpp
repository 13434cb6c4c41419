#include "control/simulation_control.h"

#include "control/control_ids.h"
#include "control/edit_numbers.h"

#include <cstdio>
#include <new>
#include <string>

namespace {

// Large enough for "%.3f" of any float (39 digits, the point and three
// decimals) and for "cancel %d" of any int.
constexpr int NUMBER_TEXT_SIZE = 64;

// The Regenerate button's two captions.
const char* const REGENERATE_CAPTION = "Regenerate";
const char* const CANCEL_CAPTION_FORMAT = "cancel %d";

// Read through a 100-character buffer: at most MAX_EDIT_TEXT characters.
std::string readEdit(ControlPanel& panel, int controlId) {
  return panel.editText(controlId).substr(0, ControlPanel::MAX_EDIT_TEXT);
}

void writeInteger(ControlPanel& panel, int controlId, int value) {
  char text[NUMBER_TEXT_SIZE];
  std::snprintf(text, sizeof text, "%d", value);
  panel.setEditText(controlId, text);
}

void writeFloat(ControlPanel& panel, int controlId, float value) {
  char text[NUMBER_TEXT_SIZE];
  std::snprintf(text, sizeof text, "%.3f", double(value));
  panel.setEditText(controlId, text);
}

bool countAccepted(int count, int maximum) { return count >= 0 && count <= maximum; }

}  // namespace

void SimulationControl::buildDefaultWorld() {
  buildWorld(DEFAULT_NODE_COUNT, DEFAULT_RING_RADIUS, DEFAULT_NODE_MASS, DEFAULT_NODE_POWER,
             DEFAULT_LEVEL, DEFAULT_RANGE, DEFAULT_POINT_COUNT);
}

bool SimulationControl::buildWorld(int nodeCount, float ringRadius, float mass, float power,
                                   float level, float range, int pointCount) {
  // The new world and surface are made completely before the current ones go,
  // so that a world whose storage cannot be obtained leaves everything as it
  // was, the running generation included.
  std::unique_ptr<BlobWorld> newWorld;
  std::unique_ptr<MeshNode> newSurface;
  try {
    newWorld = std::make_unique<BlobWorld>();
    newSurface = std::make_unique<MeshNode>();
  } catch (const std::bad_alloc&) {
    return false;
  }
  newWorld->level = level;
  newWorld->range = range;
  if (!newWorld->layOutRing(nodeCount, ringRadius, mass, power)) return false;

  // startSampling sizes the point arrays; when that fails the node has no
  // points and nothing was sampled.
  WorkAllowance firstBatch{SAMPLING_TERMS_PER_TICK};
  int tries = 0;
  const int cursor = newWorld->startSampling(*newSurface, level, range, pointCount,
                                             GENERATION_BATCH, firstBatch, tries);
  if (newSurface->pointCount != pointCount) return false;

  newSurface->renderMode = RENDER_MODE_POINTS;
  newSurface->diffuseColor = {1.0f, 1.0f, 1.0f};
  newSurface->specularColor = {0.0f, 0.0f, 0.0f};
  // Only the first batch is placed yet; the render copy is refreshed again
  // when the generation completes, not after every batch.
  if (newSurface->buildBuffers() != ALLOCATED) return false;
  newSurface->fillBuffers();

  releaseWorld();
  world = std::move(newWorld);
  surface = std::move(newSurface);
  genCursor = cursor;
  genTries = tries;
  genLevel = level;
  genRange = range;
  generating = true;
  writeParameters();
  return true;
}

void SimulationControl::generationTick() {
  if (!generating || !world || !surface) return;
  // A last point that failed in the build's batch is not tried again.
  if (!lastPointFailed()) {
    WorkAllowance batch{SAMPLING_TERMS_PER_TICK};
    genCursor = world->sampleSurface(*surface, genLevel, genRange, genCursor, GENERATION_BATCH,
                                     batch, genTries);
  }

  char caption[NUMBER_TEXT_SIZE];
  std::snprintf(caption, sizeof caption, CANCEL_CAPTION_FORMAT,
                surface->pointCount - genCursor - 1);
  panel->setRegenerateCaption(caption);

  if (genCursor >= surface->pointCount || lastPointFailed()) {
    generating = false;
    surface->buildBuffers();
    surface->fillBuffers();
    panel->setRegenerateCaption(REGENERATE_CAPTION);
  }
}

bool SimulationControl::lastPointFailed() const {
  return genCursor == surface->pointCount - 1 && genTries >= TRIES_PER_POINT;
}

void SimulationControl::OnRegenerate() {
  if (generating) {
    generating = false;
    panel->setRegenerateCaption(REGENERATE_CAPTION);
    return;
  }
  regenerateFromEdits();
}

void SimulationControl::regenerateFromEdits() {
  int pointCount = 0;
  int nodeCount = 0;
  const bool pointsRead = readInteger(readEdit(*panel, IDC_NUMVERTS), pointCount);
  const bool nodesRead = readInteger(readEdit(*panel, IDC_NODES), nodeCount);
  const float ringRadius = readFloat(readEdit(*panel, IDC_RAD));
  const float mass = readFloat(readEdit(*panel, IDC_MASS));
  const float power = readFloat(readEdit(*panel, IDC_POW));
  const float level = readFloat(readEdit(*panel, IDC_LEVEL));
  const float range = readFloat(readEdit(*panel, IDC_RNGE));

  const bool accepted = pointsRead && nodesRead && countAccepted(pointCount, MAX_POINT_COUNT) &&
                        countAccepted(nodeCount, MAX_NODE_COUNT);
  if (!accepted || !buildWorld(nodeCount, ringRadius, mass, power, level, range, pointCount)) {
    // Refused: every edit shows the current world again.
    writeParameters();
  }
}

void SimulationControl::writeParameters() {
  if (!world || !surface) return;
  writeInteger(*panel, IDC_NUMVERTS, surface->pointCount);
  writeInteger(*panel, IDC_NODES, world->nodeCount);
  writeFloat(*panel, IDC_RAD, world->ringRadius);
  if (world->nodeCount > 0) {
    writeFloat(*panel, IDC_MASS, world->nodes[0].mass);
    writeFloat(*panel, IDC_POW, world->nodes[0].power);
  } else {
    panel->setEditText(IDC_MASS, "");
    panel->setEditText(IDC_POW, "");
  }
  writeFloat(*panel, IDC_LEVEL, world->level);
  writeFloat(*panel, IDC_RNGE, world->range);
  writeInteger(*panel, IDC_NPC, world->npcCount);
}

void SimulationControl::OnNew() {
  if (!world) return;
  int count = 0;
  const bool read = readInteger(readEdit(*panel, IDC_NPC), count);
  if (!read || !countAccepted(count, MAX_NPC_COUNT) || !world->spawnNpcs(count)) {
    // Refused: the NPCs stay, and the edit shows how many there are.
    writeInteger(*panel, IDC_NPC, world->npcCount);
  }
}

void SimulationControl::releaseWorld() {
  world.reset();
  if (surface) surface->reset();
  surface.reset();
}
