// plim.exe driven from outside like a user, in the Wine desktop that this
// test program runs in: start-up texts, the generation countdown and its
// cancel, the parameter edits and their bounds, "New", the keys, the system
// menu and the About box, closing, the window's geometry, and what the
// render frame shows. Each test starts its own program; CTest runs each test
// on its own (see e2e/CMakeLists.txt). Screenshots go to screenshots/ beside
// this executable.
#include "e2e/driver/plim_driver.h"
#include "e2e/tests/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

// Generous deadlines: the machine is shared, and Wine renders in software.
constexpr DWORD GENERATION_TIMEOUT_MS = 60000;
constexpr DWORD REACTION_TIMEOUT_MS = 10000;
constexpr DWORD EXIT_TIMEOUT_MS = 15000;
// How long a state that must not change is watched.
constexpr DWORD WATCH_MS = 1000;
// Frames the program draws between a click and a capture.
constexpr DWORD SETTLE_MS = 60;
// Half the width, in pixels, of a square around the centre of the frame that
// the player's cube fills when "POV" is on.
constexpr int PLAYER_HALF_WIDTH = 12;

struct Edit {
  int id;
  const char* name;
  const char* defaultText;
  const char* changedText;
};

// The eight edits, in the order the program writes them, with the default
// world's values and another value for each, none of them the default.
const Edit EDITS[] = {
    {IDC_NUMVERTS, "Num Verts", "1600", "2000"}, {IDC_NODES, "Nodes", "6", "3"},
    {IDC_RAD, "Rad", "10.000", "7"},             {IDC_MASS, "Mass", "3.000", "1"},
    {IDC_POW, "Pow", "2.000", "3"},              {IDC_LEVEL, "Level", "0.250", "0.5"},
    {IDC_RNGE, "Rnge", "0.010", "0.02"},         {IDC_NPC, "NPC", "44", "7"},
};

constexpr char REGENERATE[] = "Regenerate";

// The value of a "cancel %d" caption, or false for any other caption.
bool countdownValue(const std::string& caption, int& value) {
  char rest = 0;
  return std::sscanf(caption.c_str(), "cancel %d%c", &value, &rest) == 1;
}

class PlimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plim.start()) << "no dialog from " << defaultProgramPath();
  }

  void expectDefaultEdits() const {
    for (const Edit& edit : EDITS) {
      EXPECT_EQ(plim.text(edit.id), edit.defaultText) << "edit \"" << edit.name << "\"";
    }
  }

  void waitForIdle() const {
    ASSERT_TRUE(plim.waitForGenerationEnd(GENERATION_TIMEOUT_MS))
        << "the button still reads \"" << plim.text(IDC_REGENERATE) << "\"";
  }

  // Rebuilds the world from the edits with a new point count, once idle.
  void regenerateWith(const char* pointCount) const {
    waitForIdle();
    plim.setText(IDC_NUMVERTS, pointCount);
    plim.click(IDC_REGENERATE);
  }

  // Whether the button keeps reading "Regenerate" for a while.
  bool staysIdle() const {
    return !waitUntil([&] { return plim.text(IDC_REGENERATE) != REGENERATE; }, WATCH_MS);
  }

  // The first countdown value the button shows, or none in time.
  std::optional<int> countdown() const {
    int value = 0;
    if (!waitUntil([&] { return countdownValue(plim.text(IDC_REGENERATE), value); },
                   REACTION_TIMEOUT_MS)) {
      return std::nullopt;
    }
    return value;
  }

  bool focusReaches(int id) const {
    return waitUntil([&] { return plim.focus() == GetDlgItem(plim.dialog(), id); },
                     REACTION_TIMEOUT_MS);
  }

  // The render frame once a few frames have been drawn since the last
  // change and it shows the scene.
  Image sceneFrame(const std::string& screenshot = "") const {
    Sleep(SETTLE_MS);
    Image frame;
    const bool shown =
        waitUntil([&] { return showsScene(frame = plim.captureFrame()); }, REACTION_TIMEOUT_MS);
    if (!screenshot.empty()) saveScreenshot(frame, screenshot);
    EXPECT_TRUE(shown) << "the frame shows no scene; its background is "
                       << describe(background(frame));
    return frame;
  }

  // Expects the frame to show the scene with the animation running in it (a
  // picture left standing would not change); returns the last capture.
  Image expectMovingScene() const {
    Image frame;
    EXPECT_TRUE(waitUntil(
        [&] {
          const Image first = plim.captureFrame();
          Sleep(SETTLE_MS);
          frame = plim.captureFrame();
          return showsScene(first) && showsScene(frame) && changedPixels(first, frame) > 0;
        },
        REACTION_TIMEOUT_MS))
        << "background " << describe(background(frame));
    return frame;
  }

  // The mean of a measure of the frame in two states, switched back and
  // forth several times so that the moving camera favours neither.
  template <typename Measure, typename SetA, typename SetB>
  std::pair<double, double> measureTwoStates(Measure measure, SetA setA, SetB setB,
                                             const std::string& name, int rounds = 4) const {
    double a = 0;
    double b = 0;
    for (int round = 0; round < rounds; ++round) {
      const bool last = round == rounds - 1;
      setA();
      a += measure(sceneFrame(last ? name + "_off" : ""));
      setB();
      b += measure(sceneFrame(last ? name + "_on" : ""));
    }
    std::printf("%s: %.0f before, %.0f after\n", name.c_str(), a / rounds, b / rounds);
    return {a / rounds, b / rounds};
  }

  // The same with a check box off and on.
  template <typename Measure>
  std::pair<double, double> measureCheckBox(Measure measure, int id, const std::string& name,
                                            int rounds = 4) const {
    return measureTwoStates(
        measure, [&] { plim.setChecked(id, false); }, [&] { plim.setChecked(id, true); }, name,
        rounds);
  }

  PlimDriver plim;
};

using StartUp = PlimTest;
using Generation = PlimTest;
using Parameters = PlimTest;
using Npcs = PlimTest;
using Keys = PlimTest;
using Closing = PlimTest;
using SystemMenu = PlimTest;
using Window = PlimTest;
using Picture = PlimTest;

int drawnInFrame(const Image& frame) { return drawnPixels(frame); }
int drawnAtCentre(const Image& frame) {
  return drawnPixels(frame, centreSquare(frame, PLAYER_HALF_WIDTH));
}
int filledAtCentre(const Image& frame) {
  return filledPixels(frame, centreSquare(frame, PLAYER_HALF_WIDTH));
}

TEST_F(StartUp, CaptionIsPlim) {
  char caption[64] = "";
  GetWindowTextA(plim.dialog(), caption, sizeof(caption));
  EXPECT_STREQ(caption, "Plim");
  EXPECT_EQ(FindWindowA(nullptr, "Plim"), plim.dialog());
  saveScreenshot(PlimDriver::capture(plim.windowRect()), "startup_window");
}

TEST_F(StartUp, EditsShowTheDefaultWorld) { expectDefaultEdits(); }

TEST_F(Generation, CountsDownInStepsOfTenAndEndsOnRegenerate) {
  std::vector<int> values;
  std::vector<std::string> others;
  std::string previous;
  const bool ended = waitUntil(
      [&] {
        const std::string caption = plim.text(IDC_REGENERATE);
        if (caption == previous) return false;
        previous = caption;
        int value = 0;
        if (countdownValue(caption, value)) {
          values.push_back(value);
        } else if (caption != REGENERATE) {
          others.push_back(caption);
        }
        return caption == REGENERATE && !values.empty();
      },
      GENERATION_TIMEOUT_MS);
  ASSERT_TRUE(ended) << "last caption \"" << previous << "\"";
  EXPECT_TRUE(others.empty()) << "unexpected caption \"" << others.front() << "\"";
  std::printf("%zu countdown values seen, from %d to %d\n", values.size(), values.front(),
              values.back());
  ASSERT_GE(values.size(), 2u) << "the countdown went by unseen";
  EXPECT_LE(values.front(), 1579);
  EXPECT_GE(values.back(), 9);
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ((values[i] - 9) % 10, 0) << "countdown value " << values[i];
    if (i > 0) {
      EXPECT_LT(values[i], values[i - 1]) << "countdown went up";
    }
  }
  EXPECT_TRUE(staysIdle()) << "a countdown after the end: " << plim.text(IDC_REGENERATE);
}

TEST_F(Generation, PressingTheButtonDuringTheCountdownStopsIt) {
  // A cloud of 20000 points counts down for 2000 ticks: long enough to be
  // pressed in the middle.
  regenerateWith("20000");
  const std::optional<int> value = countdown();
  ASSERT_TRUE(value);
  plim.click(IDC_REGENERATE);
  EXPECT_EQ(plim.text(IDC_REGENERATE), REGENERATE) << "after pressing at countdown " << *value;
  EXPECT_TRUE(staysIdle()) << "the countdown went on: " << plim.text(IDC_REGENERATE);
  EXPECT_EQ(plim.text(IDC_NUMVERTS), "20000");
}

TEST_F(Generation, ZeroPointsCompleteAtTheFirstTick) {
  regenerateWith("0");
  EXPECT_TRUE(staysIdle()) << "button reads \"" << plim.text(IDC_REGENERATE) << "\"";
  EXPECT_EQ(plim.text(IDC_NUMVERTS), "0");
  // The ticks do run on: a large cloud counts down.
  plim.setText(IDC_NUMVERTS, "20000");
  plim.click(IDC_REGENERATE);
  EXPECT_TRUE(countdown());
}

// A value the program refuses, typed into one edit while all the others hold
// changes too: pressing Regenerate shows the current world in all eight.
struct RefusedValue {
  const char* name;
  int id;
  const char* text;
};

const RefusedValue REFUSED_VALUES[] = {
    {"NodesMinusOne", IDC_NODES, "-1"},
    {"NodesPastBound", IDC_NODES, "101"},
    {"NumVertsMinusOne", IDC_NUMVERTS, "-1"},
    {"NumVertsPastBound", IDC_NUMVERTS, "50001"},
};

class RefusedParameters : public PlimTest,
                          public ::testing::WithParamInterface<RefusedValue> {};

TEST_P(RefusedParameters, RegenerateRewritesAllEightEdits) {
  waitForIdle();
  for (const Edit& edit : EDITS) plim.setText(edit.id, edit.changedText);
  plim.setText(GetParam().id, GetParam().text);
  plim.click(IDC_REGENERATE);
  expectDefaultEdits();
  EXPECT_TRUE(staysIdle()) << "the world was rebuilt";
}

INSTANTIATE_TEST_SUITE_P(Parameters, RefusedParameters, ::testing::ValuesIn(REFUSED_VALUES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Parameters, NodesAtTheirBoundAreBuilt) {
  waitForIdle();
  plim.setText(IDC_NODES, "100");
  plim.click(IDC_REGENERATE);
  EXPECT_EQ(plim.text(IDC_NODES), "100");
  EXPECT_TRUE(countdown());
}

TEST_F(Parameters, NpcCountPastBoundIsRefusedByNew) {
  plim.setText(IDC_NPC, "1001");
  plim.click(IDC_NEW);
  EXPECT_EQ(plim.text(IDC_NPC), "44");
}

TEST_F(Npcs, NewWithZeroLeavesNoNpcs) {
  plim.setText(IDC_NPC, "0");
  plim.click(IDC_NEW);
  EXPECT_EQ(plim.text(IDC_NPC), "0");
  // A refused count shows how many NPCs the world has.
  plim.setText(IDC_NPC, "1001");
  plim.click(IDC_NEW);
  EXPECT_EQ(plim.text(IDC_NPC), "0");
  saveScreenshot(sceneFrame(), "new_without_npcs");
}

TEST_F(Keys, TabMovesTheFocusToTheNextControl) {
  plim.focusControl(IDC_NUMVERTS);
  ASSERT_TRUE(focusReaches(IDC_NUMVERTS));
  plim.pressKey(VK_TAB);
  EXPECT_TRUE(focusReaches(IDC_NODES));
}

TEST_F(Keys, EnterKeepsTheWindowAndEscapeEndsWithZero) {
  plim.focusControl(IDC_NUMVERTS);
  plim.pressKey(VK_RETURN);
  EXPECT_FALSE(plim.waitForExit(WATCH_MS)) << "Enter ended the program";
  EXPECT_TRUE(IsWindowVisible(plim.dialog()));
  plim.pressKey(VK_ESCAPE);
  ASSERT_TRUE(plim.waitForExit(EXIT_TIMEOUT_MS)) << "Escape did not end the program";
  EXPECT_EQ(plim.exitCode(), 0u);
}

TEST_F(Closing, SystemMenuCloseEndsWithZero) {
  plim.systemCommand(SC_CLOSE);
  ASSERT_TRUE(plim.waitForExit(EXIT_TIMEOUT_MS));
  EXPECT_EQ(plim.exitCode(), 0u);
}

TEST_F(Closing, CloseMessageEndsWithZero) {
  ASSERT_TRUE(plim.close(EXIT_TIMEOUT_MS));
  EXPECT_EQ(plim.exitCode(), 0u);
}

TEST_F(SystemMenu, EndsWithASeparatorAndTheAboutItem) {
  const std::vector<MenuItem> items = plim.systemMenu();
  ASSERT_GE(items.size(), 2u);
  const MenuItem& separator = items[items.size() - 2];
  const MenuItem& about = items.back();
  EXPECT_TRUE(separator.separator) << "before the last item: \"" << separator.text << "\"";
  EXPECT_FALSE(about.separator);
  EXPECT_EQ(about.text, "&About Plim...");
  EXPECT_EQ(about.id, IDM_ABOUTBOX);
}

TEST_F(SystemMenu, AboutOpensTheAboutBoxWhichOkCloses) {
  plim.systemCommand(IDM_ABOUTBOX);
  HWND about = plim.findWindow("About Plim", REACTION_TIMEOUT_MS);
  ASSERT_TRUE(about) << "no About box";
  const std::vector<std::string> texts = PlimDriver::childTexts(about);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Plim Version 1.0"), texts.end());
  Sleep(SETTLE_MS);
  RECT area{};
  GetWindowRect(about, &area);
  saveScreenshot(PlimDriver::capture(area), "about_box");

  SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
  EXPECT_TRUE(waitUntil([&] { return !IsWindow(about); }, REACTION_TIMEOUT_MS));
  EXPECT_TRUE(plim.running());
  EXPECT_TRUE(IsWindowEnabled(plim.dialog()));
}

TEST_F(Window, ResizingKeepsTheFrame75PixelsNarrowerThanTheClientArea) {
  const SIZE sizes[] = {{760, 560}, {420, 330}, {900, 700}};
  for (const SIZE& size : sizes) {
    plim.resize(size.cx, size.cy);
    RECT client{};
    RECT frame{};
    auto follows = [&] {
      client = plim.clientRect();
      frame = plim.controlRect(IDC_FRAME);
      return frame.right - frame.left == client.right - client.left - 75 &&
             frame.bottom - frame.top == client.bottom - client.top;
    };
    EXPECT_TRUE(waitUntil(follows, REACTION_TIMEOUT_MS))
        << "window " << size.cx << " x " << size.cy << ": client "
        << client.right - client.left << " x " << client.bottom - client.top << ", frame "
        << frame.right - frame.left << " x " << frame.bottom - frame.top;
  }
  saveScreenshot(expectMovingScene(), "resized_frame");
}

TEST_F(Window, MovedTheFrameKeepsShowingTheScene) {
  const RECT window = plim.windowRect();
  plim.move(window.left + 150, window.top + 100);
  ASSERT_TRUE(waitUntil([&] { return plim.windowRect().left == window.left + 150; },
                        REACTION_TIMEOUT_MS));
  expectMovingScene();
  saveScreenshot(PlimDriver::capture(plim.windowRect()), "moved_window");
}

TEST_F(Window, MinimisedAndRestoredTheFrameShowsThePictureAgain) {
  sceneFrame("restore_before");
  plim.systemCommand(SC_MINIMIZE);
  ASSERT_TRUE(waitUntil([&] { return IsIconic(plim.dialog()) != FALSE; }, REACTION_TIMEOUT_MS));
  Sleep(WATCH_MS / 2);
  plim.systemCommand(SC_RESTORE);
  ASSERT_TRUE(waitUntil([&] { return !IsIconic(plim.dialog()); }, REACTION_TIMEOUT_MS));
  saveScreenshot(expectMovingScene(), "restore_after");
}

TEST_F(Picture, FrameShowsTheCloudAndTheCubes) {
  waitForIdle();
  const Image frame = sceneFrame("cloud_and_cubes");
  saveScreenshot(PlimDriver::capture(plim.windowRect()), "window");
  const int drawn = drawnPixels(frame);
  std::printf("%d of %d pixels drawn\n", drawn, frame.width * frame.height);
  EXPECT_GT(drawn, frame.width * frame.height / 200) << "the frame is nearly uniform";
}

TEST_F(Picture, FieldShowsLinesInsteadOfPoints) {
  waitForIdle();
  const auto [points, lines] = measureCheckBox(drawnInFrame, IDC_FIELD, "field");
  EXPECT_GT(lines, 1.5 * points);
}

TEST_F(Picture, WireAndPointChangeTheCubes) {
  // With "POV" on, the player's cube stays at the centre of the frame at the
  // same distance, large enough to tell a solid cube (a filled area), a wire
  // cube (lines) and a point cube (its corners) apart.
  regenerateWith("0");  // cubes only
  plim.setChecked(IDC_POV, true);
  const auto [solid, wire] = measureTwoStates(filledAtCentre, [&] { plim.click(IDC_TEX); },
                                              [&] { plim.click(IDC_WIRE); }, "wire");
  EXPECT_LT(2 * wire, solid) << "filled pixels at the centre";
  const auto [lines, corners] = measureTwoStates(drawnAtCentre, [&] { plim.click(IDC_WIRE); },
                                                 [&] { plim.click(IDC_POINT); }, "point");
  EXPECT_LT(2 * corners, lines) << "drawn pixels at the centre";
}

TEST_F(Picture, StuffAddsTheOrnaments) {
  regenerateWith("0");  // cubes only
  const auto [without, with] = measureCheckBox(drawnInFrame, IDC_STUFF, "stuff");
  EXPECT_GT(with, without + 200);
}

TEST_F(Picture, PovRidesBehindThePlayer) {
  regenerateWith("0");  // cubes only
  // With "POV" on the camera looks at the player's cube from close behind,
  // so the cube fills the centre of the frame (but for a face turned away
  // from the light); the orbiting camera looks at the empty middle of the
  // ring, where a small NPC cube passes now and then.
  const auto [orbit, pov] = measureCheckBox(filledAtCentre, IDC_POV, "pov", 6);
  const int square = (2 * PLAYER_HALF_WIDTH + 1) * (2 * PLAYER_HALF_WIDTH + 1);
  EXPECT_GT(pov, 0.4 * square) << "filled pixels at the centre with POV";
  EXPECT_GT(pov, 4 * orbit) << "filled pixels at the centre with POV and without";
}

}  // namespace
