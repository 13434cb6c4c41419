// The main dialog's controls as both shells know them: each control's id, the
// name the page gives its element (and the frame tool its argument), and its
// kind. The resource script lays the controls out; the page's layout is made
// from the script at build time (web/layout.mjs), which reads this table and
// refuses a control whose kind the script does not give it. The page's
// buttons and radios call the program's plim_<name>.
#pragma once

#include "control/control_ids.h"
#include "scene/mesh_node.h"

#include <cstring>

// The width of the control column in pixels: the render frame is this much
// narrower than the dialog's client area, and the page's canvas sits this far
// from the left.
constexpr int CONTROL_COLUMN_WIDTH = 75;

enum class ControlKind { FRAME, EDIT, BUTTON, CHECK, RADIO };

struct ControlName {
  int id;
  const char* name;
  ControlKind kind;
};

inline constexpr ControlName CONTROLS[] = {
    {IDC_FRAME, "frame", ControlKind::FRAME},
    {IDC_TEX, "tex", ControlKind::RADIO},
    {IDC_WIRE, "wire", ControlKind::RADIO},
    {IDC_POINT, "point", ControlKind::RADIO},
    {IDC_STUFF, "stuff", ControlKind::CHECK},
    {IDC_NUMVERTS, "numverts", ControlKind::EDIT},
    {IDC_NODES, "nodes", ControlKind::EDIT},
    {IDC_RAD, "rad", ControlKind::EDIT},
    {IDC_MASS, "mass", ControlKind::EDIT},
    {IDC_POW, "pow", ControlKind::EDIT},
    {IDC_LEVEL, "level", ControlKind::EDIT},
    {IDC_RNGE, "rnge", ControlKind::EDIT},
    {IDC_REGENERATE, "regenerate", ControlKind::BUTTON},
    {IDC_POV, "pov", ControlKind::CHECK},
    {IDC_FIELD, "field", ControlKind::CHECK},
    {IDC_NPC, "npc", ControlKind::EDIT},
    {IDC_NEW, "new", ControlKind::BUTTON},
};

// The control of an id, or of a name; null for one no control has.
inline const ControlName* controlWithId(int controlId) {
  for (const ControlName& control : CONTROLS) {
    if (control.id == controlId) return &control;
  }
  return nullptr;
}

inline const ControlName* controlNamed(const char* name) {
  for (const ControlName& control : CONTROLS) {
    if (std::strcmp(control.name, name) == 0) return &control;
  }
  return nullptr;
}

// Whether the control of this id is of this kind: the control panel's edits
// and check boxes are only those.
inline bool controlIs(int controlId, ControlKind kind) {
  const ControlName* control = controlWithId(controlId);
  return control != nullptr && control->kind == kind;
}

// The fill mode of the cubes that a radio button chooses: "tex" solid and
// lit, "wire", "point".
inline int fillModeOf(int radioId) {
  switch (radioId) {
    case IDC_WIRE: return RENDER_MODE_WIREFRAME;
    case IDC_POINT: return RENDER_MODE_POINTS;
    default: return RENDER_MODE_TEXTURED;
  }
}
