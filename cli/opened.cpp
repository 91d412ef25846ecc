#include "opened.h"

#include <initializer_list>

#include "core/messages.h"
#include "readable.h"

namespace {

// Opens with the messages of `kinds` held back. Those of `openFailures` are
// told only once the file is known to be readable, after the others are no
// longer held: checking only then spares each of a batch's hundreds of files
// the system calls of a check.
template <typename Open>
Opened OpenHoldingBack(const std::string& path, std::initializer_list<Message> kinds,
                       std::initializer_list<Message> openFailures, Open open) {
  bool listed, empty;
  bool failed = false;
  Message failure = Message::kNotLoadable;
  {
    NotedMessages held(kinds);
    listed = open();
    // Empty: nothing listed, and no reason told but that.
    empty = held.Noted() && !held.Shown();
    for (Message kind : openFailures) {
      if (failed || !held.Noted(kind)) continue;
      failed = true;
      failure = kind;
    }
  }
  if (failed) {
    if (CheckReadable(path)) ShowMessage(failure, path.c_str());
    return Opened::kFailed;
  }
  if (listed) return Opened::kListed;
  return empty ? Opened::kEmpty : Opened::kFailed;
}

}  // namespace

Opened OpenIcons(Source& source, const std::string& path) {
  // A module's directory that can't be listed is told as one without icons:
  // the system's enumeration tells the two apart no better.
  return OpenHoldingBack(path,
                         {Message::kEnumerationFailed, Message::kNoIcons, Message::kNotLoadable,
                          Message::kIconOpenFailed, Message::kBitmapOpenFailed},
                         {Message::kNotLoadable, Message::kIconOpenFailed, Message::kBitmapOpenFailed},
                         [&] { return source.Open(path); });
}

Opened OpenCursors(ModuleCursors& cursors, const std::string& path) {
  return OpenHoldingBack(path, {Message::kNoCursors, Message::kNotLoadable}, {Message::kNotLoadable},
                         [&] { return cursors.Open(path.c_str()); });
}
