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

Bytes ClipboardDib() {
  Bytes bytes;
  if (!OpenClipboardBounded()) return bytes;
  if (HANDLE data = GetClipboardData(CF_DIB)) {
    if (const auto* p = static_cast<const std::uint8_t*>(GlobalLock(data))) {
      bytes.assign(p, p + GlobalSize(data));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return bytes;
}

std::string X11ClipboardTargets(const std::string& filesUnix) {
  std::string answer = filesUnix + "/xclip-targets.txt";
  std::wstring answerPath = WindowsPath(answer.c_str());
  DeleteFileW(answerPath.c_str());
  std::string command = "/bin/sh -c \"timeout 10 xclip -selection clipboard -t TARGETS -o >'" + answer +
                        ".part' 2>&1; mv '" + answer + ".part' '" + answer + "'\"";
  std::wstring wide(command.begin(), command.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(L"Z:\\bin\\sh", &wide[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return "(xclip not started, error " + std::to_string(GetLastError()) + ")";
  }
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
  for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeoutMs; Sleep(100)) {
    if (Exists(answerPath)) {
      Bytes text = ReadBytes(answerPath);
      return std::string(text.begin(), text.end());
    }
  }
  return "(no answer from xclip)";
}
