#include "win_app.h"

#include <cstring>
#include <memory>

#include <shellapi.h>

#include "dialog_colors.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) { g_app = this; }

CWinApp::~CWinApp() {
  RemoveDialogColors();
  if (g_app == this) g_app = nullptr;
}

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) { InstallDialogColors(background, text); }

bool CWinApp::OnCmdMsg(UINT, UINT) { return false; }

int CWinApp::Run(HINSTANCE instance) {
  m_hInstance = instance;
  if (m_pszAppName == nullptr) {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) path[0] = '\0';
    AppNameFromModulePath(path, CP_ACP, m_szAppName, sizeof m_szAppName);
    m_pszAppName = m_szAppName;
  }
  // No message loop of the framework's own runs, whatever InitInstance
  // returns: the program's life is InitInstance.
  InitInstance();
  return 0;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  // The ANSI arguments would have turned every character outside the code
  // page into "?".
  struct LocalDeleter {
    void operator()(LPWSTR* block) const { LocalFree(block); }
  };
  int count = 0;
  std::unique_ptr<LPWSTR, LocalDeleter> args(CommandLineToArgvW(GetCommandLineW(), &count));
  info.m_strFileName = args && count > 1 ? args.get()[1] : L"";
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetResourceHandle() { return g_app && g_app->m_hInstance ? g_app->m_hInstance : GetModuleHandleW(nullptr); }

void AfxForgetMainWnd(CWnd* window) {
  if (g_app && g_app->m_pMainWnd == window) g_app->m_pMainWnd = nullptr;
}

void AppNameFromModulePath(const char* path, UINT codePage, char* name, size_t size) {
  if (size == 0) return;
  const char* start = path;
  const char* end = path + std::strlen(path);
  const char* lastDot = nullptr;
  for (const char* p = path; *p != '\0'; ++p) {
    if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(*p)) && p[1] != '\0') {
      ++p;
      continue;
    }
    if (*p == '.') lastDot = p;
  }
  if (lastDot) end = lastDot;
  for (const char* p = path; p < end; ++p) {
    if (IsDBCSLeadByteEx(codePage, static_cast<BYTE>(*p)) && p + 1 < end) {
      ++p;
      continue;
    }
    if (*p == '\\' || *p == '/' || *p == ':') start = p + 1;
  }
  size_t length = static_cast<size_t>(end - start);
  if (length > size - 1) length = size - 1;
  std::memcpy(name, start, length);
  name[length] = '\0';
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  try {
    return app->Run(instance);
  } catch (...) {
    return 1;
  }
}
