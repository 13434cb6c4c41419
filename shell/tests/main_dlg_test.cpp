// The main dialog in this process, on the device's scripted fakes: what its
// initialisation sets up, how its controls serve as the control panel, and
// what its handlers do with sizes, moves, radios, OK and Cancel.
#include "shell/main_dlg.h"

#include "testing/fake_directx.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct MainDialog : ::testing::Test {
  FakeDirectX fakes;
  CMainDlg* dialog = nullptr;

  void SetUp() override {
    dialog = new CMainDlg(nullptr);
    ASSERT_TRUE(dialog->Create(MAKEINTRESOURCE(IDD_MAIN), nullptr));
  }

  void TearDown() override {
    delete dialog;
    // Take the quit message a Cancel may have posted, so the next test starts clean.
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(fakes.references(), 0u) << fakes.referenceReport();
  }

  HWND item(int id) const { return ::GetDlgItem(dialog->GetSafeHwnd(), id); }
  LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(dialog->GetSafeHwnd(), message, wParam, lParam);
  }
  LRESULT checkState(int id) const { return ::SendMessageA(item(id), BM_GETCHECK, 0, 0); }
  void click(int id) { ::SendMessageA(item(id), BM_CLICK, 0, 0); }
  void setText(int id, const char* text) { ::SetDlgItemTextA(dialog->GetSafeHwnd(), id, text); }

  std::string text(int id) const {
    char buffer[256] = "";
    ::GetDlgItemTextA(dialog->GetSafeHwnd(), id, buffer, sizeof buffer);
    return buffer;
  }

  RECT frameRect() const {
    RECT rect;
    ::GetClientRect(item(IDC_FRAME), &rect);
    return rect;
  }

  // The code of the quit message waiting in the queue, taken off it.
  std::optional<WPARAM> postedQuit() {
    MSG message;
    if (!::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return std::nullopt;
    return message.wParam;
  }
};

}  // namespace

TEST_F(MainDialog, OpensWithTheDefaultWorldAndARunningDevice) {
  const std::pair<int, const char*> edits[] = {
      {IDC_NUMVERTS, "1600"}, {IDC_NODES, "6"},     {IDC_RAD, "10.000"}, {IDC_MASS, "3.000"},
      {IDC_POW, "2.000"},     {IDC_LEVEL, "0.250"}, {IDC_RNGE, "0.010"}, {IDC_NPC, "44"}};
  for (const auto& [id, value] : edits) EXPECT_EQ(text(id), value) << id;
  EXPECT_EQ(text(IDC_REGENERATE), "Regenerate") << "the first tick sets the countdown";
  EXPECT_TRUE(dialog->control.generating);
  EXPECT_TRUE(dialog->device.ready) << fakes.log();
  EXPECT_EQ(dialog->device.window, item(IDC_FRAME));
  EXPECT_EQ(dialog->renderer.globalFillMode, RENDER_MODE_TEXTURED);
  for (int radio : {IDC_TEX, IDC_WIRE, IDC_POINT}) EXPECT_EQ(checkState(radio), BST_UNCHECKED);

  const HICON icon = dialog->icon;
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(send(WM_GETICON, ICON_BIG), LRESULT(icon));
  EXPECT_EQ(send(WM_QUERYDRAGICON), LRESULT(icon));
}

TEST_F(MainDialog, TheSystemMenuEndsWithTheAboutItem) {
  HMENU menu = ::GetSystemMenu(dialog->GetSafeHwnd(), FALSE);
  ASSERT_NE(menu, nullptr);
  const int count = ::GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(::GetMenuState(menu, count - 2, MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));
  char label[64] = "";
  ::GetMenuStringA(menu, count - 1, label, sizeof label, MF_BYPOSITION);
  EXPECT_STREQ(label, "&About Plim...");
  EXPECT_EQ(::GetMenuItemID(menu, count - 1), UINT(IDM_ABOUTBOX));
}

namespace {

// About boxes closed by closeAboutBoxes, which a timer runs inside the box's
// modal loop.
int aboutBoxesClosed = 0;

void CALLBACK closeAboutBoxes(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND about = ::FindWindowA(nullptr, "About Plim")) {
    ++aboutBoxesClosed;
    ::EndDialog(about, IDOK);
  }
}

}  // namespace

TEST_F(MainDialog, TheAboutItemsCommandOpensTheAboutBoxWhateverItsLowFourBits) {
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, closeAboutBoxes);
  const struct {
    WPARAM command;
    int aboutBoxes;
  } commands[] = {{IDM_ABOUTBOX, 1}, {IDM_ABOUTBOX | 0x3, 1}, {IDM_ABOUTBOX | 0xF, 1},
                  {IDM_ABOUTBOX + 0x10, 0}};
  for (const auto& sent : commands) {
    aboutBoxesClosed = 0;
    send(WM_SYSCOMMAND, sent.command);  // returns once the box is closed
    EXPECT_EQ(aboutBoxesClosed, sent.aboutBoxes) << std::hex << sent.command;
  }
  ::KillTimer(nullptr, timer);
}

TEST_F(MainDialog, ItsControlsAreTheControlPanel) {
  ControlPanel& panel = *dialog;
  panel.setEditText(IDC_LEVEL, "0.125");
  EXPECT_EQ(text(IDC_LEVEL), "0.125");
  setText(IDC_NODES, std::string(150, '7').c_str());
  EXPECT_EQ(panel.editText(IDC_NODES), std::string(99, '7'));
  panel.setRegenerateCaption("cancel 5");
  EXPECT_EQ(text(IDC_REGENERATE), "cancel 5");

  for (int check : {IDC_POV, IDC_FIELD, IDC_STUFF}) {
    EXPECT_FALSE(panel.isChecked(check));
    click(check);
    EXPECT_TRUE(panel.isChecked(check)) << check;
  }
  EXPECT_FALSE(panel.isChecked(IDC_TEX)) << "not a control of the panel";
}

TEST_F(MainDialog, ButtonsReachTheControlLogic) {
  dialog->idleTick();
  EXPECT_EQ(text(IDC_REGENERATE), "cancel 1579");
  click(IDC_REGENERATE);
  EXPECT_FALSE(dialog->control.generating);
  EXPECT_EQ(text(IDC_REGENERATE), "Regenerate");

  setText(IDC_NPC, "3");
  click(IDC_NEW);
  EXPECT_EQ(dialog->control.world->npcCount, 3);

  setText(IDC_NODES, "4");
  click(IDC_REGENERATE);
  EXPECT_TRUE(dialog->control.generating);
  EXPECT_EQ(dialog->control.world->nodeCount, 4);
  EXPECT_EQ(text(IDC_NPC), "44");
}

TEST_F(MainDialog, RadiosChooseTheGlobalFillMode) {
  click(IDC_WIRE);
  EXPECT_EQ(dialog->renderer.globalFillMode, RENDER_MODE_WIREFRAME);
  click(IDC_POINT);
  EXPECT_EQ(dialog->renderer.globalFillMode, RENDER_MODE_POINTS);
  EXPECT_EQ(checkState(IDC_WIRE), BST_UNCHECKED);
  click(IDC_TEX);
  EXPECT_EQ(dialog->renderer.globalFillMode, RENDER_MODE_TEXTURED);
  EXPECT_EQ(dialog->control.surface->renderMode, RENDER_MODE_POINTS);
}

TEST_F(MainDialog, TheFrameFollowsTheWindowAndTheDeviceItsSize) {
  send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(500, 380));
  RECT frame = frameRect();
  EXPECT_EQ(frame.right, 500 - CONTROL_COLUMN_WIDTH);
  EXPECT_EQ(frame.bottom, 380);
  EXPECT_TRUE(dialog->device.ready);
  EXPECT_EQ(dialog->device.clientRect.right, 500 - CONTROL_COLUMN_WIDTH);

  // Minimised (0 x 0) or narrower than the control column: an empty frame,
  // and a device that waits for the window to grow again.
  send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(60, 380));
  frame = frameRect();
  EXPECT_EQ(frame.right, 0);
  EXPECT_FALSE(dialog->device.ready);
  send(WM_SIZE, SIZE_MINIMIZED);
  EXPECT_FALSE(dialog->device.ready);
  send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300));
  EXPECT_TRUE(dialog->device.ready);
  EXPECT_EQ(frameRect().right, 400 - CONTROL_COLUMN_WIDTH);
}

TEST_F(MainDialog, MovingTheWindowMovesWhereFramesGo) {
  const RECT before = dialog->device.screenRect;
  RECT window;
  ::GetWindowRect(dialog->GetSafeHwnd(), &window);
  ::SetWindowPos(dialog->GetSafeHwnd(), nullptr, window.left + 30, window.top + 20, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT after = dialog->device.screenRect;
  EXPECT_EQ(after.left - before.left, 30);
  EXPECT_EQ(after.top - before.top, 20);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(MainDialog, EnterDoesNothingAndCancelShutsDown) {
  send(WM_COMMAND, IDOK);
  EXPECT_FALSE(postedQuit());
  EXPECT_NE(dialog->control.world, nullptr);

  send(WM_COMMAND, IDCANCEL);
  EXPECT_EQ(postedQuit(), std::optional<WPARAM>(0));
  EXPECT_EQ(dialog->control.world, nullptr);
  EXPECT_EQ(dialog->control.surface, nullptr);
  EXPECT_FALSE(dialog->device.ready);
  EXPECT_EQ(fakes.references(), 0u) << "every DirectDraw object released";
  EXPECT_TRUE(::IsWindow(dialog->GetSafeHwnd())) << "the window goes with the dialog object";

  // The idle tick that may still come draws nothing and does not fail.
  fakes.clearCalls();
  dialog->idleTick();
  EXPECT_TRUE(fakes.calls().empty());
}
