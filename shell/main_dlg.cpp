#include "shell/main_dlg.h"

#include <algorithm>

namespace {

// The frame keeps its place; only its size follows the window.
constexpr UINT FRAME_RESIZE_FLAGS = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;

// System commands of the About item: the system ignores the low four bits.
constexpr UINT LAST_ABOUT_COMMAND = IDM_ABOUTBOX | 0x000F;

}  // namespace

BEGIN_MESSAGE_MAP(CMainDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_MOVE()
  ON_WM_SIZE()
  ON_BN_CLICKED(IDC_TEX, OnTex)
  ON_BN_CLICKED(IDC_WIRE, OnWire)
  ON_BN_CLICKED(IDC_POINT, OnPoint)
  ON_BN_CLICKED(IDC_REGENERATE, OnRegenerate)
  ON_BN_CLICKED(IDC_NEW, OnNew)
END_MESSAGE_MAP()

CMainDlg::CMainDlg(CWnd* pParent) : CDialog(IDD_MAIN, pParent) {
  control.panel = this;
  const LPCTSTR iconName = MAKEINTRESOURCE(IDR_MAINFRAME);
  icon = ::LoadIconA(AfxFindResourceHandle(iconName, RT_GROUP_ICON), iconName);
}

void CMainDlg::idleTick() { composition.idleTick(); }

void CMainDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_NPC, npcEdit);
  DDX_Control(pDX, IDC_FIELD, fieldCheck);
  DDX_Control(pDX, IDC_POV, povCheck);
  DDX_Control(pDX, IDC_REGENERATE, regenerateButton);
  DDX_Control(pDX, IDC_RNGE, rangeEdit);
  DDX_Control(pDX, IDC_LEVEL, levelEdit);
  DDX_Control(pDX, IDC_POW, powEdit);
  DDX_Control(pDX, IDC_MASS, massEdit);
  DDX_Control(pDX, IDC_NODES, nodesEdit);
  DDX_Control(pDX, IDC_NUMVERTS, numVertsEdit);
  DDX_Control(pDX, IDC_RAD, radEdit);
  DDX_Control(pDX, IDC_STUFF, stuffCheck);
  DDX_Control(pDX, IDC_FRAME, renderFrame);
}

BOOL CMainDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  CMenu* systemMenu = GetSystemMenu(FALSE);
  if (systemMenu != nullptr) {
    CString aboutText;
    aboutText.LoadString(IDS_ABOUTBOX);
    if (!aboutText.IsEmpty()) {
      systemMenu->AppendMenu(MF_SEPARATOR);
      systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText);
    }
  }

  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  control.elapsedTime = 0.0f;
  control.world.reset();
  control.surface.reset();
  control.generating = false;

  composition.start(renderFrame.GetSafeHwnd());
  return TRUE;
}

void CMainDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  const UINT command = nID & 0xFFFF;
  if (command >= IDM_ABOUTBOX && command <= LAST_ABOUT_COMMAND) {
    CAboutDlg about;
    about.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

void CMainDlg::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  // Minimised: the application icon, centred in the client area.
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int iconWidth = ::GetSystemMetrics(SM_CXICON);
  const int iconHeight = ::GetSystemMetrics(SM_CYICON);
  CRect client;
  GetClientRect(&client);
  const int x = (client.Width() - iconWidth + 1) / 2;
  const int y = (client.Height() - iconHeight + 1) / 2;
  dc.DrawIcon(x, y, icon);
}

HCURSOR CMainDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(icon); }

void CMainDlg::OnMove(int x, int y) {
  CDialog::OnMove(x, y);
  device.windowMoved();
}

void CMainDlg::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  // Size messages that come before the controls are bound leave the frame at
  // its template size. A client area narrower than the control column leaves
  // the frame empty, and the device waits for it to grow.
  if (renderFrame.GetSafeHwnd() != nullptr) {
    renderFrame.SetWindowPos(nullptr, 0, 0, std::max(cx - CONTROL_COLUMN_WIDTH, 0), cy,
                             FRAME_RESIZE_FLAGS);
  }
  device.resize();
}

void CMainDlg::OnTex() { renderer.globalFillMode = fillModeOf(IDC_TEX); }

void CMainDlg::OnWire() { renderer.globalFillMode = fillModeOf(IDC_WIRE); }

void CMainDlg::OnPoint() { renderer.globalFillMode = fillModeOf(IDC_POINT); }

void CMainDlg::OnRegenerate() { control.OnRegenerate(); }

void CMainDlg::OnNew() { control.OnNew(); }

void CMainDlg::OnOK() {}

void CMainDlg::OnCancel() {
  control.releaseWorld();
  device.tearDown();
  ::PostQuitMessage(0);
}

CWnd* CMainDlg::controlWindow(int controlId, ControlKind kind) {
  if (!controlIs(controlId, kind)) return nullptr;
  return CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, controlId));
}

std::string CMainDlg::editText(int controlId) {
  CWnd* edit = controlWindow(controlId, ControlKind::EDIT);
  if (edit == nullptr) return std::string();
  char text[EDIT_TEXT_BUFFER] = "";
  edit->GetWindowText(text, EDIT_TEXT_BUFFER);
  return text;
}

void CMainDlg::setEditText(int controlId, const char* text) {
  CWnd* edit = controlWindow(controlId, ControlKind::EDIT);
  if (edit != nullptr) edit->SetWindowText(text);
}

void CMainDlg::setRegenerateCaption(const char* caption) {
  regenerateButton.SetWindowText(caption);
}

bool CMainDlg::isChecked(int controlId) {
  CWnd* check = controlWindow(controlId, ControlKind::CHECK);
  return check != nullptr && check->SendMessage(BM_GETCHECK) != 0;
}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
