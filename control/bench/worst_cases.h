// The heaviest worlds the dialog's edits accept, as a user would make them:
// the eight edit texts, then "Regenerate" (which builds the world with the
// constructor's 44 NPCs and shows 44 in the "NPC" edit), the NPC count typed
// again and "New" (which replaces the NPCs by that many), with "Field" on or
// off. The native tick benchmark and the end-to-end
// answer-time measurement under Wine both run this list.
#pragma once

#include "control/control_ids.h"

// The dialog's parameter edits in their order: "Num Verts", "Nodes", "Rad",
// "Mass", "Pow", "Level", "Rnge", "NPC".
constexpr int PARAMETER_COUNT = 8;
constexpr int PARAMETER_EDITS[PARAMETER_COUNT] = {IDC_NUMVERTS, IDC_NODES, IDC_RAD,  IDC_MASS,
                                                  IDC_POW,      IDC_LEVEL, IDC_RNGE, IDC_NPC};

struct WorstCase {
  const char* name;
  const char* edits[PARAMETER_COUNT];  // in the order of PARAMETER_EDITS
  bool field;
};

// Where the NPC count is among the edits.
constexpr int NPC_EDIT = 7;

// Every count at its bound: 50000 points, 100 nodes, 1000 NPCs spawned at a
// height the wider blob covers, so that they start deep inside it.
constexpr WorstCase WORST_CASES[] = {
    // The default band on the largest blob, which covers the whole sampling
    // cube: no candidate is ever accepted, and the NPCs push out for
    // thousands of passes each.
    {"bounds, default band", {"50000", "100", "10", "3", "2", "0.25", "0.01", "1000"}, true},
    // A band so narrow that a point takes tens of thousands of candidates;
    // the NPCs start outside the surface and fall onto it.
    {"narrow band", {"50000", "100", "10", "3", "2", "3", "0.0001", "1000"}, false},
    // A level no point reaches: every candidate is drawn in vain.
    {"unreachable band", {"50000", "100", "10", "3", "2", "1e30", "0.01", "1000"}, false},
    // Level 0 on the largest blob: the band lies where the field has
    // almost faded, at the sampling cube's corners, and is rarely hit.
    {"level 0", {"50000", "100", "10", "3", "2", "0", "0.01", "1000"}, false},
    // Power 1: a wide blob whose gravity is weak deep inside.
    {"wide blob", {"50000", "100", "10", "3", "1", "0.25", "0.01", "1000"}, true},
    // A negative power: the field rises outwards, no push-out ever ends
    // before its bound.
    {"negative power", {"50000", "100", "10", "3", "-2", "0.25", "0.01", "1000"}, false},
    // A nearly constant field: gravity too weak to move an agent.
    {"flat field", {"50000", "100", "10", "3", "0.000001", "0.25", "0.01", "1000"}, false},
    // All nodes on one spot with an enormous mass.
    {"huge mass", {"50000", "100", "0", "1e30", "2", "0.25", "0.01", "1000"}, false},
};
