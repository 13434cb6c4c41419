// The default world's numbers to the last bit, as hexadecimal float
// literals: any change of the arithmetic (a float where a double is kept, a
// rounding moved) shows here, long before it shows on the screen. They are the
// same in both builds, but for the cloud, which follows the C library's
// rand().
#include "world/blob_world.h"

#include "scene/tests/scene_checks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// A digest of the bits of vectors (64-bit FNV-1a over their bytes): one
// number that any change of any bit changes.
struct Digest {
  std::uint64_t value = 0xcbf29ce484222325u;
  void add(const Vector3& v) {
    unsigned char bytes[sizeof v];
    std::memcpy(bytes, &v, sizeof v);
    for (unsigned char byte : bytes) value = (value ^ byte) * 0x100000001b3u;
  }
};

struct PinnedPoint {
  Vector3 position;
  Vector3 normal;
};

// The first points of the program's first cloud, and the digest of the
// whole cloud: the Windows C library's generator (RAND_MAX 32767) and the
// GNU C library's.
const bool WINDOWS_RAND = RAND_MAX == 32767;
const PinnedPoint FIRST_POINTS_WINDOWS[] = {
    {{0x1.83126cp+2f, 0x1.8d4fbcp-2f, 0x1.25603cp+1f},
     {0x1.98dbeep-1f, -0x1.faef98p-5f, -0x1.328d6cp-1f}},
    {{-0x1.00e56p+3f, -0x1.49374cp+3f, -0x1.147ae6p+1f},
     {0x1.795358p-1f, 0x1.c14d7ep-2f, 0x1.07404ap-1f}},
    {{-0x1.bb020cp+3f, -0x1.999a2p-4f, 0x1.a3d6f8p-1f},
     {0x1.f53f42p-1f, 0x1.743f64p-7f, -0x1.a0dfbcp-3f}},
};
const PinnedPoint FIRST_POINTS_GNU[] = {
    {{-0x1.3645a4p+2f, 0x1.85e352p+3f, -0x1.000004p+1f},
     {0x1.295782p-11f, -0x1.be6714p-1f, 0x1.f578ecp-2f}},
    {{-0x1.7ae148p+3f, -0x1.88312ap+1f, -0x1.256046p+1f},
     {0x1.08e9a8p-1f, 0x1.52adcap-1f, 0x1.15f5cep-1f}},
    {{0x1.283126p+3f, -0x1.ab0214p+0f, 0x1.fae142p+1f},
     {0x1.a8b4aap-5f, 0x1.54a6f4p-2f, -0x1.e21bbcp-1f}},
};

// Four agents after 300 frames.
void expectAgentsAfterThreeHundredFrames(BlobWorld& world) {
  const struct {
    int agent;
    Vector3 position;
    Vector3 velocity;
  } pinned[] = {
      {0, {0x1.b4645p+4f, -0x1.5f174p+2f, 0x1.e7c4a2p-3f},
       {-0x1.b97d04p-6f, 0x1.d00364p-9f, -0x1.3abce4p-11f}},
      {1, {0x1.9fc97ep+4f, -0x1.103e6p+2f, 0x1.9cc6fep+0f},
       {0x1.bca8d8p-4f, -0x1.e57d3ep-7f, -0x1.060ab8p-5f}},
      {22, {-0x1.4f9652p+3f, 0x1.0c11f8p+1f, -0x1.c9204ap+3f},
       {0x1.041b72p-4f, 0x1.091ea2p-5f, -0x1.a2a688p-4f}},
      {44, {-0x1.74c242p+4f, -0x1.d2bb88p+1f, -0x1.d20382p-1f},
       {-0x1.4886e6p-4f, -0x1.bf124cp-8f, 0x1.5fae66p-5f}},
  };
  for (const auto& agent : pinned) {
    SCOPED_TRACE(agent.agent);
    expectVector(world.agentAt(agent.agent).mesh->position, agent.position);
    expectVector(world.agentAt(agent.agent).velocity, agent.velocity);
  }
}


}  // namespace

TEST(ExactNumbers, TheRingsNodes) {
  const BlobWorld world;
  const Vector3 ring[] = {{0x1.4p+3f, 0, 0},
                          {0x1.3ffffep+2f, 0x1.1520cep+3f, 0},
                          {-0x1.400002p+2f, 0x1.1520ccp+3f, 0},
                          {-0x1.4p+3f, -0x1.d558f4p-21f, 0},
                          {-0x1.3ffffcp+2f, -0x1.1520cep+3f, 0},
                          {0x1.400006p+2f, -0x1.1520ccp+3f, 0}};
  for (int i = 0; i < 6; ++i) expectVector(world.nodes[i].position, ring[i]);

  // On a ring of a hundred the angle's sum is long enough to show its
  // precision.
  BlobWorld hundred;
  hundred.layOutRing(100, 10.0f, 3.0f, 2.0f);
  expectVector(hundred.nodes[1].position, {0x1.3f5e5ap+3f, 0x1.417cccp-1f, 0});
  expectVector(hundred.nodes[37].position, {-0x1.b61c36p+2f, 0x1.d28a34p+2f, 0});
  expectVector(hundred.nodes[99].position, {0x1.3f5e5ap+3f, -0x1.417c5ep-1f, 0});
}

TEST(ExactNumbers, TheFirstCloud) {
  const BlobWorld world;
  MeshNode surface;
  std::srand(1);  // where rand() stands when a program starts
  world.startSampling(surface, DEFAULT_LEVEL, DEFAULT_RANGE, 1600, 0);
  const PinnedPoint* expected = WINDOWS_RAND ? FIRST_POINTS_WINDOWS : FIRST_POINTS_GNU;
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    expectVector(surface.positions[i], expected[i].position);
    expectVector(surface.normals[i], expected[i].normal);
  }
  Digest cloud;
  for (int i = 0; i < surface.pointCount; ++i) {
    cloud.add(surface.positions[i]);
    cloud.add(surface.normals[i]);
  }
  EXPECT_EQ(cloud.value, WINDOWS_RAND ? 0x22af69c270b10d3au : 0xc44027ba58cd9d49u);
}

TEST(ExactNumbers, TheAgentsOverAThousandFrames) {
  BlobWorld world;
  Digest paths;
  for (int frame = 0; frame < 1000; ++frame) {
    world.stepAgents();
    for (int i = 0; i <= world.npcCount; ++i) {
      paths.add(world.agentAt(i).mesh->position);
      paths.add(world.agentAt(i).velocity);
    }
    if (frame == 299) expectAgentsAfterThreeHundredFrames(world);
  }
  EXPECT_EQ(paths.value, 0xe8dc40a1dd746f2bu);
}
