// A control panel without a window: edits are strings in a map, and every
// text and caption written is recorded in order.
#pragma once

#include "control/control_panel.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class FakePanel : public ControlPanel {
 public:
  std::map<int, std::string> edits;
  std::vector<std::pair<int, std::string>> editWrites;
  std::vector<std::string> captions;
  std::vector<int> editReads;
  std::map<int, bool> checks;

  std::string editText(int controlId) override {
    editReads.push_back(controlId);
    return edits[controlId];
  }
  void setEditText(int controlId, const char* text) override {
    edits[controlId] = text;
    editWrites.emplace_back(controlId, text);
  }
  void setRegenerateCaption(const char* caption) override { captions.push_back(caption); }
  bool isChecked(int controlId) override { return checks[controlId]; }

  std::string caption() const { return captions.empty() ? std::string() : captions.back(); }
};
