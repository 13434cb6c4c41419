// A control panel that shows nothing, for programs that only measure.
#pragma once

#include "control/control_panel.h"

#include <string>

class SilentPanel : public ControlPanel {
 public:
  std::string editText(int) override { return std::string(); }
  void setEditText(int, const char*) override {}
  void setRegenerateCaption(const char*) override {}
  bool isChecked(int) override { return false; }
};
