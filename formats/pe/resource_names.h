// Names of module resources: the form a lookup asks for, the way a narrow
// name argument is read, and the narrow text a stored UTF-16 name becomes.
// The narrow code page of the native build is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

// A type or name to look for: an integer identifier, or a text compared
// without regard to case.
struct PeResourceQuery {
  bool isId = true;
  std::uint16_t id = 0;
  std::u16string text;

  static PeResourceQuery Id(std::uint16_t id) {
    PeResourceQuery query;
    query.id = id;
    return query;
  }
  static PeResourceQuery Text(std::u16string text) {
    PeResourceQuery query;
    query.isId = false;
    query.text = std::move(text);
    return query;
  }
};

// Reads a narrow name argument as FindResourceA reads one that is not an
// integer: "#" followed by a decimal number is that identifier (leading blanks
// and a sign are taken, reading stops at the first non-digit, as
// RtlCharToInteger does); false when that number does not fit 16 bits. Any
// other text is the name, decoded from UTF-8.
bool ParseNarrowResourceName(const char* text, PeResourceQuery* out);

// The upper case of a UTF-16 unit for name comparison: ASCII and Latin-1
// letters; other units are compared as they are.
char16_t UpperCaseUnit(char16_t unit);

// True when the two names are equal without regard to case.
bool ResourceNamesEqual(const std::u16string& a, const std::u16string& b);

// UTF-16 to UTF-8; a unit that is half of no surrogate pair becomes '?'.
std::string Utf16ToUtf8(const std::u16string& text);

// UTF-8 to UTF-16; a byte that begins no valid sequence becomes U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
