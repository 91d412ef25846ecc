#include "file_dialog.h"

#include <commdlg.h>

#include "narrow_path.h"
#include "wide_text.h"
#include "win_app.h"

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_bOpenFileDialog(openFileDialog),
      m_defaultExt(WideFromProgramText(defaultExt)),
      m_fileName(WideFromPath(fileName)),
      m_filter(WideFromProgramText(filter)),
      m_dwFlags(flags),
      m_pParentWnd(parent) {
  for (wchar_t& c : m_filter) {
    if (c == L'|') c = L'\0';
  }
  m_filter.push_back(L'\0');
  m_filter.push_back(L'\0');
}

INT_PTR CFileDialog::DoModal() {
  wchar_t path[MAX_PATH] = {};
  lstrcpynW(path, m_fileName.c_str(), MAX_PATH);

  CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner ? owner->GetSafeHwnd() : nullptr;
  ofn.lpstrFilter = m_filter.size() > 2 ? m_filter.c_str() : nullptr;
  ofn.lpstrFile = path;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
  ofn.Flags = m_dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;

  m_bNameOutsideCodePage = false;
  BOOL chosen = m_bOpenFileDialog ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn);
  if (!chosen) return IDCANCEL;

  std::string narrow;
  if (!NarrowPathFor(path, &narrow)) {
    m_bNameOutsideCodePage = true;
    return IDCANCEL;
  }
  m_strPath = narrow.c_str();
  return IDOK;
}
