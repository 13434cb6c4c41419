// What the driver and the frame probe library share. The probe is a hook on
// the messages that plim.exe's user-interface thread sends to its own
// windows. Every frame the program composes asks the "POV" check box for its
// state, once (BM_GETCHECK), so the probe counts those questions into a named
// shared memory block that the driver created and reads: frames composed,
// counted without a message to the program and without a change to it. The
// block's name carries the program's process id.
#pragma once

#include <string>

constexpr char FRAME_PROBE_LIBRARY[] = "plim_frame_probe.dll";
constexpr char FRAME_PROBE_HOOK[] = "plimFrameProbeHook";

struct FrameProbeBlock {
  volatile long framesComposed;
};

inline std::string frameProbeMemoryName(unsigned long programProcessId) {
  return "PlimFrameProbe-" + std::to_string(programProcessId);
}
