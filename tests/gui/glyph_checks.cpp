#include "glyph_checks.h"

#include <algorithm>
#include <set>
#include <vector>

#include "command_files.h"
#include "gui_checks.h"
#include "gui_dialogs.h"
#include "tests/support/image_bytes.h"

namespace {

const wchar_t kMainCaption[] = L"Pictrove 1.0版";
const wchar_t kAboutCaption[] = L"关于 Pictrove";
// Put into the list by the test: the list draws with the dialog's font.
const wchar_t kListText[] = L"抓取图标";
// Inside the skin's margins (5 at the top, bottom and left, 4 at the right)
// lies the caption, away from the faces' dark outline.
constexpr int kMargin = 5;

bool IsInk(std::uint32_t pixel, int inkBelow) {
  return static_cast<int>(pixel >> 16 & 0xFF) < inkBelow && static_cast<int>(pixel >> 8 & 0xFF) < inkBelow &&
         static_cast<int>(pixel & 0xFF) < inkBelow;
}

// Bounded: a window just shown may not have painted yet.
int ShapesOf(HWND window, const RECT& area, int inkBelow, int wanted) {
  int shapes = 0;
  for (DWORD start = GetTickCount(); GetTickCount() - start < 3000; Sleep(100)) {
    shapes = DistinctGlyphShapes(CaptureClient(window), area, inkBelow);
    if (shapes >= wanted) break;
  }
  return shapes;
}

void CheckText(HWND window, const RECT& area, int inkBelow, const std::string& what, int wanted) {
  int shapes = ShapesOf(window, area, inkBelow, wanted);
  Check(shapes >= wanted, what + " draws glyphs, not boxes",
        std::to_string(shapes) + " distinct shapes, " + std::to_string(wanted) + " wanted");
}

RECT InsideMargins(HWND button) {
  RECT client;
  GetClientRect(button, &client);
  return RECT{kMargin, kMargin, client.right - kMargin + 1, client.bottom - kMargin};
}

// The readers' boxes, the path as caption: owned by the window (an icon
// file cut short) or by none (a bitmap file that ends in its header).
void CheckReaderBoxes(const std::wstring& exe) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  Bytes icon = IconFile({IconImageBlock(32, 32, 32, 0, 11)});
  icon.resize(200);
  const struct {
    const wchar_t* name;
    Bytes bytes;
    const wchar_t* text;
  } files[] = {{L"pictrove-cut.ico", icon, L"读图标内容出错!"},
               {L"pictrove-cut.bmp", {'B', 'M', 'n', 'o'}, L"读位图文件头出错!"}};
  for (const auto& f : files) {
    const std::wstring path = std::wstring(temp) + f.name;
    ChildProcess program;
    Check(WriteBytes(path, f.bytes) && program.Start(exe, path), "Pictrove.exe starts with " + Narrow(path));
    HWND box = WaitForWindow(program.Id(), path, kStartTimeoutMs);
    HWND text = box ? FindWindowExW(box, nullptr, L"Static", f.text) : nullptr;
    Check(text != nullptr, "the reader's box for " + Narrow(path) + " shows its text");
    // The top of the first line: the text may wrap, and a second line's
    // characters under the first's would make shapes of two each.
    if (text) CheckText(text, RECT{0, 0, 400, 10}, 100, "reader's box text \"" + Narrow(f.text) + "\"", 4);
    program.Kill();
    DeleteFileW(path.c_str());
  }
}

}  // namespace

int DistinctGlyphShapes(const Capture& capture, const RECT& area, int inkBelow) {
  const int left = std::max<int>(0, area.left), right = std::min<int>(capture.width, area.right);
  const int top = std::max<int>(0, area.top), bottom = std::min<int>(capture.height, area.bottom);
  struct Shape {
    int height;
    std::vector<bool> ink;  // rows of its columns, trimmed to the rows with ink
    int width;
  };
  std::vector<Shape> shapes;
  int x = left;
  while (x < right) {
    auto columnHasInk = [&](int column) {
      for (int y = top; y < bottom; ++y) {
        if (IsInk(capture.At(column, y), inkBelow)) return true;
      }
      return false;
    };
    if (!columnHasInk(x)) {
      ++x;
      continue;
    }
    int end = x;
    while (end < right && columnHasInk(end)) ++end;
    int first = bottom, last = top - 1;
    for (int y = top; y < bottom; ++y) {
      for (int c = x; c < end; ++c) {
        if (IsInk(capture.At(c, y), inkBelow)) {
          first = std::min(first, y);
          last = std::max(last, y);
        }
      }
    }
    Shape shape{last - first + 1, {}, end - x};
    for (int y = first; y <= last; ++y) {
      for (int c = x; c < end; ++c) shape.ink.push_back(IsInk(capture.At(c, y), inkBelow));
    }
    shapes.push_back(shape);
    x = end;
  }
  int tallest = 0;
  for (const Shape& s : shapes) tallest = std::max(tallest, s.height);
  std::set<std::pair<int, std::vector<bool>>> distinct;
  for (const Shape& s : shapes) {
    if (2 * s.height >= tallest) distinct.insert({s.width, s.ink});
  }
  return static_cast<int>(distinct.size());
}

void RunFontChecks(const std::wstring& exe) {
  ChildProcess program;
  Check(program.Start(exe), "Pictrove.exe starts");
  HWND main = WaitForWindow(program.Id(), kMainCaption, kStartTimeoutMs);
  Check(main != nullptr, "main window appears");
  if (!main) return;

  // At least as many shapes as distinct characters, less one where two
  // characters might touch.
  const struct {
    int id;
    const wchar_t* caption;
    int shapes;
  } buttons[] = {{1, L"抓取图标", 3}, {2, L"退出", 2}, {3, L"关于...", 2}};
  for (const auto& b : buttons) {
    HWND button = GetDlgItem(main, b.id);
    CheckText(button, InsideMargins(button), 100, "button \"" + Narrow(b.caption) + "\"", b.shapes);
  }

  HWND list = GetDlgItem(main, 1000);
  Check(Ask(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kListText)) == 0, "a Chinese entry put into the list");
  LRESULT itemHeight = Ask(list, LB_GETITEMHEIGHT, 0, 0);
  RECT client;
  GetClientRect(list, &client);
  CheckText(list, RECT{0, 0, client.right, static_cast<LONG>(itemHeight > 0 ? itemHeight : 16)}, 100,
            "list entry \"" + Narrow(kListText) + "\"", 3);
  Screenshot(L"fonts-main");

  Click(GetDlgItem(main, 3));
  HWND about = WaitForWindow(program.Id(), kAboutCaption, kWaitTimeoutMs);
  Check(about != nullptr, "about box appears");
  if (about) {
    HWND close = GetDlgItem(about, 1004);
    CheckText(close, InsideMargins(close), 100, "about box button \"" + Narrow(L"确定") + "\"", 2);
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (WindowText(child) != L"图标抓取工具") continue;
      GetClientRect(child, &client);
      CheckText(child, client, 100, "about box text \"" + Narrow(L"图标抓取工具") + "\"", 4);
    }
    Screenshot(L"fonts-about");
    PressKey(close, VK_ESCAPE);
    WaitForWindowGone(about, kWaitTimeoutMs);
  }

  // A message box, the help (the framework's help command, as F1 sends it):
  // its first line, "图标抓取工具", has an empty line below it.
  PostMessageW(main, WM_COMMAND, 0xE146, 0);
  HWND help = WaitForWindow(program.Id(), L"Pictrove", kWaitTimeoutMs), text = nullptr;
  for (HWND child = help ? GetWindow(help, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowText(child).rfind(L"图标抓取工具", 0) == 0) text = child;
  }
  Check(text != nullptr, "the help box shows its text");
  if (text) {
    GetClientRect(text, &client);
    CheckText(text, RECT{0, 0, client.right, 20}, 100, "help box text \"" + Narrow(L"图标抓取工具") + "\"", 5);
    Screenshot(L"fonts-help");
    CloseBox(help);
  }

  HWND focus = FocusOf(main);
  PressKey(focus ? focus : main, VK_ESCAPE);
  Check(program.WaitForExit(kWaitTimeoutMs), "Esc ends the program");
  CheckReaderBoxes(exe);
}
