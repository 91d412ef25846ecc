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

#include "formats/icon_directory.h"
#include "formats/input_limits.h"
#include "icon_best_fit.h"
#include "icon_objects_posix.h"
#include "long_path.h"
#include "platform/handles.h"
#include "platform/module_resources.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A regular file opened for reading; null for anything else, without waiting
// on a named pipe for a writer.
std::FILE* OpenRegularFile(const char* path) {
  int fd = long_path::Open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info;
  std::FILE* file = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr) close(fd);
  return file;
}

// The icon of the image of an icon file that best fits the display.
HICON IconFromIconFile(std::FILE* file) {
  if (std::fseek(file, 0, SEEK_END) != 0) return nullptr;
  long size = std::ftell(file);
  if (size < 0 || static_cast<std::uint64_t>(size) > limits::kMaxIconFileBytes ||
      std::fseek(file, 0, SEEK_SET) != 0) {
    return nullptr;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) return nullptr;
  ByteCursor cursor(bytes.data(), bytes.size());
  icon_directory::Header header;
  if (!icon_directory::ReadHeader(cursor, &header)) return nullptr;
  std::vector<icon_directory::Entry> entries;
  std::vector<IconEntrySize> sizes;
  icon_directory::Entry entry;
  for (std::size_t i = 0; i < header.count && icon_directory::ReadFileEntry(cursor, &entry); ++i) {
    entries.push_back(entry);
    sizes.push_back(EntrySize(entry));
  }
  int best = BestIconEntry(sizes.data(), sizes.size(), 32, 32, 32);
  if (best < 0) return nullptr;
  const icon_directory::Entry& chosen = entries[static_cast<std::size_t>(best)];
  ByteView image = ByteView(bytes.data(), bytes.size()).Sub(chosen.fileOffset, chosen.bytes);
  if (image.Data() == nullptr) return nullptr;
  return CreateIconFromResourceEx(const_cast<std::uint8_t*>(image.Data()), chosen.bytes, TRUE, 0x30000,
                                  0, 0, LR_DEFAULTSIZE);
}

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

// The icon of the first group icon of a module, at the display's size.
HICON IconFromModule(HMODULE module) {
  FirstName first;
  EnumResourceNamesA(module, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&first));
  if (!first.found) return nullptr;
  return IconOfGroupResource(module, first.Argument());
}

}  // namespace

HICON ExtractIconA(HINSTANCE, LPCSTR path, UINT index) try {
  if (path == nullptr) return nullptr;
  File file(OpenRegularFile(path));
  if (!file) return nullptr;
  std::uint8_t bytes[icon_directory::kHeaderBytes] = {};
  std::size_t got = std::fread(bytes, 1, sizeof bytes, file.get());
  ByteCursor cursor(bytes, got);
  icon_directory::Header header;
  if (icon_directory::ReadHeader(cursor, &header) && icon_directory::IsIconHeader(header)) {
    if (index != 0) return nullptr;
    return IconFromIconFile(file.get());
  }
  file.reset();
  ModuleHandle module(LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return NotAnIconSource();
  if (index != 0) return nullptr;
  return IconFromModule(module.Get());
} catch (const std::bad_alloc&) {
  return nullptr;
}
