#include "resource_names.h"

namespace {

// RtlCharToInteger in base 10: the value wraps as a 32-bit number does.
std::uint32_t DecimalValue(const char* text) {
  while (*text != '\0' && static_cast<unsigned char>(*text) <= ' ') ++text;
  bool negative = false;
  if (*text == '+') {
    ++text;
  } else if (*text == '-') {
    negative = true;
    ++text;
  }
  std::uint32_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + static_cast<std::uint32_t>(*text - '0');
  return negative ? 0u - value : value;
}

}  // namespace

bool ParseNarrowResourceName(const char* text, PeResourceQuery* out) {
  if (text[0] == '#') {
    std::uint32_t value = DecimalValue(text + 1);
    if (value > 0xFFFF) return false;
    *out = PeResourceQuery::Id(static_cast<std::uint16_t>(value));
    return true;
  }
  *out = PeResourceQuery::Text(Utf8ToUtf16(text));
  return true;
}

char16_t UpperCaseUnit(char16_t unit) {
  if (unit >= u'a' && unit <= u'z') return static_cast<char16_t>(unit - 0x20);
  if (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) return static_cast<char16_t>(unit - 0x20);
  if (unit == 0xFF) return 0x178;
  return unit;
}

bool ResourceNamesEqual(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperCaseUnit(a[i]) != UpperCaseUnit(b[i])) return false;
  }
  return true;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      bool pair = c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
      if (!pair) {
        out.push_back('?');
        continue;
      }
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | c >> 6));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | c >> 12));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | c >> 18));
      out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    int follow = lead < 0x80 ? 0 : lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
                 : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
    std::uint32_t c = follow == 0 ? lead : follow == 1 ? lead & 0x1F : follow == 2 ? lead & 0x0F : lead & 0x07;
    bool valid = follow >= 0 && static_cast<std::size_t>(follow) < text.size() - i;
    for (int k = 1; valid && k <= follow; ++k) {
      unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      c = c << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no characters.
    if (valid && ((follow == 2 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
                  (follow == 3 && (c < 0x10000 || c > 0x10FFFF)))) {
      valid = false;
    }
    if (!valid) {
      out.push_back(u'\xFFFD');
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += static_cast<std::size_t>(follow) + 1;
  }
  return out;
}
