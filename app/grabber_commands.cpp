// The main window's commands: Open (the grab button and Enter), Save and
// Copy.
#include <string>
#include <utility>

#include "core/bitmap_file.h"
#include "core/icon_file.h"
#include "core/icon_from_bitmap.h"
#include "core/icon_handles.h"
#include "framework/file_dialog.h"
#include "framework/wait_cursor.h"
#include "framework/win_app.h"
#include "grabber_dlg.h"

namespace {

const char kDefaultExt[] = "*.ICO";
const char kOpenFilter[] = "资源文件(*.ICO,*.BMP,*.EXE,*.DLL,*.ICL)|*.ICO;*.BMP;*.EXE;*.DLL;*.ICL||";
const char kSaveFilter[] = "图标文件(*.ICO)|*.ICO|位图文件(*.BMP)|*.BMP||";

const char kErrorCaption[] = "错误";
const char kNotLoadable[] = "文件载入错误，必须是WIN32的文件!";
const char kEnumerationFailed[] = "列举图标资源名时出错!";
const char kNoIcons[] = "此文件中没有图标资源!";
const char kNothingToSave[] = "没有可保存的图标资源!";
const char kNothingToCopy[] = "没有可复制的图标资源!";

}  // namespace

void CGrabberDlg::OnOK() {
  CFileDialog dialog(TRUE, kDefaultExt, nullptr, 0, kOpenFilter);
  if (dialog.DoModal() != IDOK) return;
  m_strFilePath = dialog.GetPathName();
  m_strFileExt = dialog.GetFileExt();
  m_strFileExt.MakeLower();

  EmptyList();
  m_hModule.Free();

  if (m_strFileExt == "ico") {
    OpenIconFile();
  } else if (m_strFileExt == "bmp") {
    OpenBitmapFile();
  } else if (!OpenModule()) {
    return;
  }
  FinishOpen();
}

void CGrabberDlg::OpenIconFile() {
  ReplaceGroup(LoadIconFile(m_strFilePath));
  HICON icon = ExtractIconA(AfxGetResourceHandle(), m_strFilePath, 0);
  if (icon != nullptr) m_listIcons.AddString(m_strFilePath);
  SetPreviewIcon(icon);
}

void CGrabberDlg::OpenBitmapFile() {
  ReadBitmapIntoGroup(m_pIconGroup.get(), m_bStartingGroup, m_strFilePath);
  // When the bitmap can't be read, an image the first record held before is
  // the icon still.
  HICON icon = HasFirstImage() ? IconHandleFromImage(GroupImage(m_pIconGroup.get(), 0)) : nullptr;
  if (icon != nullptr) m_listIcons.AddString(m_strFilePath);
  SetPreviewIcon(icon);
}

bool CGrabberDlg::OpenModule() {
  ModuleHandle module(LoadLibraryExA(m_strFilePath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) {
    std::string text = std::string(m_strFilePath) + kNotLoadable;
    MessageEncoding encoding{static_cast<unsigned>(m_strFilePath.GetLength()), false};
    ShowMessageBox(m_hWnd, text.c_str(), kErrorCaption, MB_OK, encoding);
    return false;
  }
  m_hModule = std::move(module);
  if (!EnumResourceNamesA(m_hModule.Get(), RT_GROUP_ICON, ListGroupName, reinterpret_cast<LONG_PTR>(m_hWnd))) {
    ShowError(kEnumerationFailed);
    return false;
  }
  return true;
}

void CGrabberDlg::FinishOpen() {
  m_listIcons.SetCurSel(0);
  if (m_listIcons.GetCount() > 0) {
    m_btnCopy.EnableWindow(TRUE);
    m_btnSave.EnableWindow(TRUE);
    Invalidate(TRUE);
  } else {
    ShowError(kNoIcons);
    m_btnCopy.EnableWindow(FALSE);
    m_btnSave.EnableWindow(FALSE);
  }
}

void CGrabberDlg::EmptyList() {
  // The entries of a module own copies of text names.
  ReleaseListGroupNames(m_hWnd);
  m_listIcons.ResetContent();
}

void CGrabberDlg::OnSaveButton() {
  CFileDialog dialog(FALSE, kDefaultExt, nullptr, 0, kSaveFilter);
  if (dialog.DoModal() != IDOK) return;
  m_strSavePath = dialog.GetPathName();
  m_strSaveExt = dialog.GetFileExt();
  m_strSaveExt.MakeLower();

  ReadSelectedEntry();
  const bool listed = m_listIcons.GetCount() > 0;
  if (m_strSaveExt == "bmp") {
    if (!listed || !HasFirstImage()) {
      ShowError(kNothingToSave);
      return;
    }
    CWaitCursor wait;
    SaveImageAsBitmap(m_strSavePath, GroupImage(m_pIconGroup.get(), 0));
  } else if (m_strSaveExt == "ico") {
    if (!listed || m_pIconGroup == nullptr) {
      ShowError(kNothingToSave);
      return;
    }
    CWaitCursor wait;
    SaveIconFile(m_pIconGroup.get(), m_strSavePath);
  }
}

void CGrabberDlg::OnCopyButton() {
  // Like Save, Copy takes the selected entry of a module, never another
  // entry's group left from an earlier command.
  ReadSelectedEntry();
  if (m_listIcons.GetCount() <= 0 || !HasFirstImage()) {
    ShowError(kNothingToCopy);
    return;
  }
  CopyImageToClipboard(GroupImage(m_pIconGroup.get(), 0));
}

void CGrabberDlg::ReadSelectedEntry() {
  if (!IsModuleSource()) return;
  const LRESULT name = m_listIcons.GetItemData(m_listIcons.GetCurSel());
  if (name == LB_ERR) return;
  // Read through a loading of its own: the module held for the preview is
  // not used.
  ReplaceGroup(LoadModuleIconGroup(m_strFilePath, static_cast<ResourceName>(name)));
}

void CGrabberDlg::ReplaceGroup(IconGroup* group) {
  m_pIconGroup.reset(group);
  m_bStartingGroup = false;
}

bool CGrabberDlg::HasFirstImage() const {
  if (m_pIconGroup == nullptr) return false;
  const bool hasRoom = m_pIconGroup->imageCount >= 1 || m_bStartingGroup;
  return hasRoom && GroupImage(m_pIconGroup.get(), 0)->bits != nullptr;
}

void CGrabberDlg::ShowError(const char* text) const {
  ShowMessageBox(m_hWnd, text, kErrorCaption, MB_OK, kTextWithProgramCaption);
}
