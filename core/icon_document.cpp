#include "icon_document.h"

#include "bitmap_file.h"
#include "icon_file.h"
#include "icon_from_bitmap.h"
#include "icon_handles.h"
#include "messages.h"
#include "module_loading.h"
#include "png_file.h"

std::string LowerExtension(const std::string& path) {
  std::size_t nameStart = path.find_last_of("/\\");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return "";
  std::string extension = path.substr(dot + 1);
  // ASCII letters only, whatever the locale: the window's rule too.
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

void IconDocument::Attach(HWND listOwner, HINSTANCE instance) {
  listOwner_ = listOwner;
  list_ = GetDlgItem(listOwner, kIconListId);
  instance_ = instance;
  // None when it can't be made: the commands then find nothing to work on.
  group_.reset(CreateUntitledGroup());
  startingGroup_ = group_ != nullptr;
}

void IconDocument::Close() {
  if (listOwner_ != nullptr) ReleaseListGroupNames(listOwner_);
  listOwner_ = nullptr;
  list_ = nullptr;
  group_.reset();
  startingGroup_ = false;
  module_.reset();
}

IconDocument::Opened IconDocument::Open(const char* path) {
  path_ = path;
  extension_ = LowerExtension(path_);
  EmptyList();
  module_.reset();

  Opened opened;
  if (extension_ == "ico") {
    OpenIconFile(&opened);
  } else if (extension_ == "bmp") {
    OpenBitmapFile(&opened);
  } else {
    opened.listed = OpenModule();
    return opened;
  }
  opened.listed = true;
  return opened;
}

void IconDocument::OpenIconFile(Opened* opened) {
  ReplaceGroup(LoadIconFile(path_.c_str()));
  opened->preview.Reset(ExtractIconA(instance_, path_.c_str(), 0));
  // A file that is neither an icon file nor a module gives the value 1: the
  // path is listed all the same, and the preview shows nothing.
  if (opened->preview.Get() != nullptr) SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path_.c_str()));
  opened->previewChanged = true;
}

void IconDocument::OpenBitmapFile(Opened* opened) {
  ReadBitmapIntoGroup(group_.get(), startingGroup_, path_.c_str());
  // When the bitmap can't be read, an image the first record held before is
  // the icon still.
  if (HasFirstImage()) opened->preview.Reset(IconHandleFromImage(GroupImage(group_.get(), 0)));
  if (opened->preview) SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path_.c_str()));
  opened->previewChanged = true;
}

bool IconDocument::OpenModule() {
  // A 32-bit module is loaded by the platform, a 16-bit one read by our own
  // reader: which one, the file's content says.
  module_ = LoadModuleResources(path_.c_str());
  if (!module_) {
    ShowMessage(Message::kNotLoadable, path_.c_str());
    return false;
  }
  // A list box repaints itself and its scroll bar for every entry added, so
  // that a module of thousands of group icons kept the window busy for
  // minutes: the list is filled unseen and shown once.
  SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  const bool enumerated =
      module_->EnumerateNames(RT_GROUP_ICON, ListGroupName, reinterpret_cast<LONG_PTR>(listOwner_));
  SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
  if (!enumerated) {
    ShowMessage(Message::kEnumerationFailed, path_.c_str());
    return false;
  }
  return true;
}

bool IconDocument::SelectFirstEntry() {
  SelectEntry(0);
  if (!IsListEmpty()) return true;
  ShowMessage(Message::kNoIcons, path_.c_str());
  return false;
}

void IconDocument::EmptyList() {
  // The entries of a module own copies of text names.
  ReleaseListGroupNames(listOwner_);
  SendMessageA(list_, LB_RESETCONTENT, 0, 0);
}

void IconDocument::ReplaceGroup(IconGroup* group) {
  group_.reset(group);
  startingGroup_ = false;
}

bool IconDocument::IsListEmpty() const { return SendMessageA(list_, LB_GETCOUNT, 0, 0) <= 0; }

int IconDocument::SelectedEntry() const {
  return static_cast<int>(SendMessageA(list_, LB_GETCURSEL, 0, 0));
}

void IconDocument::SelectEntry(int entry) {
  SendMessageA(list_, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
}

std::vector<std::string> IconDocument::Entries() const {
  std::vector<std::string> entries;
  LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageA(list_, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length < 0) continue;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(list_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    entries.push_back(text);
  }
  return entries;
}

int IconDocument::FindEntry(const std::string& text) const {
  std::vector<std::string> entries = Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == text) return static_cast<int>(i);
  }
  std::string name;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (IsModuleSource() && GroupNameOfEntry(entries[i], &name) && name == text) return static_cast<int>(i);
  }
  return -1;
}

ResourceName IconDocument::EntryName(int entry) const {
  LRESULT name = SendMessageA(list_, LB_GETITEMDATA, static_cast<WPARAM>(entry), 0);
  return name == LB_ERR ? 0 : static_cast<ResourceName>(name);
}

bool IconDocument::SelectedModulePreview(IconHandle* preview) const {
  LRESULT name = SendMessageA(list_, LB_GETITEMDATA, static_cast<WPARAM>(SelectedEntry()), 0);
  if (name == LB_ERR || !IsModuleSource()) return false;
  preview->Reset(LoadPreviewIcon(*module_, static_cast<ResourceName>(name)));
  return true;
}

const IconGroup* IconDocument::ReadSelectedEntry() {
  const ResourceName name = EntryName(SelectedEntry());
  if (IsModuleSource() && name != 0) {
    ReplaceGroup(LoadModuleIconGroup(path_.c_str(), name));
  }
  return group_.get();
}

const IconGroup* IconDocument::ReadEntryFromHeldModule(int entry) {
  const ResourceName name = EntryName(entry);
  if (IsModuleSource() && name != 0) {
    ReplaceGroup(ReadModuleIconGroup(*module_, path_.c_str(), name));
  }
  return group_.get();
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

IconDocument::Saved IconDocument::Save(const char* target, WaitIndicator* wait, int image) {
  const std::string kind = LowerExtension(target);
  ReadSelectedEntry();
  const bool listed = !IsListEmpty();
  if (kind == "bmp" || kind == "png") {
    // A bitmap is of the first image, a PNG of the largest, unless one is
    // asked for.
    const int chosen = image != kDefaultImage ? image : kind == "bmp" ? 0 : LargestImageIndex();
    if (!listed || chosen < 0 || !HasImage(static_cast<std::uint32_t>(chosen))) {
      ShowMessage(Message::kNothingToSave, path_.c_str());
      return Saved::kNothingToSave;
    }
    const IconImage* picked = GroupImage(group_.get(), static_cast<std::uint32_t>(chosen));
    ShownWhileWriting shown(wait);
    const int written = kind == "bmp" ? SaveImageAsBitmap(target, picked) : SaveImageAsPng(target, picked);
    return written ? Saved::kWritten : Saved::kNotWritten;
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

int IconDocument::LargestImageIndex() const {
  // The starting group counts no image, but a bitmap read into it is one.
  if (group_ != nullptr && group_->imageCount == 0) return HasFirstImage() ? 0 : -1;
  return ::LargestImageIndex(group_.get());
}

bool IconDocument::Copy(int image) {
  // Like Save, Copy takes the selected entry of a module, never another
  // entry's group left from an earlier command.
  ReadSelectedEntry();
  const std::uint32_t index = image == kDefaultImage ? 0 : static_cast<std::uint32_t>(image);
  if (IsListEmpty() || !HasImage(index)) {
    ShowMessage(Message::kNothingToCopy, path_.c_str());
    return false;
  }
  return CopyImageToClipboard(GroupImage(group_.get(), index)) != 0;
}
