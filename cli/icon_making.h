// An icon made of the pictures in files, as create makes one: for create,
// and for set-icon given a picture rather than an icon.
#pragma once

#include <string>
#include <vector>

#include "arguments.h"
#include "core/icon_group.h"

// The icon of the pictures in `paths` with the recipe the options say (of
// one picture, the sizes Windows asks for); null after saying why not,
// naming the file that failed, or `target`.
IconGroupPtr MakeIconFromFiles(const std::vector<std::string>& paths, const Arguments& args,
                               const std::string& target, bool cursor);
