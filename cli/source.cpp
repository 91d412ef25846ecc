#include "source.h"

#include <cctype>
#include <cstring>

#include "core/icon_file.h"
#include "platform/platform.h"

namespace {

bool IsUsableIcon(HICON icon) {
  return icon != nullptr && icon != reinterpret_cast<HICON>(static_cast<std::intptr_t>(1));
}

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

Source::Source() : group_(CreateUntitledGroup()) {}

Source::~Source() { FreeIconGroup(group_); }

void Source::ReplaceGroup(IconGroup* group) {
  FreeIconGroup(group_);
  group_ = group;
}

void Source::Open(const std::string& path) {
  path_ = path;
  extension_ = LowerExtension(path);
  entries_.clear();
  if (extension_ == "ico") {
    OpenIconFile();
  } else {
    OpenModule();
    return;
  }
  if (entries_.empty()) ShowMessageBox(MessageOwner(), "此文件中没有图标资源!", "错误", MB_OK);
}

void Source::OpenIconFile() {
  ReplaceGroup(LoadIconFile(path_.c_str()));
  HICON icon = ExtractIconA(nullptr, path_.c_str(), 0);
  if (icon != nullptr) entries_.push_back(path_);
  if (IsUsableIcon(icon)) DestroyIcon(icon);
}

void Source::OpenModule() {
  // Modules are not read yet: every such file is refused as the window
  // refuses a file that is no 32-bit module.
  std::string text = path_ + "文件载入错误，必须是WIN32的文件!";
  ShowMessageBox(MessageOwner(), text.c_str(), "错误", MB_OK);
}

int Source::FindEntry(const std::string& text) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i] == text) return static_cast<int>(i);
  }
  return -1;
}

IconGroup* Source::GroupForEntry(int) { return group_; }

bool Source::HasFirstImage(const IconGroup* group) {
  if (group == nullptr) return false;
  bool hasRoom = group->imageCount >= 1 || std::strcmp(group->iconPath, "Untitled") == 0;
  return hasRoom && group->images[0].bits != nullptr;
}
