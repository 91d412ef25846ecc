#include "argument_values.h"

#include <algorithm>

bool ParseImageNumber(const std::string& text, std::uint32_t* number) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > UINT32_MAX) return false;
  *number = static_cast<std::uint32_t>(value);
  return true;
}

bool ParseImageChoice(const std::string& text, Arguments* args) {
  const std::size_t dot = text.find('.');
  if (dot == std::string::npos) return ParseImageNumber(text, &args->image);
  args->hasImageInFrame = true;
  return ParseImageNumber(text.substr(0, dot), &args->image) &&
         ParseImageNumber(text.substr(dot + 1), &args->imageInFrame);
}

bool ParseIconIndex(const std::string& text, std::int32_t* index) {
  const bool negative = !text.empty() && text[0] == '-';
  std::uint32_t magnitude = 0;
  if (!ParseImageNumber(negative ? text.substr(1) : text, &magnitude) || magnitude > 65535) return false;
  *index = negative ? -static_cast<std::int32_t>(magnitude) : static_cast<std::int32_t>(magnitude);
  return true;
}

bool ParseSide(const std::string& text, std::int32_t largest, std::int32_t* side) {
  std::uint32_t value = 0;
  if (!ParseImageNumber(text, &value) || value < 1 || value > static_cast<std::uint32_t>(largest)) return false;
  *side = static_cast<std::int32_t>(value);
  return true;
}

bool ParseLanguage(const std::string& text, std::uint16_t* language) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = hex ? text.substr(2) : text;
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of(allowed) != std::string::npos) return false;
  const unsigned long value = std::stoul(digits, nullptr, hex ? 16 : 10);
  if (value > 0xFFFF) return false;
  *language = static_cast<std::uint16_t>(value);
  return true;
}

bool ParseSides(const std::string& text, std::vector<std::int32_t>* sides) {
  std::size_t from = 0;
  sides->clear();
  while (from <= text.size()) {
    const std::size_t comma = std::min(text.find(',', from), text.size());
    std::int32_t side = 0;
    if (!ParseSide(text.substr(from, comma - from), 256, &side)) return false;
    sides->push_back(side);
    from = comma + 1;
  }
  return true;
}

bool ParseHotSpot(const std::string& text, Arguments* args) {
  const std::size_t comma = text.find(',');
  std::uint32_t x = 0, y = 0;
  if (comma == std::string::npos || !ParseImageNumber(text.substr(0, comma), &x) ||
      !ParseImageNumber(text.substr(comma + 1), &y) || x > 65535 || y > 65535) {
    return false;
  }
  args->hotSpotX = static_cast<std::uint16_t>(x);
  args->hotSpotY = static_cast<std::uint16_t>(y);
  return true;
}
