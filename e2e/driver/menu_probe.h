// What the driver and the menu probe library share: the probe is a message
// hook that the driver installs on the program's user-interface thread; when
// the dialog receives the query message, the hook reads the dialog's system
// menu inside the program and writes one line per item into a named shared
// memory block, then signals a named event. The names carry the driver's
// process id, so drivers running side by side do not meet.
#pragma once

#include <string>

constexpr char MENU_PROBE_LIBRARY[] = "plim_menu_probe.dll";
constexpr char MENU_PROBE_HOOK[] = "plimMenuProbeHook";
constexpr char MENU_PROBE_QUERY[] = "PlimMenuProbeQuery";
constexpr unsigned MENU_PROBE_SIZE = 8192;

// The block holds one line per item: "S" for a separator or "I" for an item,
// a tab, the item id, a tab, and the item's text to the end of the line (a
// text may hold a tab itself, as "&Close\tAlt+F4" does).
inline std::string menuProbeMemoryName(unsigned long driverProcessId) {
  return "PlimMenuProbeMemory-" + std::to_string(driverProcessId);
}
inline std::string menuProbeDoneName(unsigned long driverProcessId) {
  return "PlimMenuProbeDone-" + std::to_string(driverProcessId);
}
