// The part of the Win32 interface that the core uses, for the native build:
// the same names, types and constants, implemented over POSIX.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using BOOL = int;
using LPCSTR = const char*;
using LPSTR = char*;
using LPVOID = void*;
using LPCVOID = const void*;
using LPDWORD = DWORD*;
using PLONG = LONG*;
using HANDLE = void*;
using HGLOBAL = void*;
using INT_PTR = std::intptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

#define CALLBACK
#define WINAPI

struct HWND__;
using HWND = HWND__*;
struct HICON__;
using HICON = HICON__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define MAX_PATH 260

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define INVALID_SET_FILE_POINTER (static_cast<DWORD>(-1))
#define INVALID_FILE_SIZE (static_cast<DWORD>(0xFFFFFFFF))

#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(-1))

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define FILE_SHARE_DELETE 0x4
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define FILE_ATTRIBUTE_READONLY 0x1
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_NORMAL 0x80
#define FILE_ATTRIBUTE_TEMPORARY 0x100
#define FILE_ATTRIBUTE_REPARSE_POINT 0x400
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000
#define FILE_BEGIN 0
#define MOVEFILE_REPLACE_EXISTING 0x1
#define MOVEFILE_WRITE_THROUGH 0x8
#define FILE_NAME_NORMALIZED 0x0

#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_GEN_FAILURE 31
#define ERROR_SHARING_VIOLATION 32
#define ERROR_FILE_EXISTS 80
#define ERROR_INVALID_PARAMETER 87
#define ERROR_DISK_FULL 112
#define ERROR_NEGATIVE_SEEK 131
#define ERROR_ALREADY_EXISTS 183
#define ERROR_FILENAME_EXCED_RANGE 206
#define ERROR_UNABLE_TO_REMOVE_REPLACED 1175
#define ERROR_UNABLE_TO_MOVE_REPLACEMENT 1176

#define MB_OK 0x0
#define IDOK 1

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
};
#pragma pack(pop)

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct BY_HANDLE_FILE_INFORMATION {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD dwVolumeSerialNumber;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD nNumberOfLinks;
  DWORD nFileIndexHigh;
  DWORD nFileIndexLow;
};

static_assert(sizeof(BITMAPFILEHEADER) == 14, "file header is packed");
static_assert(sizeof(BITMAPINFOHEADER) == 40, "info header has no padding");

// Files: regular files only (a folder, a named pipe or a device is refused
// with ERROR_ACCESS_DENIED, and opening never waits on a pipe). Failures set
// the last error, from errno.
//
// Sharing is kept with advisory locks (flock) between the processes that
// take them: a reader that doesn't share writing keeps writers out but not
// other readers; a writer that shares nothing keeps everyone out.
//
// An existing file opened for writing without being emptied (OPEN_EXISTING,
// OPEN_ALWAYS) is rewritten in place: while such a handle is open, SIGINT,
// SIGTERM, SIGHUP and SIGQUIT wait, so that an interrupted program does not
// leave it half rewritten.
//
// CREATE_NEW with FILE_ATTRIBUTE_TEMPORARY makes a file without a name in the
// folder of `path` (O_TMPFILE), known by `path` to the calls here until
// MoveFileExA or ReplaceFileA gives it that name and the place asked for, or
// DeleteFileA drops it: a process that dies before leaves nothing behind.
// With FILE_FLAG_DELETE_ON_CLOSE as well the file never gets a name and is
// gone when its handle is closed. Where the file system makes no nameless
// files, both are ordinary files of that name.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
// Ends the file at the current position; growing it takes the disk's room
// at once, so that a full disk fails here.
BOOL SetEndOfFile(HANDLE file);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
// Puts what was written on the disk (fsync).
BOOL FlushFileBuffers(HANDLE file);
// Attributes (FILE_ATTRIBUTE_READONLY for a file without write permission),
// size, links, and the device and inode as volume and index.
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information);
// The absolute path of the file, through every link.
DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags);
// Of the name itself: a symbolic link is FILE_ATTRIBUTE_REPARSE_POINT.
DWORD GetFileAttributesA(LPCSTR path);
// Files here have no attributes to set: true for a file that is there.
BOOL SetFileAttributesA(LPCSTR path, DWORD attributes);
// $TMPDIR or /tmp, with a closing separator.
DWORD GetTempPathA(DWORD size, LPSTR path);
BOOL CloseHandle(HANDLE object);
DWORD GetLastError();
void SetLastError(DWORD error);
// Moves with rename(2), one file system only.
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
// Gives `replacement` the owner, group, permissions and extended attributes
// (access lists among them) of the file `replaced` names, then moves it over
// `replaced`. No backup. ERROR_UNABLE_TO_REMOVE_REPLACED when they can't be
// given (another user's ownership) and ERROR_UNABLE_TO_MOVE_REPLACEMENT when
// the move fails: both files are then as they were.
BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, void* exclude,
                  void* reserved);
BOOL DeleteFileA(LPCSTR path);
// The system's own words for why this thread's last failed file call failed
// (strerror of the errno behind GetLastError); null when the last call
// succeeded.
const char* LastErrorText();

// Shell: the first icon of a file. Null when the file holds no icon, the value
// 1 when it is neither an icon file nor a module.
HICON ExtractIconA(HINSTANCE instance, LPCSTR path, UINT index);
BOOL DestroyIcon(HICON icon);

#include "win32_gdi.h"
#include "win32_icons.h"
#include "win32_modules.h"
#include "win32_window.h"
