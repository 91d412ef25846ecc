#include "module_loading.h"

#include <new>
#include <utility>

#include "formats/dos_header.h"
#include "formats/ne_module.h"
#include "platform/handles.h"

namespace {

// True when the file's DOS header leads to an "NE" header.
bool IsNeFile(RandomAccessFile& file) {
  std::uint8_t dosHeader[dos_header::kBytes];
  std::uint32_t header;
  std::uint8_t signature[2];
  return file.Read(0, dosHeader, sizeof dosHeader) &&
         dos_header::NewHeaderOffset(ByteView(dosHeader, sizeof dosHeader), &header) &&
         file.Read(header, signature, sizeof signature) &&
         ne_module::IsNeSignature(ByteView(signature, sizeof signature));
}

// A module the platform loaded, or null.
std::unique_ptr<ModuleResources> ResourcesOf(ModuleHandle loaded) {
  if (!loaded) return nullptr;
  return std::unique_ptr<ModuleResources>(new (std::nothrow) LoadedModuleResources(std::move(loaded)));
}

}  // namespace

std::unique_ptr<ModuleResources> LoadModuleResources(const char* path) {
  if (path == nullptr) return nullptr;
  RandomAccessFile file;
  if (file.Open(path)) return LoadModuleResources(std::move(file), path);
  // A file we may not open as we read it may still be one the system loads.
  return ResourcesOf(ModuleHandle(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)));
}

std::unique_ptr<ModuleResources> LoadModuleResources(RandomAccessFile file, const char* path) {
  if (IsNeFile(file)) {
    std::unique_ptr<NeModuleResources> module(new (std::nothrow) NeModuleResources);
    if (!module || !module->Open(std::move(file))) return nullptr;
    return module;
  }
  // The file stays open: the native build reads the module from it.
  return ResourcesOf(ModuleHandle(LoadDataModule(std::move(file), path)));
}
