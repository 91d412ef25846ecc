#include "file_choice.h"

#include <string>
#include <vector>

#include "core/messages.h"
#include "framework/narrow_path.h"

bool ChooseFile(CFileDialog& dialog) {
  if (dialog.DoModal() == IDOK) return true;
  if (dialog.NameOutsideCodePage()) ShowMessage(Message::kNameOutsideCodePage);
  return false;
}

std::wstring FullPathOf(const std::wstring& name) {
  const DWORD length = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
  if (length == 0) return name;
  std::vector<wchar_t> buffer(length);
  const DWORD copied = GetFullPathNameW(name.c_str(), length, buffer.data(), nullptr);
  return copied > 0 && copied < length ? std::wstring(buffer.data(), copied) : name;
}

bool ReachableName(const std::wstring& name, CString* path) {
  // The dialog gives a full path; a name from outside may be relative.
  std::string narrow;
  if (!NarrowPathFor(FullPathOf(name), &narrow)) {
    ShowMessage(Message::kNameOutsideCodePage);
    return false;
  }
  *path = narrow;
  return true;
}
