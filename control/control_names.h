// The names of the controls that the control logic and the frame composition
// reach, as the page calls its elements and the frame tool its arguments: one
// table, so that a control is named the same everywhere.
#pragma once

#include "control/control_ids.h"

#include <cstring>

struct ControlName {
  int id;
  const char* name;
};

inline constexpr ControlName CONTROL_NAMES[] = {
    {IDC_NUMVERTS, "numverts"}, {IDC_NODES, "nodes"},  {IDC_RAD, "rad"},
    {IDC_MASS, "mass"},         {IDC_POW, "pow"},      {IDC_LEVEL, "level"},
    {IDC_RNGE, "rnge"},         {IDC_NPC, "npc"},      {IDC_REGENERATE, "regenerate"},
    {IDC_POV, "pov"},           {IDC_FIELD, "field"},  {IDC_STUFF, "stuff"},
};

// The name of a control id; null for an id without one.
inline const char* controlName(int controlId) {
  for (const ControlName& control : CONTROL_NAMES) {
    if (control.id == controlId) return control.name;
  }
  return nullptr;
}

// The id of a named control; 0 for a name no control has.
inline int controlNamed(const char* name) {
  for (const ControlName& control : CONTROL_NAMES) {
    if (std::strcmp(control.name, name) == 0) return control.id;
  }
  return 0;
}
