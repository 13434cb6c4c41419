// What the blob world costs: one field evaluation and one numeric gradient in
// the default world, one frame of agent steps (the player and 44 NPCs), the
// same frame where every push-out runs into its bound and the frame's
// allowance of push-out work runs out, and building a world.
#include "world/blob_world.h"

#include <benchmark/benchmark.h>

namespace {

const Vector3 NEAR_THE_SURFACE{3.0f, 9.5f, 1.5f};

void fieldValue(benchmark::State& state) {
  const BlobWorld world;
  Vector3 point = NEAR_THE_SURFACE;
  for (auto _ : state) {
    benchmark::DoNotOptimize(world.fieldValue(point));
    benchmark::DoNotOptimize(point);
  }
}
BENCHMARK(fieldValue);

void numericGradient(benchmark::State& state) {
  const BlobWorld world;
  Vector3 point = NEAR_THE_SURFACE;
  Vector3 gradient;
  for (auto _ : state) {
    world.numericGradient(point, gradient);
    benchmark::DoNotOptimize(gradient);
    benchmark::DoNotOptimize(point);
  }
}
BENCHMARK(numericGradient);

// The world keeps moving from one iteration to the next, as in the program:
// the figure averages the falling start and the travel over the surface.
void stepAgentsDefaultWorld(benchmark::State& state) {
  BlobWorld world;
  for (auto _ : state) world.stepAgents();
  state.counters["agents"] = world.npcCount + 1;
  state.counters["frames/s"] = benchmark::Counter(double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(stepAgentsDefaultWorld);

// Below a level no field goes under, every agent is always inside and every
// push-out runs to MAX_PUSH_OUT_PASSES: the frame spends its whole allowance.
void stepAgentsPushOutBound(benchmark::State& state) {
  BlobWorld world;
  world.level = -1e30f;
  for (auto _ : state) world.stepAgents();
  state.counters["frames/s"] = benchmark::Counter(double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(stepAgentsPushOutBound)->Unit(benchmark::kMillisecond);

void buildDefaultWorld(benchmark::State& state) {
  for (auto _ : state) {
    BlobWorld world;
    benchmark::DoNotOptimize(world.npcs.get());
  }
}
BENCHMARK(buildDefaultWorld)->Unit(benchmark::kMicrosecond);

}  // namespace
