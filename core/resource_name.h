// The name of a module resource held as one value, as the list keeps it in
// its item data: below 65536 an integer identifier, otherwise the address of
// a zero-terminated text.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

using ResourceName = std::uintptr_t;

constexpr bool IsIntegerResourceName(ResourceName name) { return name < 65536; }

// The form FindResourceA takes: the identifier itself in the pointer's value,
// or the text.
inline LPCSTR ResourceNameArgument(ResourceName name) { return reinterpret_cast<LPCSTR>(name); }

inline ResourceName ResourceNameFromArgument(LPCSTR name) { return reinterpret_cast<ResourceName>(name); }

// NAME as an entry "Icon [NAME]" shows it: the identifier in decimal, or the
// text.
inline std::string ResourceNameText(ResourceName name) {
  return IsIntegerResourceName(name) ? std::to_string(name) : std::string(ResourceNameArgument(name));
}
