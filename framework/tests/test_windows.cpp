#include "framework/tests/test_windows.h"

void emptyQueue() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    // Taking a paint message off the queue leaves the window invalid, and the
    // message comes back until the window's procedure has painted.
    if (message.message != WM_QUIT) ::DispatchMessageA(&message);
  }
}

void handleMessages(CWinApp& app) {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT)
    app.PumpMessage();
}

HWND visibleHostWindow() {
  static HWND host = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FrameworkTestHost";
    ::RegisterClassA(&windowClass);
    return ::CreateWindowExA(0, "FrameworkTestHost", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                             0, 400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
  }();
  return host;
}
