// The driver's operations: process start and end, control texts and states,
// keys, system-menu commands, window geometry and screen capture.
#include "e2e/driver/plim_driver.h"

#include "e2e/driver/frame_probe.h"
#include "e2e/driver/menu_probe.h"

#include <cstdio>
#include <sstream>

namespace {

constexpr DWORD POLL_INTERVAL_MS = 5;
constexpr int MAX_TEXT = 1024;
constexpr char REGENERATE_CAPTION[] = "Regenerate";
constexpr char COUNTDOWN_PREFIX[] = "cancel ";

// The window class of dialogs.
constexpr char DIALOG_CLASS[] = "#32770";

// A visible top-level window of a process with this caption (any caption when
// null), or null.
HWND topLevelWindow(DWORD processId, const char* windowClass, const char* caption) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, windowClass, caption))) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

std::string windowText(HWND window) {
  char text[MAX_TEXT] = "";
  GetWindowTextA(window, text, MAX_TEXT);
  return text;
}

BOOL CALLBACK collectChildText(HWND child, LPARAM texts) {
  reinterpret_cast<std::vector<std::string>*>(texts)->push_back(windowText(child));
  return TRUE;
}

}  // namespace

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(POLL_INTERVAL_MS);
  }
}

double processorSeconds(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
  const auto ticks = [](const FILETIME& time) {
    return double(ULONGLONG(time.dwHighDateTime) << 32 | time.dwLowDateTime);
  };
  constexpr double FILETIME_TICKS_PER_SECOND = 1e7;
  return (ticks(kernel) + ticks(user)) / FILETIME_TICKS_PER_SECOND;
}

double secondsNow() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

std::string executableFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string defaultProgramPath() {
  return executableFolder() + "..\\shell\\plim.exe";
}

PlimDriver::~PlimDriver() {
  if (frameHook) UnhookWindowsHookEx(frameHook);
  if (frameProbe) FreeLibrary(frameProbe);
  if (framesCounted) UnmapViewOfFile(const_cast<long*>(framesCounted));
  if (frameMemory) CloseHandle(frameMemory);
  if (running() && !close(5000)) TerminateProcess(process.hProcess, 1);
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
}

bool PlimDriver::start(const std::string& programPath, DWORD timeoutMs) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  std::string commandLine = "\"" + programPath + "\"";
  if (!CreateProcessA(programPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", programPath.c_str(), GetLastError());
    return false;
  }
  // The dialog is shown once its initialisation has run. It is found by its
  // process rather than its caption, so that a wrong caption shows as such.
  return waitUntil(
      [&] {
        dialogWindow = topLevelWindow(process.dwProcessId, DIALOG_CLASS, nullptr);
        return dialogWindow != nullptr || !running();
      },
      timeoutMs) &&
         dialogWindow != nullptr;
}

bool PlimDriver::running() const {
  return process.hProcess && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
}

std::string PlimDriver::text(int controlId) const {
  char text[MAX_TEXT] = "";
  GetDlgItemTextA(dialogWindow, controlId, text, MAX_TEXT);
  return text;
}

bool PlimDriver::setText(int controlId, const std::string& text) const {
  return SetDlgItemTextA(dialogWindow, controlId, text.c_str()) != FALSE;
}

void PlimDriver::click(int controlId) const {
  SendMessageA(GetDlgItem(dialogWindow, controlId), BM_CLICK, 0, 0);
}

bool PlimDriver::isChecked(int controlId) const {
  return SendMessageA(GetDlgItem(dialogWindow, controlId), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void PlimDriver::setChecked(int controlId, bool on) const {
  if (isChecked(controlId) != on) click(controlId);
}

HWND PlimDriver::focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(process.dwThreadId, &info)) return nullptr;
  return info.hwndFocus;
}

void PlimDriver::focusControl(int controlId) const {
  // The dialog moves the focus itself, as it does for a click or a Tab.
  SendMessageA(dialogWindow, WM_NEXTDLGCTL, WPARAM(GetDlgItem(dialogWindow, controlId)), TRUE);
}

void PlimDriver::pressKey(WORD virtualKey) const {
  // Posted, not sent: a key reaches a dialog through the message queue, where
  // the program's loop gives the dialog the chance to treat it as a dialog
  // key (Enter, Escape, Tab) before it goes to the focused control.
  HWND target = focus();
  if (!target) target = dialogWindow;
  const UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | LPARAM(scanCode) << 16;
  const LPARAM up = down | LPARAM(1) << 30 | LPARAM(1) << 31;
  PostMessageA(target, WM_KEYDOWN, virtualKey, down);
  PostMessageA(target, WM_KEYUP, virtualKey, up);
}

void PlimDriver::pause() const { SuspendThread(process.hThread); }

void PlimDriver::resume() const { ResumeThread(process.hThread); }


bool PlimDriver::countFrames() {
  if (frameHook) return true;
  frameMemory = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   sizeof(FrameProbeBlock),
                                   frameProbeMemoryName(process.dwProcessId).c_str());
  void* view = frameMemory ? MapViewOfFile(frameMemory, FILE_MAP_READ, 0, 0,
                                           sizeof(FrameProbeBlock))
                           : nullptr;
  if (view) framesCounted = &static_cast<FrameProbeBlock*>(view)->framesComposed;
  const std::string libraryPath = executableFolder() + FRAME_PROBE_LIBRARY;
  frameProbe = LoadLibraryA(libraryPath.c_str());
  // GetProcAddress returns a generic function pointer; the hook's type is known.
  auto hook = frameProbe ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                               GetProcAddress(frameProbe, FRAME_PROBE_HOOK)))
                         : nullptr;
  if (hook && framesCounted) {
    frameHook = SetWindowsHookExA(WH_CALLWNDPROC, hook, frameProbe, process.dwThreadId);
  }
  if (!frameHook) {
    std::fprintf(stderr, "cannot install the frame probe %s (error %lu)\n", libraryPath.c_str(),
                 GetLastError());
  }
  return frameHook != nullptr;
}

long PlimDriver::framesComposed() const { return frameHook ? *framesCounted : -1; }

void PlimDriver::systemCommand(WPARAM command) const {
  // Posted: the About box runs a modal loop that would hold a sent message.
  PostMessageA(dialogWindow, WM_SYSCOMMAND, command, 0);
}

std::vector<MenuItem> PlimDriver::systemMenu() const {
  std::vector<MenuItem> items;
  const DWORD self = GetCurrentProcessId();
  HANDLE memory = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     MENU_PROBE_SIZE, menuProbeMemoryName(self).c_str());
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, menuProbeDoneName(self).c_str());
  const std::string libraryPath = executableFolder() + MENU_PROBE_LIBRARY;
  HMODULE library = LoadLibraryA(libraryPath.c_str());
  // GetProcAddress returns a generic function pointer; the hook's type is known.
  auto hook = library ? reinterpret_cast<HOOKPROC>(
                            reinterpret_cast<void*>(GetProcAddress(library, MENU_PROBE_HOOK)))
                      : nullptr;
  HHOOK installed = hook ? SetWindowsHookExA(WH_GETMESSAGE, hook, library, process.dwThreadId)
                         : nullptr;
  if (memory && done && installed) {
    PostMessageA(dialogWindow, RegisterWindowMessageA(MENU_PROBE_QUERY), WPARAM(self), 0);
    if (WaitForSingleObject(done, 10000) == WAIT_OBJECT_0) {
      const char* block =
          static_cast<const char*>(MapViewOfFile(memory, FILE_MAP_READ, 0, 0, MENU_PROBE_SIZE));
      std::istringstream lines(std::string(block, strnlen(block, MENU_PROBE_SIZE)));
      UnmapViewOfFile(block);
      std::string line;
      while (std::getline(lines, line)) {
        const size_t idEnd = line.find('\t', 2);
        if (line.size() < 2 || idEnd == std::string::npos) continue;
        MenuItem item;
        item.separator = line[0] == 'S';
        item.id = UINT(std::stoul(line.substr(2, idEnd - 2)));
        item.text = line.substr(idEnd + 1);
        items.push_back(item);
      }
    }
  } else {
    std::fprintf(stderr, "cannot install the menu probe %s (error %lu)\n", libraryPath.c_str(),
                 GetLastError());
  }
  if (installed) UnhookWindowsHookEx(installed);
  if (library) FreeLibrary(library);
  if (done) CloseHandle(done);
  if (memory) CloseHandle(memory);
  return items;
}

HWND PlimDriver::findWindow(const std::string& caption, DWORD timeoutMs) const {
  HWND found = nullptr;
  waitUntil(
      [&] {
        found = topLevelWindow(process.dwProcessId, nullptr, caption.c_str());
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

std::vector<std::string> PlimDriver::childTexts(HWND window) {
  std::vector<std::string> texts;
  EnumChildWindows(window, collectChildText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

void PlimDriver::resize(int width, int height) const {
  SetWindowPos(dialogWindow, nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlimDriver::move(int x, int y) const {
  SetWindowPos(dialogWindow, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT PlimDriver::clientRect() const {
  RECT client{};
  GetClientRect(dialogWindow, &client);
  MapWindowPoints(dialogWindow, nullptr, reinterpret_cast<POINT*>(&client), 2);
  return client;
}

RECT PlimDriver::controlRect(int controlId) const {
  RECT control{};
  GetWindowRect(GetDlgItem(dialogWindow, controlId), &control);
  return control;
}

RECT PlimDriver::windowRect() const {
  RECT window{};
  GetWindowRect(dialogWindow, &window);
  return window;
}

Image PlimDriver::capture(const RECT& area) {
  return captureScreen(area);
}

Image PlimDriver::captureFrame() const {
  HWND frame = GetDlgItem(dialogWindow, IDC_FRAME);
  RECT inside{};
  GetClientRect(frame, &inside);
  MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&inside), 2);
  return captureScreen(inside);
}

bool PlimDriver::generationOver() const { return text(IDC_REGENERATE) == REGENERATE_CAPTION; }

bool PlimDriver::waitForGenerationEnd(DWORD timeoutMs, DWORD countdownMs) const {
  auto countingDown = [&] { return text(IDC_REGENERATE).rfind(COUNTDOWN_PREFIX, 0) == 0; };
  waitUntil(countingDown, countdownMs);
  return waitUntil([&] { return generationOver(); }, timeoutMs);
}

bool PlimDriver::close(DWORD timeoutMs) {
  PostMessageA(dialogWindow, WM_CLOSE, 0, 0);
  return waitForExit(timeoutMs);
}

bool PlimDriver::waitForExit(DWORD timeoutMs) {
  if (!process.hProcess || WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return false;
  }
  GetExitCodeProcess(process.hProcess, &code);
  return true;
}

std::string saveScreenshot(const Image& image, const std::string& name) {
  const std::string folder = executableFolder() + "screenshots\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string path = folder + name + ".bmp";
  if (!writeBitmap(image, path)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return path;
}
