// PlimDriver: drives a running plim.exe from a second program in the same
// Wine prefix and desktop, the way a user would: it starts the program, finds
// its dialog, reads and types control texts, presses buttons and toggles,
// sends keys through the dialog's own message loop, chooses system-menu
// commands, moves and sizes the window, captures the screen, closes the
// program and reads its exit code. Every wait has a deadline and polls; none
// of them measures a time.
#pragma once

#include "testing/pixel_readback.h"
#include "shell/resource.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Polls `condition` every few milliseconds until it holds or `timeoutMs`
// have passed; returns whether it held.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// Processor time a process has used so far, all its threads together.
double processorSeconds(HANDLE process);
// Seconds on the performance counter, for the measurements that time the
// program from outside.
double secondsNow();

// The folder of the running executable, with a trailing backslash.
std::string executableFolder();

// plim.exe of the same build: build/windows/shell/plim.exe, found from the
// folder of the driving program (build/windows/e2e or build/windows/bench).
std::string defaultProgramPath();

struct MenuItem {
  bool separator = false;
  UINT id = 0;
  std::string text;
};

class PlimDriver {
 public:
  static constexpr DWORD START_TIMEOUT_MS = 30000;

  PlimDriver() = default;
  PlimDriver(const PlimDriver&) = delete;
  PlimDriver& operator=(const PlimDriver&) = delete;
  // A program still running is closed, and ended if it does not close.
  ~PlimDriver();

  // Starts the program and waits until it shows its dialog.
  bool start(const std::string& programPath = defaultProgramPath(),
             DWORD timeoutMs = START_TIMEOUT_MS);
  HWND dialog() const { return dialogWindow; }
  DWORD processId() const { return process.dwProcessId; }
  bool running() const;

  // Control texts and states, by control id.
  std::string text(int controlId) const;
  bool setText(int controlId, const std::string& text) const;
  // Presses a button (or toggles a check box) as a mouse click does; returns
  // after the program has handled the click.
  void click(int controlId) const;
  bool isChecked(int controlId) const;
  void setChecked(int controlId, bool on) const;

  // The control that has the keyboard focus in the program, or null.
  HWND focus() const;
  // Gives the keyboard focus to a control, as a click into it does.
  void focusControl(int controlId) const;
  // A key press (down and up) delivered to the focused control through the
  // program's message loop, which hands it to the dialog's key handling.
  void pressKey(WORD virtualKey) const;

  // Posts a system-menu command (SC_CLOSE, SC_MINIMIZE, IDM_ABOUTBOX...).
  void systemCommand(WPARAM command) const;
  // The items of the dialog's system menu, read inside the program by a
  // small hook library (menus cannot be read from another process).
  std::vector<MenuItem> systemMenu() const;

  // A top-level window of the program with this caption, waiting for it.
  HWND findWindow(const std::string& caption, DWORD timeoutMs) const;
  // The texts of a window's child controls, in z order.
  static std::vector<std::string> childTexts(HWND window);

  void resize(int width, int height) const;  // outer size, in pixels
  void move(int x, int y) const;
  RECT clientRect() const;                   // client area, screen coordinates
  RECT controlRect(int controlId) const;     // a control, screen coordinates
  RECT windowRect() const;

  // The screen inside a rectangle, as a user sees it.
  static Image capture(const RECT& area);
  // The render frame's inside (without its etched border).
  Image captureFrame() const;

  // Stops and restarts the program's user-interface thread, so that a
  // measurement can run beside it without sharing the processors with it.
  void pause() const;
  void resume() const;
  // The program's processor time so far.
  double processorSeconds() const { return ::processorSeconds(process.hProcess); }

  // Counts the frames the program composes from now on, through a hook
  // library in the program (e2e/driver/frame_probe.h); false when the probe
  // cannot be installed.
  bool countFrames();
  // Frames composed since countFrames, or -1 without the probe.
  long framesComposed() const;

  // Whether no generation runs: the Regenerate button reads "Regenerate".
  bool generationOver() const;
  // Waits until the Regenerate button reads "Regenerate" after a countdown
  // (or, when no countdown is seen within `countdownMs`, reads it anyway).
  bool waitForGenerationEnd(DWORD timeoutMs, DWORD countdownMs = 3000) const;

  // Asks the program to close (WM_CLOSE, as the close box does) and waits.
  bool close(DWORD timeoutMs = 15000);
  // Waits for the process to end; the exit code is kept.
  bool waitForExit(DWORD timeoutMs);
  DWORD exitCode() const { return code; }

 private:
  PROCESS_INFORMATION process{};
  HWND dialogWindow = nullptr;
  DWORD code = STILL_ACTIVE;
  // The frame probe: its shared block, the library and its hook.
  HANDLE frameMemory = nullptr;
  const volatile long* framesCounted = nullptr;
  HMODULE frameProbe = nullptr;
  HHOOK frameHook = nullptr;
};

// Saves an image as a 24-bit bitmap in the screenshots folder beside the
// running executable (created when missing); returns the file's path.
std::string saveScreenshot(const Image& image, const std::string& name);
