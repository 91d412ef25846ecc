#include <algorithm>
#include <cstring>
#include <functional>

#include "formats/dos_header.h"
#include "pe_headers.h"
#include "pe_layout.h"
#include "pe_rewrite.h"

namespace {

// The marker a .NET single-file host carries (SHA-256 of ".net core
// bundle"); the 8 bytes before it are the bundle header's offset, 0 in a
// host nothing was bundled into. The bundle's own offsets count from the
// file's start, so moving it would break them.
constexpr std::uint8_t kBundleMarker[32] = {0x8b, 0x12, 0x02, 0xb9, 0x6a, 0x61, 0x20, 0x38, 0x72, 0x7b, 0x93,
                                            0x02, 0x14, 0xd7, 0xa0, 0x32, 0x13, 0xf5, 0xb9, 0xe6, 0xef, 0xae,
                                            0x33, 0x18, 0xee, 0x3b, 0x2d, 0xce, 0x24, 0xb3, 0x6a, 0xae};

// Section names packers give their own sections, whose stubs unpack into
// places a rewrite moves.
struct Packer {
  const char* section;
  const char* name;
};
constexpr Packer kPackers[] = {{"UPX0", "UPX"},        {"UPX1", "UPX"},         {"UPX!", "UPX"},
                               {".MPRESS1", "MPRESS"}, {".MPRESS2", "MPRESS"},  {".aspack", "ASPack"},
                               {"PEC2", "PECompact"},  {"PEC2TO", "PECompact"}, {".petite", "Petite"}};

bool IsSixteenBit(ByteView file) {
  std::uint32_t lfanew;
  return dos_header::NewHeaderOffset(file, &lfanew) && file.Matches(lfanew, "NE", 2);
}

bool HoldsBundleMarker(ByteView file) {
  const std::uint8_t* end = file.Data() + file.Length();
  const std::uint8_t* at = file.Data();
  const std::boyer_moore_horspool_searcher marker(std::begin(kBundleMarker), std::end(kBundleMarker));
  while ((at = std::search(at, end, marker)) != end) {
    const std::uint64_t marker = static_cast<std::uint64_t>(at - file.Data());
    std::uint32_t low = 0, high = 0;
    if (marker >= 8 && file.U32(marker - 8, &low) && file.U32(marker - 4, &high) && (low | high) != 0) return true;
    ++at;
  }
  return false;
}

// The marker is a constant of the host's code and data: resources, a
// program's bulk, never hold it, and are not searched.
bool IsBundle(ByteView file, const PeHeaders& headers) {
  std::uint32_t resources, resourceBytes;
  ReadDataDirectory(file, headers, pe_layout::kResourceDirectory, &resources, &resourceBytes);
  for (const PeSection& section : headers.sections) {
    const bool holdsResources =
        resources >= section.virtualAddress && resources - section.virtualAddress < section.rawSize;
    const std::uint64_t start = std::min<std::uint64_t>(section.rawOffset, file.Length());
    const std::uint64_t bytes = std::min<std::uint64_t>(section.rawSize, file.Length() - start);
    if (!holdsResources && HoldsBundleMarker(file.Sub(start, bytes))) {
      return true;
    }
  }
  return false;
}

}  // namespace

PeRewriteRefusal CheckRewritable(ByteView file, bool stripSignature, std::string* packer) {
  PeHeaders headers;
  if (!ReadPeHeaders(file, &headers)) {
    return IsSixteenBit(file) ? PeRewriteRefusal::kSixteenBit : PeRewriteRefusal::kNotPe;
  }
  for (const PeSection& section : headers.sections) {
    for (const Packer& known : kPackers) {
      if (section.name != known.section) continue;
      *packer = known.name;
      return PeRewriteRefusal::kPacked;
    }
  }
  if (IsBundle(file, headers)) return PeRewriteRefusal::kDotNetBundle;
  std::uint32_t certificates, certificateBytes;
  ReadDataDirectory(file, headers, pe_layout::kCertificateDirectory, &certificates, &certificateBytes);
  if (certificateBytes == 0) return PeRewriteRefusal::kNone;
  if (!stripSignature) return PeRewriteRefusal::kSigned;
  // Only a table that ends the file can go without moving anything else.
  if (std::uint64_t{certificates} + certificateBytes != file.Length()) return PeRewriteRefusal::kSignatureNotLast;
  return PeRewriteRefusal::kNone;
}
