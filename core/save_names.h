// The names a save gives the files it makes beside its target: the new
// content's while it is written, and the copy of the old content kept while
// a target is rewritten in place.
#pragma once

#include <cstddef>
#include <string>

// Where the name of a path starts, behind its folder.
std::size_t NameStart(const std::string& path);

// The same name, as Windows compares names (ASCII letters in either case).
bool SameName(const std::string& a, const std::string& b);

// Whether the folder of `path` leaves room for a name of our own.
bool RoomBeside(const std::string& path);

// A path for a file of our own beside `path`, another one each call:
// "pvXXXX.tmp" where the folder leaves room for it, else a name of as many
// characters as there is room for. Every path the program accepts leaves at
// least the room of its own name, so its folder always has one. Empty when
// the folder leaves no room at all (a long path a link led to).
std::string PathBeside(const std::string& path);

// Where a save that rewrites a file in place keeps the file's old content
// until the new one is all written: ".NAME.pictrove-backup" beside it, or
// for a name too long to take that (past the 255 bytes of a name),
// ".NAME-NUMBER.pictrove-backup" (`shortened`), NAME cut short at a
// character and NUMBER 16 hex digits of the whole name: the same for a later
// save of the file to find, another for another long name. An empty path
// when even that is too long for its folder.
struct BackupName {
  std::string path;
  bool shortened = false;
};
BackupName BackupPathOf(const std::string& path);
