// Modules loaded as data files and their resources, for the native build:
// PE32 and PE32+ files read with our own bounded reader (platform/pe), with
// the effects kernel32 has for a module loaded with LOAD_LIBRARY_AS_DATAFILE.
//
// Names are narrow texts in the native code page, UTF-8. A name or type
// argument is an integer identifier when its value is below 65536
// (MAKEINTRESOURCEA), "#123" stands for the identifier 123, and any other
// text is compared without regard to case. Of several languages of one
// resource, the one the Windows loader takes for a U.S. English user and
// system is found: neutral, then U.S. English, then English, then the first.
#pragma once

using HMODULE = HINSTANCE;
struct HRSRC__;
using HRSRC = HRSRC__*;

#define MAKEINTRESOURCEA(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#define RT_CURSOR MAKEINTRESOURCEA(1)
#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_GROUP_CURSOR MAKEINTRESOURCEA(12)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)

#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020
#define LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE 0x00000040

using ENUMRESNAMEPROCA = BOOL(CALLBACK*)(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR param);
using ENUMRESLANGPROCA = BOOL(CALLBACK*)(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR param);

// Reads the headers and the resource directory at once, each resource's data
// when it is loaded. Only loading as a data file is done (one of the three
// flags above; no code is ever run); `file` must be null. Null when the file
// can't be read or is no PE32 or PE32+ module.
HMODULE LoadLibraryExA(LPCSTR path, HANDLE file, DWORD flags);
// The module and every resource address taken from it go away.
BOOL FreeLibrary(HMODULE module);

// Calls `callback` for each resource of `type`, in the order the directory
// stores them, with a text name valid only during the call. Returns what the
// last call returned, so FALSE when the callback stopped the enumeration, and
// FALSE when there is no resource of that type or the directory can't be
// read (then before any call).
BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA callback, LONG_PTR param);

// Calls `callback` for each language of resource (type, name), in the order
// the directory stores them; returns as EnumResourceNamesA does.
BOOL EnumResourceLanguagesA(HMODULE module, LPCSTR type, LPCSTR name, ENUMRESLANGPROCA callback, LONG_PTR param);

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
// The resource in `language` as the loader looks for it: that language, its
// neutral sublanguage, neutral; language 0 (neutral) finds what
// FindResourceA finds.
HRSRC FindResourceExA(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
// Null when the resource's bytes are not all inside the file.
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL resource);
DWORD SizeofResource(HMODULE module, HRSRC resource);
