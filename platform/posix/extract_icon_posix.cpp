// ExtractIconA of the native build: the first icon of an icon file or of a
// module, at the display's icon size.
#include "win32_api.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "icon_best_fit.h"
#include "icon_objects_posix.h"

namespace {

// Icon files larger than this are not looked into (256 images of 256 x 256
// at 32 bits take about 64 MiB).
constexpr long kMaxIconFileBytes = 128L * 1024 * 1024;
constexpr std::size_t kIconFileEntryBytes = 16;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A regular file opened for reading; null for anything else, without waiting
// on a named pipe for a writer.
std::FILE* OpenRegularFile(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info;
  std::FILE* file = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr) close(fd);
  return file;
}

std::uint32_t U16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The icon of the image of an icon file that best fits the display.
HICON IconFromIconFile(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return nullptr;
  long size = std::ftell(file);
  if (size < 0 || size > kMaxIconFileBytes || std::fseek(file, 0, SEEK_SET) != 0) return nullptr;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) return nullptr;
  const std::size_t length = bytes.size();
  std::size_t count = U16(bytes.data() + 4);
  std::vector<IconEntrySize> sizes;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t at = kGroupIconHeaderBytes + i * kIconFileEntryBytes;
    if (at > length || kIconFileEntryBytes > length - at) break;
    const std::uint8_t* entry = bytes.data() + at;
    IconEntrySize entrySize{entry[0], entry[1], static_cast<std::int32_t>(U16(entry + 6))};
    if (entrySize.width == 0 && entrySize.height == 0) entrySize.width = entrySize.height = 256;
    sizes.push_back(entrySize);
  }
  int best = BestIconEntry(sizes.data(), sizes.size(), 32, 32, 32);
  if (best < 0) return nullptr;
  const std::uint8_t* entry = bytes.data() + kGroupIconHeaderBytes + best * kIconFileEntryBytes;
  std::uint32_t imageBytes = U32(entry + 8);
  std::uint32_t offset = U32(entry + 12);
  if (offset > length || imageBytes > length - offset) return nullptr;
  return CreateIconFromResourceEx(bytes.data() + offset, imageBytes, TRUE, 0x30000, 0, 0,
                                  LR_DEFAULTSIZE);
}

class Module {
 public:
  explicit Module(HMODULE module) : module_(module) {}
  ~Module() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;
  HMODULE Get() const { return module_; }

 private:
  HMODULE module_;
};

struct FirstName {
  bool found = false;
  std::uintptr_t id = 0;  // when not 0, the name is this identifier
  std::string text;
  LPCSTR Argument() const { return id != 0 ? MAKEINTRESOURCEA(id) : text.c_str(); }
};

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
  auto* first = reinterpret_cast<FirstName*>(found);
  first->found = true;
  if (IS_INTRESOURCE(name)) {
    first->id = reinterpret_cast<std::uintptr_t>(name);
  } else {
    try {
      first->text = name;
    } catch (const std::bad_alloc&) {
      first->found = false;
    }
  }
  return FALSE;
}

// The bytes of a resource; null when it can't be found, loaded or locked.
const BYTE* ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size) {
  HRSRC found = FindResourceA(module, name, type);
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) return nullptr;
  *size = SizeofResource(module, found);
  return static_cast<const BYTE*>(LockResource(loaded));
}

// The icon of the first group icon of a module, at the display's size.
HICON IconFromModule(HMODULE module) {
  FirstName first;
  EnumResourceNamesA(module, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
  if (!first.found) return nullptr;
  DWORD groupSize = 0;
  const BYTE* group = ResourceBytes(module, first.Argument(), RT_GROUP_ICON, &groupSize);
  if (group == nullptr || groupSize < kGroupIconHeaderBytes) return nullptr;
  std::size_t count = U16(group + 4);
  if (count > (groupSize - kGroupIconHeaderBytes) / kGroupIconEntryBytes) return nullptr;
  int id = LookupIconIdFromDirectory(const_cast<BYTE*>(group), TRUE) & 0xFFFF;
  if (id == 0) return nullptr;
  DWORD imageSize = 0;
  const BYTE* image = ResourceBytes(module, MAKEINTRESOURCEA(id), RT_ICON, &imageSize);
  if (image == nullptr) return nullptr;
  return CreateIconFromResource(const_cast<BYTE*>(image), imageSize, TRUE, 0x30000);
}

}  // namespace

HICON ExtractIconA(HINSTANCE, LPCSTR path, UINT index) try {
  if (path == nullptr) return nullptr;
  File file(OpenRegularFile(path));
  if (!file) return nullptr;
  std::uint8_t header[6] = {};
  std::size_t got = std::fread(header, 1, sizeof header, file.get());
  if (got == sizeof header && U16(header) == 0 && U16(header + 2) == 1) {
    if (index != 0) return nullptr;
    return IconFromIconFile(file.get());
  }
  file.reset();
  Module module(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (module.Get() == nullptr) return NotAnIconSource();
  if (index != 0) return nullptr;
  return IconFromModule(module.Get());
} catch (const std::bad_alloc&) {
  return nullptr;
}
