// Paths come from the platform's dialogs as Unicode and are held by the
// program in the system's ANSI code page. A name the code page cannot hold
// is never replaced by a look-alike ("Ā" by "A" in code page 1252), which
// would name another, perhaps existing, file.
#pragma once

#include <windows.h>

#include <string>

// `path` in the system's code page, exactly: false when a character has no
// equivalent there, or when the result does not fit MAX_PATH bytes.
bool ExactNarrowPath(const std::wstring& path, std::string* narrow);

// The narrow path by which the program reaches the file `path` names: the
// path itself when the code page holds it; else, for an existing file, its
// short name; else, for a new file, the short name of its folder followed by
// its own name. False when none of these can be held.
bool NarrowPathFor(const std::wstring& path, std::string* narrow);
