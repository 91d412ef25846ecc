// The file the user opened and the icon taken from it: one flow of Open,
// Save and Copy that the window and the command share. It holds the source's
// path and kind (by its lower-cased extension, or as the caller found it by
// the file's content), the module held for the list
// and the preview, and the current group; the entries live in an entry list
// (the window's list box, or the command's), whose selection says which
// entry Save and Copy work on. Open returns what it came to, and its caller
// tells it; the readers and writers it calls tell their own failures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "codecs/decode_outcome.h"
#include "entry_list.h"
#include "icon_group.h"
#include "image_choice.h"
#include "messages.h"
#include "module_icons.h"
#include "platform/handles.h"

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

  // Starts on the caller's entries (the window's list, the command's), which
  // outlive the document's use of them, with the starting group; `instance`
  // is the one ExtractIconA is asked for.
  void Attach(EntryList* entries, HINSTANCE instance);
  // Lets go of the entries' names, the group and the module, while the list
  // is still there.
  void Close();

  enum class SourceKind { kIconFile, kBitmapFile, kModule };
  struct OpenOutcome {
    SourceKind kind = SourceKind::kModule;
    // False when the file could not be loaded or enumerated as a module: the
    // list is empty, and the buttons and the preview stay as they were.
    bool listed = false;
    // Why not: kNotLoadable or kEnumerationFailed, for the caller to tell.
    Message failure = Message::kNotLoadable;
    // The icon or bitmap reader failed, and has told why.
    bool readFailed = false;
    // An icon file read whole whose images give no icon (a PNG image that
    // doesn't decode, or is too large): nothing is listed, and nothing said.
    bool noUsableImage = false;
    // Why, for the caller to tell: kTooLarge when an image is past the
    // budget of decoded pixels, else kUndecodable.
    DecodeOutcome unusableImage = DecodeOutcome::kDecoded;
    // How many entries were listed.
    std::size_t entries = 0;
    // The icon the preview shows from now on (an icon or bitmap file, even
    // none); a module's preview comes from the next paint.
    bool previewChanged = false;
    IconHandle preview;
  };
  // Opens the file as its extension says: an icon file, a bitmap read into
  // the first record of the current group, or else a module whose group
  // icons are listed.
  OpenOutcome Open(const char* path);
  // The same, as a file of the kind the caller found it to be.
  OpenOutcome Open(const char* path, SourceKind kind);
  // Takes a group the caller read from the file at `path` (a cursor's
  // images) as an icon file's: the file is its one entry.
  void OpenGroup(const char* path, IconGroupPtr group);
  // The kind the extension of the path says.
  static SourceKind KindByExtension(const std::string& path);
  // Selects the first entry; false when nothing is listed.
  bool SelectFirstEntry();

  const std::string& Path() const { return path_; }
  // True while a module opened by the last Open is held, whatever its
  // extension.
  bool IsModuleSource() const { return static_cast<bool>(module_); }

  std::vector<std::string> Entries() const;
  // Index of the entry with this text, else of a module's entry
  // "Icon [text]"; -1 when there is none.
  int FindEntry(const std::string& text) const;
  void SelectEntry(int entry);
  // The group a module's entry names; 0 for another source's entry.
  ResourceName EntryName(int entry) const;

  // The preview of the selected entry of a module source, made afresh (none
  // when it can't be made); false, with `preview` untouched, for another
  // source or when no entry is selected.
  bool SelectedModulePreview(IconHandle* preview) const;

  // The group Save writes: for a module source the selected entry's group,
  // read afresh through a loading of its own (the window's, which holds the
  // module only for its list; from the held module after
  // ReadFromHeldModule); otherwise the current group. Null when there is
  // none. Owned by the document.
  const IconGroup* ReadSelectedGroup();
  // From now on, Save, Copy and ReadSelectedGroup read the selected entry's
  // group from the module held since Open: for a caller that opens the file
  // once for all it does with it.
  void ReadFromHeldModule() { readFromHeld_ = true; }
  // The same, read from the module held since Open: for reading every entry
  // of one module in turn.
  const IconGroup* ReadEntryFromHeldModule(int entry);
  // From now on, a module's group read for an entry leaves out the images
  // whose icon resource is missing, and adds their identifiers to `missing`,
  // instead of failing whole (as the window's reads do).
  void CollectMissingImages(std::vector<std::uint16_t>* missing) { missing_ = missing; }
  // From now on, a module's group is read in `language` (0: the one
  // FindResourceA finds), its images looked up in that language first.
  void ReadInLanguage(WORD language) { language_ = language; }
  // From now on, a group read from the held module points into the module's
  // bytes rather than copies of them, for a caller that only writes each
  // group out. Such a group goes when the module goes.
  void BorrowFromHeldModule() { borrowHeld_ = true; }
  // The languages of a module entry's group, in the directory's order; none
  // for another source and for a module without languages (16-bit).
  std::vector<WORD> EntryLanguages(int entry) const;
  // The stored bytes of a module entry's group resource in the language
  // groups are read in, and where they lie in its file (0 when that can't be
  // told), for those who look at the file itself; false for another source
  // or a group not there.
  bool EntryGroupResource(int entry, ByteView* bytes, std::uint64_t* fileOffset) const;
  // Why the last read of a module's group gave none, beyond what it said.
  GroupReadFailure LastReadFailure() const { return lastReadFailure_; }

  enum class Saved { kWritten, kNotWritten, kNothingToSave, kOtherKind };
  // Saves the selected entry to `target` as `kind`, the lower-cased
  // extension the caller took from the target (the window's m_strSaveExt):
  // "ico" the whole group, "bmp" its image `image` (the window's Save: the
  // first), "png" its largest image that decodes (image_choice.h) or image
  // `image` when one is asked for; any other kind writes nothing and says
  // so. The writers show their own failures; an image whose PNG can't be
  // made is told with the source's path.
  Saved Save(const char* target, const std::string& kind, WaitIndicator* wait, int image = kDefaultImage);
  // The images the last Save of a PNG passed over for one that decodes.
  const std::vector<PassedOver>& PassedOverImages() const { return passedOver_; }
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
  void OpenIconFile(OpenOutcome* opened);
  void OpenBitmapFile(OpenOutcome* opened);
  void OpenModule(OpenOutcome* opened);
  void ReplaceGroup(IconGroup* group);
  Saved SavePng(const char* target, WaitIndicator* wait, int image, bool listed);
  // The images of the current group by ::ImagesLargestFirst.
  std::vector<std::uint32_t> ImagesLargestFirst() const;
  void ReplaceGroupRead(IconGroup* group);
  // The group of a module's entry, read from `held`, or afresh through a
  // loading of its own when null; nothing for another source.
  void ReadModuleGroup(ResourceName name, const ModuleResources* held);
  int SelectedEntry() const;
  bool IsListEmpty() const;
  // Lets go of the held module, and first of a group that points into it.
  void ReleaseModule();

  EntryList* entries_ = nullptr;
  HINSTANCE instance_ = nullptr;
  std::string path_;
  // The module listed by the last Open, held for the previews and for reading
  // every entry of it in turn.
  std::unique_ptr<ModuleResources> module_;
  IconGroupPtr group_;
  std::vector<std::uint16_t>* missing_ = nullptr;
  std::vector<PassedOver> passedOver_;
  WORD language_ = 0;
  bool borrowHeld_ = false;
  bool readFromHeld_ = false;
  bool groupBorrows_ = false;
  GroupReadFailure lastReadFailure_ = GroupReadFailure::kNone;
  // The current group is the one made at the start: it has room for a first
  // record although it counts no image yet.
  bool startingGroup_ = false;
};
