// The headers of a PE32 or PE32+ file, read as the Windows loader reads a
// module it maps as a data file: the file is one flat block, and an address
// (RVA) is found through the section table. Only the file's first bytes, as
// far as the headers go, need be in memory.
#pragma once

#include <cstddef>
#include <cstdint>

#include "formats/byte_cursor.h"

class PeImage {
 public:
  // Reads the headers from `start`, the first bytes of a file of
  // `fileLength` bytes, which must stay valid while this object is used.
  // False when the file is no PE32 or PE32+ module: no "MZ", e_lfanew
  // outside the file, no "PE\0\0", an optional header of another kind, or a
  // file cut inside any header or the section table; also when the headers
  // go on past `start`. The machine is not looked at.
  bool Parse(ByteView start, std::uint64_t fileLength);
  // The same for a file held whole in [data, data + length).
  bool Parse(const std::uint8_t* data, std::size_t length) { return Parse(ByteView(data, length), length); }
  // False when the file's first bytes show it is no PE module; true when
  // they may be the start of one, its headers going on past them.
  static bool MayStartPe(ByteView start);

  // The bytes Parse was given, and the length of the whole file.
  const ByteView& Start() const { return start_; }
  std::uint64_t FileLength() const { return fileLength_; }
  bool IsPe32Plus() const { return pe32Plus_; }
  std::uint16_t SectionCount() const { return sectionCount_; }

  // Where the byte at `rva` is in the file: in the first section, in table
  // order, whose raw data covers it (as the loader does for a data file, so
  // that of overlapping sections the first wins). `end` is where that
  // section's raw data ends, cut to the file's end. An address below
  // SizeOfHeaders is that offset, up to the file's end. False when neither
  // covers the address or the section's raw data starts past the file.
  bool RvaToFileOffset(std::uint32_t rva, std::size_t* offset, std::size_t* end) const;

  // The file range of the resource directory: from its root to the end of
  // the raw data of the section that holds it, whatever size the data
  // directory gives. False when the module has none: fewer than three data
  // directories, address 0, or an address that maps to nothing in the file.
  bool ResourceRange(std::size_t* root, std::size_t* end) const;

 private:
  ByteView start_;
  std::uint64_t fileLength_ = 0;
  bool pe32Plus_ = false;
  std::uint16_t sectionCount_ = 0;
  std::size_t sectionTable_ = 0;
  std::uint32_t sizeOfHeaders_ = 0;
  std::uint32_t resourceRva_ = 0;
};
