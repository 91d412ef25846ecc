// The main window's commands: Open (the grab button and Enter), Save and
// Copy. The flow itself is the document's; the window runs the file dialogs
// and sets its buttons and preview by the outcome.
#include <optional>

#include "file_choice.h"
#include "framework/file_dialog.h"
#include "framework/wait_cursor.h"
#include "grabber_dlg.h"

namespace {

const char kDefaultExt[] = "*.ICO";
const char kOpenFilter[] = "资源文件(*.ICO,*.BMP,*.EXE,*.DLL,*.ICL)|*.ICO;*.BMP;*.EXE;*.DLL;*.ICL||";
const char kSaveFilter[] = "图标文件(*.ICO)|*.ICO|位图文件(*.BMP)|*.BMP|PNG图像(*.PNG)|*.PNG||";

// The wait cursor while the document writes a file.
class CWaitCursorIndicator final : public WaitIndicator {
 public:
  void Show() override { m_cursor.emplace(); }
  void Hide() override { m_cursor.reset(); }

 private:
  std::optional<CWaitCursor> m_cursor;
};

}  // namespace

void CGrabberDlg::OnOK() {
  CFileDialog dialog(TRUE, kDefaultExt, nullptr, 0, kOpenFilter);
  if (!ChooseFile(dialog)) return;
  OpenFile(dialog.GetPathName());
}

void CGrabberDlg::OnOpenStartFile() { OpenNamedFile(m_strStartFile); }

void CGrabberDlg::OnDropFiles(HDROP hDropInfo) {
  // Of several files dropped together, the first, in any characters.
  std::wstring name(DragQueryFileW(hDropInfo, 0, nullptr, 0), L'\0');
  if (!name.empty()) name.resize(DragQueryFileW(hDropInfo, 0, &name[0], static_cast<UINT>(name.size()) + 1));
  DragFinish(hDropInfo);
  if (!name.empty()) OpenNamedFile(name);
}

void CGrabberDlg::OpenNamedFile(const std::wstring& name) {
  CString path;
  if (ReachableName(name, &path)) OpenFile(path);
}

void CGrabberDlg::OpenFile(const char* path) {
  IconDocument::Opened opened = m_document.Open(path);
  if (opened.previewChanged) SetPreviewIcon(std::move(opened.preview));
  if (!opened.listed) return;

  if (m_document.SelectFirstEntry()) {
    m_btnCopy.EnableWindow(TRUE);
    m_btnSave.EnableWindow(TRUE);
    Invalidate(TRUE);
  } else {
    m_btnCopy.EnableWindow(FALSE);
    m_btnSave.EnableWindow(FALSE);
  }
}

void CGrabberDlg::OnSaveButton() {
  CFileDialog dialog(FALSE, kDefaultExt, nullptr, 0, kSaveFilter);
  if (!ChooseFile(dialog)) return;
  m_strSavePath = dialog.GetPathName();
  m_strSaveExt = dialog.GetFileExt();
  m_strSaveExt.MakeLower();

  CWaitCursorIndicator wait;
  m_document.Save(m_strSavePath, &wait);
}

void CGrabberDlg::OnCopyButton() { m_document.Copy(); }
