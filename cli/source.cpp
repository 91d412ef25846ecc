#include "source.h"

#include <cctype>
#include <cstring>

#include "core/icon_file.h"
#include "core/icon_from_bitmap.h"
#include "core/icon_handles.h"
#include "core/module_icons.h"

namespace {

// ExtractIconA's answer for a file that is neither an icon file nor a module.
HICON NotAnIconSource() { return reinterpret_cast<HICON>(static_cast<std::intptr_t>(1)); }

}  // namespace

std::string LowerExtension(const std::string& path) {
  std::size_t nameStart = path.find_last_of("/\\");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return "";
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

Source::Source()
    : dialog_(CreateNativeListDialog()),
      list_(GetDlgItem(dialog_, kIconListId)),
      group_(CreateUntitledGroup()) {}

Source::~Source() {
  EmptyList();
  DestroyWindow(dialog_);
  FreeIconGroup(group_);
}

void Source::ReplaceGroup(IconGroup* group) {
  FreeIconGroup(group_);
  group_ = group;
  startingGroup_ = false;
}

void Source::EmptyList() {
  ReleaseListGroupNames(dialog_);
  SendMessageA(list_, LB_RESETCONTENT, 0, 0);
}

void Source::AddEntryIfIcon(HICON icon) {
  if (icon == nullptr) return;
  SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path_.c_str()));
  if (icon != NotAnIconSource()) DestroyIcon(icon);
}

void Source::Open(const std::string& path) {
  path_ = path;
  extension_ = LowerExtension(path);
  EmptyList();
  module_.Free();

  if (extension_ == "ico") {
    OpenIconFile();
  } else if (extension_ == "bmp") {
    OpenBitmapFile();
  } else if (!OpenModule()) {
    return;
  }
  SendMessageA(list_, LB_SETCURSEL, 0, 0);
  if (SendMessageA(list_, LB_GETCOUNT, 0, 0) <= 0) {
    ShowMessageBox(MessageOwner(), "此文件中没有图标资源!", "错误", MB_OK);
  }
}

void Source::OpenIconFile() {
  ReplaceGroup(LoadIconFile(path_.c_str()));
  AddEntryIfIcon(ExtractIconA(nullptr, path_.c_str(), 0));
}

void Source::OpenBitmapFile() {
  ReadBitmapIntoGroup(group_, startingGroup_, path_.c_str());
  if (HasFirstImage()) AddEntryIfIcon(IconHandleFromImage(GroupImage(group_, 0)));
}

bool Source::OpenModule() {
  module_ = ModuleHandle(LoadLibraryExA(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module_) {
    std::string text = path_ + "文件载入错误，必须是WIN32的文件!";
    ShowMessageBox(MessageOwner(), text.c_str(), "错误", MB_OK);
    return false;
  }
  if (!EnumResourceNamesA(module_.Get(), RT_GROUP_ICON, ListGroupName,
                          reinterpret_cast<LONG_PTR>(dialog_))) {
    ShowMessageBox(MessageOwner(), "列举图标资源名时出错!", "错误", MB_OK);
    return false;
  }
  return true;
}

std::vector<std::string> Source::Entries() const {
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

int Source::FindEntry(const std::string& text) const {
  std::vector<std::string> entries = Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == text) return static_cast<int>(i);
  }
  return -1;
}

ResourceName Source::EntryName(int entry) const {
  LRESULT name = SendMessageA(list_, LB_GETITEMDATA, static_cast<WPARAM>(entry), 0);
  return name == LB_ERR ? 0 : static_cast<ResourceName>(name);
}

IconGroup* Source::GroupForEntry(int entry) {
  // Every module the Open command loaded is a module source, whatever its
  // extension: its entry is read afresh, so the icon saved is the entry's own.
  if (module_ && EntryName(entry) != 0) {
    ReplaceGroup(LoadModuleIconGroup(path_.c_str(), EntryName(entry)));
  }
  return group_;
}

IconGroup* Source::GroupForEntryFromHeldModule(int entry) {
  if (module_ && EntryName(entry) != 0) {
    ReplaceGroup(ReadModuleIconGroup(module_.Get(), path_.c_str(), EntryName(entry)));
  }
  return group_;
}

bool Source::HasFirstImage() const {
  if (group_ == nullptr) return false;
  bool hasRoom = group_->imageCount >= 1 || startingGroup_;
  return hasRoom && GroupImage(group_, 0)->bits != nullptr;
}
