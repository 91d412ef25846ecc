#include "icon_lint.h"

#include <algorithm>

#include "codecs/icon_picture.h"
#include "formats/dib_layout.h"
#include "formats/png_header.h"
#include "icon_maker.h"

namespace {

// What an image block is, by its own header.
struct ImageFacts {
  bool png = false;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int64_t depth = 0;
  std::uint64_t needed = 0;  // bytes the image takes: through IEND, or header, table and rows
  std::uint64_t maskBytes = 0;
};

std::uint64_t PngBytes(ByteView block) {
  png::ChunkWalker walker(block);
  png::Chunk chunk;
  std::uint64_t end = png::kSignatureBytes;
  while (walker.Next(&chunk)) {
    end += 12 + std::uint64_t{chunk.length};
    if (std::equal(chunk.type, chunk.type + 4, "IEND")) return end;
  }
  return block.Length();
}

bool ReadFacts(ByteView block, ImageFacts* facts) {
  if (png::HasSignature(block)) {
    png::Header header;
    if (!png::ReadHeader(block, &header)) return false;
    *facts = ImageFacts{true, header.width, header.height, header.bitsPerPixel, PngBytes(block), 0};
    return true;
  }
  std::uint32_t size = 0, width = 0, height = 0, clrUsed = 0;
  std::uint16_t planes = 0, bitCount = 0;
  if (!block.U32(0, &size) || !block.U32(4, &width) || !block.U32(8, &height) || !block.U16(12, &planes) ||
      !block.U16(14, &bitCount) || !block.U32(32, &clrUsed)) {
    return false;
  }
  facts->width = static_cast<std::int32_t>(width);
  facts->height = static_cast<std::int32_t>(height) / 2;
  facts->depth = std::int64_t{planes} * bitCount;
  if (!dib_layout::SidesFit(facts->width, facts->height)) return false;
  facts->maskBytes = static_cast<std::uint64_t>(dib_layout::RowBytes(facts->width, 1) * facts->height);
  facts->needed = size + dib_layout::ColorTableBytes(bitCount, clrUsed) +
                  static_cast<std::uint64_t>(dib_layout::RowBytes(facts->width, bitCount) * facts->height) +
                  facts->maskBytes;
  return true;
}

Finding At(Severity severity, FindingKind kind, std::int32_t index, const ImageFacts& facts) {
  Finding finding;
  finding.severity = severity;
  finding.kind = kind;
  finding.image = index;
  finding.width = facts.width;
  finding.height = facts.height;
  return finding;
}

void Add(std::vector<Finding>* findings, Finding finding, std::int64_t stated, std::int64_t actual) {
  finding.stated = stated;
  finding.actual = actual;
  findings->push_back(finding);
}

// A side as the entry's byte stores it: 0 for 256 and more.
std::int64_t EntrySide(std::uint8_t stored) { return stored == 0 ? 256 : stored; }

void CheckEntry(const LintedImage& image, bool cursor, std::int32_t index, const ImageFacts& facts,
                std::vector<Finding>* findings) {
  const icon_directory::Entry& entry = image.entry;
  const std::int64_t width = std::min(facts.width, 256), height = std::min(facts.height, 256);
  if (EntrySide(entry.width) != width || EntrySide(entry.height) != height) {
    Finding finding = At(Severity::kWarning, FindingKind::kSideMismatch, index, facts);
    finding.count = EntrySide(entry.height);
    Add(findings, finding, EntrySide(entry.width), width);
  }
  // A cursor's entry holds its hot spot there; an entry's 0 leaves the depth to the image.
  const std::int64_t stated = std::int64_t{entry.planes ? entry.planes : 1} * entry.bitCount;
  if (!cursor && entry.bitCount != 0 && stated != facts.depth) {
    const FindingKind kind = facts.png ? FindingKind::kPngDepthMismatch : FindingKind::kDepthMismatch;
    Add(findings, At(Severity::kWarning, kind, index, facts), stated, facts.depth);
  }
  // A 32-bit bitmap may end before its AND rows: its alpha implies them.
  const bool maskImplied = !facts.png && facts.depth == 32 && entry.bytes == facts.needed - facts.maskBytes;
  if (entry.bytes != facts.needed && !maskImplied) {
    Add(findings, At(Severity::kWarning, FindingKind::kBytesMismatch, index, facts), entry.bytes,
        static_cast<std::int64_t>(facts.needed));
  }
}

// Pixels whose AND bit disagrees with their alpha: set over an opaque pixel
// (drawn hollow by readers that use the mask), or clear under a transparent
// one (drawn as a box by them). Partly transparent pixels go either way.
std::int64_t MaskDisagreements(const IconPicture& picture) {
  std::int64_t count = 0;
  for (std::size_t i = 0; i < picture.colors.size(); ++i) {
    const std::uint32_t alpha = picture.colors[i] >> 24;
    if ((alpha == 0 && picture.mask[i] == 0) || (alpha == 255 && picture.mask[i] != 0)) ++count;
  }
  return count;
}

void CheckImage(const LintedImage& image, bool cursor, std::int32_t index, std::vector<Finding>* findings,
                ImageFacts* facts) {
  IconPicture picture;
  if (!ReadFacts(image.block, facts) ||
      DecodeIconImage(image.block.Data(), image.block.Length(), &picture) != DecodeOutcome::kDecoded) {
    *facts = ImageFacts{};
    facts->width = image.entry.width;
    facts->height = image.entry.height;
    findings->push_back(At(Severity::kError, FindingKind::kUndecodable, index, *facts));
    return;
  }
  if (!facts->png && std::max(facts->width, facts->height) >= 256) {
    findings->push_back(At(Severity::kError, FindingKind::kLargeBitmap, index, *facts));
  }
  if (std::max(facts->width, facts->height) > 256) {
    findings->push_back(At(Severity::kWarning, FindingKind::kOver256, index, *facts));
  }
  CheckEntry(image, cursor, index, *facts, findings);
  if (!facts->png && picture.hasAlpha && !picture.mask.empty()) {
    if (const std::int64_t count = MaskDisagreements(picture)) {
      Finding finding = At(Severity::kWarning, FindingKind::kMaskMismatch, index, *facts);
      finding.count = count;
      findings->push_back(finding);
    }
  }
}

}  // namespace

std::vector<Finding> LintGroup(const LintedGroup& group) {
  std::vector<Finding> findings;
  std::vector<std::pair<ImageFacts, std::int32_t>> seen;
  std::vector<std::int32_t> sides;
  for (std::size_t i = 0; i < group.images.size(); ++i) {
    const auto index = static_cast<std::int32_t>(i);
    ImageFacts facts;
    CheckImage(group.images[i], group.cursor, index, &findings, &facts);
    if (facts.depth == 0) continue;
    for (const auto& [other, otherIndex] : seen) {
      if (other.width != facts.width || other.height != facts.height || other.depth != facts.depth) continue;
      Finding finding = At(Severity::kWarning, FindingKind::kDuplicate, index, facts);
      finding.count = otherIndex;
      findings.push_back(finding);
      break;
    }
    seen.emplace_back(facts, index);
    if (facts.width == facts.height) sides.push_back(facts.width);
  }
  Finding missing;
  for (std::int32_t size : WindowsIconSizes()) {
    if (std::find(sides.begin(), sides.end(), size) == sides.end()) missing.sizes.push_back(size);
  }
  if (!group.cursor && !missing.sizes.empty()) findings.push_back(missing);
  return findings;
}
