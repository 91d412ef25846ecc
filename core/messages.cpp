#include "messages.h"

#include <cstring>
#include <string>

namespace {

using C = MessageCaption;
using O = MessageBoxOwner;

constexpr MessageDefinition kMessages[] = {
    {Message::kNotLoadable, "文件载入错误，必须是WIN32的文件!", C::kPathInText, O::kMainWindow},
    {Message::kEnumerationFailed, "列举图标资源名时出错!", C::kProgram, O::kMainWindow},
    {Message::kNoIcons, "此文件中没有图标资源!", C::kProgram, O::kMainWindow},
    {Message::kNothingToSave, "没有可保存的图标资源!", C::kProgram, O::kMainWindow},
    {Message::kNothingToCopy, "没有可复制的图标资源!", C::kProgram, O::kMainWindow},
    {Message::kNameOutsideCodePage, "文件名中有系统代码页不能表示的字符，请换一个文件名!", C::kProgram,
     O::kMainWindow},
    {Message::kHelp,
     "Pictrove 从程序文件(EXE、DLL、ICL)和图标、位图文件(ICO、BMP)中取出图标。\n\n"
     "抓取图标：选择一个文件，列出其中的图标。\n"
     "保存图标：把选中的图标存为图标文件(.ICO，全部图像)或位图文件(.BMP，第一幅图像)。\n"
     "复制图标：把第一幅图像复制到剪贴板。",
     C::kProgramName, O::kWindowInFront},

    {Message::kModuleNotLoaded, "装入文件时出错 - 请选择一个WIN32的DLL或EXE文件!", C::kPath, O::kMainWindow},
    {Message::kModuleOutOfMemory, "内存分配出错!", C::kPath, O::kMainWindow},
    {Message::kModuleNotAnIconImage, "转换成图标内部格式时出错!", C::kPath, O::kMainWindow},

    {Message::kIconOpenFailed, "图标文件打开时出错!", C::kPath, O::kMainWindow},
    {Message::kIconGroupOutOfMemory, "图标分配内存时出错!", C::kPath, O::kMainWindow},
    {Message::kIconHeaderReadFailed, "读图标文件头时出错!", C::kPath, O::kMainWindow},
    {Message::kIconFileReadFailed, "读图标文件时出错!", C::kPath, O::kMainWindow},
    {Message::kIconOutOfMemory, "图标内存重新分配出错!", C::kPath, O::kMainWindow},
    {Message::kIconDirectoryOutOfMemory, "图标文件内存重新分配出错!", C::kPath, O::kMainWindow},
    {Message::kIconSeekFailed, "图标内容定位时出错!", C::kPath, O::kMainWindow},
    {Message::kIconImageReadFailed, "读图标内容出错!", C::kPath, O::kMainWindow},
    {Message::kIconImageInvalid, "图标内部格式转换出错!", C::kPath, O::kMainWindow},

    {Message::kIconCreateFailed, "文件建立时出错!", C::kPath, O::kMainWindow},
    {Message::kIconHeaderWriteFailed, "写图标文件头时出错!", C::kPath, O::kMainWindow},

    {Message::kBitmapOpenFailed, "打开位图文件出错!", C::kPath, O::kNone},
    {Message::kBitmapHeaderReadFailed, "读位图文件头出错!", C::kPath, O::kNone},
    {Message::kBitmapUnknownFormat, "未知的位图格式文件!", C::kPath, O::kNone},
    {Message::kBitmapOutOfMemory, "位图内存重新分配出错!", C::kPath, O::kNone},
    {Message::kBitmapInfoReadFailed, "读位图文件信息头出错!", C::kPath, O::kNone},
    {Message::kBitmapOs2Header, "OS/2风格的位图不支持!", C::kPath, O::kNone},
    {Message::kBitmapRowsOutOfMemory, "重新分配位图信息头所需内存失败!", C::kPath, O::kNone},
    {Message::kBitmapColorTableReadFailed, "读位图颜色表出错!", C::kPath, O::kNone},
    {Message::kBitmapSeekFailed, "位图文件大小定位出错!", C::kPath, O::kNone},
    {Message::kBitmapReadFailed, "读位图文件出错!", C::kPath, O::kNone},
    // The one text that ends in a full-width exclamation mark.
    {Message::kBitmapCreateFailed, "位图文件建立失败！", C::kPath, O::kNone},
    {Message::kBitmapHeaderWriteFailed, "写位图文件头出错!", C::kPath, O::kNone},
    {Message::kBitmapWriteFailed, "写位图文件出错!", C::kPath, O::kNone},
    {Message::kBitmapNotConvertible, "位图格式不能转换为图标!", C::kPath, O::kNone},
};

const char kProgramCaption[] = "错误";
const char kProgramName[] = "Pictrove";

}  // namespace

const MessageDefinition& DefineMessage(Message id) {
  for (const MessageDefinition& definition : kMessages) {
    if (definition.id == id) return definition;
  }
  // Every identifier has its row; a test walks them all.
  return kMessages[0];
}

const char* MessageText(Message id) { return DefineMessage(id).text; }

void ShowMessage(Message id, const char* path) {
  const MessageDefinition& message = DefineMessage(id);
  if (path == nullptr) path = "";
  HWND owner = message.owner == MessageBoxOwner::kNone ? nullptr : MessageOwner();
  if (owner != nullptr && message.owner == MessageBoxOwner::kWindowInFront) owner = GetLastActivePopup(owner);
  switch (message.caption) {
    case MessageCaption::kPath:
      ShowMessageBox(owner, message.text, path, MB_OK, kTextWithPathCaption);
      break;
    case MessageCaption::kProgram:
      ShowMessageBox(owner, message.text, kProgramCaption, MB_OK, kTextWithProgramCaption);
      break;
    case MessageCaption::kProgramName:
      ShowMessageBox(owner, message.text, kProgramName, MB_OK, kTextWithProgramCaption);
      break;
    case MessageCaption::kPathInText: {
      std::string text = std::string(path) + message.text;
      MessageEncoding encoding{static_cast<unsigned>(std::strlen(path)), false};
      ShowMessageBox(owner, text.c_str(), kProgramCaption, MB_OK, encoding);
      break;
    }
  }
}
