// CGrabberApp: start-up. One copy of the program at a time (a named mutex
// whose name is the executable's base name), the dialog colours, and the
// main window run modally; the program ends when that window closes.
#pragma once

#include "framework/message_map.h"
#include "framework/win_app.h"

class CGrabberApp : public CWinApp {
 public:
  CGrabberApp() : CWinApp(nullptr) {}
  ~CGrabberApp() override = default;

  BOOL InitInstance() override;
  // The message map: the framework's help command to the framework's help
  // handler, which this program fills with a short help text (no help file
  // ships).
  bool OnCmdMsg(UINT id, UINT code) override;
  void OnHelp() override;
};

// The dialog colours of every dialog and message box of the program.
constexpr COLORREF kDialogBackground = RGB(160, 180, 220);
constexpr COLORREF kDialogText = RGB(0, 0, 0);
