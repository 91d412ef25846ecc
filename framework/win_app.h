// CWinApp: the one application object. The framework's entry point fills in
// the instance and the application name, then calls InitInstance; the
// program's life is whatever InitInstance runs.
#pragma once

#include <windows.h>

#include <string>

#include "cstring.h"
#include "wnd.h"

// What the program was started with: the file to open, if any.
class CCommandLineInfo {
 public:
  // The first argument, as the user named it (any character, not only those
  // of the system's code page), else empty.
  std::wstring m_strFileName;
};
// The framework's standard help command: F1 in any window of the program.
constexpr UINT ID_HELP = 0xE146;

class CWinApp {
 public:
  // `appName` null: the name is the executable's base name.
  explicit CWinApp(const char* appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // False ends the program at once (no message loop of the framework runs).
  virtual BOOL InitInstance() { return FALSE; }

  // Dialogs on Win32 have the three-dimensional look already; kept so that
  // start-up reads as designed.
  BOOL Enable3dControlsStatic() { return TRUE; }
  // Background and text colour of every dialog and message box of the program.
  void SetDialogBkColor(COLORREF background, COLORREF text);

  // The application's message map: commands that no window of the program
  // took come here last. True when the application took the command.
  virtual bool OnCmdMsg(UINT id, UINT code);
  // The framework's help handler (ID_HELP). A program without help shows
  // none; one with help overrides it.
  virtual void OnHelp() {}

  // Runs the application: names it, calls InitInstance. The framework's
  // WinMain calls it.
  int Run(HINSTANCE instance);

  // Fills `info` from the program's arguments, split as the shell splits the
  // wide command line (quotes keep a path with spaces whole).
  void ParseCommandLine(CCommandLineInfo& info);

  const char* m_pszAppName = nullptr;
  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;

 private:
  char m_szAppName[MAX_PATH] = {};
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetResourceHandle();
// Clears the application's record of its main window when that window goes.
void AfxForgetMainWnd(CWnd* window);

// The application name formed from an executable's path: cut at the last ".",
// then the part behind the last "\", "/" or ":". The path is read in
// `codePage`, so that the second byte of a double-byte character is never
// taken for one of those. `name` receives at most `size` - 1 bytes.
void AppNameFromModulePath(const char* path, UINT codePage, char* name, size_t size);
