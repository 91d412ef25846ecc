// Modules of the native build: the file is read into memory whole, and its
// resources are found with our own PE reader. Read, not mapped: a mapped file
// that another program shortens meanwhile faults (SIGBUS) on the pages it
// lost, where a copy stays as it was read. A module handle is the address of
// the loaded module; a resource handle is the address of its data entry in
// the file's bytes, as under Windows.
#include "win32_api.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <utility>

#include "formats/input_limits.h"
#include "platform/pe/pe_image.h"
#include "platform/pe/pe_resources.h"
#include "platform/pe/resource_names.h"

namespace {

// The native build has no Windows locale; it takes the languages of a U.S.
// English user and system.
constexpr std::uint16_t kNativeLanguage = 0x0409;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }
  void Reset(int fd) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

struct FreeBytes {
  void operator()(std::uint8_t* bytes) const { std::free(bytes); }
};

// A module is a block as long as the file, zero where nothing was read yet:
// the headers and the resource directory are read at once, each resource's
// data when it is loaded. Untouched zero pages cost no memory, and a module
// of many megabytes of code costs the reading of its resources only.
struct LoadedModule {
  LoadedModule() = default;
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;
  std::unique_ptr<std::uint8_t, FreeBytes> copy;
  const std::uint8_t* bytes = nullptr;
  std::size_t length = 0;
  FileDescriptor file;
  // The range read at once: the headers, then the resource directory.
  std::size_t readHeaders = 0;
  std::size_t readFrom = 0;
  std::size_t readTo = 0;
  PeImage image;
  PeResourceTree resources;
  bool hasResources = false;
};

LoadedModule* FromHandle(HMODULE module) { return reinterpret_cast<LoadedModule*>(module); }


// Reads [from, to) of the module's file into its block; false when the file
// comes up short there (shortened meanwhile) or can't be read.
bool ReadRange(LoadedModule* module, std::size_t from, std::size_t to) {
  auto* block = module->copy.get();
  for (std::size_t done = from; done < to;) {
    ssize_t n = pread(module->file.Get(), block + done, to - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Where the headers of every real module lie, read before they are parsed.
constexpr std::size_t kHeaderProbeBytes = 64 * 1024;

// Opens the file as long as it was when opened and reads its headers; false
// when it is no regular file, is beyond the largest module, or comes up
// short.
bool OpenModuleFile(const char* path, LoadedModule* module) {
  // Without O_NONBLOCK, opening a named pipe would wait for a writer.
  module->file.Reset(open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info;
  if (module->file.Get() < 0 || fstat(module->file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
      info.st_size <= 0 || static_cast<std::uint64_t>(info.st_size) > limits::kMaxModuleBytes) {
    return false;
  }
  module->length = static_cast<std::size_t>(info.st_size);
  module->copy.reset(static_cast<std::uint8_t*>(std::calloc(module->length, 1)));
  if (!module->copy) return false;
  module->bytes = module->copy.get();
  module->readHeaders = module->length < kHeaderProbeBytes ? module->length : kHeaderProbeBytes;
  return ReadRange(module, 0, module->readHeaders);
}

// The headers, and then the resource directory, read and parsed.
bool ReadModule(LoadedModule* module) {
  if (!module->image.Parse(module->bytes, module->length)) {
    // Headers further in than the probe: the whole file, as it is.
    if (module->readHeaders == module->length || !ReadRange(module, module->readHeaders, module->length)) {
      return false;
    }
    module->readHeaders = module->length;
    if (!module->image.Parse(module->bytes, module->length)) return false;
  }
  std::size_t root, end;
  if (module->image.ResourceRange(&root, &end)) {
    if (!ReadRange(module, root, end)) return false;
    module->readFrom = root;
    module->readTo = end;
  }
  module->hasResources = module->resources.Open(module->image);
  return true;
}

// The data of a resource, read when it lies outside what was read at once.
bool ReadResourceData(const LoadedModule* module, const std::uint8_t* bytes, std::size_t size) {
  const std::size_t from = static_cast<std::size_t>(bytes - module->bytes);
  const std::size_t to = from + size;
  if (to <= module->readHeaders || (from >= module->readFrom && to <= module->readTo)) return true;
  return ReadRange(const_cast<LoadedModule*>(module), from, to);
}

// How a name or type argument reads: an identifier below 65536, else a text.
bool QueryFromArgument(LPCSTR argument, PeResourceQuery* query) {
  if (IS_INTRESOURCE(argument)) {
    *query = PeResourceQuery::Id(static_cast<std::uint16_t>(reinterpret_cast<ULONG_PTR>(argument)));
    return true;
  }
  return ParseNarrowResourceName(argument, query);
}

// The data entry behind a resource handle, checked to be one of this module.
bool DataEntryOf(const LoadedModule* module, HRSRC resource, PeResourceData* data) {
  if (module == nullptr || resource == nullptr || !module->hasResources) return false;
  auto base = reinterpret_cast<std::uintptr_t>(module->bytes);
  auto at = reinterpret_cast<std::uintptr_t>(resource);
  if (at < base || at - base >= module->length) return false;
  std::size_t offset = at - base;
  std::size_t root = module->resources.FileOffset(0);
  if (offset < root) return false;
  std::size_t fromRoot = offset - root;
  if (fromRoot > UINT32_MAX) return false;
  return module->resources.DataEntry(static_cast<std::uint32_t>(fromRoot), data);
}

}  // namespace

HMODULE LoadLibraryExA(LPCSTR path, HANDLE file, DWORD flags) {
  constexpr DWORD kAsData =
      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE;
  if (path == nullptr || file != nullptr || (flags & kAsData) == 0) return nullptr;
  std::unique_ptr<LoadedModule> module(new (std::nothrow) LoadedModule);
  if (!module || !OpenModuleFile(path, module.get()) || !ReadModule(module.get())) return nullptr;
  return reinterpret_cast<HMODULE>(module.release());
}

BOOL FreeLibrary(HMODULE module) {
  if (module == nullptr) return FALSE;
  delete FromHandle(module);
  return TRUE;
}

BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR param) {
  const LoadedModule* loaded = FromHandle(module);
  if (loaded == nullptr || callback == nullptr || !loaded->hasResources) return FALSE;
  try {
    PeResourceQuery typeQuery;
    PeResourceTable names;
    if (!QueryFromArgument(type, &typeQuery) || !FindTypeTable(loaded->resources, typeQuery, &names)) {
      return FALSE;
    }
    BOOL result = FALSE;
    std::string text;
    for (std::uint32_t i = 0; i < names.count; ++i) {
      PeResourceEntry entry;
      if (!loaded->resources.Entry(names, i, &entry)) return FALSE;
      if (entry.named) {
        text = Utf16ToUtf8(loaded->resources.Name(entry));
        result = callback(module, type, &text[0], param);
      } else {
        result = callback(module, type, MAKEINTRESOURCEA(entry.id), param);
      }
      if (!result) break;
    }
    return result;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  const LoadedModule* loaded = FromHandle(module);
  if (loaded == nullptr || !loaded->hasResources) return nullptr;
  try {
    PeResourceQuery nameQuery, typeQuery;
    std::uint32_t dataEntry;
    PeLanguageOrder order = LoaderLanguageOrder(0, kNativeLanguage, kNativeLanguage, kNativeLanguage);
    if (!QueryFromArgument(name, &nameQuery) || !QueryFromArgument(type, &typeQuery) ||
        !FindResourceDataEntry(loaded->resources, typeQuery, nameQuery, order, &dataEntry)) {
      return nullptr;
    }
    return reinterpret_cast<HRSRC>(
        const_cast<std::uint8_t*>(loaded->bytes + loaded->resources.FileOffset(dataEntry)));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  const LoadedModule* loaded = FromHandle(module);
  PeResourceData data;
  const std::uint8_t* bytes;
  if (!DataEntryOf(loaded, resource, &data) || !ResourceBytes(loaded->image, data, &bytes) ||
      !ReadResourceData(loaded, bytes, data.size)) {
    return nullptr;
  }
  return const_cast<std::uint8_t*>(bytes);
}

LPVOID LockResource(HGLOBAL resource) { return resource; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  PeResourceData data;
  if (!DataEntryOf(FromHandle(module), resource, &data)) return 0;
  return data.size;
}
