#include "icon_document.h"

#include "bitmap_file.h"
#include "codecs/icon_picture.h"
#include "file_names.h"
#include "icon_file.h"
#include "icon_from_bitmap.h"
#include "icon_handles.h"
#include "messages.h"
#include "module_loading.h"
#include "png_file.h"

void IconDocument::Attach(EntryList* entries, HINSTANCE instance) {
  entries_ = entries;
  instance_ = instance;
  // None when it can't be made: the commands then find nothing to work on.
  group_.reset(CreateUntitledGroup());
  startingGroup_ = group_ != nullptr;
}

void IconDocument::Close() {
  // The entries' names go while their list is still there.
  if (entries_ != nullptr) entries_->Clear();
  entries_ = nullptr;
  group_.reset();
  startingGroup_ = false;
  ReleaseModule();
}

namespace {

// Why a group none of whose images gives an icon gives none: too large when
// any image is past the budget, else undecodable.
DecodeOutcome UnusableImageOutcome(const IconGroup* group) {
  for (std::uint32_t i = 0; i < group->imageCount; ++i) {
    const IconImage& image = group->images[i];
    IconPicture picture;
    if (DecodeIconImage(image.bits, image.byteCount, &picture) == DecodeOutcome::kTooLarge) {
      return DecodeOutcome::kTooLarge;
    }
  }
  return DecodeOutcome::kUndecodable;
}

}  // namespace

IconDocument::SourceKind IconDocument::KindByExtension(const std::string& path) {
  const std::string extension = LowerExtension(path);
  if (extension == "ico") return SourceKind::kIconFile;
  return extension == "bmp" ? SourceKind::kBitmapFile : SourceKind::kModule;
}

IconDocument::OpenOutcome IconDocument::Open(const char* path) { return Open(path, KindByExtension(path)); }

IconDocument::OpenOutcome IconDocument::Open(const char* path, SourceKind kind) {
  path_ = path;
  entries_->Clear();
  ReleaseModule();

  OpenOutcome opened;
  opened.kind = kind;
  if (kind == SourceKind::kIconFile) {
    OpenIconFile(&opened);
    opened.listed = true;
  } else if (kind == SourceKind::kBitmapFile) {
    OpenBitmapFile(&opened);
    opened.listed = true;
  } else {
    OpenModule(&opened);
  }
  opened.entries = entries_->Count();
  return opened;
}

void IconDocument::OpenGroup(const char* path, IconGroupPtr group) {
  path_ = path;
  entries_->Clear();
  ReleaseModule();
  ReplaceGroup(group.release());
  if (group_ != nullptr) entries_->Add(path_.c_str(), 0);
}

void IconDocument::OpenIconFile(OpenOutcome* opened) {
  IconFileFailure failure = IconFileFailure::kHeaderUnreadable;
  ReplaceGroup(LoadIconFile(path_.c_str(), &failure));
  opened->readFailed = group_ == nullptr;
  // The platform's extraction trusts the directory of an icon file that ours
  // has just refused (cut short, offsets past its end, images too large):
  // Wine's reads past the end of a cut file and the program dies. Only a file
  // with no icon header (a module named .ico, say), or none that opens, is
  // left to the platform.
  const bool refusedIconFile =
      opened->readFailed && failure != IconFileFailure::kHeaderUnreadable && failure != IconFileFailure::kOpenFailed;
  if (!refusedIconFile) opened->preview.Reset(ExtractIconA(instance_, path_.c_str(), 0));
  // A file that is neither an icon file nor a module gives the value 1: the
  // path is listed all the same, and the preview shows nothing.
  if (opened->preview.Get() != nullptr) entries_->Add(path_.c_str(), 0);
  opened->noUsableImage = group_ != nullptr && group_->imageCount > 0 && opened->preview.Get() == nullptr;
  if (opened->noUsableImage) opened->unusableImage = UnusableImageOutcome(group_.get());
  opened->previewChanged = true;
}

void IconDocument::OpenBitmapFile(OpenOutcome* opened) {
  // Without a record to read into, nothing is read and nothing said.
  const bool hasRoom = group_ != nullptr && (group_->imageCount > 0 || startingGroup_);
  opened->readFailed = hasRoom && !ReadBitmapIntoGroup(group_.get(), startingGroup_, path_.c_str());
  // When the bitmap can't be read, an image the first record held before is
  // the icon still.
  if (HasFirstImage()) opened->preview.Reset(IconHandleFromImage(GroupImage(group_.get(), 0)));
  if (opened->preview) entries_->Add(path_.c_str(), 0);
  opened->previewChanged = true;
}

void IconDocument::OpenModule(OpenOutcome* opened) {
  // A 32-bit module is loaded by the platform, a 16-bit one read by our own
  // reader: which one, the file's content says.
  module_ = LoadModuleResources(path_.c_str());
  if (!module_) {
    opened->failure = Message::kNotLoadable;
    return;
  }
  opened->listed = entries_->ListGroups(*module_, RT_GROUP_ICON) != FALSE;
  if (!opened->listed) opened->failure = Message::kEnumerationFailed;
}

bool IconDocument::SelectFirstEntry() {
  SelectEntry(0);
  return !IsListEmpty();
}

void IconDocument::ReplaceGroupRead(IconGroup* group) {
  // A group whose every image is missing is none: there is nothing to save.
  IconGroupPtr read(group);
  if (read != nullptr && read->imageCount == 0 && missing_ != nullptr && !missing_->empty()) read.reset();
  ReplaceGroup(read.release());
}

void IconDocument::ReplaceGroup(IconGroup* group) {
  group_.reset(group);
  startingGroup_ = false;
  groupBorrows_ = false;
}

void IconDocument::ReleaseModule() {
  if (groupBorrows_) ReplaceGroup(nullptr);
  module_.reset();
}

bool IconDocument::IsListEmpty() const { return entries_->Count() == 0; }

int IconDocument::SelectedEntry() const { return entries_->Selected(); }

void IconDocument::SelectEntry(int entry) { entries_->Select(entry); }

std::vector<std::string> IconDocument::Entries() const {
  std::vector<std::string> entries;
  for (std::size_t i = 0; i < entries_->Count(); ++i) entries.push_back(entries_->Text(i));
  return entries;
}

int IconDocument::FindEntry(const std::string& text) const {
  std::vector<std::string> entries = Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == text) return static_cast<int>(i);
  }
  for (std::size_t i = 0; i < entries.size() && IsModuleSource(); ++i) {
    const ResourceName name = EntryName(static_cast<int>(i));
    if (name != 0 && ResourceNameText(name) == text) return static_cast<int>(i);
  }
  return -1;
}

ResourceName IconDocument::EntryName(int entry) const {
  return entry < 0 ? 0 : entries_->Name(static_cast<std::size_t>(entry));
}

bool IconDocument::SelectedModulePreview(IconHandle* preview) const {
  const int selected = SelectedEntry();
  if (selected < 0 || static_cast<std::size_t>(selected) >= entries_->Count() || !IsModuleSource()) return false;
  preview->Reset(LoadPreviewIcon(*module_, EntryName(selected)));
  return true;
}

std::vector<WORD> IconDocument::EntryLanguages(int entry) const {
  const ResourceName name = EntryName(entry);
  if (!IsModuleSource() || name == 0) return {};
  return module_->Languages(ResourceNameArgument(name), RT_GROUP_ICON);
}

bool IconDocument::EntryGroupResource(int entry, ByteView* bytes, std::uint64_t* fileOffset) const {
  const ResourceName name = EntryName(entry);
  if (!IsModuleSource() || name == 0) return false;
  if (module_->FindInLanguage(ResourceNameArgument(name), RT_GROUP_ICON, language_, bytes) !=
      ModuleResources::Lookup::kFound) {
    return false;
  }
  if (!module_->FileOffset(bytes->Data(), fileOffset)) *fileOffset = 0;
  return true;
}

const IconGroup* IconDocument::ReadSelectedGroup() {
  ReadModuleGroup(EntryName(SelectedEntry()), readFromHeld_ ? module_.get() : nullptr);
  return group_.get();
}

const IconGroup* IconDocument::ReadEntryFromHeldModule(int entry) {
  ReadModuleGroup(EntryName(entry), module_.get());
  return group_.get();
}

void IconDocument::ReadModuleGroup(ResourceName name, const ModuleResources* held) {
  lastReadFailure_ = GroupReadFailure::kNone;
  if (!IsModuleSource() || name == 0) return;
  GroupReading reading{language_, missing_};
  reading.borrow = held != nullptr && borrowHeld_;
  ReplaceGroupRead(held != nullptr ? ReadModuleIconGroup(*held, path_.c_str(), name, &reading)
                                   : LoadModuleIconGroup(path_.c_str(), name, &reading));
  groupBorrows_ = reading.borrow && group_ != nullptr;
  lastReadFailure_ = reading.failure;
}

bool IconDocument::HasFirstImage() const { return HasImage(0); }

bool IconDocument::HasImage(std::uint32_t index) const {
  if (group_ == nullptr) return false;
  const bool hasRoom = group_->imageCount > index || (index == 0 && startingGroup_);
  return hasRoom && GroupImage(group_.get(), index)->bits != nullptr;
}

bool IconDocument::TakesOneImage(const std::string& kind) { return kind == "bmp" || kind == "png"; }

namespace {

class ShownWhileWriting {
 public:
  explicit ShownWhileWriting(WaitIndicator* wait) : wait_(wait) {
    if (wait_ != nullptr) wait_->Show();
  }
  ~ShownWhileWriting() {
    if (wait_ != nullptr) wait_->Hide();
  }
  ShownWhileWriting(const ShownWhileWriting&) = delete;
  ShownWhileWriting& operator=(const ShownWhileWriting&) = delete;

 private:
  WaitIndicator* wait_;
};

}  // namespace

IconDocument::Saved IconDocument::Save(const char* target, const std::string& kind, WaitIndicator* wait, int image) {
  ReadSelectedGroup();
  const bool listed = !IsListEmpty();
  if (kind == "png") return SavePng(target, wait, image, listed);
  if (kind == "bmp") {
    // A bitmap is of the first image, unless one is asked for.
    const int chosen = image != kDefaultImage ? image : 0;
    if (!listed || !HasImage(static_cast<std::uint32_t>(chosen))) {
      ShowMessage(Message::kNothingToSave, path_.c_str());
      return Saved::kNothingToSave;
    }
    ShownWhileWriting shown(wait);
    return SaveImageAsBitmap(target, GroupImage(group_.get(), static_cast<std::uint32_t>(chosen))) ? Saved::kWritten
                                                                                                  : Saved::kNotWritten;
  }
  if (kind == "ico") {
    if (!listed || group_ == nullptr) {
      ShowMessage(Message::kNothingToSave, path_.c_str());
      return Saved::kNothingToSave;
    }
    ShownWhileWriting shown(wait);
    return SaveIconFile(group_.get(), target) ? Saved::kWritten : Saved::kNotWritten;
  }
  // Writing nothing without a word would let the user believe it was saved.
  ShowMessage(Message::kUnsupportedSaveType, path_.c_str());
  return Saved::kOtherKind;
}

IconDocument::Saved IconDocument::SavePng(const char* target, WaitIndicator* wait, int image, bool listed) {
  passedOver_.clear();
  // The image asked for alone; by default the largest, or the next largest
  // that decodes.
  std::vector<std::uint32_t> order;
  if (image != kDefaultImage && HasImage(static_cast<std::uint32_t>(image))) {
    order.push_back(static_cast<std::uint32_t>(image));
  } else if (image == kDefaultImage) {
    order = ImagesLargestFirst();
  }
  if (!listed || order.empty()) {
    ShowMessage(Message::kNothingToSave, path_.c_str());
    return Saved::kNothingToSave;
  }
  ShownWhileWriting shown(wait);
  ChosenPng chosen = GroupPng(group_.get(), order);
  if (chosen.image < 0) {
    ShowMessage(PngFailureMessage(chosen.passedOver.front().outcome), path_.c_str());
    return Saved::kNotWritten;
  }
  passedOver_ = std::move(chosen.passedOver);
  return WritePngFile(target, chosen.png) ? Saved::kWritten : Saved::kNotWritten;
}

std::vector<std::uint32_t> IconDocument::ImagesLargestFirst() const {
  // The starting group counts no image, but a bitmap read into it is one.
  if (group_ != nullptr && group_->imageCount == 0) return std::vector<std::uint32_t>(HasFirstImage() ? 1 : 0, 0);
  return ::ImagesLargestFirst(group_.get());
}

int IconDocument::LargestImageIndex() const {
  const std::vector<std::uint32_t> order = ImagesLargestFirst();
  return order.empty() ? -1 : static_cast<int>(order.front());
}

bool IconDocument::Copy(int image) {
  // Like Save, Copy takes the selected entry of a module, never another
  // entry's group left from an earlier command.
  ReadSelectedGroup();
  const std::uint32_t index = image == kDefaultImage ? 0 : static_cast<std::uint32_t>(image);
  if (IsListEmpty() || !HasImage(index)) {
    ShowMessage(Message::kNothingToCopy, path_.c_str());
    return false;
  }
  return CopyImageToClipboard(GroupImage(group_.get(), index)) != 0;
}
