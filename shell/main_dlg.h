// CMainDlg: the program's main window, a modeless dialog. It carries the
// simulation control (the world, the surface and their generation), the
// Direct3D device and the renderer, and composes a frame from them on every
// idle tick. Its controls are the ControlPanel the control logic and the
// frame composition read and write; its handlers route the buttons to them,
// set the fill mode from the radios, keep the render frame sized to the
// window and shut everything down on Cancel.
#pragma once

#include "control/control_panel.h"
#include "control/controls.h"
#include "control/frame_composition.h"
#include "control/simulation_control.h"
#include "device/render_device.h"
#include "framework/afxwin.h"
#include "render/scene_renderer.h"
#include "shell/resource.h"

class CMainDlg : public CDialog, public ControlPanel {
 public:
  explicit CMainDlg(CWnd* pParent = nullptr);

  // The world, the surface and their generation, with the animation time.
  SimulationControl control;
  RenderDevice device;
  SceneRenderer renderer;
  FrameComposition composition{control, device, renderer};

  CEdit npcEdit;
  CButton fieldCheck;
  CButton povCheck;
  CButton regenerateButton;
  CEdit rangeEdit;
  CEdit levelEdit;
  CEdit powEdit;
  CEdit massEdit;
  CEdit nodesEdit;
  CEdit numVertsEdit;
  CEdit radEdit;
  CButton stuffCheck;
  CStatic renderFrame;
  HICON icon = nullptr;

  // One generation batch and, while the device is ready, one frame.
  void idleTick();

  // The control panel, on the dialog's own controls.
  std::string editText(int controlId) override;
  void setEditText(int controlId, const char* text) override;
  void setRegenerateCaption(const char* caption) override;
  bool isChecked(int controlId) override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Enter does not close the window.
  void OnOK() override;
  // The close box, the system menu's Close and Escape end the program.
  void OnCancel() override;

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnMove(int x, int y);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnTex();
  afx_msg void OnWire();
  afx_msg void OnPoint();
  afx_msg void OnRegenerate();
  afx_msg void OnNew();
  DECLARE_MESSAGE_MAP()

 private:
  // The bound control of the given id if it is of that kind, or null.
  CWnd* controlWindow(int controlId, ControlKind kind);
};

// The About box: the icon, the program's name and version, and OK.
class CAboutDlg : public CDialog {
 public:
  CAboutDlg();

 protected:
  DECLARE_MESSAGE_MAP()
};
