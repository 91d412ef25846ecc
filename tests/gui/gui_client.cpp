// The GUI test client: starts the real Pictrove.exe, drives it through the
// messages that clicks and keys produce, and checks its windows and pixels.
// Usage: gui_client.exe PICTROVE.EXE [SCREENSHOT_DIR [FILES_DIR]]
//        gui_client.exe --fonts PICTROVE.EXE [SCREENSHOT_DIR]
// With --fonts only the window's Chinese texts are checked, for a Wine
// prefix that the project's scripts did not prepare.
// With FILES_DIR (the sources to open and what the native `pictrove save`
// wrote for them, scripts/gui-test.sh) the Open, Save and Copy commands are
// driven as well.
// Prints one line per check and "N passed, N failed"; exit status 1 when a
// check failed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/nine_slice.h"
#include "command_checks.h"
#include "gui_checks.h"
#include "gui_dialogs.h"
#include "gui_driver.h"
#include "glyph_checks.h"

namespace {

const wchar_t kMainCaption[] = L"Pictrove 1.0版";
const wchar_t kAboutCaption[] = L"关于 Pictrove";
const SkinMargins kMargins{5, 5, 5, 4};
enum Slice { kRest = 0, kPressed = 1, kDisabled = 2, kFocused = 3 };

// The four state images the program should build for a client of cw x ch:
// the strip of the program's own resources, cut the same way.
class ExpectedFaces {
 public:
  explicit ExpectedFaces(const std::wstring& exePath)
      : m_module(LoadLibraryExW(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~ExpectedFaces() {
    if (m_module) FreeLibrary(m_module);
  }

  Capture Face(int slice, int cw, int ch) const {
    Capture face;
    HBITMAP strip = static_cast<HBITMAP>(LoadImageW(m_module, MAKEINTRESOURCEW(129), IMAGE_BITMAP, 0, 0, 0));
    if (strip == nullptr) return face;
    BITMAP info{};
    GetObjectW(strip, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, cw, ch);
    HGDIOBJ oldSource = SelectObject(source, strip);
    HGDIOBJ oldTarget = SelectObject(target, image);
    DrawNineSlice(target, source, LayOutNineSlice(info.bmWidth, info.bmHeight, 5, slice, cw, ch, kMargins));
    SelectObject(source, oldSource);
    SelectObject(target, oldTarget);
    BITMAPINFO bits{};
    bits.bmiHeader.biSize = sizeof bits.bmiHeader;
    bits.bmiHeader.biWidth = cw;
    bits.bmiHeader.biHeight = -ch;
    bits.bmiHeader.biPlanes = 1;
    bits.bmiHeader.biBitCount = 32;
    face.width = cw;
    face.height = ch;
    face.pixels.resize(static_cast<size_t>(cw) * ch);
    GetDIBits(target, image, 0, ch, face.pixels.data(), &bits, DIB_RGB_COLORS);
    for (std::uint32_t& p : face.pixels) p &= 0xFFFFFF;
    DeleteObject(image);
    DeleteObject(strip);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    return face;
  }

  bool Loaded() const { return m_module != nullptr; }

 private:
  HMODULE m_module;
};

bool InMargins(int x, int y, int cw, int ch) {
  return y < kMargins.top || y >= ch - kMargins.bottom || x < kMargins.left || x >= cw - kMargins.right;
}

struct FaceMatch {
  int slice = -1;
  int mismatches = 0;
  // Caption: the pixels inside the margins that differ from the face.
  int textLeft = -1;
  int textRight = -1;
  int darkest = 255;  // brightest channel of the darkest caption pixel
};

FaceMatch MatchFace(const ExpectedFaces& faces, const Capture& button) {
  FaceMatch best;
  best.mismatches = button.width * button.height + 1;
  for (int slice = 0; slice < 4; ++slice) {
    Capture face = faces.Face(slice, button.width, button.height);
    if (face.pixels.size() != button.pixels.size()) continue;
    int mismatches = 0;
    for (int y = 0; y < button.height; ++y) {
      for (int x = 0; x < button.width; ++x) {
        if (InMargins(x, y, button.width, button.height) && face.At(x, y) != button.At(x, y)) ++mismatches;
      }
    }
    if (mismatches >= best.mismatches) continue;
    best = FaceMatch{slice, mismatches};
    for (int y = 0; y < button.height; ++y) {
      for (int x = 0; x < button.width; ++x) {
        if (InMargins(x, y, button.width, button.height) || face.At(x, y) == button.At(x, y)) continue;
        std::uint32_t p = button.At(x, y);
        int brightest = std::max({static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF),
                                  static_cast<int>(p & 0xFF)});
        best.darkest = std::min(best.darkest, brightest);
        if (best.textLeft < 0 || x < best.textLeft) best.textLeft = x;
        if (x > best.textRight) best.textRight = x;
      }
    }
  }
  return best;
}

struct FaceWanted {
  HWND button;
  const char* name;
  int slice;
  bool grayCaption;
};

// Waits (bounded) for the button to show the face wanted, then checks it.
FaceMatch CheckFace(const ExpectedFaces& faces, const FaceWanted& wanted) {
  FaceMatch match;
  DWORD start = GetTickCount();
  do {
    match = MatchFace(faces, CaptureClient(wanted.button));
    if (match.slice == wanted.slice && match.mismatches == 0) break;
    Sleep(100);
  } while (GetTickCount() - start < 3000);
  Check(match.slice == wanted.slice && match.mismatches == 0,
        std::string(wanted.name) + " shows slice " + std::to_string(wanted.slice),
        "best slice " + std::to_string(match.slice) + " with " + std::to_string(match.mismatches) +
            " margin pixels differing");
  const int grayText = GetSysColor(COLOR_GRAYTEXT) & 0xFF;
  if (wanted.grayCaption) {
    Check(match.textLeft >= 0 && match.darkest >= grayText - 40 && match.darkest <= grayText + 40,
          std::string(wanted.name) + " caption grey",
          "darkest caption pixel " + std::to_string(match.darkest) + ", grey text " + std::to_string(grayText));
  } else {
    Check(match.textLeft >= 0 && match.darkest < 70, std::string(wanted.name) + " caption black",
          "darkest caption pixel " + std::to_string(match.darkest));
  }
  return match;
}

HWND WaitForAbout(DWORD processId) { return WaitForWindow(processId, kAboutCaption, kWaitTimeoutMs); }

bool CheckAboutClosedBy(HWND main, HWND about, const char* how) {
  bool gone = WaitForWindowGone(about, kWaitTimeoutMs);
  Check(gone, std::string("about box closed by ") + how);
  struct Context {
    HWND main;
  } context{main};
  bool back = WaitUntil(
      kWaitTimeoutMs,
      [](void* c) {
        HWND m = static_cast<Context*>(c)->main;
        return IsWindowEnabled(m) && ActiveOf(m) == m;
      },
      &context);
  Check(back, std::string("main window enabled and active again after ") + how);
  return gone;
}

void CheckAboutBox(const ExpectedFaces& faces, HWND main, HWND about) {
  Check(!IsWindowEnabled(main), "main window disabled while the about box shows");
  HWND close = GetDlgItem(about, 1004);
  Check(close != nullptr && WindowText(close) == L"确定", "about box close button \"确定\"",
        Narrow(WindowText(close)));
  Check(FocusOf(about) == close, "about box close button has the focus");
  std::wstring texts;
  for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    texts += WindowText(child) + L"|";
  }
  Check(texts.find(L"Pictrove 1.0 版|") != std::wstring::npos, "about box names the program", Narrow(texts));
  CheckGround(about, "about box");
  CheckFace(faces, {close, "about close button (focus)", kFocused, false});
}

int CountSeparatorsAndCheckLast(const Capture& menu, std::string& detail) {
  const std::uint32_t shadow = GetSysColor(COLOR_BTNSHADOW);
  const std::uint32_t line = Rgb(GetRValue(shadow), GetGValue(shadow), GetBValue(shadow));
  std::vector<int> rows;
  for (int y = 3; y < menu.height - 3; ++y) {
    int hits = 0;
    for (int x = 3; x < menu.width - 3; ++x) hits += menu.At(x, y) == line;
    if (hits * 10 >= (menu.width - 6) * 7) rows.push_back(y);
  }
  detail = "separator rows:";
  for (int y : rows) detail += " " + std::to_string(y);
  detail += " of height " + std::to_string(menu.height);
  if (rows.size() < 2) return 0;
  // One item between the last two separators ("Close") and one after the
  // last (the about item): the two gaps hold one item each.
  int between = rows[rows.size() - 1] - rows[rows.size() - 2];
  int after = menu.height - rows.back();
  return std::abs(between - after) <= 4 ? 1 : -1;
}

void CheckSystemMenu(DWORD processId, HWND main) {
  HWND focus = FocusOf(main);
  UINT scan = MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC);
  const LPARAM altDown = 1 | (static_cast<LPARAM>(scan) << 16) | (1 << 29);
  PostMessageW(focus ? focus : main, WM_SYSKEYDOWN, VK_SPACE, altDown);
  PostMessageW(focus ? focus : main, WM_SYSKEYUP, VK_SPACE, altDown | (3u << 30));
  HWND popup = WaitForPopupMenu(processId);
  Check(popup != nullptr, "Alt+Space opens the system menu");
  if (!popup) return;
  Sleep(500);  // let it paint
  RECT rect;
  GetWindowRect(popup, &rect);
  Capture menu = CaptureScreen(rect);
  Screenshot(L"menu");
  std::string detail;
  Check(CountSeparatorsAndCheckLast(menu, detail) == 1, "system menu ends with a separator and one item", detail);
  // The last item: Up from the first wraps to it; Enter runs it.
  PressKey(main, VK_UP);
  PressKey(main, VK_RETURN);
  HWND about = WaitForAbout(processId);
  Check(about != nullptr, "the system menu's last item opens the about box");
  if (about) {
    PressKey(GetDlgItem(about, 1004), VK_ESCAPE);
    CheckAboutClosedBy(main, about, "Esc (after the menu)");
  }
}

const wchar_t kHelpCaption[] = L"Pictrove";
const wchar_t kHelpText[] =
    L"图标抓取工具\n\n"
    L"Pictrove 从程序文件(EXE、DLL)、图标库(ICL，也包括16位的)和图标、位图文件(ICO、BMP)中取出图标。\n\n"
    L"抓取图标：选择一个文件，列出其中的图标。把文件拖到窗口上，或启动时给出文件名"
    L"(Pictrove.exe 文件名)，也同样打开；程序已在运行时，文件交给已打开的窗口。\n"
    L"保存图标：把选中的图标存为图标文件(.ICO，全部图像)、位图文件(.BMP，第一幅图像)"
    L"或PNG图像(.PNG，最大的图像，带透明)。\n"
    L"复制图标：把第一幅图像复制到剪贴板(位图，以及带透明的PNG)。\n"
    L"在列表上按右键(或Shift+F10)：列出选中图标的每一幅图像，选一幅即复制它，也可把它另存为PNG图像或位图。"
    L"双击列表中的图标即保存它。";

// F1 typed in `focus` shows the help text in a box of the program's own
// style, owned by `owner`; F1 in that box shows no second one. Returns the
// box, still open, or null.
HWND CheckHelpBox(DWORD processId, HWND main, HWND owner, HWND focus, const std::string& where) {
  Check(TypeKey(focus, VK_F1), "F1 typed in " + where);
  HWND box = WaitForWindow(processId, kHelpCaption, kWaitTimeoutMs);
  Check(box != nullptr, "F1 in " + where + " shows the help box");
  if (!box) return nullptr;
  Check(GetWindow(box, GW_OWNER) == owner, "the help box is owned by the window F1 was typed in");
  ShownBox shown = ReadBox(box);
  Check(shown.text == kHelpText, "the help box shows the help text", Narrow(shown.text));
  CheckGround(box, "help box");
  TypeKey(box, VK_F1);
  Settle(main);
  int boxes = 0;
  for (HWND window : WindowsOfProcess(processId)) boxes += WindowText(window) == kHelpCaption;
  Check(boxes == 1, "F1 in the help box shows no second one", std::to_string(boxes) + " shown");
  return box;
}

void CheckHelp(DWORD processId, HWND main) {
  HWND focus = FocusOf(main);
  HWND box = CheckHelpBox(processId, main, main, focus ? focus : main, "the main window");
  if (box) {
    Screenshot(L"help");
    Check(CloseBox(box), "the help box closes with its OK button");
    struct Context {
      HWND main;
    } context{main};
    Check(WaitUntil(kWaitTimeoutMs, [](void* c) {
            HWND m = static_cast<Context*>(c)->main;
            return IsWindowEnabled(m) && ActiveOf(m) == m;
          }, &context),
          "main window enabled and active again after the help box");
  }

  // From the about box too: the help box is put over it, and the about box
  // stays modal when the help box closes.
  Click(GetDlgItem(main, 3));
  HWND about = WaitForAbout(processId);
  Check(about != nullptr, "about box for F1");
  if (!about) return;
  box = CheckHelpBox(processId, main, about, GetDlgItem(about, 1004), "the about box");
  if (box) {
    Check(CloseBox(box), "the help box over the about box closes");
    Settle(main);
    Check(IsWindowVisible(about) && !IsWindowEnabled(main), "the about box stays modal after the help box",
          std::string(IsWindowVisible(about) ? "about shown" : "about gone") +
              (IsWindowEnabled(main) ? ", main enabled" : ", main disabled"));
  }
  PressKey(GetDlgItem(about, 1004), VK_ESCAPE);
  CheckAboutClosedBy(main, about, "Esc (after help)");
}

void RunMainWindowChecks(const std::wstring& exe, const ExpectedFaces& faces) {
  ChildProcess first;
  Check(first.Start(exe), "Pictrove.exe starts");
  HWND main = WaitForWindow(first.Id(), kMainCaption, kStartTimeoutMs);
  Check(main != nullptr, "main window with caption \"" + Narrow(kMainCaption) + "\" appears");
  if (!main) return;

  HWND grab = GetDlgItem(main, 1), exitButton = GetDlgItem(main, 2), about = GetDlgItem(main, 3);
  HWND list = GetDlgItem(main, 1000), save = GetDlgItem(main, 1001), copy = GetDlgItem(main, 1002);
  HWND preview = GetDlgItem(main, 1003);
  const struct {
    HWND button;
    const wchar_t* caption;
    bool enabled;
  } buttons[] = {{grab, L"抓取图标", true}, {exitButton, L"退出", true}, {save, L"保存图标", false},
                 {copy, L"复制图标", false}, {about, L"关于...", true}};
  for (const auto& b : buttons) {
    std::string name = Narrow(b.caption);
    Check(b.button && WindowText(b.button) == b.caption, "button \"" + name + "\"", Narrow(WindowText(b.button)));
    Check(b.button && (IsWindowEnabled(b.button) != FALSE) == b.enabled,
          "button \"" + name + (b.enabled ? "\" enabled" : "\" greyed"));
    Check(b.button && (GetWindowLongW(b.button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW,
          "button \"" + name + "\" is owner-drawn");
  }
  Check(list && SendMessageW(list, LB_GETCOUNT, 0, 0) == 0, "icon list empty");
  Check(preview && SendMessageW(preview, STM_GETICON, 0, 0) == 0, "preview empty");
  struct FocusContext {
    HWND main, grab;
  } focusContext{main, grab};
  Check(WaitUntil(kWaitTimeoutMs, [](void* c) {
          auto* f = static_cast<FocusContext*>(c);
          return FocusOf(f->main) == f->grab;
        }, &focusContext),
        "grab button has the focus");

  CheckGround(main, "main window");
  CheckFace(faces, {grab, "grab button (focus)", kFocused, false});
  CheckFace(faces, {exitButton, "exit button (rest)", kRest, false});
  CheckFace(faces, {save, "save button (disabled)", kDisabled, true});
  CheckFace(faces, {copy, "copy button (disabled)", kDisabled, true});
  FaceMatch aboutAtRest = CheckFace(faces, {about, "about button (rest)", kRest, false});
  Screenshot(L"main");

  // Pressed with the focus: the mouse held down on the about button.
  PressMouse(about);
  FaceMatch pressed = CheckFace(faces, {about, "about button pressed with focus", kPressed, false});
  int shift = pressed.textLeft - aboutAtRest.textLeft;
  Check(aboutAtRest.textLeft >= 0 && shift >= 2 && shift <= 3, "pressed caption moved 2-3 pixels right",
        "moved " + std::to_string(shift));
  ReleaseMouse(about);
  HWND box = WaitForAbout(first.Id());
  Check(box != nullptr, "about button opens the about box");
  if (box) {
    CheckAboutBox(faces, main, box);
    Screenshot(L"about");
    Click(GetDlgItem(box, 1004));
    CheckAboutClosedBy(main, box, "its button");
  }

  for (WPARAM command : {WPARAM{16}, WPARAM{31}}) {
    PostMessageW(main, WM_SYSCOMMAND, command, 0);
    box = WaitForAbout(first.Id());
    Check(box != nullptr, "system command " + std::to_string(command) + " opens the about box");
    if (!box) continue;
    if (command == 16) {
      PressKey(GetDlgItem(box, 1004), VK_ESCAPE);
      CheckAboutClosedBy(main, box, "Esc");
    } else {
      Check(ClickCloseBox(box), "about box has a close box");
      CheckAboutClosedBy(main, box, "the close box");
    }
  }
  PostMessageW(main, WM_SYSCOMMAND, 32, 0);
  Check(WaitForWindow(first.Id(), kAboutCaption, 1000) == nullptr, "system command 32 opens no about box");

  CheckSystemMenu(first.Id(), main);
  CheckHelp(first.Id(), main);

  // A second copy while the first runs: ends at once, without a window,
  // bringing the first forward, minimised or not, with its file if it names
  // one (Pictrove.exe itself, a module of one icon).
  const struct {
    std::wstring path;
    bool runsBeside;
    const char* what;
    std::wstring file;
  } copies[] = {
      {exe, false, "a second copy of the same file", L""},
      {exe, false, "a second copy naming a file", exe},
      {L"", false, "a copy of the same name in another folder", L""},
      {L"", true, "a copy under another file name", L""},
  };
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Check(WaitUntil(kWaitTimeoutMs, [](void* m) { return IsIconic(static_cast<HWND>(m)) != FALSE; }, main),
        "the first copy minimised");
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"pictrove-gui-copy";
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring sameName = folder + L"\\Pictrove.exe";
  std::wstring otherName = folder + L"\\PictroveBeside.exe";
  CopyFileW(exe.c_str(), sameName.c_str(), FALSE);
  CopyFileW(exe.c_str(), otherName.c_str(), FALSE);
  for (const auto& c : copies) {
    std::wstring path = c.path.empty() ? (c.runsBeside ? otherName : sameName) : c.path;
    ChildProcess second;
    Check(second.Start(path, c.file), std::string(c.what) + " starts");
    if (!c.runsBeside) {
      bool sawWindow = false;
      DWORD start = GetTickCount();
      while (!second.WaitForExit(50) && GetTickCount() - start < kStartTimeoutMs) {
        sawWindow = sawWindow || !WindowsOfProcess(second.Id()).empty();
      }
      Check(second.WaitForExit(0), std::string(c.what) + " ends at once");
      Check(!sawWindow, std::string(c.what) + " shows no window");
      Check(second.ExitCode() == 0, std::string(c.what) + " exits with 0", std::to_string(second.ExitCode()));
      Check(WaitUntil(kWaitTimeoutMs, [](void* m) {
              return !IsIconic(static_cast<HWND>(m)) && GetForegroundWindow() == static_cast<HWND>(m);
            }, main),
            std::string(c.what) + " brings the first forward",
            std::string(IsIconic(main) ? "minimised" : "restored") +
                (GetForegroundWindow() == main ? ", in front" : ", not in front"));
      if (!c.file.empty()) {
        Check(WaitUntil(kWaitTimeoutMs, [](void* l) { return SendMessageW(static_cast<HWND>(l), LB_GETCOUNT, 0, 0) == 1; },
                        list),
              "the first copy lists the file handed over", std::to_string(SendMessageW(list, LB_GETCOUNT, 0, 0)));
        Check(WindowsOfProcess(first.Id()).size() == 1, "still one window");
        Settle(main);
        Sleep(500);  // let it paint after its restoring
        Screenshot(L"handed-over");
      }
    } else {
      HWND beside = WaitForWindow(second.Id(), kMainCaption, kStartTimeoutMs);
      Check(beside != nullptr, std::string(c.what) + " runs beside the first");
      if (beside) PressKey(FocusOf(beside) ? FocusOf(beside) : beside, VK_ESCAPE);
      Check(second.WaitForExit(kWaitTimeoutMs), std::string(c.what) + " ends on Esc");
    }
  }
  DeleteFileW(sameName.c_str());
  DeleteFileW(otherName.c_str());
  RemoveDirectoryW(folder.c_str());
  Check(IsWindow(main) && IsWindowVisible(main), "the first copy still runs");

  // Esc ends the program, with no window left.
  HWND focus = FocusOf(main);
  PressKey(focus ? focus : main, VK_ESCAPE);
  Check(first.WaitForExit(kWaitTimeoutMs), "Esc ends the program");
  Check(!IsWindow(main) && WindowsOfProcess(first.Id()).empty(), "no window left after Esc");
  Check(first.ExitCode() == 0, "exit code 0", std::to_string(first.ExitCode()));

  // After the first copy has ended a new one starts; its close box ends it.
  ChildProcess again;
  Check(again.Start(exe), "a new copy starts after the first ended");
  HWND second = WaitForWindow(again.Id(), kMainCaption, kStartTimeoutMs);
  Check(second != nullptr, "its main window appears");
  if (second) {
    Check(ClickCloseBox(second), "main window has a close box");
    Check(again.WaitForExit(kWaitTimeoutMs), "the close box ends the program");
    Check(!IsWindow(second) && WindowsOfProcess(again.Id()).empty(), "no window left after the close box");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (std::string(argv[1]) == "--fonts" && argc < 3)) {
    std::fprintf(stderr, "usage: gui_client PICTROVE.EXE [SCREENSHOT_DIR [FILES_DIR]]\n"
                         "       gui_client --fonts PICTROVE.EXE [SCREENSHOT_DIR]\n");
    return 2;
  }
  if (std::string(argv[1]) == "--fonts") {
    if (argc > 3) SetScreenshotFolder(WindowsPath(argv[3]));
    std::printf("ANSI code page %u\n", GetACP());
    RunFontChecks(WindowsPath(argv[2]));
    std::printf("%d passed, %d failed\n", PassedChecks(), FailedChecks());
    return FailedChecks() == 0 ? 0 : 1;
  }
  std::wstring exe = WindowsPath(argv[1]);
  if (argc > 2) SetScreenshotFolder(WindowsPath(argv[2]));
  std::printf("ANSI code page %u\n", GetACP());
  ExpectedFaces faces(exe);
  Check(faces.Loaded(), "Pictrove.exe's resources readable");
  RunMainWindowChecks(exe, faces);
  if (argc > 3) RunCommandChecks(exe, argv[3]);
  std::printf("%d passed, %d failed\n", PassedChecks(), FailedChecks());
  return FailedChecks() == 0 ? 0 : 1;
}
