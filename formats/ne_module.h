// 16-bit Windows modules (NE): the executables, libraries and fonts of
// Windows 3.x, and most .ICL icon libraries. The DOS header's e_lfanew leads
// to the "NE" header, whose resource table lies between its own offset and
// that of the resident names table:
//
//   shift                   u16: offsets and lengths count units of 2^shift bytes
//   type records, up to a type of 0:
//     type                  u16: 0x8000 | identifier, else the offset of its name
//     count                 u16: name records that follow
//     reserved              u32
//     count name records of 12 bytes:
//       offset, length      u16 each, in units (the length rounded up to one)
//       flags               u16
//       name                u16: 0x8000 | identifier, else the offset of its name
//       handle, usage       u16 each (the loader's, 0 in files)
//   names: a length byte and that many bytes of text (no terminating zero),
//   at offsets counted from the start of the table.
//
// A reader that holds the whole file parses it at once (Parse); one that
// reads a file lazily reads the NE header at the DOS header's e_lfanew,
// asks it where the table lies (TableRange), reads the table (at most
// 64 KiB) and opens the module over it (OpenTable), then reads each
// resource's bytes where Place says they lie, when they are needed.
//
// The whole table is checked once, when the module is read: every record
// and every name inside the table, the type list ended inside it, the shift
// at most limits::kMaxNeAlignShift. Offsets are summed in 64 bits; the
// table is at most 64 KiB (two 16-bit offsets bound it), which bounds the
// number of records, and the walk only goes forward.
#pragma once

#include <cstddef>
#include <cstdint>

#include "byte_cursor.h"
#include "dos_header.h"

namespace ne_module {

constexpr std::size_t kHeaderBytes = 64;
constexpr std::uint16_t kIntegerFlag = 0x8000;

// True when the bytes start with the "NE" signature.
bool IsNeSignature(ByteView bytes);

// A type or name as the table stores it.
struct ResourceId {
  bool isInteger = false;
  std::uint16_t id = 0;  // integer: without its flag
  ByteView text;         // text: its bytes, up to the first zero byte among them
};

struct Resource {
  ResourceId type;
  ResourceId name;
  std::uint64_t offset = 0;  // in the file
  std::uint64_t length = 0;  // rounded up to the alignment
};

// A type or name to look for: an identifier, or a text compared without
// regard to the case of ASCII letters (the code page of the text is the
// module's own).
struct Query {
  bool isInteger = true;
  std::uint16_t id = 0;
  const char* text = nullptr;
  std::size_t length = 0;
};

bool Matches(const ResourceId& stored, const Query& query);

class NeModule {
 public:
  // Reads the headers of `file`, which must stay valid while this object is
  // used. False when it is no NE module: no "MZ", e_lfanew outside the file,
  // no "NE", or a file cut inside the NE header. A resource table that
  // can't be read is no resource table (HasResources() is false).
  bool Parse(ByteView file);

  // Where the resource table of the module whose NE header (its first
  // kHeaderBytes, the DOS header's e_lfanew being `header`) is `newHeader`
  // lies in the file: [*start, *end). False when `newHeader` is cut short or
  // has no "NE".
  static bool TableRange(ByteView newHeader, std::uint32_t header, std::uint64_t* start, std::uint64_t* end);

  // Opens the module over the bytes of its resource table, read from the
  // range TableRange gave, which must stay valid while this object is used;
  // `tableRead` false when the range does not lie inside the file (there is
  // then no table). A table that can't be read is no resource table, as in
  // Parse. Bytes then gives nothing: the caller reads a resource at Place.
  void OpenTable(ByteView table, bool tableRead, std::uint64_t fileLength);

  bool HasResources() const { return hasResources_; }
  std::uint16_t AlignShift() const { return shift_; }

  // Calls visit(const Resource&) for each resource, in the table's order
  // (type records in order, the names of each in order), until it returns
  // false. False when the walk was stopped.
  template <typename Visit>
  bool ForEachResource(Visit visit) const;

  // The bytes of a resource: false when they do not start inside the file
  // or run past its end by a whole unit of alignment or more. A file may
  // end inside the last unit of its last resource (its padding is then not
  // there): the bytes run to the file's end.
  bool Bytes(const Resource& resource, ByteView* bytes) const;
  // Where those bytes lie in the file, by the same rules: false when they
  // can't be had.
  bool Place(const Resource& resource, std::uint64_t* offset, std::uint64_t* length) const;

 private:
  bool ReadResourceTable();
  bool NameInTable(std::uint16_t field) const;
  ResourceId Id(std::uint16_t field) const;
  bool RecordAt(std::size_t at, const ResourceId& type, Resource* out) const;

  ByteView file_;  // the whole file, when it was parsed whole
  std::uint64_t fileLength_ = 0;
  ByteView table_;
  bool hasResources_ = false;
  std::uint16_t shift_ = 0;
};

template <typename Visit>
bool NeModule::ForEachResource(Visit visit) const {
  if (!hasResources_) return true;
  // Checked when the table was read: every record is inside it and the list
  // ends inside it.
  std::size_t at = 2;
  std::uint16_t typeField = 0, count = 0;
  while (table_.U16(at, &typeField) && typeField != 0 && table_.U16(at + 2, &count)) {
    const ResourceId type = Id(typeField);
    for (std::uint16_t i = 0; i < count; ++i) {
      Resource resource;
      if (!RecordAt(at + 8 + 12 * std::size_t{i}, type, &resource)) return true;
      if (!visit(static_cast<const Resource&>(resource))) return false;
    }
    at += 8 + 12 * std::size_t{count};
  }
  return true;
}

}  // namespace ne_module
