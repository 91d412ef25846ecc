#include "gui_driver.h"

#include <cstdio>

ChildProcess::~ChildProcess() {
  Kill();
  if (m_info.hProcess) CloseHandle(m_info.hProcess);
  if (m_info.hThread) CloseHandle(m_info.hThread);
}

bool ChildProcess::Start(const std::wstring& exePath, const std::wstring& argument, const std::wstring& folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring commandLine = L"\"" + exePath + L"\"";
  if (!argument.empty()) commandLine += L" \"" + argument + L"\"";
  return CreateProcessW(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &m_info) != FALSE;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) const {
  return m_info.hProcess && WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (m_info.hProcess) GetExitCodeProcess(m_info.hProcess, &code);
  return code;
}

void ChildProcess::Kill() {
  if (Running()) {
    TerminateProcess(m_info.hProcess, 99);
    WaitForExit(kWaitTimeoutMs);
  }
}

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window)) search->found.push_back(window);
  return TRUE;
}

GUITHREADINFO ThreadInfoOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info;
}

LPARAM ClientCentre(HWND control) {
  RECT rect;
  GetClientRect(control, &rect);
  return MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2);
}

}  // namespace

std::vector<HWND> WindowsOfProcess(DWORD processId) {
  WindowSearch search{processId, {}};
  EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindow(DWORD processId, const std::wstring& caption, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    for (HWND window : WindowsOfProcess(processId)) {
      if (WindowText(window) == caption) return window;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    if (!IsWindow(window) || !IsWindowVisible(window)) return true;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

bool WaitUntil(DWORD timeoutMs, bool (*condition)(void*), void* context) {
  DWORD start = GetTickCount();
  do {
    if (condition(context)) return true;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return condition(context);
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

HWND FocusOf(HWND window) { return ThreadInfoOf(window).hwndFocus; }

HWND ActiveOf(HWND window) { return ThreadInfoOf(window).hwndActive; }

void PressMouse(HWND control) { PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, ClientCentre(control)); }

void ReleaseMouse(HWND control) { PostMessageW(control, WM_LBUTTONUP, 0, ClientCentre(control)); }

void Click(HWND control) {
  PressMouse(control);
  ReleaseMouse(control);
}

void PressKey(HWND window, UINT key) {
  UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  PostMessageW(window, WM_KEYDOWN, key, 1 | (static_cast<LPARAM>(scan) << 16));
  PostMessageW(window, WM_KEYUP, key, 1 | (static_cast<LPARAM>(scan) << 16) | (3u << 30));
}

HWND WaitForPopupMenu(DWORD processId) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(50)) {
    for (HWND window : WindowsOfProcess(processId)) {
      wchar_t className[16] = {};
      GetClassNameW(window, className, 16);
      if (lstrcmpW(className, L"#32768") == 0) return window;
    }
  }
  return nullptr;
}

bool TypeKey(HWND window, UINT key, UINT modifier) {
  HWND top = GetAncestor(window, GA_ROOT);
  SetForegroundWindow(top);
  DWORD start = GetTickCount();
  while (GetForegroundWindow() != top && GetTickCount() - start < kWaitTimeoutMs) Sleep(50);
  if (GetForegroundWindow() != top) return false;
  INPUT input[4] = {};
  const UINT keys[4] = {modifier, key, key, modifier};
  for (int i = 0; i < 4; ++i) {
    input[i].type = INPUT_KEYBOARD;
    input[i].ki.wVk = static_cast<WORD>(keys[i]);
    input[i].ki.wScan = static_cast<WORD>(MapVirtualKeyW(keys[i], MAPVK_VK_TO_VSC));
    input[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
  }
  // Without a modifier, the key alone.
  INPUT* first = modifier ? input : input + 1;
  const UINT count = modifier ? 4 : 2;
  return SendInput(count, first, sizeof(INPUT)) == count;
}

bool ClickCloseBox(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  // The close box is the right-most box of the caption: look for it along
  // the caption's rows, as the mouse would.
  for (int y = rect.top + 2; y < rect.top + 40; y += 2) {
    for (int x = rect.right - 2; x > rect.right - 60; --x) {
      LPARAM point = MAKELPARAM(x, y);
      if (SendMessageW(window, WM_NCHITTEST, 0, point) == HTCLOSE) {
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCLOSE, point);
        POINT client{x, y};
        ScreenToClient(window, &client);
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        return true;
      }
    }
  }
  return false;
}

RECT ScreenRectOf(HWND window) {
  RECT rect;
  GetClientRect(window, &rect);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

Capture CaptureScreen(const RECT& rect) {
  Capture capture;
  capture.width = rect.right - rect.left;
  capture.height = rect.bottom - rect.top;
  if (capture.width <= 0 || capture.height <= 0) return Capture();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, section);
  BitBlt(memory, 0, 0, capture.width, capture.height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  capture.pixels.assign(source, source + static_cast<size_t>(capture.width) * capture.height);
  for (std::uint32_t& p : capture.pixels) p &= 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return capture;
}

Capture CaptureClient(HWND window) { return CaptureScreen(ScreenRectOf(window)); }

bool Capture::Save(const std::wstring& bmpPath) const {
  if (width <= 0 || height <= 0) return false;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  DWORD pixelBytes = static_cast<DWORD>(pixels.size() * 4);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + pixelBytes;
  HANDLE out = CreateFileW(bmpPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
            WriteFile(out, &header, sizeof header, &written, nullptr) &&
            WriteFile(out, pixels.data(), pixelBytes, &written, nullptr);
  CloseHandle(out);
  return ok;
}

std::string HexColor(std::uint32_t color) {
  char text[32];
  std::snprintf(text, sizeof text, "RGB(%u,%u,%u)", (color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
  return text;
}
