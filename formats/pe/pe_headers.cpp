#include "pe_headers.h"

#include <algorithm>
#include <utility>

#include "formats/dos_header.h"
#include "pe_layout.h"

using namespace pe_layout;

std::size_t PeHeaders::DirectoryField(std::uint32_t index) const {
  return optional + RvaCountOffset(pe32Plus) + 4 + kDataDirectoryBytes * index;
}

namespace {

bool ReadSection(ByteView file, std::size_t header, PeSection* section) {
  section->header = header;
  for (std::size_t i = 0; i < kSectionNameBytes && file.Data()[header + i] != 0; ++i) {
    section->name.push_back(static_cast<char>(file.Data()[header + i]));
  }
  return file.U32(header + kVirtualSizeField, &section->virtualSize) &&
         file.U32(header + kVirtualAddressField, &section->virtualAddress) &&
         file.U32(header + kRawSizeField, &section->rawSize) &&
         file.U32(header + kRawOffsetField, &section->rawOffset) &&
         file.U32(header + kCharacteristicsField, &section->characteristics);
}

}  // namespace

bool ReadPeHeaders(ByteView file, PeHeaders* headers) {
  PeHeaders read;
  std::uint32_t lfanew, signature;
  std::uint16_t magic, sectionCount, optionalBytes;
  if (!dos_header::NewHeaderOffset(file, &lfanew) || !file.U32(lfanew, &signature) || signature != kNtSignature) {
    return false;
  }
  read.fileHeader = std::size_t{lfanew} + 4;
  read.optional = read.fileHeader + kFileHeaderBytes;
  if (!file.U16(read.fileHeader + kSectionCountField, &sectionCount) ||
      !file.U16(read.fileHeader + kOptionalBytesField, &optionalBytes) || !file.U16(read.optional, &magic) ||
      (magic != kPe32Magic && magic != kPe32PlusMagic)) {
    return false;
  }
  read.pe32Plus = magic == kPe32PlusMagic;
  read.sectionTable = read.optional + optionalBytes;
  if (!file.U32(read.optional + kSectionAlignmentField, &read.sectionAlignment) ||
      !file.U32(read.optional + kFileAlignmentField, &read.fileAlignment) ||
      !file.U32(read.optional + kSizeOfHeadersOffset, &read.sizeOfHeaders) ||
      !file.U32(read.optional + kCheckSumField, &read.checkSum) ||
      !file.U32(read.optional + RvaCountOffset(read.pe32Plus), &read.rvaCount) ||
      !file.Holds(read.sectionTable, std::uint64_t{sectionCount} * kSectionHeaderBytes)) {
    return false;
  }
  // Directories past the optional header are none.
  const std::uint64_t listed =
      (optionalBytes - std::min<std::uint64_t>(optionalBytes, RvaCountOffset(read.pe32Plus) + 4)) / kDataDirectoryBytes;
  if (read.rvaCount > listed) read.rvaCount = static_cast<std::uint32_t>(listed);
  read.sections.resize(sectionCount);
  for (std::uint16_t i = 0; i < sectionCount; ++i) {
    if (!ReadSection(file, read.sectionTable + std::size_t{i} * kSectionHeaderBytes, &read.sections[i])) return false;
  }
  *headers = std::move(read);
  return true;
}

void ReadDataDirectory(ByteView file, const PeHeaders& headers, std::uint32_t index, std::uint32_t* address,
                       std::uint32_t* size) {
  *address = 0;
  *size = 0;
  if (index >= headers.rvaCount) return;
  if (!file.U32(headers.DirectoryField(index), address) || !file.U32(headers.DirectoryField(index) + 4, size)) {
    *address = 0;
    *size = 0;
  }
}

std::uint32_t PeCheckSum(ByteView file, std::size_t checkSumField) {
  // Adding each 16-bit word with its carry folded back at once, as the
  // reference does, adds modulo 0xFFFF, giving 0 only for a file of zeros;
  // so does folding one wide sum at the end, and as 2^16 is 1 modulo 0xFFFF
  // a 32-bit word counts as its two halves do.
  std::uint64_t sum = 0;
  const std::uint8_t* bytes = file.Data();
  const std::size_t length = file.Length();
  std::size_t i = 0;
  for (; i + 4 <= length; i += 4) sum += LoadU32(bytes + i);
  for (; i + 2 <= length; i += 2) sum += LoadU16(bytes + i);
  if (i < length) sum += bytes[i];
  if (file.Holds(checkSumField, 4)) {
    // A multiple of 0xFFFF first, so that the field's words can be taken away.
    sum += 3 * 0xFFFFull - LoadU16(bytes + checkSumField) - LoadU16(bytes + checkSumField + 2);
  }
  while (sum > 0xFFFF) sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<std::uint32_t>(sum + length);
}
