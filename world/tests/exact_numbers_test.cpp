// The default world's numbers to the last bit: the ring as hexadecimal float
// literals, the first cloud and the agents' paths as digests of their bits.
// Any change of the arithmetic (a float where a double is kept, a rounding
// moved, a float kept in a wider register) shows here, long before it shows
// on the screen. They are the same in every build, but for the cloud, which
// follows the C library's rand().
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
  Digest cloud;
  for (int i = 0; i < surface.pointCount; ++i) {
    cloud.add(surface.positions[i]);
    cloud.add(surface.normals[i]);
  }
  // The Windows C library's generator (RAND_MAX 32767), and the GNU one's.
  EXPECT_EQ(cloud.value, RAND_MAX == 32767 ? 0x22af69c270b10d3au : 0xc44027ba58cd9d49u);
}

TEST(ExactNumbers, TheAgentsPathsOverAThousandFrames) {
  BlobWorld world;
  Digest paths;
  for (int frame = 0; frame < 1000; ++frame) {
    world.stepAgents();
    for (int i = 0; i <= world.npcCount; ++i) {
      paths.add(world.agentAt(i).mesh->position);
      paths.add(world.agentAt(i).velocity);
    }
  }
  EXPECT_EQ(paths.value, 0xe8dc40a1dd746f2bu);
}
