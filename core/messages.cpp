#include "messages.h"

#include <cstring>
#include <string>

namespace {

using C = MessageCaption;
using O = MessageBoxOwner;

// The English texts are ASCII: the same bytes in GBK.
constexpr MessageDefinition kMessages[] = {
    {Message::kNotLoadable, "文件载入错误，必须是WIN32的文件!",
     "Cannot load the file: it must be a Win32 module (EXE, DLL or ICL)!", C::kPathInText, O::kMainWindow, false},
    {Message::kEnumerationFailed, "列举图标资源名时出错!", "Error listing the names of the icon resources!",
     C::kProgram, O::kMainWindow, false},
    {Message::kNoIcons, "此文件中没有图标资源!", "This file holds no icon resources!", C::kProgram,
     O::kMainWindow, false},
    {Message::kNothingToSave, "没有可保存的图标资源!", "No icon resource to save!", C::kProgram, O::kMainWindow,
     false},
    {Message::kNothingToCopy, "没有可复制的图标资源!", "No icon resource to copy!", C::kProgram, O::kMainWindow,
     false},
    // A save target whose extension is none of ico, bmp and png.
    {Message::kUnsupportedSaveType, "不支持的文件类型!", "This kind of file is not supported!", C::kProgram,
     O::kMainWindow, false},
    {Message::kNameOutsideCodePage, "文件名中有系统代码页不能表示的字符，请换一个文件名!",
     "The file name holds characters the system's code page cannot show; please choose another name!",
     C::kProgram, O::kMainWindow, false},
    {Message::kHelp,
     "图标抓取工具\n\n"
     "Pictrove 从程序文件(EXE、DLL)、图标库(ICL，也包括16位的)和图标、位图文件(ICO、BMP)中取出图标。\n\n"
     "抓取图标：选择一个文件，列出其中的图标。把文件拖到窗口上，或启动时给出文件名"
     "(Pictrove.exe 文件名)，也同样打开；程序已在运行时，文件交给已打开的窗口。\n"
     "保存图标：把选中的图标存为图标文件(.ICO，全部图像)、位图文件(.BMP，第一幅图像)"
     "或PNG图像(.PNG，最大的图像，带透明)。\n"
     "复制图标：把第一幅图像复制到剪贴板(位图，以及带透明的PNG)。\n"
     "在列表上按右键(或Shift+F10)：列出选中图标的每一幅图像，选一幅即复制它，也可把它另存为PNG图像或位图。"
     "双击列表中的图标即保存它。",
     "Icon grabber\n\n"
     "Pictrove takes icons out of program files (EXE, DLL), icon libraries (ICL, 16-bit ones too) and icon and "
     "bitmap files (ICO, BMP).\n\n"
     "Grab: choose a file and list its icons. A file dropped on the window, or named at start "
     "(Pictrove.exe FILE), opens the same way; while the program runs, a file named at start goes to its "
     "window.\n"
     "Save: save the selected icon as an icon file (.ICO, every image), a bitmap file (.BMP, the first image) "
     "or a PNG image (.PNG, the largest image, with its transparency).\n"
     "Copy: copy the first image to the clipboard (as a bitmap, and as a PNG with its transparency).\n"
     "Right button (or Shift+F10) on the list: every image of the selected icon; choosing one copies it, or "
     "saves it as a PNG image or a bitmap. A double-click on an entry saves it.",
     C::kProgramName, O::kWindowInFront, false},

    {Message::kModuleNotLoaded, "装入文件时出错 - 请选择一个WIN32的DLL或EXE文件!",
     "Error loading the file - please choose a Win32 DLL or EXE file!", C::kPath, O::kMainWindow, false},
    {Message::kModuleOutOfMemory, "内存分配出错!", "Out of memory!", C::kPath, O::kMainWindow, false},
    {Message::kModuleNotAnIconImage, "转换成图标内部格式时出错!", "Error converting to the icon's own format!",
     C::kPath, O::kMainWindow, false},

    {Message::kIconOpenFailed, "图标文件打开时出错!", "Error opening the icon file!", C::kPath, O::kMainWindow,
     true},
    {Message::kIconGroupOutOfMemory, "图标分配内存时出错!", "Out of memory for the icon!", C::kPath,
     O::kMainWindow, false},
    {Message::kIconHeaderReadFailed, "读图标文件头时出错!", "Error reading the icon file's header!", C::kPath,
     O::kMainWindow, true},
    {Message::kIconFileReadFailed, "读图标文件时出错!", "Error reading the icon file!", C::kPath, O::kMainWindow,
     true},
    {Message::kIconOutOfMemory, "图标内存重新分配出错!", "Out of memory growing the icon!", C::kPath,
     O::kMainWindow, false},
    {Message::kIconDirectoryOutOfMemory, "图标文件内存重新分配出错!", "Out of memory growing the icon file!",
     C::kPath, O::kMainWindow, false},
    {Message::kIconSeekFailed, "图标内容定位时出错!", "Error seeking the icon's contents!", C::kPath,
     O::kMainWindow, true},
    {Message::kIconImageReadFailed, "读图标内容出错!", "Error reading the icon's contents!", C::kPath,
     O::kMainWindow, true},
    {Message::kIconImageInvalid, "图标内部格式转换出错!", "Error converting the icon's own format!", C::kPath,
     O::kMainWindow, false},

    {Message::kIconCreateFailed, "文件建立时出错!", "Error creating the file!", C::kPath, O::kMainWindow, true},
    {Message::kIconHeaderWriteFailed, "写图标文件头时出错!", "Error writing the icon file's header!", C::kPath,
     O::kMainWindow, true},
    {Message::kIconWriteFailed, "写图标文件出错!", "Error writing the icon file!", C::kPath, O::kMainWindow, true},

    {Message::kBitmapOpenFailed, "打开位图文件出错!", "Error opening the bitmap file!", C::kPath, O::kNone, true},
    {Message::kBitmapHeaderReadFailed, "读位图文件头出错!", "Error reading the bitmap file's header!", C::kPath,
     O::kNone, true},
    {Message::kBitmapUnknownFormat, "未知的位图格式文件!", "Unknown bitmap file format!", C::kPath, O::kNone,
     false},
    {Message::kBitmapOutOfMemory, "位图内存重新分配出错!", "Out of memory growing the bitmap!", C::kPath,
     O::kNone, false},
    {Message::kBitmapInfoReadFailed, "读位图文件信息头出错!", "Error reading the bitmap's info header!", C::kPath,
     O::kNone, true},
    {Message::kBitmapOs2Header, "OS/2风格的位图不支持!", "OS/2-style bitmaps are not supported!", C::kPath,
     O::kNone, false},
    {Message::kBitmapRowsOutOfMemory, "重新分配位图信息头所需内存失败!",
     "Out of memory growing the bitmap's info header!", C::kPath, O::kNone, false},
    {Message::kBitmapColorTableReadFailed, "读位图颜色表出错!", "Error reading the bitmap's colour table!",
     C::kPath, O::kNone, true},
    {Message::kBitmapSeekFailed, "位图文件大小定位出错!", "Error seeking in the bitmap file!", C::kPath,
     O::kNone, true},
    {Message::kBitmapReadFailed, "读位图文件出错!", "Error reading the bitmap file!", C::kPath, O::kNone, true},
    // The one text that ends in a full-width exclamation mark.
    {Message::kBitmapCreateFailed, "位图文件建立失败！", "Cannot create the bitmap file!", C::kPath, O::kNone,
     true},
    {Message::kBitmapHeaderWriteFailed, "写位图文件头出错!", "Error writing the bitmap file's header!", C::kPath,
     O::kNone, true},
    {Message::kBitmapWriteFailed, "写位图文件出错!", "Error writing the bitmap file!", C::kPath, O::kNone, true},
    {Message::kBitmapNotConvertible, "位图格式不能转换为图标!", "The bitmap's format cannot become an icon!",
     C::kPath, O::kNone, false},
    {Message::kImageUndecodable, "图标图像无法解码!", "The icon image cannot be decoded!", C::kPath, O::kNone,
     false},
    {Message::kInterruptedSaveBackup,
     "此文件上次的保存被中断：它原来的内容留在旁边的 .文件名.pictrove-backup 中，请先把它移走再保存!",
     "An earlier save of this file was cut off: its old content is kept beside it as .NAME.pictrove-backup; "
     "move that away, then save again!",
     C::kPath, O::kMainWindow, false},
    {Message::kInterruptedSaveShortBackup,
     "此文件上次的保存被中断：它原来的内容留在旁边的 .文件名(截短)-编号.pictrove-backup 中，请先把它移走再保存!",
     "An earlier save of this file was cut off: its old content is kept beside it as "
     ".NAME-NUMBER.pictrove-backup, NAME cut short; move that away, then save again!",
     C::kPath, O::kMainWindow, false},
    {Message::kTargetInUse, "此文件正被另一个程序使用(例如另一次保存)，请等它完成后再保存!",
     "Another program is using this file (another save of it, say): save again once it is done!", C::kPath,
     O::kMainWindow, false},

    {Message::kNoCursors, "此文件中没有光标资源!", "This file holds no cursor resources!", C::kPath, O::kNone,
     false},
    {Message::kCursorUnreadable, "读光标资源出错!", "Error reading a cursor resource!", C::kPath,
     O::kNone, false},
    {Message::kCursorWriteFailed, "写光标文件出错!", "Error writing the cursor file!", C::kPath, O::kNone, true},
    {Message::kCursorFileOpenFailed, "光标文件打开时出错!", "Error opening the cursor file!", C::kPath, O::kNone,
     true},
    {Message::kCursorFileReadFailed, "读光标文件出错!", "Error reading the cursor file!", C::kPath, O::kNone, true},
    {Message::kAnimatedCursorDamaged, "动画光标文件已损坏!", "The animated cursor file is damaged!", C::kPath,
     O::kNone, false},

    {Message::kPngNotConvertible, "图标不能转换为PNG格式!", "The icon cannot be converted to PNG!", C::kPath,
     O::kMainWindow, false},
    {Message::kPngCreateFailed, "PNG文件建立时出错!", "Error creating the PNG file!", C::kPath, O::kMainWindow, true},
    {Message::kPngWriteFailed, "写PNG文件出错!", "Error writing the PNG file!", C::kPath, O::kMainWindow, true},

    {Message::kOverMemoryBudget, "图像太大，所需内存超过了允许的限度!",
     "The picture is too large: it would take more memory than is allowed!", C::kPath, O::kMainWindow, false},
    {Message::kOverOutputBudget, "输出超过了此文件大小所允许的限度，已停止!",
     "Stopped: the output would pass what this file's size allows!", C::kPath, O::kMainWindow, false},
    {Message::kTooManyImages, "图像太多，图标或光标文件最多容纳65535个图像!",
     "Too many images: an icon or cursor file holds at most 65535!", C::kPath, O::kMainWindow, false},
};

const char* const kProgramCaption[] = {"错误", "Error"};

MessageStyle g_style;

std::size_t LanguageIndex(MessageLanguage language) { return language == MessageLanguage::kEnglish ? 1 : 0; }
const char kProgramName[] = "Pictrove";

}  // namespace

const MessageDefinition& DefineMessage(Message id) {
  for (const MessageDefinition& definition : kMessages) {
    if (definition.id == id) return definition;
  }
  // Every identifier has its row; a test walks them all.
  return kMessages[0];
}

const char* MessageText(Message id, MessageLanguage language) {
  const MessageDefinition& definition = DefineMessage(id);
  return language == MessageLanguage::kEnglish ? definition.english : definition.chinese;
}

const char* MessageText(Message id) { return MessageText(id, g_style.language); }

void SetMessageStyle(const MessageStyle& style) { g_style = style; }

void ShowMessage(Message id, const char* path) {
  const MessageDefinition& message = DefineMessage(id);
  if (path == nullptr) path = "";
  const char* text = MessageText(id);
  HWND owner = message.owner == MessageBoxOwner::kNone ? nullptr : MessageOwner();
  if (owner != nullptr && message.owner == MessageBoxOwner::kWindowInFront) owner = GetLastActivePopup(owner);
  MessageCaption caption = message.caption;
  if (g_style.fileInCaption && *path != '\0') caption = MessageCaption::kPath;
  const char* programCaption = kProgramCaption[LanguageIndex(g_style.language)];
  switch (caption) {
    case MessageCaption::kPath:
      ShowMessageBox(owner, text, path, MB_OK, MessageEncoding{0, true, message.fileCall});
      break;
    case MessageCaption::kProgram:
      ShowMessageBox(owner, text, programCaption, MB_OK, MessageEncoding{0, false, message.fileCall});
      break;
    case MessageCaption::kProgramName:
      ShowMessageBox(owner, text, kProgramName, MB_OK, kTextWithProgramCaption);
      break;
    case MessageCaption::kPathInText: {
      std::string shown = std::string(path) + text;
      MessageEncoding encoding{static_cast<unsigned>(std::strlen(path)), false, message.fileCall};
      ShowMessageBox(owner, shown.c_str(), programCaption, MB_OK, encoding);
      break;
    }
  }
  // The reason told belongs to this message, not to a later one that comes
  // without a file call of its own.
  if (message.fileCall) SetLastError(0);
}
