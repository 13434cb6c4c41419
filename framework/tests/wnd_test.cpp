#include "framework/afxwin.h"
#include "framework/tests/test_windows.h"

namespace {

const UINT ABOUT_COMMAND = 0x0010;

std::vector<LONG> sides(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

TEST(CMenu, AppendsASeparatorAndAnItemToTheSystemMenu) {
  CDialog dialog(IDD_TEST);
  ASSERT_TRUE(dialog.Create(IDD_TEST));
  CMenu* menu = dialog.GetSystemMenu(FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->m_hMenu, ::GetSystemMenu(dialog, FALSE));
  EXPECT_EQ(CMenu::FromHandle(menu->m_hMenu), menu);

  const int items = ::GetMenuItemCount(*menu);
  EXPECT_TRUE(menu->AppendMenu(MF_SEPARATOR));
  EXPECT_TRUE(menu->AppendMenu(MF_STRING, ABOUT_COMMAND, "&About..."));

  ASSERT_EQ(::GetMenuItemCount(*menu), items + 2);
  EXPECT_TRUE(::GetMenuState(*menu, items, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(::GetMenuItemID(*menu, items + 1), ABOUT_COMMAND);
  char text[32] = "";
  ::GetMenuStringA(*menu, items + 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&About...");
}

TEST(CMenu, AWindowWithoutSystemMenuHasNone) {
  CWnd host;
  ASSERT_TRUE(host.SubclassWindow(visibleHostWindow()));
  CDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_CHILD, &host));
  EXPECT_EQ(dialog.GetSystemMenu(FALSE), nullptr);
  EXPECT_EQ(CMenu::FromHandle(nullptr), nullptr);
  dialog.DestroyWindow();
  host.UnsubclassWindow();
}

// A dialog that paints through a CPaintDC and notes what it got.
class PaintingDialog : public CDialog {
public:
  HDC paintedDC = nullptr;
  RECT paintedRect{};
  int paints = 0;

protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    ++paints;
    paintedDC = dc.m_hDC;
    paintedRect = dc.m_ps.rcPaint;
    EXPECT_TRUE(dc.DrawIcon(0, 0, ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintingDialog, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(CPaintDC, PaintsTheInvalidAreaAndValidatesIt) {
  CWnd host;
  ASSERT_TRUE(host.SubclassWindow(visibleHostWindow()));
  PaintingDialog dialog;
  ASSERT_TRUE(dialog.Create(IDD_CHILD, &host));
  ::UpdateWindow(dialog);
  dialog.paints = 0;

  const RECT invalid{4, 6, 30, 20};
  ::InvalidateRect(dialog, &invalid, FALSE);
  ::UpdateWindow(dialog);

  EXPECT_EQ(dialog.paints, 1);
  EXPECT_NE(dialog.paintedDC, nullptr);
  EXPECT_EQ(sides(dialog.paintedRect), sides(invalid));
  EXPECT_FALSE(::GetUpdateRect(dialog, nullptr, FALSE));
  dialog.DestroyWindow();
  host.UnsubclassWindow();
}

TEST(CWnd, SetWindowPosResizesAControlInPlace) {
  CDialog dialog(IDD_TEST);
  ASSERT_TRUE(dialog.Create(IDD_TEST));
  CStatic frame;
  ASSERT_TRUE(frame.SubclassWindow(::GetDlgItem(dialog, IDC_FRAME)));
  RECT before;
  frame.GetWindowRect(&before);

  frame.SetWindowPos(nullptr, 0, 0, 123, 45, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  RECT after;
  frame.GetWindowRect(&after);
  EXPECT_EQ(sides(after), sides({before.left, before.top, before.left + 123, before.top + 45}));
}

}  // namespace
