#include "pe_rewrite.h"

#include <algorithm>
#include <cstring>

#include "formats/little_endian.h"
#include "pe_headers.h"
#include "pe_layout.h"
#include "resource_section_writer.h"

using namespace pe_layout;

namespace {

constexpr std::uint64_t Align(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

bool PowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

// Where the new directory goes and what moves for it.
struct Placement {
  int section = -1;  // the section rebuilt, or -1 for a new last one
  std::uint32_t rva = 0;
  std::uint64_t rawOffset = 0;  // where the directory's raw data starts
  std::uint64_t oldRawEnd = 0;  // the file bytes it replaces end here
  bool inPlace = false;         // within the old raw size, nothing moves
};

class Rewriter {
 public:
  Rewriter(ByteView file, bool strip) : file_(file), strip_(strip) {}

  PeRewriteResult Run(const std::vector<PeResourceItem>& items, std::vector<std::uint8_t>* out) {
    if (!ReadLayout()) {
      result_.refusal = PeRewriteRefusal::kBadLayout;
      return result_;
    }
    if (result_.signatureRemoved && !strip_) {
      result_.refusal = PeRewriteRefusal::kSigned;
      return result_;
    }
    items_ = items;
    if (!SortResources(&items_) || (size_ = ResourceDirectoryBytes(items_)) > UINT32_MAX) {
      result_.refusal = PeRewriteRefusal::kTooLarge;
      return result_;
    }
    if ((result_.refusal = PlanPlace()) != PeRewriteRefusal::kNone) return result_;
    Assemble(out);
    FixHeaders(out);
    return result_;
  }

 private:
  bool ReadLayout() {
    if (!ReadPeHeaders(file_, &headers_) || !PowerOfTwo(headers_.fileAlignment) ||
        !PowerOfTwo(headers_.sectionAlignment) || headers_.rvaCount <= kResourceDirectory) {
      return false;
    }
    imageEnd_ = headers_.sizeOfHeaders;
    for (const PeSection& section : headers_.sections) {
      if (section.rawSize != 0) imageEnd_ = std::max(imageEnd_, section.RawEnd());
      virtualEnd_ = std::max(virtualEnd_, section.VirtualEnd());
    }
    std::uint32_t certificateBytes, resourceBytes;
    ReadDataDirectory(file_, headers_, kCertificateDirectory, &certificates_, &certificateBytes);
    ReadDataDirectory(file_, headers_, kResourceDirectory, &resourceRva_, &resourceBytes);
    overlayEnd_ = certificateBytes != 0 ? certificates_ : file_.Length();
    result_.signatureRemoved = certificateBytes != 0;
    return imageEnd_ <= overlayEnd_ && overlayEnd_ <= file_.Length();
  }

  // The section that starts with the directory, rebuilt where it lies when
  // it ends the image or the new directory fits in it; when it ends the
  // image's addresses but not the file, its raw data moves to the file's
  // image end, where it can grow.
  PeRewriteRefusal PlanPlace() {
    for (std::size_t i = 0; i < headers_.sections.size() && resourceRva_ != 0; ++i) {
      const PeSection& section = headers_.sections[i];
      if (section.virtualAddress != resourceRva_ || section.rawSize == 0) continue;
      if (OverlapsAnother(i)) return PeRewriteRefusal::kSectionsOverlap;
      if (section.virtualAddress + size_ > UINT32_MAX) return PeRewriteRefusal::kTooLarge;
      const bool lastInMemory = LastInMemory(i);
      const bool grows = lastInMemory && section.RawEnd() == imageEnd_ && LastInFile(i);
      if (grows || Fits(i)) {
        plan_ = {static_cast<int>(i), section.virtualAddress, section.rawOffset, section.RawEnd(), !grows};
        return PeRewriteRefusal::kNone;
      }
      if (lastInMemory) {
        plan_ = {static_cast<int>(i), section.virtualAddress, Align(imageEnd_, headers_.fileAlignment), imageEnd_,
                 false};
        return PeRewriteRefusal::kNone;
      }
    }
    return PlanNewSection();
  }

  // A section whose bytes or addresses are another's or the headers' too:
  // rebuilding it would change those.
  bool OverlapsAnother(std::size_t index) const {
    const PeSection& resources = headers_.sections[index];
    // The headers reach at least to the end of the section table, whatever
    // SizeOfHeaders says.
    const std::uint64_t headersEnd = std::max<std::uint64_t>(
        headers_.sizeOfHeaders, headers_.sectionTable + kSectionHeaderBytes * headers_.sections.size());
    if (resources.rawOffset < headersEnd || resources.virtualAddress < headersEnd) return true;
    for (const PeSection& section : headers_.sections) {
      if (&section == &resources) continue;
      if (section.rawSize != 0 && section.rawOffset < resources.RawEnd() && resources.rawOffset < section.RawEnd()) {
        return true;
      }
      if (section.virtualAddress < resources.VirtualEnd() && resources.virtualAddress < section.VirtualEnd())
        return true;
    }
    return false;
  }

  bool LastInMemory(std::size_t index) const {
    for (const PeSection& section : headers_.sections) {
      if (&section != &headers_.sections[index] && section.virtualAddress >= headers_.sections[index].virtualAddress) {
        return false;
      }
    }
    return true;
  }

  bool LastInFile(std::size_t index) const {
    for (const PeSection& section : headers_.sections) {
      if (&section != &headers_.sections[index] && section.rawSize != 0 &&
          section.rawOffset >= headers_.sections[index].rawOffset) {
        return false;
      }
    }
    return true;
  }

  bool Fits(std::size_t index) const {
    const PeSection& section = headers_.sections[index];
    std::uint64_t next = UINT32_MAX;
    for (const PeSection& other : headers_.sections) {
      if (other.virtualAddress > section.virtualAddress) next = std::min<std::uint64_t>(next, other.virtualAddress);
    }
    return size_ <= section.rawSize && section.virtualAddress + size_ <= next;
  }

  PeRewriteRefusal PlanNewSection() {
    const std::uint64_t header = headers_.sectionTable + kSectionHeaderBytes * headers_.sections.size();
    std::uint64_t firstRaw = headers_.sizeOfHeaders;
    for (const PeSection& section : headers_.sections) {
      if (section.rawSize != 0) firstRaw = std::min<std::uint64_t>(firstRaw, section.rawOffset);
    }
    if (header + kSectionHeaderBytes > firstRaw || headers_.sections.size() >= 0xFFFF) {
      return PeRewriteRefusal::kNoHeaderRoom;
    }
    for (std::uint64_t i = header; i < header + kSectionHeaderBytes; ++i) {
      if (file_.Data()[i] != 0) return PeRewriteRefusal::kNoHeaderRoom;
    }
    const std::uint64_t rva =
        Align(std::max<std::uint64_t>(virtualEnd_, headers_.sizeOfHeaders), headers_.sectionAlignment);
    if (rva + size_ > UINT32_MAX) return PeRewriteRefusal::kTooLarge;
    plan_ = {-1, static_cast<std::uint32_t>(rva), Align(imageEnd_, headers_.fileAlignment), imageEnd_, false};
    result_.newSection = true;
    return PeRewriteRefusal::kNone;
  }

  std::uint64_t RawSize() const {
    return plan_.inPlace ? headers_.sections[static_cast<std::size_t>(plan_.section)].rawSize
                         : Align(size_, headers_.fileAlignment);
  }

  // The file up to the directory, the directory in its raw size, then the
  // rest of the image and what follows it, without a certificate table
  // being removed.
  void Assemble(std::vector<std::uint8_t>* out) {
    const std::uint8_t* bytes = file_.Data();
    const std::uint64_t overlay = overlayEnd_ > plan_.oldRawEnd ? overlayEnd_ - plan_.oldRawEnd : 0;
    out->reserve(static_cast<std::size_t>(plan_.rawOffset + RawSize() + overlay));
    out->assign(bytes, bytes + std::min<std::uint64_t>(plan_.rawOffset, imageEnd_));
    out->resize(static_cast<std::size_t>(plan_.rawOffset + size_), 0);
    WriteResourceDirectory(items_, plan_.rva, out->data() + plan_.rawOffset);
    // A directory rebuilt within its old raw size leaves the old bytes past
    // its end, which nothing reads, rather than a run of zeros that tools
    // take for a file cut short.
    if (plan_.inPlace) out->insert(out->end(), bytes + plan_.rawOffset + size_, bytes + plan_.oldRawEnd);
    out->resize(static_cast<std::size_t>(plan_.rawOffset + RawSize()), 0);
    if (overlay != 0) out->insert(out->end(), bytes + plan_.oldRawEnd, bytes + overlayEnd_);
    shift_ = static_cast<std::int64_t>(plan_.rawOffset + RawSize()) - static_cast<std::int64_t>(plan_.oldRawEnd);
  }

  void FixHeaders(std::vector<std::uint8_t>* out) {
    std::uint8_t* bytes = out->data();
    const std::uint32_t size = static_cast<std::uint32_t>(size_);
    const std::uint32_t rawSize = static_cast<std::uint32_t>(RawSize());
    std::uint64_t header = headers_.sectionTable + kSectionHeaderBytes * headers_.sections.size();
    std::uint32_t oldRaw = 0;
    if (plan_.section >= 0) {
      header = headers_.sections[static_cast<std::size_t>(plan_.section)].header;
      oldRaw = headers_.sections[static_cast<std::size_t>(plan_.section)].rawSize;
    } else {
      std::memcpy(bytes + header, ".rsrc\0\0", kSectionNameBytes);
      PutU32(bytes + header + kCharacteristicsField, kInitializedData | kMemoryRead);
      PutU16(bytes + headers_.fileHeader + kSectionCountField,
             static_cast<std::uint32_t>(headers_.sections.size() + 1));
    }
    PutU32(bytes + header + kVirtualSizeField, size);
    PutU32(bytes + header + kVirtualAddressField, plan_.rva);
    PutU32(bytes + header + kRawSizeField, rawSize);
    PutU32(bytes + header + kRawOffsetField, static_cast<std::uint32_t>(plan_.rawOffset));
    PutU32(bytes + headers_.DirectoryField(kResourceDirectory), plan_.rva);
    PutU32(bytes + headers_.DirectoryField(kResourceDirectory) + 4, size);
    if (LoadU32(bytes + header + kCharacteristicsField) & kInitializedData) {
      const std::size_t field = headers_.optional + kInitializedDataField;
      PutU32(bytes + field, LoadU32(bytes + field) - oldRaw + rawSize);
    }
    FixSizeOfImage(bytes, header, size);
    FollowOverlay(bytes);
    if (result_.signatureRemoved) {
      PutU32(bytes + headers_.DirectoryField(kCertificateDirectory), 0);
      PutU32(bytes + headers_.DirectoryField(kCertificateDirectory) + 4, 0);
    }
    const std::size_t checkSum = headers_.optional + kCheckSumField;
    if (headers_.checkSum != 0) PutU32(bytes + checkSum, PeCheckSum(ByteView(bytes, out->size()), checkSum));
  }

  void FixSizeOfImage(std::uint8_t* bytes, std::uint64_t header, std::uint32_t size) {
    std::uint64_t end = std::uint64_t{plan_.rva} + size;
    for (const PeSection& section : headers_.sections) {
      if (section.header != header) end = std::max(end, section.VirtualEnd());
    }
    PutU32(bytes + headers_.optional + kSizeOfImageField,
           static_cast<std::uint32_t>(Align(end, headers_.sectionAlignment)));
  }

  // A pointer into what follows the image moves with it: the COFF symbol
  // table, and debug data stored there rather than in a section.
  void FollowOverlay(std::uint8_t* bytes) {
    auto follow = [&](std::uint8_t* field) {
      const std::uint32_t offset = LoadU32(field);
      if (offset != 0 && offset >= plan_.oldRawEnd) PutU32(field, static_cast<std::uint32_t>(offset + shift_));
    };
    follow(bytes + headers_.fileHeader + kSymbolTableField);
    std::uint32_t debug, debugBytes;
    ReadDataDirectory(file_, headers_, kDebugDirectory, &debug, &debugBytes);
    for (const PeSection& section : headers_.sections) {
      if (debugBytes == 0 || debug < section.virtualAddress || debug - section.virtualAddress >= section.rawSize ||
          section.virtualAddress == plan_.rva) {
        continue;
      }
      const std::uint64_t at = std::uint64_t{section.rawOffset} + (debug - section.virtualAddress);
      for (std::uint64_t entry = at;
           entry + kDebugEntryBytes <= at + debugBytes &&
           entry + kDebugEntryBytes <= std::min<std::uint64_t>(section.RawEnd(), plan_.rawOffset);
           entry += kDebugEntryBytes) {
        follow(bytes + entry + kDebugRawOffsetField);
      }
      break;
    }
  }

  ByteView file_;
  bool strip_;
  PeHeaders headers_;
  PeRewriteResult result_;
  Placement plan_;
  std::vector<PeResourceItem> items_;  // sorted as the directory lists them
  std::uint64_t size_ = 0;             // the directory's bytes
  std::uint64_t imageEnd_ = 0;
  std::uint64_t virtualEnd_ = 0;
  std::uint32_t certificates_ = 0;
  std::uint64_t overlayEnd_ = 0;
  std::uint32_t resourceRva_ = 0;
  std::int64_t shift_ = 0;
};

}  // namespace

PeRewriteResult RewriteResources(ByteView file, const std::vector<PeResourceItem>& items, bool stripSignature,
                                 std::vector<std::uint8_t>* out) {
  return Rewriter(file, stripSignature).Run(items, out);
}
