// The resources of a module, read through one interface whatever reads the
// file: a module the platform loads as a data file (PE files: kernel32, or
// our PE reader in the native build), or a 16-bit (NE) module that our own
// reader reads in both builds, since the system can't load one as data. The
// core reads group icons through it, and the native platform's own
// ExtractIconA the first icon of a module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "formats/byte_cursor.h"
#include "formats/ne_module.h"
#include "handles.h"
#include "random_access_file.h"
#include "platform.h"

// Resources found and listed as FindResourceA and EnumResourceNamesA find
// and list them. A type or name is an integer identifier when its value is
// below 65536 (MAKEINTRESOURCEA), "#n" stands for the identifier n, and any
// other text is compared without regard to case.
class ModuleResources {
 public:
  virtual ~ModuleResources() = default;

  // What looking a resource up came to: found, not there, or listed by the
  // directory but its bytes can't be had (the file was shortened by another
  // program since it was loaded, or ends before them).
  enum class Lookup { kFound, kMissing, kUnreadable };

  // The bytes of resource `name` of `type` in `language` as FindResourceExA
  // finds it (0, neutral: as FindResourceA does). They stay valid while this
  // object lives.
  virtual Lookup FindInLanguage(LPCSTR name, LPCSTR type, WORD language, ByteView* bytes) const = 0;
  // The same as FindResourceA finds it; false when it is not found.
  bool Find(LPCSTR name, LPCSTR type, ByteView* bytes) const {
    return FindInLanguage(name, type, 0, bytes) == Lookup::kFound;
  }

  // The languages resource `name` of `type` is held in, in the directory's
  // order; none for a module without languages (16-bit) or no such resource.
  virtual std::vector<WORD> Languages(LPCSTR name, LPCSTR type) const = 0;

  // Calls `callback` for each resource of `type` as EnumResourceNamesA does
  // (a text name valid only during the call); its module argument is null
  // for a module the platform has not loaded. The result is the last call's,
  // or FALSE, before any call, when there is no resource of that type.
  virtual BOOL EnumerateNames(LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR param) const = 0;

  // The bytes of the icon image that a group entry claiming `entryBytes`
  // names, from the bytes of its icon resource.
  virtual ByteView EntryImage(ByteView resource, std::uint32_t entryBytes) const = 0;

  // Where bytes this object gave (or a part of them) lie in the module's
  // file, for those who look at the file itself; false when that can't be
  // told.
  virtual bool FileOffset(const void* bytes, std::uint64_t* offset) const = 0;

 protected:
  ModuleResources() = default;
  ModuleResources(const ModuleResources&) = default;
  ModuleResources& operator=(const ModuleResources&) = default;
};

// A module the platform has loaded, through FindResourceA, LoadResource,
// LockResource, SizeofResource and EnumResourceNamesA. Its resources are
// exactly as long as its directory says.
class LoadedModuleResources : public ModuleResources {
 public:
  // Borrows the module, which must stay loaded while this object lives.
  explicit LoadedModuleResources(HMODULE module) : module_(module) {}
  // Holds the module and frees it at the end.
  explicit LoadedModuleResources(ModuleHandle module) : module_(module.Get()), owned_(std::move(module)) {}

  Lookup FindInLanguage(LPCSTR name, LPCSTR type, WORD language, ByteView* bytes) const override;
  std::vector<WORD> Languages(LPCSTR name, LPCSTR type) const override;
  BOOL EnumerateNames(LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR param) const override;
  ByteView EntryImage(ByteView resource, std::uint32_t) const override { return resource; }
  bool FileOffset(const void* bytes, std::uint64_t* offset) const override;

 private:
  HMODULE module_;
  ModuleHandle owned_;
};

// A 16-bit (NE) module read by our own reader as a PE module is read: its
// headers and resource table when it is opened, each resource's bytes when
// it is first found (kept while this object lives), so that a module of
// any size costs what is asked of it. Resources whose bytes overlap (as no
// linker lays them out) would cost a copy each: once the bytes read pass
// the span all resources lie in, that span is read once and each resource
// is a part of it. Names are handed on as the table stores them, bytes in
// the module's code page.
class NeModuleResources : public ModuleResources {
 public:
  // Takes the file (or the bytes it holds). False, keeping nothing, when it
  // is no NE module or its headers can't be read.
  bool Open(RandomAccessFile file);
  // The same over the file's bytes, a block of the C heap it takes.
  bool Open(HeapPtr<std::uint8_t> bytes, std::size_t length);

  // Of one language, any asked for.
  Lookup FindInLanguage(LPCSTR name, LPCSTR type, WORD language, ByteView* bytes) const override;
  std::vector<WORD> Languages(LPCSTR, LPCSTR) const override { return {}; }
  BOOL EnumerateNames(LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR param) const override;
  // A resource's length is rounded up to the table's alignment: an image is
  // as long as its entry says, never longer than its resource.
  ByteView EntryImage(ByteView resource, std::uint32_t entryBytes) const override;
  bool FileOffset(const void* bytes, std::uint64_t* offset) const override;

 private:
  // The bytes of a resource the table lists, read once.
  bool Bytes(const ne_module::Resource& resource, ByteView* bytes) const;

  HeapPtr<std::uint8_t> bytes_;  // what a module opened over bytes holds
  mutable RandomAccessFile file_;
  std::vector<std::uint8_t> table_;
  ne_module::NeModule module_;
  // By file offset and length: a block once handed out stays.
  mutable std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<std::uint8_t>> read_;
  mutable std::uint64_t readBytes_ = 0;  // of the blocks in read_
  // Where the resources the table places lie, from the first byte of any to
  // the last; read whole (once) when the blocks would pass its length.
  std::uint64_t spanStart_ = 0;
  std::uint64_t spanLength_ = 0;
  mutable std::vector<std::uint8_t> span_;
};

// An icon of group-icon resource `name`, in the image that best fits the
// display; null on any failure, without a message. The icon belongs to the
// caller.
HICON IconOfGroupResource(const ModuleResources& module, LPCSTR name);
HICON IconOfGroupResource(HMODULE module, LPCSTR name);
