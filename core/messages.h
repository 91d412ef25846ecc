// Every message the program shows, defined once: its Chinese text (the
// window's), its English text, which window owns its box and what stands in
// the caption. The texts are the program's own (GBK bytes; the English ones
// are ASCII); a path shown with them is in the system's code page.
#pragma once

#include "platform/platform.h"

enum class Message {
  // The window's commands (caption "错误").
  kNotLoadable,  // the path stands before the text
  kEnumerationFailed,
  kNoIcons,
  kNothingToSave,
  kNothingToCopy,
  kUnsupportedSaveType,
  // A name chosen in a file dialog that the system's code page cannot hold
  // and that has no short name it can (caption "错误").
  kNameOutsideCodePage,
  // The help command, F1 (caption "Pictrove").
  kHelp,
  // Reading a module's group icon (caption: the module's path).
  kModuleNotLoaded,
  kModuleOutOfMemory,
  kModuleNotAnIconImage,
  // Reading an icon file (caption: its path).
  kIconOpenFailed,
  kIconGroupOutOfMemory,
  kIconHeaderReadFailed,
  kIconFileReadFailed,
  kIconOutOfMemory,
  kIconDirectoryOutOfMemory,
  kIconSeekFailed,
  kIconImageReadFailed,
  kIconImageInvalid,
  // Writing an icon file (caption: its path).
  kIconCreateFailed,
  kIconHeaderWriteFailed,
  kIconWriteFailed,
  // Reading and writing bitmap files (no owner; caption: the path).
  kBitmapOpenFailed,
  kBitmapHeaderReadFailed,
  kBitmapUnknownFormat,
  kBitmapOutOfMemory,
  kBitmapInfoReadFailed,
  kBitmapOs2Header,
  kBitmapRowsOutOfMemory,
  kBitmapColorTableReadFailed,
  kBitmapSeekFailed,
  kBitmapReadFailed,
  kBitmapCreateFailed,
  kBitmapHeaderWriteFailed,
  kBitmapWriteFailed,
  kBitmapNotConvertible,
  // An icon image whose data gives no picture (no owner; caption: the path).
  kImageUndecodable,
  // A save that must rewrite its target in place finds the copy of the old
  // content an earlier one, cut off, kept beside it (caption: the target).
  kInterruptedSaveBackup,
  // The same copy of a file whose name is too long for that one's name.
  kInterruptedSaveShortBackup,
  // A save that must rewrite its target in place finds it held by another
  // program (another save of it, say) (caption: the target).
  kTargetInUse,
  // Writing a PNG file (caption: its path).
  kPngNotConvertible,
  kPngCreateFailed,
  kPngWriteFailed,
  // A module's group cursors (the command's; caption: the path).
  kNoCursors,
  kCursorUnreadable,
  kCursorWriteFailed,
  // Reading a .CUR file (the command's; caption: the path).
  kCursorFileOpenFailed,
  kCursorFileReadFailed,
  kAnimatedCursorDamaged,
  // Budgets of what a file may cost (caption: the path): memory for its
  // pictures and images, and what is written or printed of it.
  kOverMemoryBudget,
  kOverOutputBudget,
  // More images than the directory of an icon or cursor file counts.
  kTooManyImages,
};

enum class MessageCaption {
  kPath,        // the path of the file concerned
  kProgram,     // "错误"
  kPathInText,  // "错误", the path directly followed by the text
  kProgramName, // "Pictrove"
};

enum class MessageBoxOwner {
  kMainWindow,
  // The main window or, while it has put a box over itself (the about box, a
  // message), that box: the help stays over the window the user is in.
  kWindowInFront,
  kNone,
};

enum class MessageLanguage { kChinese, kEnglish };

struct MessageDefinition {
  Message id;
  const char* chinese;
  const char* english;
  MessageCaption caption;
  MessageBoxOwner owner;
  // The failure of a file call, which the system can explain.
  bool fileCall;
};

const MessageDefinition& DefineMessage(Message id);
// The message's own text, in the language of the current style.
const char* MessageText(Message id);
const char* MessageText(Message id, MessageLanguage language);

// How messages are shown. The window keeps the defaults: its Chinese texts,
// captioned as defined. The command takes the language of its locale, and
// names the file of every message in the caption, since a line on a console
// must say which file it is about.
struct MessageStyle {
  MessageLanguage language = MessageLanguage::kChinese;
  bool fileInCaption = false;
};
void SetMessageStyle(const MessageStyle& style);

// Shows the message in an OK box, owned and captioned by its definition;
// `path` is the file concerned (unused by the window's own messages).
void ShowMessage(Message id, const char* path = nullptr);
