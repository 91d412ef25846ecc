// CFileDialog: the platform's open and save dialogs. The filter and default
// extension are program texts (GBK, "|"-separated as the framework takes
// them); the path chosen comes back in the system's code page, as every path
// of the program is held.
#pragma once

#include <windows.h>

#include <string>

#include "cstring.h"

class CWnd;

class CFileDialog {
 public:
  CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
              DWORD flags = 0, const char* filter = nullptr, CWnd* parent = nullptr);

  // IDOK when a file was chosen, IDCANCEL otherwise. A name the system's
  // code page cannot hold is taken by its short name (NarrowPathFor); when
  // it has none that the code page holds, the result is IDCANCEL and
  // NameOutsideCodePage() tells it from a cancel.
  INT_PTR DoModal();
  bool NameOutsideCodePage() const { return m_bNameOutsideCodePage; }
  CString GetPathName() const { return m_strPath; }
  // The text behind the last "." of the chosen file's name, without the dot.
  CString GetFileExt() const { return CString::ExtensionOf(m_strPath); }

 private:
  BOOL m_bOpenFileDialog;
  std::wstring m_defaultExt;
  std::wstring m_fileName;
  std::wstring m_filter;  // "|" turned into zeros, ends in two zeros
  DWORD m_dwFlags;
  CWnd* m_pParentWnd;
  CString m_strPath;
  bool m_bNameOutsideCodePage = false;
};
