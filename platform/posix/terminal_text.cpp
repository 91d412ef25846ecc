#include "terminal_text.h"

#include <cstdint>
#include <cstdio>

#include "formats/utf8.h"

namespace {

void AppendEscaped(std::string& out, std::uint8_t byte) {
  switch (byte) {
    case 0x1B:
      out += "\\e";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    case '\\':
      out += "\\\\";
      return;
    default: {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    }
  }
}

}  // namespace

std::string TerminalText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, at);
    const auto lead = static_cast<std::uint8_t>(text[at]);
    // C1 controls are U+0080 to U+009F: C2 80 to C2 9F in UTF-8.
    const bool control = length == 1 ? lead < 0x20 || lead == 0x7F || lead == '\\'
                                     : length == 2 && lead == 0xC2 && static_cast<std::uint8_t>(text[at + 1]) < 0xA0;
    if (length == 0 || control) {
      const std::size_t bytes = length == 0 ? 1 : length;
      for (std::size_t i = 0; i < bytes; ++i) AppendEscaped(out, static_cast<std::uint8_t>(text[at + i]));
      at += bytes;
      continue;
    }
    out.append(text, at, length);
    at += length;
  }
  return out;
}
