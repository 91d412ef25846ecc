// What --help prints: an overview of the commands, and each command's
// options, in the command's language.
#pragma once

#include <string>

// The help for `command` ("" for the overview); null for a word that is no
// command.
const char* HelpText(const std::string& command);
