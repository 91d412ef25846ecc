// What every check of the GUI test client shares: the check line it prints,
// texts for those lines, screenshots and paths.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "gui_driver.h"

// Prints "ok" or "FAIL", what was checked and, when given, what was found.
void Check(bool ok, const std::string& what, const std::string& detail = std::string());
int PassedChecks();
int FailedChecks();

std::string Narrow(const std::wstring& text);
// A path given on the command line (Unix or Windows form) as Wine shows it.
std::wstring WindowsPath(const char* path);

// Screenshots of the whole screen go to this folder (none when empty).
void SetScreenshotFolder(const std::wstring& folder);
void Screenshot(const wchar_t* name);

// The ground of every dialog and message box of the program.
constexpr std::uint32_t kGround = Rgb(160, 180, 220);
// Checks a point of the window's ground near its client's top-left corner.
void CheckGround(HWND window, const char* what);
