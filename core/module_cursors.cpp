#include "module_cursors.h"

#include <cstdlib>
#include <cstring>

#include "formats/input_limits.h"
#include "icon_group.h"
#include "messages.h"
#include "module_loading.h"
#include "platform/module_resources.h"

namespace {

// The image's size and depth from its header, as an icon image of a group
// is bound; false when it is none.
bool BindCursorImage(CursorImage* cursor) {
  if (cursor->bits.Length() > limits::kMaxBlockBytes) return false;
  // Bound on a copy: a resource's bytes behind the hot spot need not be
  // aligned for the header that starts them.
  HeapPtr<BYTE> copy(static_cast<BYTE*>(std::malloc(cursor->bits.Length() ? cursor->bits.Length() : 1)));
  if (!copy) return false;
  if (cursor->bits.Length() != 0) std::memcpy(copy.get(), cursor->bits.Data(), cursor->bits.Length());
  IconImage image{};
  image.bits = copy.get();
  image.byteCount = static_cast<std::uint32_t>(cursor->bits.Length());
  if (!BindImagePointers(&image)) return false;
  cursor->width = image.width;
  cursor->height = image.height;
  cursor->bitsPerPixel = image.bitsPerPixel;
  return true;
}

}  // namespace

ModuleCursors::Opened ModuleCursors::Open(const char* path) {
  path_ = path;
  entries_.Clear();
  module_.reset();
  // 16-bit modules carry cursors too; our own reader reads those.
  module_ = LoadModuleResources(path);
  if (!module_) return Opened::kNotLoadable;
  entries_.ListGroups(*module_, RT_GROUP_CURSOR);
  return Opened::kListed;
}

bool ModuleCursors::Read(std::size_t index, std::vector<CursorImage>* images) const {
  images->clear();
  if (index >= entries_.Count()) return false;
  LPCSTR name = ResourceNameArgument(entries_.Name(index));
  ByteView group;
  if (!module_ || !module_->Find(name, RT_GROUP_CURSOR, &group)) {
    ShowMessage(Message::kCursorUnreadable, path_.c_str());
    return false;
  }
  ByteCursor fields(group);
  icon_directory::Header header;
  if (!icon_directory::GroupHoldsEntries(group) || !icon_directory::ReadHeader(fields, &header)) {
    ShowMessage(Message::kCursorUnreadable, path_.c_str());
    return false;
  }
  std::uint64_t totalBytes = 0;
  for (std::size_t i = 0; i < header.count; ++i) {
    icon_directory::Entry entry{};
    ByteView resource;
    CursorImage image{};
    // An NE resource is padded to its alignment: the entry says how much of
    // it is the hot spot and the image.
    if (!icon_directory::GroupEntryAt(group, i, &entry) ||
        !module_->Find(MAKEINTRESOURCEA(entry.resourceId), RT_CURSOR, &resource) ||
        !icon_directory::SplitCursorResource(module_->EntryImage(resource, entry.bytes), &image.hotSpot, &image.bits) ||
        !BindCursorImage(&image)) {
      ShowMessage(Message::kCursorUnreadable, path_.c_str());
      images->clear();
      return false;
    }
    // Entries may all name one large resource; together they are bounded
    // like the images of an icon file.
    totalBytes += image.bits.Length();
    if (totalBytes > limits::kMaxGroupBytes) {
      ShowMessage(Message::kModuleOutOfMemory, path_.c_str());
      images->clear();
      return false;
    }
    images->push_back(image);
  }
  return true;
}
