// What the mesh node costs per frame: the ornament cube that is built and
// destroyed in every frame with "Stuff" on, and refreshing the render copy of
// the 1600-point surface cloud.
#include "scene/mesh_node.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int SURFACE_POINTS = 1600;

void ornamentCubePerFrame(benchmark::State& state) {
  for (auto _ : state) {
    auto node = std::make_unique<MeshNode>();
    node->makeUnitCube();
    node->fillBuffers();
    node->setOrientation(Vector3{2.0f, 1.0f, 0.0f}, 1.3f);
    benchmark::DoNotOptimize(node->vertexBuffer.get());
  }
}
BENCHMARK(ornamentCubePerFrame);

MeshNode* makeSurface(MeshNode& node) {
  node.allocatePoints(SURFACE_POINTS);
  for (int i = 0; i < SURFACE_POINTS; ++i) {
    node.positions[i].set(float(i), 1.0f, 2.0f);
    node.normals[i].set(0.0f, 1.0f, 0.0f);
  }
  return &node;
}

void refillSurfaceBuffers(benchmark::State& state) {
  MeshNode node;
  makeSurface(node);
  node.fillBuffers();
  for (auto _ : state) {
    node.fillBuffers();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * SURFACE_POINTS);
}
BENCHMARK(refillSurfaceBuffers);

void rebuildSurfaceBuffers(benchmark::State& state) {
  MeshNode node;
  makeSurface(node);
  for (auto _ : state) {
    node.buildBuffers();
    node.fillBuffers();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * SURFACE_POINTS);
}
BENCHMARK(rebuildSurfaceBuffers);

}  // namespace
