// The Open, Save and Copy commands of the real program, driven through the
// platform's open and save dialogs as a user drives them.
#pragma once

#include <string>

// `files` is the folder of the sources to open and of what the native
// `pictrove save` wrote for them (see scripts/gui-test.sh), as a Unix path.
void RunCommandChecks(const std::wstring& exe, const std::string& files);
