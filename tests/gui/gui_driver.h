// Driving the real program as a user does, from another process: starting
// it, finding its windows, the messages that clicks and keys produce, and
// the pixels it shows on the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Every wait of the tests is bounded by one of these.
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kWaitTimeoutMs = 20000;

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // `argument`, when given, follows the program's path on its command line,
  // in quotes; `folder` is its current folder (this process's when empty).
  bool Start(const std::wstring& exePath, const std::wstring& argument = L"",
             const std::wstring& folder = L"");
  // True when the process ended within `timeoutMs`.
  bool WaitForExit(DWORD timeoutMs) const;
  DWORD ExitCode() const;
  DWORD Id() const { return m_info.dwProcessId; }
  bool Running() const { return m_info.hProcess && !WaitForExit(0); }
  // Ends the process if it still runs (a test that failed half-way).
  void Kill();

 private:
  PROCESS_INFORMATION m_info{};
};

// The visible top-level windows of a process.
std::vector<HWND> WindowsOfProcess(DWORD processId);
// The visible top-level window of the process with this caption, waited for.
HWND WaitForWindow(DWORD processId, const std::wstring& caption, DWORD timeoutMs);
// Waits until `window` is gone (or hidden).
bool WaitForWindowGone(HWND window, DWORD timeoutMs);
bool WaitUntil(DWORD timeoutMs, bool (*condition)(void*), void* context);

std::wstring WindowText(HWND window);
HWND FocusOf(HWND window);   // the focused window of window's thread
HWND ActiveOf(HWND window);  // the active window of window's thread

// What a click on a control sends it: button down at its centre, and up.
void PressMouse(HWND control);
void ReleaseMouse(HWND control);
void Click(HWND control);
// A key pressed and let go, sent to `window` (the focused control).
void PressKey(HWND window, UINT key);
// A key pressed and let go on the keyboard (SendInput), with `window`'s top
// level window brought to the front first, so that the key reaches its
// focused control as typed keys do (F1 becomes WM_HELP only then). False
// when the window did not come to the front.
// With `modifier` (VK_SHIFT, say) held down around the key.
bool TypeKey(HWND window, UINT key, UINT modifier = 0);
// The popup menu (class #32768) the process shows, waited for.
HWND WaitForPopupMenu(DWORD processId);
// A click on the caption's close box of `window`.
bool ClickCloseBox(HWND window);

// Pixels of the screen, 0x00RRGGBB, top-down.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  bool Save(const std::wstring& bmpPath) const;
};
// The screen area of `rect` (screen coordinates).
Capture CaptureScreen(const RECT& rect);
// The client area of `window`.
Capture CaptureClient(HWND window);
RECT ScreenRectOf(HWND window);

constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>((r << 16) | (g << 8) | b);
}
std::string HexColor(std::uint32_t color);
