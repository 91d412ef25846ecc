// A module loaded by the core, freed when its owner goes.
#pragma once

#include <utility>

#include "platform/platform.h"

class ModuleHandle {
 public:
  ModuleHandle() = default;
  explicit ModuleHandle(HMODULE module) : module_(module) {}
  ~ModuleHandle() { Free(); }
  ModuleHandle(ModuleHandle&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  ModuleHandle& operator=(ModuleHandle&& other) noexcept {
    if (this != &other) {
      Free();
      module_ = std::exchange(other.module_, nullptr);
    }
    return *this;
  }
  ModuleHandle(const ModuleHandle&) = delete;
  ModuleHandle& operator=(const ModuleHandle&) = delete;

  HMODULE Get() const { return module_; }
  explicit operator bool() const { return module_ != nullptr; }

  void Free() {
    if (module_ != nullptr) FreeLibrary(std::exchange(module_, nullptr));
  }

 private:
  HMODULE module_ = nullptr;
};
