#include "pe_image.h"

#include "formats/dos_header.h"
#include "pe_layout.h"

namespace {

using pe_layout::kFileHeaderBytes;
using pe_layout::kNtSignature;
using pe_layout::kPe32Magic;
using pe_layout::kPe32PlusMagic;
using pe_layout::kResourceDirectory;
using pe_layout::kSectionHeaderBytes;
using pe_layout::kSizeOfHeadersOffset;
using pe_layout::RvaCountOffset;

}  // namespace

bool PeImage::Parse(ByteView start, std::uint64_t fileLength) {
  *this = PeImage();
  if (start.Length() > fileLength) return false;
  const ByteView& file = start;

  std::uint32_t lfanew;
  if (!dos_header::NewHeaderOffset(file, &lfanew)) return false;

  std::uint64_t fileHeader = std::uint64_t{lfanew} + 4;
  std::uint32_t ntSignature;
  std::uint16_t sectionCount, optionalBytes;
  if (!file.U32(lfanew, &ntSignature) || ntSignature != kNtSignature ||
      !file.Holds(fileHeader, kFileHeaderBytes) || !file.U16(fileHeader + 2, &sectionCount) ||
      !file.U16(fileHeader + 16, &optionalBytes)) {
    return false;
  }

  std::uint64_t optional = fileHeader + kFileHeaderBytes;
  std::uint16_t magic;
  if (!file.U16(optional, &magic) || (magic != kPe32Magic && magic != kPe32PlusMagic)) {
    return false;
  }
  bool pe32Plus = magic == kPe32PlusMagic;

  std::uint32_t sizeOfHeaders, rvaCount;
  if (!file.U32(optional + kSizeOfHeadersOffset, &sizeOfHeaders) ||
      !file.U32(optional + RvaCountOffset(pe32Plus), &rvaCount)) {
    return false;
  }
  // The directory's address; its size, the entry's second half, is not
  // used (ResourceRange).
  std::uint32_t resourceRva = 0;
  if (rvaCount > kResourceDirectory) {
    std::uint64_t entry = optional + RvaCountOffset(pe32Plus) + 4 + 8 * kResourceDirectory;
    if (!file.Holds(entry, 8) || !file.U32(entry, &resourceRva)) return false;
  }

  std::uint64_t sectionTable = optional + optionalBytes;
  if (!file.Holds(sectionTable, std::uint64_t{sectionCount} * kSectionHeaderBytes)) return false;

  start_ = start;
  fileLength_ = fileLength;
  pe32Plus_ = pe32Plus;
  sectionCount_ = sectionCount;
  sectionTable_ = static_cast<std::size_t>(sectionTable);
  sizeOfHeaders_ = sizeOfHeaders;
  resourceRva_ = resourceRva;
  return true;
}

bool PeImage::MayStartPe(ByteView start) {
  std::uint32_t lfanew, signature;
  if (!dos_header::NewHeaderOffset(start, &lfanew)) return start.Length() < dos_header::kBytes;
  return !start.U32(lfanew, &signature) || signature == kNtSignature;
}

bool PeImage::RvaToFileOffset(std::uint32_t rva, std::size_t* offset, std::size_t* end) const {
  // The loader maps the headers at address 0, so an address below
  // SizeOfHeaders is the same offset in the file (a module whose resources
  // lie in its headers is read so by the loader, mapped as an image, and by
  // wrestool); no section bounds it but the file.
  if (rva < sizeOfHeaders_) {
    if (rva >= fileLength_) return false;
    *offset = rva;
    *end = static_cast<std::size_t>(fileLength_);
    return true;
  }
  for (std::uint16_t i = 0; i < sectionCount_; ++i) {
    std::size_t header = sectionTable_ + std::size_t{i} * kSectionHeaderBytes;
    std::uint32_t virtualAddress, rawSize, rawOffset;
    if (!start_.U32(header + 12, &virtualAddress) || !start_.U32(header + 16, &rawSize) ||
        !start_.U32(header + 20, &rawOffset)) {
      return false;
    }
    // In 64 bits: a section near the top of the address space must not wrap.
    if (rva < virtualAddress || rva - virtualAddress >= rawSize) continue;
    std::uint64_t at = std::uint64_t{rawOffset} + (rva - virtualAddress);
    std::uint64_t rawEnd = std::uint64_t{rawOffset} + rawSize;
    if (at >= fileLength_) return false;
    *offset = static_cast<std::size_t>(at);
    *end = static_cast<std::size_t>(rawEnd < fileLength_ ? rawEnd : fileLength_);
    return true;
  }
  return false;
}

bool PeImage::ResourceRange(std::size_t* root, std::size_t* end) const {
  // The loader walks the directory from its address whatever size the data
  // directory gives (real programs give 0): the section that holds it, or
  // the file for a directory in the headers, is the bound.
  return resourceRva_ != 0 && RvaToFileOffset(resourceRva_, root, end);
}
