#include "module_file.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "formats/input_limits.h"

bool ModuleFile::OpenBytes(ByteView bytes) {
  Close();
  if (bytes.Length() > limits::kMaxModuleBytes) return false;
  memory_ = bytes;
  length_ = bytes.Length();
  return true;
}

bool ModuleFile::Read(std::uint64_t offset, void* buffer, std::size_t count) {
  if (count > length_ || offset > length_ - count) return false;
  if (memory_.Data() == nullptr) return ReadFromFile(offset, buffer, count);
  if (count != 0) std::memcpy(buffer, memory_.Data() + offset, count);
  return true;
}

bool ModuleFile::ReadAll(HeapPtr<std::uint8_t>* bytes) {
  if (length_ > limits::kMaxModuleBytes) return false;
  // One byte at least, so that an empty file still gives a block.
  HeapPtr<std::uint8_t> block(
      static_cast<std::uint8_t*>(std::malloc(length_ != 0 ? static_cast<std::size_t>(length_) : 1)));
  if (!block || !Read(0, block.get(), static_cast<std::size_t>(length_))) return false;
  *bytes = std::move(block);
  return true;
}
