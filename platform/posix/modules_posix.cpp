// Modules of the native build: the file's headers and resource directory
// are read into memory when it is loaded, each resource's data when it is
// loaded, and its resources are found with our own PE reader. Read, not
// mapped: a mapped file that another program shortens meanwhile faults
// (SIGBUS) on the pages it lost, where a copy stays as it was read. A module
// handle is the address of the loaded module; a resource handle is the
// address of its data entry in the copy of the resource directory, as under
// Windows it is in the mapped file.
#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "formats/input_limits.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/pe_resources.h"
#include "formats/pe/resource_names.h"
#include "platform/handles.h"
#include "platform/random_access_file.h"
#include "win32_api.h"

namespace {

// The native build has no Windows locale; it takes the languages of a U.S.
// English user and system.
constexpr std::uint16_t kNativeLanguage = 0x0409;

// Where the headers of nearly every module lie (linkers align them to a page
// at most), read before they are parsed.
constexpr std::size_t kHeaderProbeBytes = 4096;

// A resource section up to this size is read whole when the module is
// loaded. Of a larger one, this much is read first: it holds the whole
// directory of nearly every module (tables, names and data entries come
// before the data). Where the directory goes on past it, as much again is
// read after it, and so on, into room reserved for up to a few megabytes of
// the section (room never read costs nothing); the rest, mostly data nobody
// may ask for, is read only when a resource is loaded.
constexpr std::size_t kDirectoryProbeBytes = 64 * 1024;
constexpr std::uint32_t kDirectoryProbeEntries = 1u << 16;
constexpr std::size_t kDirectoryRoomBytes = 16 * 1024 * 1024;

// The first resources asked for are each read on their own, exactly: a
// thumbnail or one icon needs a group and its dozen images, and reading a
// window around each of them read and faulted in ten times what they hold.
constexpr std::size_t kResourcesReadAlone = 32;

// Past those, resource data outside the directory's copy is read a window
// of this size at a time, aligned to it: the images of a group, and the
// groups, lie side by side, and one read then serves dozens of them
// (extracting every icon of a library read each image on its own, a system
// call apiece). A resource larger than half a window, or one that crosses a
// window's end, is read on its own.
constexpr std::size_t kDataWindowBytes = 128 * 1024;

// The first windows take a block each; the rest are carved from blocks of
// 2 MiB that the system may back with one large page each: a module whose
// every icon is read fills megabytes, and faulting them in page by page
// cost more than reading them.
constexpr std::size_t kWindowsOnTheirOwn = 4;
constexpr std::size_t kWindowBlockBytes = 2 * 1024 * 1024;

// A copy of the bytes [offset, offset + length) of the module's file, in a
// block of its own or in the module's window blocks.
struct FileBytes {
  HeapPtr<std::uint8_t> bytes;  // null for a copy in a window block
  const std::uint8_t* data = nullptr;
  std::size_t offset = 0;
  std::size_t length = 0;

  bool Holds(std::size_t from, std::size_t size) const {
    return from >= offset && size <= length && from - offset <= length - size;
  }
  const std::uint8_t* At(std::size_t from) const { return data + (from - offset); }
  ByteView View() const { return ByteView(data, length); }
};

// Only what the resources need is read, each part into a block of its own
// (blocks the heap hands out again, module after module), so that a module of
// many megabytes of code costs the reading of its resources only.
struct LoadedModule {
  RandomAccessFile file;
  FileBytes headers;
  FileBytes directory;
  // The data of resources outside the directory's section, by file offset
  // and length (a window's: its offset and 0): a block once handed out
  // stays while the module is loaded.
  std::map<std::pair<std::size_t, std::size_t>, FileBytes> data;
  // The same parts by where they are in memory, to tell where bytes handed
  // out lie in the file.
  std::map<const std::uint8_t*, const FileBytes*> dataByAddress;
  PeImage image;
  PeResourceTree resources;
  bool hasResources = false;
  // The blocks windows are carved from, and how much of the last is taken.
  std::vector<HeapPtr<std::uint8_t>> windowBlocks;
  std::size_t windowBlockUsed = kWindowBlockBytes;
  std::size_t windowsRead = 0;
  std::size_t resourcesRead = 0;
};

LoadedModule* FromHandle(HMODULE module) { return reinterpret_cast<LoadedModule*>(module); }

// Reads `length` bytes from `offset` of the module's file into a block of
// their own; false when the file comes up short there (shortened meanwhile)
// or can't be read.
bool ReadFileBytes(RandomAccessFile& file, std::size_t offset, std::size_t length, FileBytes* out) {
  // One byte at least, so that an empty range still gives a block.
  HeapPtr<std::uint8_t> block(static_cast<std::uint8_t*>(std::malloc(length != 0 ? length : 1)));
  if (!block || !file.Read(offset, block.get(), length)) return false;
  out->bytes = std::move(block);
  out->data = out->bytes.get();
  out->offset = offset;
  out->length = length;
  return true;
}

// Room for one more window in the module's window blocks; null while the
// module has read few windows yet (each then takes a block of its own) or
// when no block can be had.
std::uint8_t* WindowRoom(LoadedModule* module) {
  if (module->windowsRead++ < kWindowsOnTheirOwn) return nullptr;
  if (kDataWindowBytes > kWindowBlockBytes - module->windowBlockUsed) {
    void* block = nullptr;
    if (posix_memalign(&block, kWindowBlockBytes, kWindowBlockBytes) != 0) return nullptr;
    HeapPtr<std::uint8_t> owned(static_cast<std::uint8_t*>(block));
#ifdef MADV_HUGEPAGE
    madvise(block, kWindowBlockBytes, MADV_HUGEPAGE);
#endif
    module->windowBlocks.push_back(std::move(owned));
    module->windowBlockUsed = 0;
  }
  std::uint8_t* room = module->windowBlocks.back().get() + module->windowBlockUsed;
  module->windowBlockUsed += kDataWindowBytes;
  return room;
}

// The headers, and then the resource directory, read and parsed.
bool ReadModule(LoadedModule* module) {
  const std::size_t length = static_cast<std::size_t>(module->file.Length());
  std::size_t probe = length < kHeaderProbeBytes ? length : kHeaderProbeBytes;
  if (!ReadFileBytes(module->file, 0, probe, &module->headers)) return false;
  if (!module->image.Parse(module->headers.View(), length)) {
    // Headers further in than the probe: the file's start holds them.
    const std::size_t start = length < limits::kMaxModuleBytes ? length : limits::kMaxModuleBytes;
    if (probe == length || !PeImage::MayStartPe(module->headers.View()) ||
        !ReadFileBytes(module->file, 0, start, &module->headers) ||
        !module->image.Parse(module->headers.View(), length)) {
      return false;
    }
  }
  std::size_t root, end;
  if (!module->image.ResourceRange(&root, &end)) return true;
  const std::size_t section = end - root;
  std::size_t room = section < kDirectoryRoomBytes ? section : kDirectoryRoomBytes;
  HeapPtr<std::uint8_t> block(static_cast<std::uint8_t*>(std::malloc(room != 0 ? room : 1)));
  if (!block) return false;
  std::size_t read = 0;
  for (std::size_t wanted = kDirectoryProbeBytes;; wanted *= 2) {
    if (wanted > section) wanted = section;
    // A directory that goes on past the room reserved: more room, moved.
    if (wanted > room) {
      std::uint8_t* moved = static_cast<std::uint8_t*>(std::realloc(block.get(), wanted));
      if (moved == nullptr) return false;
      static_cast<void>(block.release());
      block.reset(moved);
      room = wanted;
    }
    if (!module->file.Read(root + read, block.get() + read, wanted - read)) return false;
    read = wanted;
    module->resources.Open(ByteView(block.get(), read));
    if (read == section || module->resources.AllReachableInside(kDirectoryProbeEntries)) break;
  }
  module->directory.data = block.get();
  module->directory.offset = root;
  module->directory.length = read;
  module->directory.bytes = std::move(block);
  module->hasResources = true;
  return true;
}

// The data of a resource: in the copy of the headers or of the directory's
// section when it lies there, else read (once) into a block of its own.
const std::uint8_t* ResourceData(LoadedModule* module, std::size_t offset, std::size_t size) {
  if (module->directory.Holds(offset, size)) return module->directory.At(offset);
  if (module->headers.Holds(offset, size)) return module->headers.At(offset);
  const std::size_t fileLength = static_cast<std::size_t>(module->file.Length());
  const std::size_t window = offset - offset % kDataWindowBytes;
  const bool inWindow = module->resourcesRead >= kResourcesReadAlone && size <= kDataWindowBytes / 2 &&
                        offset - window <= kDataWindowBytes - size && window < fileLength;
  const auto key = inWindow ? std::make_pair(window, std::size_t{0}) : std::make_pair(offset, size);
  auto known = module->data.find(key);
  if (known != module->data.end()) {
    return known->second.Holds(offset, size) ? known->second.At(offset) : nullptr;
  }
  ++module->resourcesRead;
  FileBytes bytes;
  const std::size_t from = inWindow ? window : offset;
  const std::size_t length =
      inWindow ? (fileLength - window < kDataWindowBytes ? fileLength - window : kDataWindowBytes) : size;
  std::uint8_t* room = inWindow ? WindowRoom(module) : nullptr;
  if (room != nullptr) {
    if (!module->file.Read(from, room, length)) return nullptr;
    bytes.data = room;
    bytes.offset = from;
    bytes.length = length;
  } else if (!ReadFileBytes(module->file, from, length, &bytes)) {
    return nullptr;
  }
  FileBytes& kept = module->data.emplace(key, std::move(bytes)).first->second;
  module->dataByAddress.emplace(kept.data, &kept);
  // A resource said to run past the file's end.
  return kept.Holds(offset, size) ? kept.At(offset) : nullptr;
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
  auto base = reinterpret_cast<std::uintptr_t>(module->directory.bytes.get());
  auto at = reinterpret_cast<std::uintptr_t>(resource);
  if (at < base || at - base >= module->directory.length) return false;
  std::size_t fromRoot = at - base;
  if (fromRoot > UINT32_MAX) return false;
  return module->resources.DataEntry(static_cast<std::uint32_t>(fromRoot), data);
}

}  // namespace

HMODULE LoadDataModule(RandomAccessFile file, const char*) {
  std::unique_ptr<LoadedModule> module(new (std::nothrow) LoadedModule);
  if (!module) return nullptr;
  module->file = std::move(file);
  try {
    if (!ReadModule(module.get())) return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return reinterpret_cast<HMODULE>(module.release());
}

bool ModuleFileOffset(HMODULE handle, const void* bytes, std::uint64_t* offset) {
  const LoadedModule* module = FromHandle(handle);
  if (module == nullptr) return false;
  const auto* at = static_cast<const std::uint8_t*>(bytes);
  const auto place = [at, offset](const FileBytes& part) {
    if (part.data == nullptr || at < part.data || at - part.data >= static_cast<std::ptrdiff_t>(part.length)) {
      return false;
    }
    *offset = part.offset + static_cast<std::uint64_t>(at - part.data);
    return true;
  };
  if (place(module->headers) || place(module->directory)) return true;
  auto after = module->dataByAddress.upper_bound(at);
  return after != module->dataByAddress.begin() && place(*(--after)->second);
}

HMODULE LoadLibraryExA(LPCSTR path, HANDLE file, DWORD flags) {
  constexpr DWORD kAsData =
      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE;
  if (path == nullptr || file != nullptr || (flags & kAsData) == 0) return nullptr;
  RandomAccessFile opened;
  if (!opened.Open(path)) return nullptr;
  return LoadDataModule(std::move(opened), path);
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
    // Entries may share one name: it is converted once for a run of them.
    std::uint32_t textOffset = UINT32_MAX;
    for (std::uint32_t i = 0; i < names.count; ++i) {
      PeResourceEntry entry;
      if (!loaded->resources.Entry(names, i, &entry)) return FALSE;
      if (entry.named) {
        if (entry.nameOffset != textOffset) text = Utf16ToUtf8(loaded->resources.Name(entry));
        textOffset = entry.nameOffset;
        // The callback may write into the text it is handed.
        std::string handed = text;
        result = callback(module, type, &handed[0], param);
      } else {
        result = callback(module, type, MAKEINTRESOURCEA(entry.id), param);
      }
      if (!result) break;
    }
    return result;
  } catch (const std::bad_alloc&) {
    // As the system says it: the names could not all be listed.
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
}

BOOL EnumResourceLanguagesA(HMODULE module, LPCSTR type, LPCSTR name, ENUMRESLANGPROCA callback, LONG_PTR param) {
  const LoadedModule* loaded = FromHandle(module);
  if (loaded == nullptr || callback == nullptr || !loaded->hasResources) return FALSE;
  try {
    PeResourceQuery nameQuery, typeQuery;
    PeResourceTable languages;
    if (!QueryFromArgument(name, &nameQuery) || !QueryFromArgument(type, &typeQuery) ||
        !FindLanguageTable(loaded->resources, typeQuery, nameQuery, &languages)) {
      return FALSE;
    }
    BOOL result = FALSE;
    for (std::uint32_t i = 0; i < languages.count; ++i) {
      PeResourceEntry entry;
      // A named entry is no language: the loader never finds it.
      if (!loaded->resources.Entry(languages, i, &entry)) return FALSE;
      if (entry.named) continue;
      result = callback(module, type, name, entry.id, param);
      if (!result) break;
    }
    return result;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) { return FindResourceExA(module, type, name, 0); }

HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
  const LoadedModule* loaded = FromHandle(module);
  if (loaded == nullptr || !loaded->hasResources) return nullptr;
  try {
    PeResourceQuery nameQuery, typeQuery;
    std::uint32_t dataEntry;
    PeLanguageOrder order = LoaderLanguageOrder(language, kNativeLanguage, kNativeLanguage, kNativeLanguage);
    if (!QueryFromArgument(name, &nameQuery) || !QueryFromArgument(type, &typeQuery) ||
        !FindResourceDataEntry(loaded->resources, typeQuery, nameQuery, order, &dataEntry)) {
      return nullptr;
    }
    return reinterpret_cast<HRSRC>(loaded->directory.bytes.get() + dataEntry);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
  LoadedModule* loaded = FromHandle(module);
  PeResourceData data;
  std::size_t offset;
  if (!DataEntryOf(loaded, resource, &data) || !ResourceFileOffset(loaded->image, data, &offset)) return nullptr;
  try {
    return const_cast<std::uint8_t*>(ResourceData(loaded, offset, data.size));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

LPVOID LockResource(HGLOBAL resource) { return resource; }

DWORD SizeofResource(HMODULE module, HRSRC resource) {
  PeResourceData data;
  if (!DataEntryOf(FromHandle(module), resource, &data)) return 0;
  return data.size;
}
