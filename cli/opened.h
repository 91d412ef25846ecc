// Opening one file for a command, as the window's Open command opens it, and
// telling what it came to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/image_choice.h"
#include "arguments.h"
#include "core/module_cursors.h"
#include "source.h"

// What opening one file for a command came to. A file that holds no icons
// (or cursors) is no failure of the command: kEmpty, and the caller notes it
// or not. kFailed comes after the message that says why; a file that can't
// be read at all is told so with the system's reason, not as a file of the
// wrong kind.
// kCursorFile: a .CUR or .ANI file, which holds one cursor, the file itself;
// the caller reads it (LoadCursorFile).
enum class Opened { kListed, kEmpty, kFailed, kCursorFile };

// Opens the file and selects its first entry.
Opened OpenIcons(Source& source, const std::string& path);
Opened OpenCursors(ModuleCursors& cursors, const std::string& path);

// Opens the source and selects the entry to work on: the one --entry or
// --index names, or the program's icon as Windows shows it: the first group
// in the module's directory, which need not be the first the list shows.
// kListed with the entry's text; kEmpty (noted) for a file without icons;
// kFailed after a message.
Opened OpenAndSelect(Source& source, const Arguments& args, std::string* entryText);

// Names each image the groups read since the last call left out, as missing
// from the file, and forgets them; true when there was none.
bool TellMissingImages(Source& source, const std::string& path, const std::string& entry);
// Names each image passed over for a later one that decodes.
void TellPassedOver(const std::vector<PassedOver>& passedOver, const std::string& path, const std::string& entry);

// Says that the file can't be read when the last group read found the bytes
// of a resource its directory lists gone (the file shortened since it was
// opened, or cut short); true when it did.
bool TellUnreadable(const Source& source, const std::string& path);

// Reads entry `entry`'s group in `language` from now on; false after saying
// so when the entry has no such language (an entry of a file without
// languages has none).
bool ReadEntryInLanguage(Source& source, const std::string& path, int entry, const std::string& text,
                         WORD language);

// The file's length, what its output is measured against (0 when it can't
// be told, which leaves the least of each budget).
std::uint64_t InputBytes(const std::string& path);
