// Frames of the default world composed on the machine's real DirectDraw
// (Wine's here) in a window on the display, read back from the back buffer:
// the cloud and the cubes show where the camera puts them, and "Field" and
// the fill modes change what is drawn. Each look is saved as a bitmap in the
// test's working folder.
#include "control/frame_composition.h"

#include "control/control_ids.h"
#include "control/tests/composed_world.h"
#include "testing/pixel_readback.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// Pixels of one kind in a picture.
struct Census {
  int white = 0;     // the cloud: points and normal lines are pure white
  int shaded = 0;    // neither background nor white: the cubes, lit or glowing
  int coloured = 0;  // strongly coloured: the glowing wireframe edges most of all
  int distinct = 0;  // colours in all
};

Census census(const Image& image) {
  Census counted;
  std::set<int> colours;
  for (const Colour& c : image.pixels) {
    if (isWhite(c)) ++counted.white;
    else if (!isBlack(c)) ++counted.shaded;
    const int spread = std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b});
    if (spread > 40) ++counted.coloured;
    colours.insert(c.r << 16 | c.g << 8 | c.b);
  }
  counted.distinct = int(colours.size());
  return counted;
}

struct RealComposition : ::testing::Test, ComposedWorld {
  RealComposition() : ComposedWorld(40, 40, true) {}

  void SetUp() override {
    resetDeviceEnumeration();
    pumpMessages();
    start();
    ASSERT_TRUE(device.ready) << "the device did not start on this display";
    // A few hundred ticks: the cloud completes after 160, and the agents
    // settle onto the surface.
    for (int tick = 0; tick < 300; ++tick) composition.idleTick();
    ASSERT_FALSE(control.generating);
  }

  Image frame(const std::string& name) {
    composition.composeFrame();
    pumpMessages();
    Image image = readBackBuffer(device);
    writeBitmap(image, "composition-" + name + ".bmp");
    return image;
  }
};

}  // namespace

TEST_F(RealComposition, TheCloudAndTheCubesAreDrawnWhereTheCameraLooks) {
  const Image image = frame("tex");
  ASSERT_EQ(image.width, WIDTH);
  const Census counted = census(image);
  EXPECT_GT(counted.white, 300) << "the cloud's points";
  EXPECT_GT(counted.shaded, 300) << "the cubes";
  EXPECT_GT(counted.distinct, 50) << "a picture, not a uniform area";
  // The camera looks at the origin: the middle of the picture holds the
  // cloud, its far corners hold nothing but the cleared background.
  int whiteNearCentre = 0;
  for (int y = HEIGHT / 2 - 60; y < HEIGHT / 2 + 60; ++y)
    for (int x = WIDTH / 2 - 60; x < WIDTH / 2 + 60; ++x) whiteNearCentre += isWhite(image.at(x, y));
  EXPECT_GT(whiteNearCentre, 30);
  EXPECT_TRUE(isBlack(image.at(0, 0)));
  EXPECT_TRUE(isBlack(image.at(WIDTH - 1, HEIGHT - 1)));
}

TEST_F(RealComposition, FieldDrawsNormalLinesWhereThePointsWere) {
  const Census points = census(frame("points"));
  panel.checks[IDC_FIELD] = true;
  const Census lines = census(frame("field"));
  EXPECT_GT(lines.white, 2 * points.white)
      << "lines of 1.6 units cover more than points: " << lines.white << " against "
      << points.white;
}

TEST_F(RealComposition, WireAndPointFillModesChangeTheCubes) {
  const Census solid = census(frame("solid"));
  renderer.globalFillMode = RENDER_MODE_WIREFRAME;
  const Census wire = census(frame("wire"));
  renderer.globalFillMode = RENDER_MODE_POINTS;
  const Census points = census(frame("point"));
  // Lit faces are dim; wireframe edges glow in the cubes' own colours; as
  // points only the corners are left.
  EXPECT_GT(wire.coloured, solid.coloured + 200)
      << "wire " << wire.coloured << ", solid " << solid.coloured;
  EXPECT_LT(points.shaded, solid.shaded / 2)
      << "point " << points.shaded << ", solid " << solid.shaded;
}

TEST_F(RealComposition, StuffAddsTheOrnamentsAtTheCentre) {
  const Census without = census(frame("plain"));
  panel.checks[IDC_STUFF] = true;
  const Census with = census(frame("stuff"));
  EXPECT_GT(with.shaded, without.shaded + 500)
      << "with " << with.shaded << ", without " << without.shaded;
}
