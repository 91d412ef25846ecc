// Messages of the native build go to stderr as "caption: text" in UTF-8. The
// program's own texts are GBK bytes. A caption is either a path, already in
// the system's code page (UTF-8 here), or one of the program's texts ("错误"),
// which is never valid UTF-8; the caption is converted only in that case.
#include "win32_api.h"

#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string GbkToUtf8(const char* text) {
  std::string out;
  iconv_t convert = iconv_open("UTF-8", "GBK");
  if (convert == reinterpret_cast<iconv_t>(-1)) return text;
  size_t inLeft = std::strlen(text);
  char* in = const_cast<char*>(text);
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(convert, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (rc == static_cast<size_t>(-1) && outLeft == sizeof buffer) {
      // A byte that is no GBK: keep it as it is and go on.
      out.push_back(*in);
      ++in;
      --inLeft;
    }
  }
  iconv_close(convert);
  return out;
}

bool IsValidUtf8(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    int follow = *p < 0x80 ? 0 : (*p >> 5) == 0x6 ? 1 : (*p >> 4) == 0xE ? 2 : (*p >> 3) == 0x1E ? 3 : -1;
    if (follow < 0) return false;
    ++p;
    for (int i = 0; i < follow; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) return false;
    }
  }
  return true;
}

}  // namespace

int PlatformMessageBox(HWND, const char* text, const char* caption, UINT) {
  if (caption == nullptr) caption = "";
  std::string shownCaption = IsValidUtf8(caption) ? caption : GbkToUtf8(caption);
  std::string line = shownCaption + ": " + GbkToUtf8(text ? text : "");
  std::fprintf(stderr, "%s\n", line.c_str());
  return IDOK;
}
