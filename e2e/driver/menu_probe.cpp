// The menu probe library, loaded into plim.exe by the driver's message hook
// (see menu_probe.h). It reads the system menu of the window that receives
// the query message and hands the items back through shared memory.
#include "e2e/driver/menu_probe.h"

#include <windows.h>

#include <cstdio>

extern "C" __declspec(dllexport) LRESULT CALLBACK plimMenuProbeHook(int code, WPARAM wParam,
                                                                    LPARAM lParam) {
  static const UINT query = RegisterWindowMessageA(MENU_PROBE_QUERY);
  const MSG* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == query) {
    const unsigned long driver = static_cast<unsigned long>(message->wParam);
    HANDLE memory = OpenFileMappingA(FILE_MAP_WRITE, FALSE, menuProbeMemoryName(driver).c_str());
    char* out = memory ? static_cast<char*>(MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0,
                                                          MENU_PROBE_SIZE))
                       : nullptr;
    if (out) {
      HMENU menu = GetSystemMenu(message->hwnd, FALSE);
      const int count = menu ? GetMenuItemCount(menu) : 0;
      unsigned used = 0;
      out[0] = '\0';
      for (int i = 0; i < count && used < MENU_PROBE_SIZE; ++i) {
        char text[256] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof(text) - 1;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) text[0] = '\0';
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        const int written = std::snprintf(out + used, MENU_PROBE_SIZE - used, "%c\t%u\t%s\n",
                                          separator ? 'S' : 'I', info.wID, text);
        if (written < 0) break;
        used += unsigned(written);
      }
      UnmapViewOfFile(out);
    }
    if (memory) CloseHandle(memory);
    HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, menuProbeDoneName(driver).c_str());
    if (done) {
      SetEvent(done);
      CloseHandle(done);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
