// The commands on sources that are modules.
#pragma once

#include "command_files.h"
#include "command_program.h"

// A module of the group icons 1, 2 and 10: list, previews, Save and Copy.
void CheckModule(Program& program, const Paths& p);
// Files the module branch can't list.
void CheckUnlistableModules(Program& program, const Paths& p);
// A module under another extension, or none, is a module source all the
// same: previews, Save and Copy take its selected entry.
// A 16-bit icon library (our NE reader): listed, previewed and saved.
void CheckNeLibrary(Program& program, const Paths& p);
void CheckOtherExtensions(Program& program, const Paths& p);
