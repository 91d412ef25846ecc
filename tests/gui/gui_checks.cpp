#include "gui_checks.h"

#include <cstdio>

namespace {

int g_passed = 0;
int g_failed = 0;
std::wstring g_screenshots;

}  // namespace

void Check(bool ok, const std::string& what, const std::string& detail) {
  (ok ? g_passed : g_failed)++;
  std::printf("%s %s%s%s\n", ok ? "ok  " : "FAIL", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
  std::fflush(stdout);
}

int PassedChecks() { return g_passed; }
int FailedChecks() { return g_failed; }

std::string Narrow(const std::wstring& text) {
  int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length > 0 ? length : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], length, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

std::wstring WindowsPath(const char* path) {
  std::wstring wide;
  int length = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
  wide.resize(static_cast<size_t>(length > 0 ? length : 1));
  MultiByteToWideChar(CP_UTF8, 0, path, -1, &wide[0], length);
  wide.resize(wide.size() - 1);
  if (!wide.empty() && wide[0] == L'/') {
    wide = L"Z:" + wide;
    for (wchar_t& c : wide) {
      if (c == L'/') c = L'\\';
    }
  }
  return wide;
}

void SetScreenshotFolder(const std::wstring& folder) {
  g_screenshots = folder;
  if (!folder.empty()) CreateDirectoryW(folder.c_str(), nullptr);
}

void Screenshot(const wchar_t* name) {
  if (g_screenshots.empty()) return;
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  Capture capture = CaptureScreen(screen);
  Check(capture.Save(g_screenshots + L"\\" + name + L".bmp"), "screenshot " + Narrow(name));
}

void CheckGround(HWND window, const char* what) {
  // A point of the ground: the client's top-left corner area holds no control
  // in the program's dialogs (the list starts at 4 dialog units) nor in its
  // message boxes.
  // A window that has just appeared may not have painted yet: the screen is
  // read again for a while before the colour counts as wrong.
  Capture client;
  bool ok = false;
  for (DWORD start = GetTickCount(); !ok && GetTickCount() - start < 3000; Sleep(50)) {
    client = CaptureClient(window);
    ok = client.width > 4 && client.At(2, 2) == kGround;
  }
  Check(ok, std::string(what) + " ground is RGB(160,180,220)",
        client.width > 4 ? "found " + HexColor(client.At(2, 2)) : "no capture");
}
