// Sizes computed from numbers a file gives: each product is checked
// before a block is sized from it, so that no value wraps into a short one.
#pragma once

#include <cstdint>

// a x b; false, leaving *out alone, when it does not fit 64 bits.
inline bool CheckedMul(std::uint64_t a, std::uint64_t b, std::uint64_t* out) {
  std::uint64_t product;
  if (__builtin_mul_overflow(a, b, &product)) return false;
  *out = product;
  return true;
}
