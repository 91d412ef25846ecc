#include "opened.h"

#include "core/messages.h"
#include "readable.h"

namespace {

// A file that can't be loaded as a module may be one that can't be read at
// all: that is checked only then, sparing each of a batch's hundreds of
// files the system calls of a check.
Opened NotLoadable(const std::string& path) {
  if (CheckReadable(path)) ShowMessage(Message::kNotLoadable, path.c_str());
  return Opened::kFailed;
}

}  // namespace

Opened OpenIcons(Source& source, const std::string& path) {
  IconDocument& document = source.Document();
  const IconDocument::Opened opened = document.Open(path.c_str());
  if (!opened.listed && opened.failure == Message::kNotLoadable) return NotLoadable(path);
  // The icon or bitmap reader has said why.
  if (opened.readFailed) return Opened::kFailed;
  // A module's directory that can't be listed is told as one without icons:
  // the system's enumeration tells the two apart no better.
  if (!opened.listed || !document.SelectFirstEntry()) return Opened::kEmpty;
  return Opened::kListed;
}

Opened OpenCursors(ModuleCursors& cursors, const std::string& path) {
  if (cursors.Open(path.c_str()) == ModuleCursors::Opened::kNotLoadable) return NotLoadable(path);
  return cursors.Entries().Count() == 0 ? Opened::kEmpty : Opened::kListed;
}
