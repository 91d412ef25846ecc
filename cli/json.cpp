#include "json.h"

#include <nettle/sha2.h>

#include <cstdio>

#include "core/icon_group.h"
#include "formats/utf8.h"

std::string JsonDocumentStart(const std::string& file, const std::string& heldIn) {
  std::string json = "{\"version\":2,\"file\":" + JsonString(file);
  if (!heldIn.empty() && heldIn != file) json += ",\"heldIn\":" + JsonString(heldIn);
  return json;
}

std::string JsonName(ResourceName name) {
  return IsIntegerResourceName(name) ? std::to_string(name) : JsonString(ResourceNameArgument(name));
}

std::string Sha256Hex(const std::uint8_t* bytes, std::size_t length) {
  sha256_ctx context;
  sha256_init(&context);
  sha256_update(&context, length, bytes);
  std::uint8_t digest[SHA256_DIGEST_SIZE];
  sha256_digest(&context, sizeof digest, digest);
  std::string hex;
  for (std::uint8_t byte : digest) {
    hex += "0123456789abcdef"[byte >> 4];
    hex += "0123456789abcdef"[byte & 15];
  }
  return hex;
}

std::string JsonStoredBytes(std::uint64_t offset, const std::uint8_t* bytes, std::size_t length) {
  std::string json;
  if (offset != 0) json += ",\"offset\":" + std::to_string(offset);
  return json + ",\"bytes\":" + std::to_string(length) + ",\"sha256\":\"" + Sha256Hex(bytes, length) + "\"";
}

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
    std::snprintf(line, sizeof line, "%s{\"index\":%u,\"width\":%d,\"height\":%d,\"bitsPerPixel\":%d,\"png\":%s",
                  i ? "," : "", i, image.width, image.height, PictureDepth(&image), IsPngImage(&image) ? "true" : "false");
    json += line + JsonStoredBytes(image.fileOffset, image.bits, image.byteCount) + "}";
  }
  return json + "]";
}
