// The part of the Win32 interface that the core uses, for the native build:
// the same names, types and constants, implemented over POSIX.
//
// The file calls, one line each: the flags taken and what the call does on
// Linux. files_posix.cpp opens, reads and writes; nameless_files_posix.cpp
// keeps the nameless temporary files; file_moves_posix.cpp moves, replaces and
// deletes; file_errors_posix.cpp keeps the last error.
//
// call                       flags taken                            on Linux
// CreateFileA                GENERIC_READ/WRITE, FILE_SHARE_*, any  open(2) of a regular file (1); sharing by flock (2)
//                            disposition; other attributes ignored;
//                            a template file (8)
// CreateFileA                CREATE_NEW + FILE_ATTRIBUTE_TEMPORARY  the nameless temporary file (3)
// CreateFileA                ... + FILE_FLAG_DELETE_ON_CLOSE        a nameless file never named: gone with its handle
// ReadFile, WriteFile        no OVERLAPPED                          read(2), write(2) until all is moved (4)
// SetFilePointer             FILE_BEGIN                             lseek(2)
// SetEndOfFile                                                      ftruncate(2); grows by posix_fallocate(3) (5)
// FlushFileBuffers                                                  fsync(2)
// GetFileSize                                                       fstat(2)
// GetFileInformationByHandle                                        fstat(2): no write bit is READONLY; dev/inode (6)
// GetFinalPathNameByHandleA  FILE_NAME_NORMALIZED                   readlink(2) of /proc/self/fd/N
// GetFileAttributesA                                                lstat(2): a link REPARSE_POINT, nameless TEMPORARY
// SetFileAttributesA         any (nothing is set)                   true for a name that is there, or a nameless one
// GetTempPathA                                                      $TMPDIR or /tmp, with a closing separator
// CloseHandle                                                       close(2); releases the ending signals (2)
// MoveFileExA                MOVEFILE_REPLACE_EXISTING, _WRITE_     rename(2), one file system; a nameless file is
//                            THROUGH (a rename is all there is)       named there (3)
// ReplaceFileA               no backup, no flags                    gives it the replaced's identity, moves over it (7)
// DeleteFileA                                                       unlink(2); a nameless file is dropped (3)
// GetLastError, SetLastError                                        errno as the nearest ERROR_* code
// LastErrorText              (ours)                                 strerror(3) of the errno behind the last error
//
// (1) A folder fails with its own reason (EISDIR), a pipe or a device with
//     ERROR_ACCESS_DENIED; opening never waits on a pipe. CREATE_NEW never
//     goes through a link.
// (2) A reader that doesn't share writing keeps writers out but not other
//     readers; a writer that shares nothing keeps everyone out. An existing
//     file opened for writing without being emptied (OPEN_EXISTING,
//     OPEN_ALWAYS) is rewritten in place: SIGINT, SIGTERM, SIGHUP and SIGQUIT
//     wait until its handle is closed, so that a stop leaves it whole.
// (3) The nameless temporary file: made by O_TMPFILE in the folder of the
//     path given, it has no name on the disk; a process-wide table knows it
//     by that path, which CreateFileA (OPEN_EXISTING), GetFileAttributesA,
//     SetFileAttributesA, MoveFileExA, ReplaceFileA and DeleteFileA take for
//     it. MoveFileExA and ReplaceFileA give it its name on the disk (in one
//     linkat(2) where nothing may be replaced; else under the path it was
//     made as, then renamed, with the ending signals held); DeleteFileA drops
//     it. A process that dies before leaves nothing behind. The safe save
//     (core/replacement_file.cpp) rests on it: the new content is written
//     into one beside the target and named only once every byte is there.
//     Where the file system makes no nameless files, it is an ordinary file
//     of that name.
// (4) A write that moves nothing is ERROR_DISK_FULL.
// (5) Growing takes the disk's room at once, as Windows does: a full disk
//     fails here rather than in a later write.
// (6) Also the links; the device and inode stand for volume and index.
// (7) The replacement takes the owner, group, mode and extended attributes
//     (access lists) of the file `replaced` names, then MoveFileExA puts it
//     there. ERROR_UNABLE_TO_REMOVE_REPLACED when they can't be given
//     (another user's ownership), ERROR_UNABLE_TO_MOVE_REPLACEMENT when the
//     move fails: both files are then as they were.
// (8) A file the call makes new (CREATE_NEW) takes the template's permission
//     bits before any content is in it, as on Windows it takes its
//     attributes: a copy of a private file is made private.
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

// Files: see the table at the top.
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, void* security,
                   DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
BOOL SetEndOfFile(HANDLE file);
DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
BOOL FlushFileBuffers(HANDLE file);
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information);
DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR path, DWORD size, DWORD flags);
DWORD GetFileAttributesA(LPCSTR path);
BOOL SetFileAttributesA(LPCSTR path, DWORD attributes);
DWORD GetTempPathA(DWORD size, LPSTR path);
BOOL CloseHandle(HANDLE object);
DWORD GetLastError();
void SetLastError(DWORD error);
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, void* exclude,
                  void* reserved);
BOOL DeleteFileA(LPCSTR path);
// The system's own words for why this thread's last failed file call failed;
// null when the last call succeeded.
const char* LastErrorText();

// Shell: the first icon of a file. Null when the file holds no icon, the value
// 1 when it is neither an icon file nor a module.
HICON ExtractIconA(HINSTANCE instance, LPCSTR path, UINT index);
BOOL DestroyIcon(HICON icon);

#include "win32_gdi.h"
#include "win32_icons.h"
#include "win32_modules.h"
#include "win32_window.h"
