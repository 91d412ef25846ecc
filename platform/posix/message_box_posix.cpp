// Messages of the native build go to stderr as "caption: text". The program's
// own texts are GBK bytes; they are shown in UTF-8. Captions are paths, which
// are already in the system's code page.
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

}  // namespace

int PlatformMessageBox(HWND, const char* text, const char* caption, UINT) {
  std::string line = std::string(caption ? caption : "") + ": " + GbkToUtf8(text ? text : "");
  std::fprintf(stderr, "%s\n", line.c_str());
  return IDOK;
}
