// UTF-8, the code page of names and paths in the native build.
#pragma once

#include <cstddef>
#include <string>

// Length of the UTF-8 sequence starting at `i`, or 0 when it is none (an
// overlong form, a surrogate or a value past U+10FFFF among them).
std::size_t Utf8SequenceLength(const std::string& s, std::size_t i);
