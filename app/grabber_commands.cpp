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

void CGrabberDlg::OnOpenStartFile() {
  // The dialog gives a full path; so does the start file, however it was
  // named.
  char full[MAX_PATH];
  const DWORD length = GetFullPathNameA(m_strStartFile, MAX_PATH, full, nullptr);
  OpenFile(length > 0 && length < MAX_PATH ? full : m_strStartFile.GetString());
}

void CGrabberDlg::OnDropFiles(HDROP hDropInfo) {
  // Of several files dropped together, the first; a drop names full paths.
  char path[MAX_PATH] = {};
  const UINT length = DragQueryFileA(hDropInfo, 0, path, MAX_PATH);
  DragFinish(hDropInfo);
  if (length > 0 && length < MAX_PATH) OpenFile(path);
}

void CGrabberDlg::OpenFile(const char* path) {
  IconDocument::Opened opened = m_document.Open(path);
  if (opened.previewChanged) SetPreviewIcon(std::move(opened.preview));
  if (!opened.listed) {
    ShowMessage(opened.failure, path);
    return;
  }

  if (m_document.SelectFirstEntry()) {
    m_btnCopy.EnableWindow(TRUE);
    m_btnSave.EnableWindow(TRUE);
    Invalidate(TRUE);
  } else {
    ShowMessage(Message::kNoIcons, path);
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
