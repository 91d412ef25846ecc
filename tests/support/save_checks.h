// The checks every writer (icon file, bitmap file) passes: a save writes the
// file the user named, whatever its path, links, permissions and owner, or
// fails with the writer's message and leaves the target as it was. Each is a
// table of targets; `save` writes the writer's content to the path it is
// given and returns the writer's result.
#pragma once

#include <functional>

#include "temp_dir.h"

using SaveTo = std::function<int(const char* path)>;

// What a writer shows when the target can't be created, its first bytes
// can't be written, and the rest can't be written or put in place.
struct WriterMessages {
  const char* create;
  const char* header;
  const char* write;
};

// Targets of 256 to 259 bytes in folders of 249 to 253 bytes, new and
// existing: each is saved, and its folder holds nothing else.
void ExpectEveryAcceptedLengthSaves(const TempDir& dir, const SaveTo& save);

// Targets that are links, that have more than one name, other permissions,
// another owner, or a folder that takes no new file: each is saved and keeps
// what it is.
void ExpectSavesKeepWhatTargetsAre(const TempDir& dir, const SaveTo& save);

// Targets that can't take the save; `save` must write more than one page
// (4 KiB). Each save fails with one message, the target as caption, and
// leaves the target as it was and nothing beside it.
void ExpectFailedSavesLeaveTargets(const TempDir& dir, const WriterMessages& texts, const SaveTo& save);
