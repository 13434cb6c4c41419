// Prints what the window layer costs per message and how often the idle loop
// can run: messages sent to a dialog through its message map, to a control
// bound to a member, to the same kinds of window left to the dialog manager,
// and idle calls per second of an otherwise empty message loop.
#include "framework/afxwin.h"
#include "testing/framework_resources.h"

#include <cstdio>

namespace {

const int MESSAGES = 200000;
const LONG IDLE_CALLS = 100000;

double seconds() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

class SizedDialog : public CDialog {
public:
  SizedDialog() : CDialog(IDD_TEST) {}
  CEdit first;
  int sizes = 0;

protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_FIRST, first); }
  afx_msg void OnSize(UINT, int, int) {
    ++sizes;
    Default();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SizedDialog, CDialog)
  ON_WM_SIZE()
END_MESSAGE_MAP()

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

void report(const char* what, HWND window, UINT message) {
  const double start = seconds();
  for (int i = 0; i < MESSAGES; ++i) ::SendMessageA(window, message, 0, MAKELPARAM(100, 100));
  const double elapsed = seconds() - start;
  std::printf("%-44s %8.0f ns per message\n", what, elapsed * 1e9 / MESSAGES);
}

class IdleApp : public CWinApp {
public:
  BOOL OnIdle(LONG lCount) override {
    if (lCount + 1 == IDLE_CALLS) ::PostQuitMessage(0);
    return TRUE;
  }
};

}  // namespace

int main() {
  IdleApp app;

  SizedDialog dialog;
  dialog.Create(IDD_TEST);
  const HWND plain = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TEST),
                                          nullptr, &PlainDialogProc, 0);
  report("WM_SIZE, dialog, mapped handler + Default", dialog, WM_SIZE);
  report("WM_SIZE, dialog without framework", plain, WM_SIZE);
  report("WM_GETTEXTLENGTH, bound edit control", dialog.first, WM_GETTEXTLENGTH);
  report("WM_GETTEXTLENGTH, edit without framework", ::GetDlgItem(plain, IDC_FIRST),
         WM_GETTEXTLENGTH);
  ::DestroyWindow(plain);

  const double start = seconds();
  app.Run();
  const double elapsed = seconds() - start;
  std::printf("%-44s %8.2f million per second\n", "idle calls of the message loop",
              IDLE_CALLS / elapsed / 1e6);
  return 0;
}
