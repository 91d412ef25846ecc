#include "grabber_app.h"

#include "core/messages.h"
#include "file_choice.h"
#include "grabber_dlg.h"
#include "running_window.h"

CGrabberApp theApp;

BOOL CGrabberApp::InitInstance() {
  Enable3dControlsStatic();

  // Held, never closed, until the process ends: its existence tells a later
  // copy that this one runs.
  CreateMutexA(nullptr, TRUE, m_pszAppName);
  const bool running = GetLastError() == ERROR_ALREADY_EXISTS;

  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  if (running) {
    // The file is named against this copy's current folder, not the
    // running one's.
    HandToRunningWindow(m_pszAppName,
                        cmdInfo.m_strFileName.empty() ? std::wstring() : FullPathOf(cmdInfo.m_strFileName));
    return FALSE;
  }

  SetDialogBkColor(kDialogBackground, kDialogText);

  CGrabberDlg dlg;
  dlg.SetStartFile(cmdInfo.m_strFileName);
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

bool CGrabberApp::OnCmdMsg(UINT id, UINT code) {
  static constexpr MessageMapEntry<CWinApp> kMessageMap[] = {
      OnCommand<&CWinApp::OnHelp>(0, ID_HELP),
  };
  LRESULT result = 0;
  return DispatchMessageMap(static_cast<CWinApp&>(*this), kMessageMap, WM_COMMAND, MAKEWPARAM(id, code), 0,
                            result) ||
         CWinApp::OnCmdMsg(id, code);
}

void CGrabberApp::OnHelp() {
  // F1 in the help box asks for help again: one box at a time.
  static bool shown = false;
  if (shown) return;
  shown = true;
  ShowMessage(Message::kHelp);
  shown = false;
}
