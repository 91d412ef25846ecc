// Messages of the native build go to stderr as "caption: text" in UTF-8. The
// program's own texts are GBK bytes and are converted; a path, in the
// caption or at the start of the text, is already in the system's code page
// (UTF-8 here) and is written as its bytes, but for what a terminal would
// take for a command (TerminalText). A message about a failed file
// call ends with the system's reason for it, when there is one.
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/message_box.h"
#include "terminal_text.h"
#include "win32_api.h"

namespace {

void AppendGbkAsUtf8(std::string& out, const char* text, std::size_t length) {
  iconv_t convert = iconv_open("UTF-8", "GBK");
  if (convert == reinterpret_cast<iconv_t>(-1)) {
    out.append(text, length);
    return;
  }
  char* in = const_cast<char*>(text);
  std::size_t inLeft = length;
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t rc = iconv(convert, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
    if (rc == static_cast<std::size_t>(-1) && outLeft == sizeof buffer) {
      // A byte that is no GBK: keep it as it is and go on.
      out.push_back(*in);
      ++in;
      --inLeft;
    }
  }
  iconv_close(convert);
}

}  // namespace

int PlatformMessageBox(HWND, const char* text, const char* caption, UINT, MessageEncoding encoding) {
  if (caption == nullptr) caption = "";
  if (text == nullptr) text = "";
  std::string line;
  if (encoding.captionIsPath) {
    line = caption;
  } else {
    AppendGbkAsUtf8(line, caption, std::strlen(caption));
  }
  line += ": ";
  const std::size_t length = std::strlen(text);
  const std::size_t pathBytes = encoding.textPathBytes < length ? encoding.textPathBytes : length;
  line.append(text, pathBytes);
  AppendGbkAsUtf8(line, text + pathBytes, length - pathBytes);
  const char* reason = LastErrorText();
  if (encoding.fileCallFailed && reason != nullptr) {
    line += " (";
    line += reason;
    line += ")";
  }
  std::fprintf(stderr, "%s\n", TerminalText(line).c_str());
  return IDOK;
}
