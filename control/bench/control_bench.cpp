// Figures of the point-cloud generation: one idle tick's batch, a whole
// default generation, and how many candidates the sampler draws per point it
// accepts on the default band.
#include "control/bench/silent_panel.h"
#include "control/simulation_control.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

void generationTick(benchmark::State& state) {
  SilentPanel panel;
  SimulationControl control;
  control.panel = &panel;
  control.buildDefaultWorld();
  for (auto _ : state) {
    if (!control.generating) {
      state.PauseTiming();
      control.buildDefaultWorld();
      state.ResumeTiming();
    }
    control.generationTick();
  }
  state.counters["points/s"] =
      benchmark::Counter(double(state.iterations()) * GENERATION_BATCH, benchmark::Counter::kIsRate);
}
BENCHMARK(generationTick);

void defaultGeneration(benchmark::State& state) {
  SilentPanel panel;
  SimulationControl control;
  control.panel = &panel;
  for (auto _ : state) {
    control.buildDefaultWorld();
    while (control.generating) control.generationTick();
  }
}
BENCHMARK(defaultGeneration)->Unit(benchmark::kMillisecond);

// rand() calls made by a whole default cloud, found by locating the values
// that follow it in a fresh run of the sequence; three calls per candidate.
void candidatesPerPoint(benchmark::State& state) {
  const BlobWorld world;
  double candidatesPerPoint = 0.0;
  for (auto _ : state) {
    const unsigned seed = 1234;
    std::srand(seed);
    MeshNode surface;
    world.startSampling(surface, DEFAULT_LEVEL, DEFAULT_RANGE, DEFAULT_POINT_COUNT, 0);
    std::vector<int> next(4);
    for (int& value : next) value = std::rand();

    std::srand(seed);
    std::vector<int> sequence(20000000);
    for (int& value : sequence) value = std::rand();
    const auto found = std::search(sequence.begin(), sequence.end(), next.begin(), next.end());
    const double draws = double(found - sequence.begin());
    candidatesPerPoint = draws / 3.0 / DEFAULT_POINT_COUNT;
  }
  state.counters["candidates/point"] = candidatesPerPoint;
}
BENCHMARK(candidatesPerPoint)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
