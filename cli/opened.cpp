#include "opened.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "command_files.h"
#include "command_texts.h"
#include "core/file_names.h"
#include "core/messages.h"
#include "readable.h"

namespace {

using file_kind::Kind;

enum class Found { kSource, kCursorFile, kRefused };

// True when the (lower-cased) extension names one of the readers: the window's (.ico,
// .bmp, and modules .exe, .dll, .icl) or the cursors'.
bool NamesAReader(const std::string& extension) {
  for (const char* named : {"ico", "bmp", "exe", "dll", "icl", "cur", "ani"}) {
    if (extension == named) return true;
  }
  return false;
}

// The kind of source the file is by its bytes, its extension deciding only
// when they are too few to tell or match no kind: then the reader it names
// says what is wrong with them, in its own words. kRefused, after saying
// why, for a file that can't be read or is of a kind that is not read.
Found SourceKindOf(const std::string& path, IconDocument::SourceKind* kind, FileStart* start) {
  if (!TellFileKind(path, start)) return Found::kRefused;
  Text named = Text::kNotAKind;
  const std::string extension = LowerExtension(path);
  switch (start->kind) {
    case Kind::kModule:
      *kind = IconDocument::SourceKind::kModule;
      return Found::kSource;
    case Kind::kIcon:
      // Some cursors' headers say type 1 (Paint.NET's tools'): Windows loads
      // a .cur as a cursor whatever its type.
      if (extension == "cur") return Found::kCursorFile;
      *kind = IconDocument::SourceKind::kIconFile;
      return Found::kSource;
    case Kind::kBitmap:
      *kind = IconDocument::SourceKind::kBitmapFile;
      return Found::kSource;
    case Kind::kUnknown:
      if (!start->tooShort && !NamesAReader(extension)) break;
      if (extension == "cur" || extension == "ani") return Found::kCursorFile;
      *kind = IconDocument::KindByExtension(path);
      return Found::kSource;
    case Kind::kCursor:
    case Kind::kAnimatedCursor:
      return Found::kCursorFile;
    case Kind::kPng:
      named = Text::kKindPng;
      break;
    case Kind::kMacIcon:
      named = Text::kKindMacIcon;
      break;
    case Kind::kZip:
      named = Text::kKindZip;
      break;
  }
  if (named == Text::kNotAKind) {
    Say(Text::kNotAKind, path.c_str());
  } else {
    Say(Text::kNotAKindNamed, path.c_str(), CommandText(named));
  }
  return Found::kRefused;
}

// A module that can't be loaded is no module the reader takes.
Opened NotLoadable(const std::string& path) {
  ShowMessage(Message::kNotLoadable, path.c_str());
  return Opened::kFailed;
}

// The user's language as Windows names its folders of satellite modules
// ("de-DE" for de_DE.UTF-8); empty for the C locale.
std::string WindowsLanguage() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    std::string language(value, std::strcspn(value, ".@"));
    if (language == "C" || language == "POSIX") return "";
    std::replace(language.begin(), language.end(), '_', '-');
    return language;
  }
  return "";
}

// Where Windows 10 and later keep the icons of a module that holds none of
// its own: ..\SystemResources\NAME.mun, else LANG\NAME.mui beside it (the
// user's language, then en-US); those that are there.
std::vector<std::string> MovedOutPlaces(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
  std::vector<std::string> places;
  const auto add = [&places](const std::string& parent, const std::string& within, const std::string& file) {
    const std::string found = command_files::FindIgnoringCase(parent, within);
    const std::string place = found.empty() ? "" : command_files::FindIgnoringCase(found, file);
    if (!place.empty()) places.push_back(place);
  };
  add(folder + "/..", "SystemResources", name + ".mun");
  const std::string language = WindowsLanguage();
  if (!language.empty() && language != "en-US") add(folder, language, name + ".mui");
  add(folder, "en-US", name + ".mui");
  return places;
}

// Memory ran out while a module's groups were listed: the list lacks some,
// which is no module without icons. Says so.
bool TellListingOutOfMemory(const HeldEntries& entries, bool listed, const std::string& path) {
  if (!entries.LostEntries() && (listed || GetLastError() != ERROR_NOT_ENOUGH_MEMORY)) return false;
  ShowMessage(Message::kModuleOutOfMemory, path.c_str());
  return true;
}

Opened OpenFound(Source& source, const std::string& path, IconDocument::SourceKind kind) {
  IconDocument& document = source.Document();
  const IconDocument::OpenOutcome opened = document.Open(path.c_str(), kind);
  if (TellListingOutOfMemory(source.Entries(), opened.listed, path)) return Opened::kFailed;
  if (!opened.listed && opened.failure == Message::kNotLoadable) return NotLoadable(path);
  // The icon or bitmap reader has said why.
  if (opened.readFailed) return Opened::kFailed;
  // Images there are, but none gives an icon: that is no file without icons.
  if (opened.noUsableImage) {
    ShowMessage(
        opened.unusableImage == DecodeOutcome::kTooLarge ? Message::kOverMemoryBudget : Message::kImageUndecodable,
        path.c_str());
    return Opened::kFailed;
  }
  // A module's directory that can't be listed is told as one without icons:
  // the system's enumeration tells the two apart no better.
  if (!opened.listed || !document.SelectFirstEntry()) return Opened::kEmpty;
  return Opened::kListed;
}

}  // namespace

Opened OpenIcons(Source& source, const std::string& path) {
  IconDocument::SourceKind kind;
  FileStart start;
  const Found found = SourceKindOf(path, &kind, &start);
  if (found != Found::kSource) return found == Found::kCursorFile ? Opened::kCursorFile : Opened::kFailed;
  const Opened opened = OpenFound(source, path, kind);
  if (opened != Opened::kEmpty || kind != IconDocument::SourceKind::kModule) return opened;
  for (const std::string& place : MovedOutPlaces(path)) {
    if (!command_files::Readable(place)) continue;
    if (OpenFound(source, place, kind) != Opened::kListed) continue;
    Say(Text::kIconsMovedOut, path.c_str(), place.c_str());
    return Opened::kListed;
  }
  // The module itself, as it was.
  OpenFound(source, path, kind);
  return Opened::kEmpty;
}

Opened OpenCursors(ModuleCursors& cursors, const std::string& path) {
  IconDocument::SourceKind kind;
  FileStart start;
  const Found found = SourceKindOf(path, &kind, &start);
  if (found != Found::kSource) return found == Found::kCursorFile ? Opened::kCursorFile : Opened::kFailed;
  // An icon or bitmap file holds no cursors.
  if (kind != IconDocument::SourceKind::kModule) return Opened::kEmpty;
  if (!cursors.Open(path.c_str())) return NotLoadable(path);
  if (TellListingOutOfMemory(cursors.Entries(), cursors.Entries().Count() != 0, path)) return Opened::kFailed;
  return cursors.Entries().Count() == 0 ? Opened::kEmpty : Opened::kListed;
}

bool TellMissingImages(Source& source, const std::string& path, const std::string& entry) {
  std::vector<std::uint16_t>& missing = source.MissingImages();
  for (std::uint16_t id : missing) Say(Text::kMissingImage, path.c_str(), entry.c_str(), static_cast<unsigned>(id));
  const bool none = missing.empty();
  missing.clear();
  return none;
}

void TellPassedOver(const std::vector<PassedOver>& passedOver, const std::string& path, const std::string& entry) {
  for (const PassedOver& passed : passedOver) {
    Say(Text::kImagePassedOver, path.c_str(), entry.c_str(), static_cast<unsigned>(passed.image), passed.width,
        passed.height);
  }
}

bool TellUnreadable(const Source& source, const std::string& path) {
  if (source.Document().LastReadFailure() != GroupReadFailure::kUnreadable) return false;
  Say(Text::kCannotRead, path.c_str(), CommandText(Text::kChangedOrCut));
  return true;
}

bool ReadEntryInLanguage(Source& source, const std::string& path, int entry, const std::string& text,
                         WORD language) {
  const std::vector<WORD> languages = source.Document().EntryLanguages(entry);
  if (std::find(languages.begin(), languages.end(), language) == languages.end()) {
    Say(Text::kNoLanguage, path.c_str(), text.c_str(), static_cast<unsigned>(language));
    return false;
  }
  source.Document().ReadInLanguage(language);
  return true;
}

std::uint64_t InputBytes(const std::string& path) {
  command_files::Facts facts;
  return command_files::Inspect(path, &facts) == 0 ? facts.length : 0;
}

Opened OpenAndSelect(Source& source, const Arguments& args, std::string* entryText) {
  const std::string& file = args.files[0];
  const Opened opened = OpenIcons(source, file);
  if (opened == Opened::kEmpty) ShowMessage(Message::kNoIcons, file.c_str());
  if (opened != Opened::kListed) return opened;
  IconDocument& document = source.Document();
  int entry = source.Entries().EntryAddedAs(0);
  if (args.hasEntry) {
    entry = document.FindEntry(args.entry);
    if (entry < 0) {
      Say(Text::kNoEntry, file.c_str(), args.entry.c_str());
      return Opened::kFailed;
    }
  } else if (args.hasIndex) {
    entry = source.Entries().EntryOfIconIndex(args.index);
    if (entry < 0) {
      Say(Text::kNoIndex, file.c_str(), static_cast<int>(args.index));
      return Opened::kFailed;
    }
  }
  document.SelectEntry(entry);
  *entryText = document.Entries()[static_cast<std::size_t>(entry)];
  if (args.hasLanguage && !ReadEntryInLanguage(source, file, entry, *entryText, args.language)) {
    return Opened::kFailed;
  }
  return Opened::kListed;
}
