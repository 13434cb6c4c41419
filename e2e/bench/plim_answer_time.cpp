// How long the real plim.exe takes to answer while it runs the heaviest
// worlds its edits accept (control/bench/worst_cases.h), measured from
// outside like a user: for each case the driver types the edits, presses
// "Regenerate" and "New", sets "Field", and then, for a while, keeps reading
// an edit's text. A read is answered between two idle ticks, so the longest
// read is the longest the window left its user waiting. Prints, per case,
// the longest press and the longest read, and the longest of all; nothing is
// asserted. Runs in the Wine desktop it is started in.
#include "control/bench/worst_cases.h"
#include "e2e/driver/plim_driver.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr DWORD READING_MS = 8000;
// A user's pace: a read, then a pause before the next.
constexpr DWORD READ_PAUSE_MS = 10;

template <typename Work>
double secondsOf(Work work) {
  const double start = secondsNow();
  work();
  return secondsNow() - start;
}

struct Answers {
  double longestPress = 0;
  double longestRead = 0;
  int reads = 0;
};

Answers runCase(const PlimDriver& plim, const WorstCase& worst) {
  Answers answers;
  const auto press = [&](int controlId) {
    answers.longestPress =
        std::max(answers.longestPress, secondsOf([&] { plim.click(controlId); }));
  };
  // A running generation is cancelled first, so that the press rebuilds.
  if (!plim.generationOver()) press(IDC_REGENERATE);
  for (int i = 0; i < PARAMETER_COUNT; ++i) plim.setText(PARAMETER_EDITS[i], worst.edits[i]);
  press(IDC_REGENERATE);
  plim.setText(IDC_NPC, worst.edits[NPC_EDIT]);
  press(IDC_NEW);
  if (plim.isChecked(IDC_FIELD) != worst.field) press(IDC_FIELD);

  const double start = secondsNow();
  while ((secondsNow() - start) * 1000 < READING_MS) {
    answers.longestRead =
        std::max(answers.longestRead, secondsOf([&] { plim.text(IDC_NUMVERTS); }));
    ++answers.reads;
    Sleep(READ_PAUSE_MS);
  }
  return answers;
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  PlimDriver plim;
  if (!plim.start()) {
    std::printf("cannot start %s\n", defaultProgramPath().c_str());
    return 1;
  }
  std::printf("plim.exe's longest answers while it runs the heaviest accepted worlds, "
              "%lu ms of reads each\n",
              READING_MS);
  std::printf("%-22s %9s %9s %7s\n", "case", "press ms", "read ms", "reads");
  double longest = 0;
  const char* longestCase = "";
  for (const WorstCase& worst : WORST_CASES) {
    const Answers answers = runCase(plim, worst);
    std::printf("%-22s %9.1f %9.1f %7d\n", worst.name, answers.longestPress * 1000,
                answers.longestRead * 1000, answers.reads);
    const double worstAnswer = std::max(answers.longestPress, answers.longestRead);
    if (worstAnswer > longest) {
      longest = worstAnswer;
      longestCase = worst.name;
    }
  }
  std::printf("longest answer: %.1f ms (%s)\n", longest * 1000, longestCase);
  if (!plim.close()) {
    std::printf("the program did not close\n");
    return 1;
  }
  return 0;
}
