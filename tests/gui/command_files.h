// The files of the command checks: the folder the sources are read from and
// the saves written to, and reading, writing and listing them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui_driver.h"
#include "support/image_bytes.h"

// The solid colour of the bitmap opened, and its pixel as a DIB stores it.
constexpr std::uint32_t kSolid = Rgb(30, 200, 90);

// good-ids.dll under a name that code page 1252 can't hold.
const wchar_t kChineseModule[] = L"我的 图标\\外壳 库.dll";

// The folder of the run's files (scripts/gui-test.sh) and its out folder.
struct Paths {
  std::string unix;      // the files folder as Unix tools see it
  std::wstring folder;   // the same, as Wine shows it
  std::wstring out;      // where the Save command writes
  std::wstring In(const wchar_t* name) const { return folder + L"\\" + name; }
  std::wstring Out(const wchar_t* name) const { return out + L"\\" + name; }
};

Bytes ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const Bytes& bytes);
bool Exists(const std::wstring& path);
std::vector<std::wstring> FilesIn(const std::wstring& folder);
void EmptyFolder(const std::wstring& folder);
// A 24-bit bitmap file of kSolid.
Bytes SolidBitmap(int width, int height);
// True when the file holds `expected`, which is not empty.
bool FileEquals(const std::wstring& path, const Bytes& expected);
// A check's detail: the file's size, or "not written".
std::string SizeOf(const std::wstring& path);
