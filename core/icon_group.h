// The icon document: an IconGroup of IconImage records, each owning the bytes
// of one icon image exactly as an .ICO file or an icon resource stores them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "formats/icon_directory.h"
#include "platform/platform.h"

struct IconImage {
  std::int32_t width;
  std::int32_t height;        // picture height: half the header's biHeight
  std::int32_t bitsPerPixel;  // biPlanes x biBitCount
  BYTE* bits;                 // the image block, owned (C heap) unless sharesBits
  std::uint32_t byteCount;
  // The block is another record's of the same group, which frees it:
  // entries that name the same bytes of a file keep one copy of them.
  bool sharesBits;
  // Derived from bits by BindImagePointers; point into that block. All three
  // are null for a PNG-compressed image; andBits alone is null for a 32-bit
  // image whose block ends before its AND rows are whole, its mask implied
  // by its alpha.
  BITMAPINFOHEADER* header;
  BYTE* xorBits;
  BYTE* andBits;
  // A PNG image's planes and bit count as its directory entry gave them
  // (TakeEntryDepth), each kept as it is for the entry it is written back
  // in; entryGiven is false for a record no entry described.
  std::uint16_t entryPlanes;
  std::uint16_t entryBitCount;
  bool entryGiven;
  // A cursor's image: where it points, in pixels from its top left corner.
  icon_directory::HotSpot hotSpot;
  // Where the block lies in the file it was read from, for those who look
  // at the file itself; 0 when that is not known (a file starts with its
  // header, never with an image).
  std::uint64_t fileOffset;
  // An animated cursor's images are those of its frames, frame after frame
  // in the file's order: the frame this one belongs to (0 in other groups).
  std::uint32_t frame;
};

struct IconGroup {
  char iconPath[260];
  char modulePath[260];
  std::uint32_t imageCount;
  // A cursor's images, each with its hot spot; `animated`: an animated
  // cursor's frames, each a cursor of its own.
  bool cursor;
  bool animated;
  // The block holds as many records as the group was made with room for;
  // the array is declared with one so that the starting group's record has
  // a name. Records are reached through GroupImage.
  IconImage images[1];
};

// Bytes of a group block with room for `records` image records.
constexpr std::size_t IconGroupBytes(std::size_t records) {
  return offsetof(IconGroup, images) + records * sizeof(IconImage);
}

inline IconImage* GroupImage(IconGroup* group, std::uint32_t index) {
  return group->images + index;
}

// True when the block is a PNG-compressed image (bits start with the PNG
// signature); such a record has no header, xorBits or andBits.
bool IsPngImage(const IconImage* image);

// Checks the record's block against what its header describes and derives
// the other fields from it. 0 when no record is given or the block is not a
// complete icon image: a 40-byte header, a positive width and height within
// the limits, and room for the colour table, XOR rows and AND rows (a 32-bit
// image may lack its AND rows). A PNG block binds with the size and depth of
// its header chunk.
int BindImagePointers(IconImage* image);

// A PNG image has no header to say its depth: it keeps its directory
// entry's planes and bit count, each as given, to be written back as its
// source described it, and takes planes x bit count as its depth when the
// entry gives one that fits 16 bits. A DIB image's depth stays its header's.
void TakeEntryDepth(IconImage* image, std::uint16_t planes, std::uint16_t bitCount);

// The depth of the picture itself, as a reader of the image would tell it:
// a PNG's from its header chunk (its entry's may say anything), a DIB's
// from its header.
std::int32_t PictureDepth(const IconImage* image);

// The starting group: "Untitled", no images, room for one record whose width,
// height and depth (32 x 32 at 32 bits) are the format a bitmap read into it
// is converted to.
IconGroup* CreateUntitledGroup();

// Releases a group and the blocks its records below imageCount own. Null is
// allowed.
void FreeIconGroup(IconGroup* group);

// Before record `index` gets a block of its own: a later record that shares
// its block becomes the block's owner, and the record shares it, so that
// replacing it frees nothing others point to.
void UnshareImage(IconGroup* group, std::uint32_t index);

struct IconGroupDeleter {
  void operator()(IconGroup* group) const { FreeIconGroup(group); }
};
// Owns a group, released with FreeIconGroup.
using IconGroupPtr = std::unique_ptr<IconGroup, IconGroupDeleter>;

// Copies `text` into a path field of the group, cut at 259 bytes.
void SetGroupPath(char (&field)[260], const char* text);
