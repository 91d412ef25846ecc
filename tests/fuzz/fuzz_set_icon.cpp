// set-icon over the input's bytes as a program: its resources listed, the
// program's icon replaced (or a group added) by a fixed two-image icon, the
// program rewritten and read again. The result must list exactly the
// resources asked for, every other one with its bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/icon_file.h"
#include "core/icon_resources.h"
#include "formats/little_endian.h"
#include "formats/pe/pe_image.h"
#include "formats/pe/pe_rewrite.h"
#include "formats/pe/resource_list.h"
#include "formats/pe/resource_section_writer.h"
#include "fuzz_support.h"

namespace {

// An icon file of two 1 x 1 32-bit images, one of them copied twice in a
// row so that the images' blocks differ.
std::vector<std::uint8_t> TwoImageIcon() {
  constexpr std::uint32_t kImageBytes = 40 + 4 + 4;
  std::vector<std::uint8_t> file(6 + 2 * 16 + 2 * kImageBytes, 0);
  PutU16(&file[2], 1);
  PutU16(&file[4], 2);
  for (std::uint32_t i = 0; i < 2; ++i) {
    std::uint8_t* entry = &file[6 + 16 * i];
    entry[0] = entry[1] = 1;
    PutU16(entry + 4, 1);
    PutU16(entry + 6, 32);
    PutU32(entry + 8, kImageBytes);
    PutU32(entry + 12, 6 + 32 + kImageBytes * i);
    std::uint8_t* image = &file[6 + 32 + kImageBytes * i];
    PutU32(image, 40);
    PutU32(image + 4, 1);
    PutU32(image + 8, 2);
    PutU16(image + 12, 1);
    PutU16(image + 14, 32);
    PutU32(image + 40, 0x80FF0000u + i);
  }
  return file;
}

bool Holds(const std::vector<PeResourceItem>& items, const PeResourceItem& wanted) {
  for (const PeResourceItem& item : items) {
    if (!SameResource(item, wanted)) continue;
    return item.data.Length() == wanted.data.Length() &&
           (wanted.data.Length() == 0 ||
            std::equal(item.data.Data(), item.data.Data() + item.data.Length(), wanted.data.Data()));
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SilenceMessages();
  static const std::vector<std::uint8_t> iconFile = TwoImageIcon();
  static IconGroupPtr icon(ReadIconFile(ByteView(iconFile.data(), iconFile.size()), iconFile.size()).Take());
  if (!icon) std::abort();

  const ByteView program(data, size);
  std::string packer;
  PeImage image;
  std::vector<PeResourceItem> before;
  if (CheckRewritable(program, true, &packer) != PeRewriteRefusal::kNone || !image.Parse(data, size) ||
      ListResources(image, &before) != ResourceListFailure::kNone) {
    return 0;
  }
  std::vector<PeResourceItem> asked = before;
  std::vector<std::uint8_t> groupBytes;
  GroupTarget target;
  if (PutIconGroup(&asked, *icon, target, &groupBytes) == IconEditFailure::kNoGroups) {
    target = {GroupTarget::Kind::kAdd, "FUZZ", 0};
    PutIconGroup(&asked, *icon, target, &groupBytes);
  }
  std::vector<std::uint8_t> out;
  if (RewriteResources(program, asked, true, &out).refusal != PeRewriteRefusal::kNone) return 0;

  PeImage rewritten;
  std::vector<PeResourceItem> after;
  if (!rewritten.Parse(out.data(), out.size()) || ListResources(rewritten, &after) != ResourceListFailure::kNone ||
      after.size() != asked.size()) {
    std::abort();
  }
  for (const PeResourceItem& item : asked) {
    if (!Holds(after, item)) std::abort();
  }
  // Every resource but group icons and icons is the program's own.
  for (const PeResourceItem& item : before) {
    const bool icons = item.type.isId && (item.type.id == 3 || item.type.id == 14);
    if (!icons && !Holds(after, item)) std::abort();
  }
  return 0;
}
