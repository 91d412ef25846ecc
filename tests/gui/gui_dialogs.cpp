#include "gui_dialogs.h"

#include "gui_driver.h"

namespace {

bool IsDialogClass(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return lstrcmpW(name, L"#32770") == 0;
}

struct ChildSearch {
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  wchar_t name[32] = {};
  GetClassNameW(child, name, 32);
  if (lstrcmpiW(name, search->className) == 0 && IsWindowVisible(child)) search->found.push_back(child);
  return TRUE;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
  ChildSearch search{className, {}};
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The file name box: the dialog's edit control (alone, or inside its combo
// box) that has the focus when the dialog opens, else the first one.
HWND FileNameBox(HWND dialog) {
  std::vector<HWND> edits = ChildrenOfClass(dialog, L"Edit");
  HWND focus = FocusOf(dialog);
  for (HWND edit : edits) {
    if (edit == focus) return edit;
  }
  return edits.empty() ? nullptr : edits.front();
}

}  // namespace

std::vector<HWND> DialogsOver(DWORD processId, HWND main) {
  std::vector<HWND> dialogs;
  for (HWND window : WindowsOfProcess(processId)) {
    if (window != main && IsDialogClass(window)) dialogs.push_back(window);
  }
  return dialogs;
}

HWND WaitForDialogOver(DWORD processId, HWND main, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  do {
    std::vector<HWND> dialogs = DialogsOver(processId, main);
    if (!dialogs.empty()) return dialogs.front();
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

void Settle(HWND main) {
  // Twice, with a pause: a message box being made may answer the first.
  for (int round = 0; round < 2; ++round) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, kWaitTimeoutMs, &result);
    Sleep(150);
  }
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kWaitTimeoutMs, &result)) return -1;
  return static_cast<LRESULT>(result);
}

std::wstring ControlText(HWND control) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kWaitTimeoutMs, &length)) return L"";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(control, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL,
                      kWaitTimeoutMs, &copied);
  text.resize(copied <= length ? copied : length);
  return text;
}

bool TypeFileNameAndEnter(HWND dialog, const std::wstring& name) {
  HWND box = FileNameBox(dialog);
  if (box == nullptr) return false;
  // Whatever the box holds first (a name typed before) is selected and
  // replaced, as a user's typing replaces it.
  SendMessageTimeoutW(box, EM_SETSEL, 0, -1, SMTO_NORMAL, kWaitTimeoutMs, nullptr);
  for (wchar_t c : name) PostMessageW(box, WM_CHAR, c, 1);
  struct Context {
    HWND box;
    const std::wstring* name;
  } context{box, &name};
  bool typed = WaitUntil(
      kWaitTimeoutMs, [](void* c) {
        auto* t = static_cast<Context*>(c);
        return ControlText(t->box) == *t->name;
      },
      &context);
  if (!typed) return false;
  PressKey(box, VK_RETURN);
  return true;
}

std::vector<std::wstring> FileTypes(HWND dialog) {
  for (HWND combo : ChildrenOfClass(dialog, L"ComboBox")) {
    std::vector<std::wstring> items;
    LRESULT count = Ask(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      LRESULT length = Ask(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
      if (length < 0) continue;
      std::wstring text(static_cast<size_t>(length) + 1, L'\0');
      Ask(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
      text.resize(static_cast<size_t>(length));
      items.push_back(text);
    }
    // The look-in box lists folders; the file type box lists patterns.
    if (!items.empty() && items.front().find(L"(*.") != std::wstring::npos) return items;
  }
  return {};
}

void CancelFileDialog(HWND dialog) {
  HWND box = FileNameBox(dialog);
  PressKey(box ? box : dialog, VK_ESCAPE);
}

ShownBox ReadBox(HWND box) {
  ShownBox shown;
  shown.caption = WindowText(box);
  for (HWND text : ChildrenOfClass(box, L"Static")) {
    std::wstring part = ControlText(text);
    if (part.empty()) continue;
    if (!shown.text.empty()) shown.text += L"|";
    shown.text += part;
  }
  return shown;
}

bool CloseBox(HWND box) {
  HWND ok = GetDlgItem(box, IDOK);
  if (ok) {
    Click(ok);
  } else {
    PressKey(box, VK_RETURN);
  }
  return WaitForWindowGone(box, kWaitTimeoutMs);
}
