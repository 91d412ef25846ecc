// The file the user opened and the icon taken from it: one flow of Open,
// Save and Copy that the window and the command share. It holds the source's
// path and kind (by its lower-cased extension), the module held for the list
// and the preview, and the current group; the entries live in list control
// 1000 of the window it is attached to, whose selection says which entry
// Save and Copy work on. Every failure is shown as a message where it is
// found; the caller only reacts to the outcome.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/handles.h"
#include "icon_group.h"
#include "module_icons.h"

// Shown while a file is written: the window's wait cursor.
class WaitIndicator {
 public:
  virtual void Show() = 0;
  virtual void Hide() = 0;

 protected:
  ~WaitIndicator() = default;
};

class IconDocument {
 public:
  IconDocument() = default;
  ~IconDocument() { Close(); }
  IconDocument(const IconDocument&) = delete;
  IconDocument& operator=(const IconDocument&) = delete;

  // Starts on the window whose list control shows the entries, with the
  // starting group; `instance` is the one ExtractIconA is asked for.
  void Attach(HWND listOwner, HINSTANCE instance);
  // Lets go of the entries' names, the group and the module, while the list
  // is still there.
  void Close();

  struct Opened {
    // False when the file could not be loaded or enumerated as a module: the
    // list is empty, and the buttons and the preview stay as they were.
    bool listed = false;
    // The icon the preview shows from now on (an icon or bitmap file, even
    // none); a module's preview comes from the next paint.
    bool previewChanged = false;
    IconHandle preview;
  };
  // Opens the file as its extension says: an icon file, a bitmap read into
  // the first record of the current group, or else a module whose group
  // icons are listed.
  Opened Open(const char* path);
  // Selects the first entry; false, after "此文件中没有图标资源!", when
  // nothing is listed.
  bool SelectFirstEntry();

  const std::string& Path() const { return path_; }
  const std::string& Extension() const { return extension_; }
  // True while a module opened by the last Open is held, whatever its
  // extension.
  bool IsModuleSource() const { return static_cast<bool>(module_); }

  std::vector<std::string> Entries() const;
  // Index of the entry with this text, else of a module's entry
  // "Icon [text]"; -1 when there is none.
  int FindEntry(const std::string& text) const;
  void SelectEntry(int entry);

  // The preview of the selected entry of a module source, made afresh (none
  // when it can't be made); false, with `preview` untouched, for another
  // source or when no entry is selected.
  bool SelectedModulePreview(IconHandle* preview) const;

  // The group Save writes: for a module source the selected entry's group,
  // read afresh through a loading of its own; otherwise the current group.
  // Null when there is none. Owned by the document.
  const IconGroup* ReadSelectedEntry();
  // The same, read from the module held since Open: for reading every entry
  // of one module in turn.
  const IconGroup* ReadEntryFromHeldModule(int entry);

  enum class Saved { kWritten, kNotWritten, kNothingToSave, kOtherKind };
  // Saves the selected entry by the target's extension: "ico" the whole
  // group, "bmp" its image `image` (the window's Save: the first), "png" its
  // largest image (png_file.h) or image `image` when one is asked for; any
  // other extension writes nothing and says so. The writers show their own
  // failures.
  Saved Save(const char* target, WaitIndicator* wait, int image = kDefaultImage);
  static constexpr int kDefaultImage = -1;
  // True for the kinds of target (lower-cased extensions) that Save writes
  // one image of the group to.
  static bool TakesOneImage(const std::string& kind);
  // Places the first image of the selected entry (or its image `image`) on
  // the clipboard; false after "没有可复制的图标资源!" when there is none.
  bool Copy(int image = kDefaultImage);

  // True when the current group has a first record that holds a block.
  bool HasFirstImage() const;
  // The same for record `index`; past the first only among the images the
  // group counts.
  bool HasImage(std::uint32_t index) const;
  // The image of the current group a PNG file is made of, or -1.
  int LargestImageIndex() const;

 private:
  void OpenIconFile(Opened* opened);
  void OpenBitmapFile(Opened* opened);
  bool OpenModule();
  void EmptyList();
  void ReplaceGroup(IconGroup* group);
  ResourceName EntryName(int entry) const;
  int SelectedEntry() const;
  bool IsListEmpty() const;

  HWND listOwner_ = nullptr;
  HWND list_ = nullptr;
  HINSTANCE instance_ = nullptr;
  std::string path_;
  std::string extension_;
  // The module listed by the last Open, held for the previews and for reading
  // every entry of it in turn.
  std::unique_ptr<ModuleResources> module_;
  IconGroupPtr group_;
  // The current group is the one made at the start: it has room for a first
  // record although it counts no image yet.
  bool startingGroup_ = false;
};

// The text behind the last "." of the file name (not of its folder),
// lower-cased; empty when the name has none.
std::string LowerExtension(const std::string& path);
