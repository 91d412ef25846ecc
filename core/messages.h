// Every message the program shows, defined once: its text, which window owns
// its box and what stands in the caption. The texts are the program's own
// (GBK bytes); a path shown with them is in the system's code page.
#pragma once

#include "platform/platform.h"

enum class Message {
  // The window's commands (caption "错误").
  kNotLoadable,  // the path stands before the text
  kEnumerationFailed,
  kNoIcons,
  kNothingToSave,
  kNothingToCopy,
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

struct MessageDefinition {
  Message id;
  const char* text;
  MessageCaption caption;
  MessageBoxOwner owner;
};

const MessageDefinition& DefineMessage(Message id);
// The message's own text.
const char* MessageText(Message id);

// Shows the message in an OK box, owned and captioned by its definition;
// `path` is the file concerned (unused by the window's own messages).
void ShowMessage(Message id, const char* path = nullptr);
