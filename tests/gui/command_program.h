// The real program as the command checks drive it, its texts, and the checks
// of what its window shows after each step.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "gui_checks.h"
#include "gui_dialogs.h"
#include "gui_driver.h"

const wchar_t kMainCaption[] = L"Pictrove 1.0版";
const wchar_t kError[] = L"错误";
const wchar_t kNotLoadable[] = L"文件载入错误，必须是WIN32的文件!";
const wchar_t kEnumerationFailed[] = L"列举图标资源名时出错!";
const wchar_t kNoIcons[] = L"此文件中没有图标资源!";
const wchar_t kNothingToSave[] = L"没有可保存的图标资源!";
const wchar_t kNothingToCopy[] = L"没有可复制的图标资源!";
const wchar_t kUnsupported[] = L"不支持的文件类型!";
const wchar_t kNameOutsideCodePage[] = L"文件名中有系统代码页不能表示的字符，请换一个文件名!";
// Stands for a reader's own message, whose text is the reader's affair.
const wchar_t kAnyText[] = L"*";

struct WindowState {
  std::vector<std::wstring> entries;
  int selected = -1;
  bool saveEnabled = false;
  bool copyEnabled = false;
  HICON preview = nullptr;

  bool operator==(const WindowState& o) const {
    return entries == o.entries && selected == o.selected && saveEnabled == o.saveEnabled &&
           copyEnabled == o.copyEnabled && preview == o.preview;
  }
};

class Program {
 public:
  bool Start(const std::wstring& exe, const std::wstring& argument = L"", const std::wstring& folder = L"") {
    if (!m_process.Start(exe, argument, folder)) return false;
    m_main = WaitForWindow(m_process.Id(), kMainCaption, kStartTimeoutMs);
    if (!m_main) return false;
    m_grab = GetDlgItem(m_main, 1);
    m_list = GetDlgItem(m_main, 1000);
    m_save = GetDlgItem(m_main, 1001);
    m_copy = GetDlgItem(m_main, 1002);
    m_preview = GetDlgItem(m_main, 1003);
    m_previewBox = ScreenRectOf(m_preview);
    return true;
  }
  bool EndsOnEscape() {
    HWND focus = FocusOf(m_main);
    PressKey(focus ? focus : m_main, VK_ESCAPE);
    return m_process.WaitForExit(kWaitTimeoutMs);
  }

  HWND Main() const { return m_main; }
  DWORD ProcessId() const { return m_process.Id(); }
  HWND Grab() const { return m_grab; }
  HWND List() const { return m_list; }
  HWND Preview() const { return m_preview; }
  // The preview control's place in the template, before it showed an icon.
  RECT PreviewBox() const { return m_previewBox; }

  WindowState State() const {
    Settle(m_main);
    WindowState s;
    LRESULT count = Ask(m_list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      LRESULT length = Ask(m_list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
      if (length < 0) continue;
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      Ask(m_list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
      text.resize(static_cast<size_t>(length));
      s.entries.push_back(text);
    }
    s.selected = static_cast<int>(Ask(m_list, LB_GETCURSEL, 0, 0));
    s.saveEnabled = IsWindowEnabled(m_save) != FALSE;
    s.copyEnabled = IsWindowEnabled(m_copy) != FALSE;
    s.preview = reinterpret_cast<HICON>(Ask(m_preview, STM_GETICON, 0, 0));
    return s;
  }

  // Opens the file dialog with `button` (a click, or Enter when `byEnter`)
  // and waits for it.
  HWND OpenDialogWith(HWND button, bool byEnter) {
    if (byEnter) {
      PressKey(button, VK_RETURN);
    } else {
      Click(button);
    }
    return WaitForDialogOver(m_process.Id(), m_main, kWaitTimeoutMs);
  }

  // Chooses `path` in the dialog that `button` opens; the messages that
  // follow are then taken with TakeBoxes.
  bool Choose(HWND button, const std::wstring& path, bool byEnter = false) {
    HWND dialog = OpenDialogWith(button, byEnter);
    if (!dialog) return false;
    if (!TypeFileNameAndEnter(dialog, path)) {
      CancelFileDialog(dialog);
      WaitForWindowGone(dialog, kWaitTimeoutMs);
      return false;
    }
    return WaitForWindowGone(dialog, kWaitTimeoutMs);
  }
  bool Open(const std::wstring& path, bool byEnter = false) { return Choose(m_grab, path, byEnter); }
  bool SaveAs(const std::wstring& path) { return Choose(m_save, path); }

  bool CancelDialogOf(HWND button, bool byEnter = false) {
    HWND dialog = OpenDialogWith(button, byEnter);
    if (!dialog) return false;
    CancelFileDialog(dialog);
    return WaitForWindowGone(dialog, kWaitTimeoutMs);
  }

  void ClickCopy() { Click(m_copy); }

  // The message boxes shown now, `count` of them waited for, each read and
  // closed; any further box is read and closed as well.
  std::vector<ShownBox> TakeBoxes(size_t count, const char* groundCheck = nullptr) {
    std::vector<ShownBox> boxes;
    for (size_t i = 0; i < count; ++i) {
      HWND box = WaitForDialogOver(m_process.Id(), m_main, kWaitTimeoutMs);
      if (!box) break;
      Sleep(200);  // let it paint
      if (groundCheck && i == 0) {
        CheckGround(box, groundCheck);
        Screenshot(L"message");
      }
      boxes.push_back(ReadBox(box));
      CloseBox(box);
    }
    Settle(m_main);
    for (HWND box : DialogsOver(m_process.Id(), m_main)) {
      boxes.push_back(ReadBox(box));
      CloseBox(box);
    }
    return boxes;
  }

 private:
  ChildProcess m_process;
  HWND m_main = nullptr, m_grab = nullptr, m_list = nullptr, m_save = nullptr, m_copy = nullptr,
       m_preview = nullptr;
  RECT m_previewBox{};
};

// The message boxes shown after `step` are `wanted`, in order (kAnyText
// for any text); each is closed.
void CheckBoxes(Program& program, const std::string& step, const std::vector<ShownBox>& wanted,
                const char* groundCheck = nullptr);
// The list holds `entries` with `selected` chosen, Save and Copy are
// `enabled`, and the preview holds an icon or none.
void CheckState(Program& program, const std::string& step, const std::vector<std::wstring>& entries, int selected,
                bool enabled, bool hasPreview);
// The window shows what it showed `before`.
void CheckUnchanged(Program& program, const std::string& step, const WindowState& before);
// Waits (bounded) until the preview shows `icon` as the control draws it.
void CheckPreviewShows(Program& program, HICON icon, const std::string& what);
// Waits (bounded) until the preview's top-left 32x32 pixels are kSolid.
void CheckPreviewSolid(Program& program, const std::string& what);
// A window of this process put over `target` for a moment, then taken away.
void CoverAndUncover(HWND target);
