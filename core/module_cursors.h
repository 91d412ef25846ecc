// The group cursors (type 12) of a module and the cursors (type 1) they name,
// read through the same resource calls as its group icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/icon_directory.h"
#include <memory>

#include "platform/module_resources.h"

struct CursorImage {
  icon_directory::HotSpot hotSpot;
  // The image as the module stores it behind the hot spot: valid while the
  // module stays loaded.
  ByteView bits;
  // From the image's own header.
  std::int32_t width;
  std::int32_t height;
  std::int32_t bitsPerPixel;
};

class ModuleCursors {
 public:
  struct Entry {
    std::string text;  // "Cursor [NAME]", as the icon list names a group icon
    std::string name;  // NAME: the text name, or the identifier in decimal
    bool isInteger;
    std::uint16_t id;  // when isInteger
  };

  // Loads the file as a data file, as the Open command loads a module, and
  // lists its group cursors in the module's order. False, after a message
  // naming the path, when it is no module (an icon or bitmap file by its
  // extension, or a file that can't be loaded) or holds no group cursor.
  bool Open(const char* path);

  const std::vector<Entry>& Entries() const { return entries_; }

  // Every image of entry `index`, in the group's order; false, after a
  // message, when a cursor it names can't be found or holds no image that
  // binds as an icon image does.
  bool Read(std::size_t index, std::vector<CursorImage>* images) const;

 private:
  std::string path_;
  std::unique_ptr<ModuleResources> module_;
  std::vector<Entry> entries_;
};
