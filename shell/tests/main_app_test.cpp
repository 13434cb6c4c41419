// The application object in this process: a program whose main dialog cannot
// be made ends at once, failed, instead of idling with no window. The dialog
// is refused the way the system refuses a window, through a hook that turns
// its creation down.
#include "shell/main_app.h"

#include "testing/fake_directx.h"

#include <gtest/gtest.h>

namespace {

int refusedWindows = 0;

LRESULT CALLBACK refuseEveryWindow(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    ++refusedWindows;
    return 1;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

struct Application : ::testing::Test {
  FakeDirectX fakes;
  CMainApp app;
};

TEST_F(Application, OpensTheMainDialogAsItsMainWindow) {
  ASSERT_TRUE(app.InitInstance());
  ASSERT_NE(app.dialog, nullptr);
  EXPECT_EQ(app.m_pMainWnd, app.dialog);
  const HWND window = app.dialog->GetSafeHwnd();
  EXPECT_TRUE(::IsWindowVisible(window));
  EXPECT_EQ(app.ExitInstance(), 0);
  EXPECT_EQ(app.dialog, nullptr);
  EXPECT_FALSE(::IsWindow(window));
}

TEST_F(Application, WithoutItsDialogTheProgramEndsAtOnceWithAFailureCode) {
  refusedWindows = 0;
  HHOOK hook = ::SetWindowsHookExA(WH_CBT, refuseEveryWindow, nullptr, ::GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  // Were the message loop entered, it would idle here for good.
  const int code = AfxWinMain(::GetModuleHandleA(nullptr), nullptr, nullptr, SW_SHOWNORMAL);
  ::UnhookWindowsHookEx(hook);
  EXPECT_GT(refusedWindows, 0);
  EXPECT_NE(code, 0);
  EXPECT_EQ(app.dialog, nullptr);
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_EQ(::FindWindowA(nullptr, "Plim"), nullptr);
}

}  // namespace
