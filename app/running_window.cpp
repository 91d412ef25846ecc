#include "running_window.h"

#include <vector>

namespace {

struct Search {
  const char* appName;
  HWND found;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  if (GetPropA(window, search->appName) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

void MarkRunningWindow(HWND window, const char* appName) {
  SetPropA(window, appName, reinterpret_cast<HANDLE>(1));
}

void UnmarkRunningWindow(HWND window, const char* appName) { RemovePropA(window, appName); }

bool HandToRunningWindow(const char* appName, const std::wstring& file) {
  Search search{appName, nullptr};
  EnumWindows(&FindMarked, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return false;

  // The user started this copy: it may give the front to the one that runs.
  DWORD processId = 0;
  GetWindowThreadProcessId(search.found, &processId);
  AllowSetForegroundWindow(processId);

  std::vector<wchar_t> path(file.begin(), file.end());
  path.push_back(L'\0');
  COPYDATASTRUCT data{};
  data.dwData = kHandedFile;
  data.cbData = static_cast<DWORD>(path.size() * sizeof(wchar_t));
  data.lpData = path.data();
  // The running window only takes the file and posts itself its opening; a
  // window that doesn't answer is not waited for long.
  DWORD_PTR taken = 0;
  return SendMessageTimeoutW(search.found, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                             &taken) != 0 &&
         taken != 0;
}

bool HandedFile(const COPYDATASTRUCT* data, std::wstring* file) {
  if (data == nullptr || data->dwData != kHandedFile || data->lpData == nullptr) return false;
  const auto* text = static_cast<const wchar_t*>(data->lpData);
  size_t length = 0;
  while (length < data->cbData / sizeof(wchar_t) && text[length] != L'\0') ++length;
  file->assign(text, length);
  return true;
}
