#include "grabber_app.h"

#include "grabber_dlg.h"

CGrabberApp theApp;

BOOL CGrabberApp::InitInstance() {
  Enable3dControlsStatic();

  // Held, never closed, until the process ends: its existence tells a later
  // copy that this one runs.
  CreateMutexA(nullptr, TRUE, m_pszAppName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) return FALSE;

  SetDialogBkColor(kDialogBackground, kDialogText);

  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);

  CGrabberDlg dlg;
  dlg.SetStartFile(cmdInfo.m_strFileName);
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
