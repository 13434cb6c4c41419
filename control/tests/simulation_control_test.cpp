#include "control/simulation_control.h"

#include "control/bench/worst_cases.h"
#include "control/control_ids.h"
#include "control/edit_numbers.h"
#include "testing/fake_panel.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> DEFAULT_TEXTS = {"1600",  "6",     "10.000", "3.000",
                                                "2.000", "0.250", "0.010",  "44"};

struct Control : ::testing::Test {
  FakePanel panel;
  SimulationControl control;

  void SetUp() override {
    std::srand(1);
    control.panel = &panel;
    control.buildDefaultWorld();
  }

  std::vector<std::string> editTexts() {
    std::vector<std::string> texts;
    for (int id : PARAMETER_EDITS) texts.push_back(panel.edits[id]);
    return texts;
  }

  // Runs ticks until the generation ends, at most limit of them.
  int runGeneration(int limit = 1000) {
    int ticks = 0;
    while (control.generating && ticks < limit) {
      control.generationTick();
      ++ticks;
    }
    return ticks;
  }

  // Cancels the running generation, types new edit texts and presses
  // "Regenerate".
  void regenerateWith(std::initializer_list<std::pair<int, const char*>> texts) {
    if (control.generating) control.OnRegenerate();
    for (const auto& [id, text] : texts) panel.edits[id] = text;
    control.OnRegenerate();
  }
  // The same with all eight edits, in the dialog's order.
  void regenerateWithAll(const char* const (&texts)[PARAMETER_COUNT]) {
    if (control.generating) control.OnRegenerate();
    for (int i = 0; i < PARAMETER_COUNT; ++i) panel.edits[PARAMETER_EDITS[i]] = texts[i];
    control.OnRegenerate();
  }

  bool vertexMatchesPoint(int i) {
    const D3DVERTEX& v = control.surface->vertexBuffer[i];
    const Vector3& p = control.surface->positions[i];
    const Vector3& n = control.surface->normals[i];
    return v.x == p.x && v.y == p.y && v.z == p.z && v.nx == n.x && v.ny == n.y && v.nz == n.z;
  }
};

}  // namespace

TEST_F(Control, DefaultWorldWritesTheEightEditsInOrder) {
  EXPECT_EQ(editTexts(), DEFAULT_TEXTS);
  ASSERT_EQ(panel.editWrites.size(), 8u);
  for (int i = 0; i < PARAMETER_COUNT; ++i)
    EXPECT_EQ(panel.editWrites[i].first, PARAMETER_EDITS[i]);
  EXPECT_TRUE(panel.captions.empty()) << "the first tick sets the caption";
  EXPECT_TRUE(control.generating);
  EXPECT_EQ(control.genCursor, GENERATION_BATCH);
  EXPECT_EQ(control.surface->renderMode, RENDER_MODE_POINTS);
  EXPECT_EQ(control.surface->diffuseColor.g, 1.0f);
  EXPECT_EQ(control.surface->specularColor.r, 0.0f);
}

TEST_F(Control, CountdownFallsByTenAndEndsOnRegenerate) {
  EXPECT_EQ(runGeneration(), 159);
  EXPECT_FALSE(control.generating);
  EXPECT_EQ(control.genCursor, 1600);

  ASSERT_EQ(panel.captions.size(), 160u);
  for (int tick = 0; tick < 159; ++tick)
    EXPECT_EQ(panel.captions[tick], "cancel " + std::to_string(1579 - 10 * tick));
  EXPECT_EQ(panel.captions.back(), "Regenerate");

  // Later ticks do nothing.
  control.generationTick();
  EXPECT_EQ(panel.captions.size(), 160u);
}

TEST_F(Control, RenderCopyIsRefreshedAtBuildAndAtCompletionOnly) {
  MeshNode& surface = *control.surface;
  ASSERT_TRUE(surface.buffersReady);
  for (int i = 0; i < GENERATION_BATCH; ++i) EXPECT_TRUE(vertexMatchesPoint(i)) << i;

  const D3DVERTEX atBuild = surface.vertexBuffer[15];
  control.generationTick();
  EXPECT_EQ(std::memcmp(&surface.vertexBuffer[15], &atBuild, sizeof atBuild), 0)
      << "a batch does not touch the render copy";
  EXPECT_FALSE(vertexMatchesPoint(15));

  runGeneration();
  for (int i = 0; i < surface.pointCount; ++i) ASSERT_TRUE(vertexMatchesPoint(i)) << i;
}

TEST_F(Control, CancelStopsAtOnceAndKeepsTheFirstBatchShown) {
  const D3DVERTEX atBuild = control.surface->vertexBuffer[25];
  control.generationTick();
  control.generationTick();
  panel.editReads.clear();
  panel.edits[IDC_NODES] = "3";

  control.OnRegenerate();
  EXPECT_FALSE(control.generating);
  EXPECT_EQ(panel.caption(), "Regenerate");
  EXPECT_TRUE(panel.editReads.empty()) << "cancelling reads no edit";
  EXPECT_EQ(control.world->nodeCount, 6);
  EXPECT_EQ(control.genCursor, 30);
  EXPECT_EQ(std::memcmp(&control.surface->vertexBuffer[25], &atBuild, sizeof atBuild), 0);

  control.generationTick();
  EXPECT_EQ(control.genCursor, 30) << "a cancelled generation stays stopped";

  // Pressing again rebuilds from the edits.
  control.OnRegenerate();
  EXPECT_TRUE(control.generating);
  EXPECT_EQ(control.world->nodeCount, 3);
}

TEST_F(Control, RegenerateBuildsFromTheEdits) {
  regenerateWithAll({"200", "2", "4.5", "1.25", "1.5", "0.5", "0.05", "3"});
  EXPECT_EQ(editTexts(), (std::vector<std::string>{"200", "2", "4.500", "1.250", "1.500", "0.500",
                                                   "0.050", "44"}));
  const BlobWorld& world = *control.world;
  EXPECT_EQ(world.nodeCount, 2);
  EXPECT_EQ(world.nodes[1].power, 1.5f);
  EXPECT_EQ(world.npcCount, 44) << "a new world brings the constructor's NPCs";
  EXPECT_EQ(control.genLevel, 0.5f);
  EXPECT_EQ(control.genRange, 0.05f);
  EXPECT_EQ(control.surface->pointCount, 200);
  runGeneration();
  EXPECT_FALSE(control.generating);
  EXPECT_EQ(control.genCursor, 200);
}

TEST_F(Control, ARunOfNoPointsOrOfOneUnplaceablePointEndsAtTheFirstTick) {
  regenerateWith({{IDC_NUMVERTS, "0"}});
  EXPECT_TRUE(control.generating);
  panel.captions.clear();
  control.generationTick();
  EXPECT_FALSE(control.generating);
  EXPECT_EQ(panel.captions, (std::vector<std::string>{"cancel -1", "Regenerate"}));

  // One point on a field of 0 that the band excludes: the point can never be
  // placed, and the run ends when only it is left all the same.
  regenerateWith({{IDC_NUMVERTS, "1"}, {IDC_NODES, "0"}});
  EXPECT_EQ(control.genCursor, 0);
  panel.captions.clear();
  control.generationTick();
  EXPECT_FALSE(control.generating);
  EXPECT_EQ(panel.captions, (std::vector<std::string>{"cancel 0", "Regenerate"}));
}

TEST_F(Control, NoNodesPlacesNothingUntilCancelled) {
  regenerateWith({{IDC_NODES, "0"}});
  EXPECT_EQ(panel.edits[IDC_MASS], "");
  EXPECT_EQ(panel.edits[IDC_POW], "");
  EXPECT_EQ(control.genCursor, 0);

  panel.captions.clear();
  for (int tick = 0; tick < 3; ++tick) control.generationTick();
  EXPECT_EQ(panel.captions, (std::vector<std::string>(3, "cancel 1599")));
  EXPECT_TRUE(control.generating);

  control.OnRegenerate();
  EXPECT_EQ(panel.caption(), "Regenerate");
  EXPECT_FALSE(control.generating);
}

TEST_F(Control, RefusedCountsChangeNothingButTheEdits) {
  const char* const refused[][2] = {
      {"-1", "6"},    {"1600", "-1"},  {"99999999999", "6"}, {"1600", "-99999999999"},
      {"50001", "6"}, {"1600", "101"},
  };
  control.generationTick();
  for (const auto& [points, nodes] : refused) {
    SCOPED_TRACE(std::string(points) + " points, " + nodes + " nodes");
    const BlobWorld* world = control.world.get();
    const MeshNode* surface = control.surface.get();
    const int cursor = control.genCursor;
    panel.edits[IDC_NUMVERTS] = points;
    panel.edits[IDC_NODES] = nodes;
    panel.edits[IDC_RAD] = "55";
    panel.edits[IDC_NPC] = "3";
    control.regenerateFromEdits();

    EXPECT_EQ(control.world.get(), world);
    EXPECT_EQ(control.surface.get(), surface);
    EXPECT_TRUE(control.generating) << "the running generation goes on";
    EXPECT_EQ(control.genCursor, cursor);
    EXPECT_EQ(editTexts(), DEFAULT_TEXTS);
  }
  // The largest accepted counts do build.
  panel.edits[IDC_NUMVERTS] = "50000";
  panel.edits[IDC_NODES] = "100";
  control.regenerateFromEdits();
  EXPECT_EQ(control.surface->pointCount, MAX_POINT_COUNT);
  EXPECT_EQ(control.world->nodeCount, MAX_NODE_COUNT);
}

TEST_F(Control, TheHeaviestAcceptedWorldsKeepEachPressAndTickWithinItsWork) {
  for (const WorstCase& worst : WORST_CASES) {
    SCOPED_TRACE(worst.name);
    regenerateWithAll(worst.edits);
    panel.edits[IDC_NPC] = worst.edits[NPC_EDIT];  // the rebuild showed 44 there
    control.OnNew();
    BlobWorld& world = *control.world;
    ASSERT_EQ(world.npcCount, MAX_NPC_COUNT);
    EXPECT_LE(world.termsEvaluated, SAMPLING_TERMS_PER_TICK) << "the press's first batch";

    for (int tick = 0; tick < 2; ++tick) {
      const std::int64_t before = world.termsEvaluated;
      control.generationTick();
      const std::int64_t batch = world.termsEvaluated - before;
      world.stepAgents();
      const std::int64_t frame = world.termsEvaluated - before - batch;
      EXPECT_LE(batch, SAMPLING_TERMS_PER_TICK);
      EXPECT_LE(frame, AGENT_TERMS_PER_FRAME);
      EXPECT_GT(frame, AGENT_TERMS_PER_FRAME / 2) << "the allowance went unused";
    }
  }
}

namespace {

// A world typed into the parameter edits, generated by the control from one
// state of rand() after another.
struct GeneratedWorld {
  const char* edits[PARAMETER_COUNT];
  std::vector<unsigned> seeds;
};

// The next few values of rand(): where the generator stands.
std::vector<int> nextRandomValues() {
  std::vector<int> values(4);
  for (int& value : values) value = std::rand();
  return values;
}

}  // namespace

TEST_F(Control, EveryCompletedCloudIsTheUnlimitedOneAndLeavesTheGeneratorWhereItDoes) {
  const GeneratedWorld worlds[] = {
      // A last point that can never be placed fails after its tries, and the
      // run ends there: within the build's batch in a world without nodes,
      // after ten ticks in a world of a hundred.
      {{"1", "0", "10", "3", "2", "0.25", "0.01", "44"}, {13}},
      {{"1", "100", "10", "3", "2", "1e30", "0.01", "44"}, {14}},
      // Light worlds whose counts are one more than a multiple of ten: the
      // batch that reaches the count less one leaves the last point to the
      // next tick.
      {{"31", "6", "10", "3", "2", "0.25", "0.01", "44"}, {1, 2, 3}},
      {{"1601", "6", "10", "3", "2", "0.25", "0.01", "44"}, {4, 5}},
      // Heavy worlds whose points take more work than a tick has, many of
      // them their last point.
      {{"21", "30", "10", "3", "2", "1", "0.001", "44"}, {1, 2, 3, 4, 5, 6, 7, 8}},
      {{"11", "100", "10", "3", "2.5", "1", "0.001", "44"}, {9, 10, 11, 12}},
  };
  for (const GeneratedWorld& typed : worlds) {
    const int count = std::atoi(typed.edits[0]);
    BlobWorld unlimited;
    unlimited.layOutRing(std::atoi(typed.edits[1]), stored(std::atof(typed.edits[2])),
                         stored(std::atof(typed.edits[3])), stored(std::atof(typed.edits[4])));
    const float level = stored(std::atof(typed.edits[5]));
    const float range = stored(std::atof(typed.edits[6]));
    for (unsigned seed : typed.seeds) {
      SCOPED_TRACE(std::string(typed.edits[0]) + " points, " + typed.edits[1] + " nodes, seed " +
                   std::to_string(seed));
      // The unlimited run: every point placed, or the last one failed.
      std::srand(seed);
      MeshNode cloud;
      WorkAllowance unlimitedWork;
      int tries = 0;
      int cursor = unlimited.startSampling(cloud, level, range, count, 0, unlimitedWork, tries);
      while (cursor < count && !(cursor == count - 1 && tries == TRIES_PER_POINT))
        cursor = unlimited.sampleSurface(cloud, level, range, cursor, 0, unlimitedWork, tries);
      const std::vector<int> unlimitedNext = nextRandomValues();

      std::srand(seed);
      regenerateWithAll(typed.edits);
      runGeneration(2000);
      ASSERT_FALSE(control.generating);
      EXPECT_EQ(control.genCursor, cursor);
      const size_t bytes = count * sizeof(Vector3);
      EXPECT_EQ(std::memcmp(control.surface->positions.get(), cloud.positions.get(), bytes), 0);
      EXPECT_EQ(std::memcmp(control.surface->normals.get(), cloud.normals.get(), bytes), 0);
      EXPECT_EQ(nextRandomValues(), unlimitedNext);
    }
  }
}

TEST_F(Control, EditTextsAreReadAsTheirLeadingNumber) {
  // 99 characters arrive: the trailing 5 of this 100-character text is lost.
  regenerateWith({{IDC_NUMVERTS, std::string(99, '0').append("5").c_str()},
                  {IDC_NODES, "three"},
                  {IDC_RAD, "7.5 units"},
                  {IDC_MASS, "x"}});
  EXPECT_EQ(control.surface->pointCount, 0);
  EXPECT_EQ(control.world->nodeCount, 0);
  EXPECT_EQ(panel.edits[IDC_RAD], "7.500");
}

TEST_F(Control, NewReplacesTheNpcsOrIsRefusedAndEveryRebuildShowsFortyFour) {
  panel.editWrites.clear();
  panel.edits[IDC_NPC] = "0";
  control.OnNew();
  EXPECT_EQ(control.world->npcCount, 0);
  EXPECT_NE(control.world->player, nullptr);
  EXPECT_TRUE(panel.editWrites.empty()) << "an accepted count leaves the edits alone";
  EXPECT_TRUE(control.generating) << "New does not touch the generation";

  panel.edits[IDC_NPC] = "12";
  control.OnNew();
  EXPECT_EQ(control.world->npcCount, 12);

  for (const char* refused : {"-3", "1001", "99999999999"}) {
    panel.edits[IDC_NPC] = refused;
    control.OnNew();
    EXPECT_EQ(control.world->npcCount, 12) << refused;
    EXPECT_EQ(panel.edits[IDC_NPC], "12") << refused;
  }

  regenerateWith({});
  EXPECT_EQ(panel.edits[IDC_NPC], "44");
  EXPECT_EQ(control.world->npcCount, 44);
}

TEST_F(Control, ReleasedControlDoesNothing) {
  control.releaseWorld();
  EXPECT_EQ(control.world, nullptr);
  EXPECT_EQ(control.surface, nullptr);
  panel.captions.clear();
  panel.editWrites.clear();
  control.generationTick();
  control.OnNew();
  control.writeParameters();
  EXPECT_TRUE(panel.captions.empty());
  EXPECT_TRUE(panel.editWrites.empty());
}

namespace {

// Edit texts made of every combination of leading space, sign, body and what
// follows the number: leading zeros, prefixes, exponents, values past the
// int and float ranges.
std::vector<std::pair<std::string, std::string>> editTextCorpus() {
  const char* const spaces[] = {"", " ", "\t ", "\n"};
  const char* const signs[] = {"", "+", "-", "+-", "--"};
  const char* const bodies[] = {
      "", "0", "7", "007", "010", "09", "42", ".5", "3.25", "1e3", "1.5e-3", "2E+2", "1d3",
      "1D-2", "0x1A", "0x1p3", "1e999", "1e-999", "2147483647", "2147483648", "4294967301",
      "99999999999999999999", "inf", "nan", "abc",
      // Just above halfway between two floats: a double rounded to float
      // lands on halfway and goes to even, the direct float reading goes up.
      "1.0000000596046447762579867"};
  const char* const tails[] = {"", "x", " 5", "e", "e+", ".", "9"};
  // Where C libraries' atof differ (msvcrt's d exponent; glibc's and musl's
  // hexadecimal numbers, "inf" and "nan", which msvcrt reads as 0): the same
  // number as every atof reads it, msvcrt's included.
  const std::map<std::string, std::string> portable = {
      {"1d3", "1e3"}, {"1D-2", "1E-2"}, {"0x1A", "0z"}, {"0x1p3", "0z"}, {"inf", "z"}, {"nan", "z"}};
  // Each text with the text whose atof is its reading.
  std::vector<std::pair<std::string, std::string>> texts;
  for (const char* space : spaces)
    for (const char* sign : signs)
      for (const char* body : bodies)
        for (const char* tail : tails) {
          const auto alike = portable.find(body);
          const std::string read = alike == portable.end() ? body : alike->second;
          texts.emplace_back(std::string(space) + sign + body + tail,
                             std::string(space) + sign + read + tail);
        }
  return texts;
}

// The leading integer of a text as atoi finds it, in a type that holds any
// number of digits' worth, to tell whether it fits an int.
long double leadingInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  long double value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
    value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

// Bit for bit: a zero's sign too.
bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(EditNumbers, TextsReadAsAtoiAndMsvcrtsAtofReadThemOneAfterAnother) {
  // Each text is read as an integer and as a float, in turn, so that every
  // reading follows readings of other texts, overflowing ones among them.
  for (const auto& [text, alike] : editTextCorpus()) {
    SCOPED_TRACE("\"" + text + "\"");
    int value = 12345;
    const long double exact = leadingInteger(text);
    if (exact < INT_MIN || exact > INT_MAX) {
      EXPECT_FALSE(readInteger(text, value));
      EXPECT_EQ(value, 12345);
    } else {
      EXPECT_TRUE(readInteger(text, value));
      EXPECT_EQ(value, std::atoi(text.c_str()));
    }
    const float expected = stored(std::atof(alike.c_str()));
    const float read = readFloat(text);
    EXPECT_TRUE(sameFloat(read, expected)) << read << " where atof reads " << expected;
  }
}
