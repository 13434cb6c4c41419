// ControlPanel: everything the control logic needs of the window side, and
// nothing more. The main dialog implements it on its real controls; tests
// implement it with a recording fake, so the logic runs without a window.
#pragma once

#include <string>

class ControlPanel {
 public:
  // An edit's text is read through a 100-character buffer: at most 99
  // characters of it arrive.
  static constexpr int MAX_EDIT_TEXT = 99;
  static constexpr int EDIT_TEXT_BUFFER = MAX_EDIT_TEXT + 1;  // terminator included

  // The text of the edit with this control id.
  virtual std::string editText(int controlId) = 0;
  virtual void setEditText(int controlId, const char* text) = 0;
  // The caption of the Regenerate button.
  virtual void setRegenerateCaption(const char* caption) = 0;
  // Whether the check box with this control id is checked.
  virtual bool isChecked(int controlId) = 0;

 protected:
  ~ControlPanel() = default;
};
