// The program holds its own texts as GBK bytes and paths in the system's
// ANSI code page; windows are Unicode, so every text shown is converted here
// first and reads the same whatever the system's code page is.
#pragma once

#include <windows.h>

#include <string>

constexpr UINT kProgramCodePage = 936;  // GBK

std::wstring WideFromCodePage(const char* text, UINT codePage);

inline std::wstring WideFromProgramText(const char* text) { return WideFromCodePage(text, kProgramCodePage); }
inline std::wstring WideFromPath(const char* path) { return WideFromCodePage(path, CP_ACP); }
