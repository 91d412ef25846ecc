// An icon record owning a heap copy of the bytes, as the readers fill it, and
// bound when asked.
#pragma once

#include <cstdlib>
#include <cstring>

#include "core/icon_group.h"
#include "tests/support/image_bytes.h"

struct OwnedImage {
  IconImage image{};

  explicit OwnedImage(const Bytes& bytes, bool bind = false) {
    image.bits = static_cast<BYTE*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
    if (!bytes.empty()) std::memcpy(image.bits, bytes.data(), bytes.size());
    image.byteCount = static_cast<std::uint32_t>(bytes.size());
    if (bind) BindImagePointers(&image);
  }
  ~OwnedImage() { std::free(image.bits); }
  OwnedImage(const OwnedImage&) = delete;
  OwnedImage& operator=(const OwnedImage&) = delete;
};
