#include "command_program.h"

#include <cstdint>

#include "command_files.h"
#include "gui_checks.h"

namespace {

// The icon drawn as the preview control draws it: on the dialog's ground,
// at the control's size.
Capture DrawnIcon(HICON icon, int width, int height) {
  Capture drawn;
  if (width <= 0 || height <= 0) return drawn;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP image = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, image);
  RECT all{0, 0, width, height};
  HBRUSH ground = CreateSolidBrush(RGB(160, 180, 220));
  FillRect(memory, &all, ground);
  DeleteObject(ground);
  if (icon) DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
  SelectObject(memory, old);
  BITMAPINFO bits{};
  bits.bmiHeader.biSize = sizeof bits.bmiHeader;
  bits.bmiHeader.biWidth = width;
  bits.bmiHeader.biHeight = -height;
  bits.bmiHeader.biPlanes = 1;
  bits.bmiHeader.biBitCount = 32;
  drawn.width = width;
  drawn.height = height;
  drawn.pixels.resize(static_cast<size_t>(width) * height);
  GetDIBits(memory, image, 0, height, drawn.pixels.data(), &bits, DIB_RGB_COLORS);
  for (std::uint32_t& p : drawn.pixels) p &= 0xFFFFFF;
  DeleteObject(image);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return drawn;
}

int Mismatches(const Capture& a, const Capture& b) {
  if (a.width != b.width || a.height != b.height) return -1;
  int count = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
  return count;
}

std::string Describe(const WindowState& s) {
  std::wstring text = L"list [";
  for (size_t i = 0; i < s.entries.size(); ++i) text += (i ? L", " : L"") + s.entries[i];
  text += L"] selected " + std::to_wstring(s.selected) + L", save " + (s.saveEnabled ? L"on" : L"off") +
          L", copy " + (s.copyEnabled ? L"on" : L"off") + L", preview " + (s.preview ? L"an icon" : L"none");
  return Narrow(text);
}

std::string Describe(const std::vector<ShownBox>& boxes) {
  if (boxes.empty()) return "no message";
  std::wstring text;
  for (const ShownBox& box : boxes) text += L"[" + box.caption + L": " + box.text + L"] ";
  return Narrow(text);
}

bool SameBoxes(const std::vector<ShownBox>& seen, const std::vector<ShownBox>& wanted) {
  if (seen.size() != wanted.size()) return false;
  for (size_t i = 0; i < seen.size(); ++i) {
    if (seen[i].caption != wanted[i].caption) return false;
    if (wanted[i].text == kAnyText ? seen[i].text.empty() : seen[i].text != wanted[i].text) return false;
  }
  return true;
}

}  // namespace

void CheckBoxes(Program& program, const std::string& step, const std::vector<ShownBox>& wanted,
                const char* groundCheck) {
  std::vector<ShownBox> seen = program.TakeBoxes(wanted.size(), groundCheck);
  Check(SameBoxes(seen, wanted), step + ": " + Describe(wanted), "seen " + Describe(seen));
}

void CheckState(Program& program, const std::string& step, const std::vector<std::wstring>& entries, int selected,
                bool enabled, bool hasPreview) {
  WindowState s = program.State();
  WindowState wanted;
  wanted.entries = entries;
  wanted.selected = selected;
  wanted.saveEnabled = wanted.copyEnabled = enabled;
  wanted.preview = s.preview;
  bool ok = s == wanted && (s.preview != nullptr) == hasPreview;
  wanted.preview = hasPreview ? reinterpret_cast<HICON>(1) : nullptr;
  Check(ok, step + ": " + Describe(wanted), "found " + Describe(s));
}

void CheckUnchanged(Program& program, const std::string& step, const WindowState& before) {
  WindowState s = program.State();
  Check(s == before, step + ": list, selection, buttons and preview unchanged",
        "before " + Describe(before) + "; after " + Describe(s));
}

void CheckPreviewShows(Program& program, HICON icon, const std::string& what) {
  int mismatches = -1;
  RECT rect{};
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(100)) {
    GetClientRect(program.Preview(), &rect);
    mismatches = Mismatches(CaptureClient(program.Preview()), DrawnIcon(icon, rect.right, rect.bottom));
    if (mismatches == 0) break;
  }
  Check(icon != nullptr && mismatches == 0, "preview shows " + what,
        std::to_string(mismatches) + " of " + std::to_string(rect.right) + "x" + std::to_string(rect.bottom) +
            " pixels differ");
}

void CheckPreviewSolid(Program& program, const std::string& what) {
  Capture shown;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(100)) {
    shown = CaptureClient(program.Preview());
    if (shown.width >= 32 && shown.height >= 32 && shown.At(0, 0) == kSolid && shown.At(31, 31) == kSolid) break;
  }
  int solid = 0;
  for (int y = 0; y < 32 && y < shown.height; ++y) {
    for (int x = 0; x < 32 && x < shown.width; ++x) solid += shown.At(x, y) == kSolid;
  }
  Check(solid == 32 * 32, "preview shows " + what + " (32x32 of the bitmap's colour)",
        std::to_string(solid) + " pixels of that colour");
}

void CoverAndUncover(HWND target) {
  RECT rect;
  GetWindowRect(target, &rect);
  InflateRect(&rect, 8, 8);
  Capture uncovered = CaptureClient(target);
  HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"Static", L"",
                               WS_POPUP | SS_BLACKRECT, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  int changed = 0;
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs && changed == 0; Sleep(50)) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    UpdateWindow(cover);
    changed = Mismatches(CaptureClient(target), uncovered);
  }
  Screenshot(L"covered");
  Check(cover != nullptr && changed > 0, "a window over the preview hides it",
        std::to_string(changed) + " pixels changed");
  DestroyWindow(cover);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}
