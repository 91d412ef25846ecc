// Move-only owners for what the program opens and allocates, so that every
// early return releases it: blocks of the C heap, and one template for the
// platform's handles (files, modules, icons, global memory).
#pragma once

#include <cstdlib>
#include <memory>
#include <utility>

#include "platform.h"

struct FreeDeleter {
  void operator()(void* block) const { std::free(block); }
};

// A block from the C heap, released with free.
template <typename T>
using HeapPtr = std::unique_ptr<T, FreeDeleter>;

// Owns one handle of the kind that Traits describes: its type, the value
// that means none, and how it is released.
template <typename Traits>
class UniqueHandle {
 public:
  using Value = typename Traits::Value;

  UniqueHandle() = default;
  explicit UniqueHandle(Value value) : value_(value) {}
  ~UniqueHandle() { Close(); }
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  bool IsValid() const { return Traits::IsValid(value_); }
  explicit operator bool() const { return IsValid(); }
  Value Get() const { return value_; }

  // Hands the handle over; the owner then holds none.
  Value Release() { return std::exchange(value_, Traits::None()); }

  void Reset(Value value = Traits::None()) {
    Close();
    value_ = value;
  }

  // Releases now; false when the platform reports that releasing failed (for
  // a file: the last buffered bytes may not have reached the disk).
  bool Close() {
    if (!IsValid()) return true;
    return Traits::Close(Release());
  }

 private:
  Value value_ = Traits::None();
};

struct FileTraits {
  using Value = HANDLE;
  static HANDLE None() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE file) { return file != INVALID_HANDLE_VALUE && file != nullptr; }
  static bool Close(HANDLE file) { return CloseHandle(file) != FALSE; }
};
using FileHandle = UniqueHandle<FileTraits>;

struct ModuleTraits {
  using Value = HMODULE;
  static HMODULE None() { return nullptr; }
  static bool IsValid(HMODULE module) { return module != nullptr; }
  static bool Close(HMODULE module) { return FreeLibrary(module) != FALSE; }
};
using ModuleHandle = UniqueHandle<ModuleTraits>;

// ExtractIconA answers 1 for a file that is neither an icon file nor a
// module: no icon, and never destroyed.
struct IconTraits {
  using Value = HICON;
  static HICON None() { return nullptr; }
  static bool IsValid(HICON icon) { return icon != nullptr && reinterpret_cast<UINT_PTR>(icon) != 1; }
  static bool Close(HICON icon) { return DestroyIcon(icon) != FALSE; }
};
using IconHandle = UniqueHandle<IconTraits>;

struct GlobalTraits {
  using Value = HGLOBAL;
  static HGLOBAL None() { return nullptr; }
  static bool IsValid(HGLOBAL block) { return block != nullptr; }
  static bool Close(HGLOBAL block) { return GlobalFree(block) == nullptr; }
};
using GlobalMemory = UniqueHandle<GlobalTraits>;
