#include "command_clipboard.h"

#include <windows.h>

#include <cstdint>

#include "command_files.h"
#include "gui_checks.h"
#include "gui_driver.h"

namespace {

bool OpenClipboardBounded() {
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(50)) {
    if (OpenClipboard(nullptr)) return true;
  }
  return false;
}

}  // namespace

void ClearClipboard() {
  if (!OpenClipboardBounded()) return;
  EmptyClipboard();
  CloseClipboard();
}

Bytes ClipboardBytes(UINT format) {
  Bytes bytes;
  if (!OpenClipboardBounded()) return bytes;
  if (HANDLE data = GetClipboardData(format)) {
    if (const auto* p = static_cast<const std::uint8_t*>(GlobalLock(data))) {
      bytes.assign(p, p + GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

Bytes ClipboardDib() { return ClipboardBytes(CF_DIB); }

namespace {

// Runs xclip on the display's clipboard with `arguments`, its output going
// to the file `name` of the files folder; that file's bytes, or empty when
// xclip could not be started or gave no answer in time.
Bytes RunXclip(const std::string& filesUnix, const std::string& arguments, const std::string& name,
               std::string* failure) {
  std::string answer = filesUnix + "/" + name;
  std::wstring answerPath = WindowsPath(answer.c_str());
  DeleteFileW(answerPath.c_str());
  std::string command = "/bin/sh -c \"timeout 10 xclip -selection clipboard " + arguments + " -o >'" + answer +
                        ".part' 2>&1; mv '" + answer + ".part' '" + answer + "'\"";
  std::wstring wide(command.begin(), command.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(L"Z:\\bin\\sh", &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    *failure = "(xclip not started, error " + std::to_string(GetLastError()) + ")";
    return Bytes();
  }
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(100)) {
    if (Exists(answerPath)) return ReadBytes(answerPath);
  }
  *failure = "(no answer from xclip)";
  return Bytes();
}

}  // namespace

std::string X11ClipboardTargets(const std::string& filesUnix) {
  std::string failure;
  Bytes text = RunXclip(filesUnix, "-t TARGETS", "xclip-targets.txt", &failure);
  return failure.empty() ? std::string(text.begin(), text.end()) : failure;
}

Bytes X11ClipboardContent(const std::string& filesUnix, const std::string& target) {
  std::string failure;
  return RunXclip(filesUnix, "-t " + target, "xclip-content", &failure);
}
