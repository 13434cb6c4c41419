// Prints the point cloud of the default world as the program grows it, one
// point a line, each coordinate as the bits of its 32-bit float in
// hexadecimal, so that the clouds of two builds compare exactly
// (scripts/identical-points compares the Windows program's with the page's).
#include "control/control_panel.h"
#include "control/simulation_control.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// The generation needs somewhere to write its captions; nobody reads them.
struct UnseenPanel : ControlPanel {
  std::string editText(int) override { return std::string(); }
  void setEditText(int, const char*) override {}
  void setRegenerateCaption(const char*) override {}
  bool isChecked(int) override { return false; }
};

std::uint32_t bitsOf(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

int main() {
  UnseenPanel panel;
  SimulationControl control;
  control.panel = &panel;
  control.buildDefaultWorld();
  while (control.generating) control.generationTick();
  const MeshNode& surface = *control.surface;
  for (int i = 0; i < surface.pointCount; ++i) {
    const Vector3& p = surface.positions[i];
    std::printf("%08x %08x %08x\n", unsigned(bitsOf(p.x)), unsigned(bitsOf(p.y)),
                unsigned(bitsOf(p.z)));
  }
  return 0;
}
