#include "narrow_path.h"

#include <vector>

namespace {

std::wstring ShortPathOf(const std::wstring& path) {
  DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (length == 0) return std::wstring();
  std::vector<wchar_t> buffer(length);
  DWORD copied = GetShortPathNameW(path.c_str(), buffer.data(), length);
  if (copied == 0 || copied >= length) return std::wstring();
  return std::wstring(buffer.data(), copied);
}

}  // namespace

bool ExactNarrowPath(const std::wstring& path, std::string* narrow) {
  if (path.empty()) return false;
  const int wideLength = static_cast<int>(path.size());
  // UTF-8 holds every name; it takes neither the flag nor the question.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* askDefault = utf8 ? nullptr : &usedDefault;
  int length = WideCharToMultiByte(CP_ACP, flags, path.c_str(), wideLength, nullptr, 0, nullptr, askDefault);
  if (length <= 0 || length >= MAX_PATH || usedDefault) return false;
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, flags, path.c_str(), wideLength, &bytes[0], length, nullptr, askDefault);
  if (usedDefault) return false;
  // What the program hands the file functions must name this file again.
  int back = MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), length, nullptr, 0);
  std::wstring again(static_cast<size_t>(back > 0 ? back : 0), L'\0');
  if (back > 0) MultiByteToWideChar(CP_ACP, 0, bytes.c_str(), length, &again[0], back);
  if (again != path) return false;
  *narrow = bytes;
  return true;
}

bool NarrowPathFor(const std::wstring& path, std::string* narrow) {
  if (ExactNarrowPath(path, narrow)) return true;
  std::wstring shortPath = ShortPathOf(path);
  if (!shortPath.empty() && ExactNarrowPath(shortPath, narrow)) return true;
  // A file not made yet has no short name; its folder may have one.
  size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos || slash == 0) return false;
  std::wstring folder = ShortPathOf(path.substr(0, slash));
  return !folder.empty() && ExactNarrowPath(folder + path.substr(slash), narrow);
}
