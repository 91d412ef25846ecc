// The headers of a PE32 or PE32+ program as a writer needs them: every
// section's placement and where each field a rewrite changes lies in the
// file. PeImage reads what a lookup needs; this reads what a rewrite moves.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/byte_cursor.h"

struct PeSection {
  std::size_t header = 0;  // file offset of its 40-byte header
  std::string name;        // up to 8 bytes, cut at the first zero
  std::uint32_t virtualSize = 0;
  std::uint32_t virtualAddress = 0;
  std::uint32_t rawSize = 0;
  std::uint32_t rawOffset = 0;
  std::uint32_t characteristics = 0;

  // Where its addresses end: a module loaded as a data file finds an
  // address in a section's raw data, which may be longer than its virtual
  // size, so the longer of the two counts.
  std::uint64_t VirtualEnd() const { return std::uint64_t{virtualAddress} + std::max(virtualSize, rawSize); }
  std::uint64_t RawEnd() const { return std::uint64_t{rawOffset} + rawSize; }
};

struct PeHeaders {
  bool pe32Plus = false;
  std::size_t fileHeader = 0;  // the COFF header, after "PE\0\0"
  std::size_t optional = 0;
  std::size_t sectionTable = 0;
  std::uint32_t rvaCount = 0;
  std::uint32_t sectionAlignment = 0;
  std::uint32_t fileAlignment = 0;
  std::uint32_t sizeOfHeaders = 0;
  std::uint32_t checkSum = 0;
  std::vector<PeSection> sections;

  // File offset of data directory `index`'s address; its size follows.
  std::size_t DirectoryField(std::uint32_t index) const;
};

// False when the file holds no whole PE32 or PE32+ headers and section table.
bool ReadPeHeaders(ByteView file, PeHeaders* headers);

// Data directory `index`: address (a file offset for the certificate table)
// and size; zeros when the headers have fewer directories.
void ReadDataDirectory(ByteView file, const PeHeaders& headers, std::uint32_t index, std::uint32_t* address,
                       std::uint32_t* size);

// The file's checksum as MapFileAndCheckSum computes it: the 16-bit words
// summed with their carries folded back, the checksum field left out, plus
// the file's length.
std::uint32_t PeCheckSum(ByteView file, std::size_t checkSumField);
