// Text as a terminal may be given it: names and paths come from files, and
// a control character in one would move the cursor, clear the screen, set
// the window's title or plant a link; a line feed would make one name look
// like two lines.
#pragma once

#include <string>

// The text with every control character (C0, DEL, C1), every byte that is
// no part of valid UTF-8, and the backslash written as an escape: "\e",
// "\n", "\r", "\t", "\\", else "\xNN" for each byte.
std::string TerminalText(const std::string& text);
