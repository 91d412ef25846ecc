#include "json.h"

#include <cstdio>

#include "formats/utf8.h"

std::string JsonDocumentStart(const std::string& file) { return "{\"version\":1,\"file\":" + JsonString(file); }

std::string JsonString(const std::string& bytes) {
  std::string out = "\"";
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else if (c >= 0x80) {
      const std::size_t length = Utf8SequenceLength(bytes, i);
      if (length == 0) {
        out += "\\ufffd";
        ++i;
      } else {
        out.append(bytes, i, length);
        i += length;
      }
      continue;
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out + "\"";
}
