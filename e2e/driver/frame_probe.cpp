// The frame probe library, loaded into plim.exe by the driver's hook on the
// messages its thread sends (see frame_probe.h).
#include "e2e/driver/frame_probe.h"

#include "shell/resource.h"

#include <windows.h>

namespace {

// The block the driver made, mapped on the first count.
FrameProbeBlock* block() {
  static FrameProbeBlock* mapped = [] {
    HANDLE memory = OpenFileMappingA(FILE_MAP_WRITE, FALSE,
                                     frameProbeMemoryName(GetCurrentProcessId()).c_str());
    return memory ? static_cast<FrameProbeBlock*>(
                        MapViewOfFile(memory, FILE_MAP_WRITE, 0, 0, sizeof(FrameProbeBlock)))
                  : nullptr;
  }();
  return mapped;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK plimFrameProbeHook(int code, WPARAM wParam,
                                                                     LPARAM lParam) {
  const CWPSTRUCT* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  // Only the program's own question counts, not a driver's reading the box.
  const bool fromTheProgram = wParam != 0;
  if (code == HC_ACTION && fromTheProgram && sent->message == BM_GETCHECK &&
      GetDlgCtrlID(sent->hwnd) == IDC_POV) {
    FrameProbeBlock* counts = block();
    if (counts) InterlockedIncrement(&counts->framesComposed);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
