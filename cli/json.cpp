#include "json.h"

#include <cstdio>

#include "core/icon_group.h"
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

std::string JsonImages(const IconGroup& group) {
  std::string json = "[";
  for (std::uint32_t i = 0; i < group.imageCount; ++i) {
    const IconImage& image = group.images[i];
    char line[200];
    std::snprintf(line, sizeof line,
                  "%s{\"index\":%u,\"width\":%d,\"height\":%d,\"bitsPerPixel\":%d,\"bytes\":%u,\"png\":%s}",
                  i ? "," : "", i, image.width, image.height, PictureDepth(&image), image.byteCount,
                  IsPngImage(&image) ? "true" : "false");
    json += line;
  }
  return json + "]";
}
