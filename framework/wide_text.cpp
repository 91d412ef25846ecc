#include "wide_text.h"

std::wstring WideFromCodePage(const char* text, UINT codePage) {
  if (text == nullptr || *text == '\0') return std::wstring();
  int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length) - 1);  // the terminating zero
  return wide;
}
