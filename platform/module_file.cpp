#include "module_file.h"

#include <cstdlib>
#include <utility>

bool ModuleFile::ReadAll(HeapPtr<std::uint8_t>* bytes) {
  // One byte at least, so that an empty file still gives a block.
  HeapPtr<std::uint8_t> block(static_cast<std::uint8_t*>(std::malloc(length_ != 0 ? static_cast<std::size_t>(length_) : 1)));
  if (!block || !Read(0, block.get(), static_cast<std::size_t>(length_))) return false;
  *bytes = std::move(block);
  return true;
}
