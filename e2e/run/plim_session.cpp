// The run command's driver, for a machine without a display: it starts
// plim.exe in the Wine desktop it runs in, waits until the point cloud is
// complete, saves a picture of the window as plim-run.bmp beside itself,
// closes the program as the close box does and checks its exit code. The
// desktop does not pass an exit code on, so the last line says how it went:
// "plim-run: ok" or "plim-run: failed: <why>".
#include "e2e/driver/plim_driver.h"

#include <cstdio>
#include <string>

namespace {

constexpr DWORD GENERATION_TIMEOUT_MS = 120000;
constexpr DWORD CLOSE_TIMEOUT_MS = 30000;
// Frames drawn after the cloud is complete, before the picture is taken.
constexpr DWORD SETTLE_MS = 300;

int fail(const std::string& why) {
  std::printf("plim-run: failed: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  PlimDriver plim;
  const std::string program = defaultProgramPath();
  std::printf("plim-run: starting %s\n", program.c_str());
  if (!plim.start(program)) return fail("the program showed no dialog");

  if (!plim.waitForGenerationEnd(GENERATION_TIMEOUT_MS)) {
    return fail("the point cloud was not complete in time; the button reads \"" +
                plim.text(IDC_REGENERATE) + "\"");
  }
  std::printf("plim-run: the point cloud of %s points is complete\n",
              plim.text(IDC_NUMVERTS).c_str());
  Sleep(SETTLE_MS);

  const std::string picture = executableFolder() + "plim-run.bmp";
  if (!writeBitmap(PlimDriver::capture(plim.windowRect()), picture)) {
    return fail("cannot write " + picture);
  }
  std::printf("plim-run: saved %s\n", picture.c_str());

  if (!plim.close(CLOSE_TIMEOUT_MS)) return fail("the program did not end after WM_CLOSE");
  std::printf("plim-run: closed, exit code %lu\n", plim.exitCode());
  if (plim.exitCode() != 0) return fail("exit code " + std::to_string(plim.exitCode()));
  std::printf("plim-run: ok\n");
  return 0;
}
