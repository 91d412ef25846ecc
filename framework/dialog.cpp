#include "dialog.h"

#include <vector>

#include "chinese_face.h"
#include "dialog_template.h"
#include "win_app.h"

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
  if (control.GetSafeHwnd() != nullptr) return;
  control.SubclassWindow(::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), id));
}

namespace {

// Over the owner, or over the screen's work area when there is none.
void CenterDialog(HWND dialog, HWND owner) {
  RECT area;
  if (owner == nullptr || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &area)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT rect;
  GetWindowRect(dialog, &rect);
  int width = rect.right - rect.left;
  int height = rect.bottom - rect.top;
  int x = area.left + (area.right - area.left - width) / 2;
  int y = area.top + (area.bottom - area.top - height) / 2;
  SetWindowPos(dialog, nullptr, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

// The template's copy with a face that draws Chinese, when the face it names
// does not; empty when the template is used as it is.
std::vector<DWORD> TemplateWithChineseFace(HINSTANCE module, UINT id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_DIALOG));
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  const std::size_t size = SizeofResource(module, found);
  std::wstring named = TemplateFace(bytes, size);
  if (named.empty()) return {};
  std::wstring face = FaceForChineseText(named);
  if (face == named) return {};
  return WithTemplateFace(bytes, size, face);
}

}  // namespace

INT_PTR CDialog::DoModal() {
  HWND owner = m_pParentWnd ? m_pParentWnd->GetSafeHwnd() : nullptr;
  if (owner == nullptr) {
    CWnd* main = AfxGetMainWnd();
    if (main != this && main != nullptr) owner = main->GetSafeHwnd();
  }
  HINSTANCE module = AfxGetResourceHandle();
  std::vector<DWORD> withFace = TemplateWithChineseFace(module, m_nIDTemplate);
  if (!withFace.empty()) {
    return DialogBoxIndirectParamW(module, reinterpret_cast<LPCDLGTEMPLATEW>(withFace.data()), owner,
                                   &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  }
  return DialogBoxParamW(module, MAKEINTRESOURCEW(m_nIDTemplate), owner, &CDialog::DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() {
  CDataExchange exchange(this);
  DoDataExchange(&exchange);
  CenterDialog(m_hWnd, GetWindow(m_hWnd, GW_OWNER));
  return TRUE;
}

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

LRESULT CDialog::Default() {
  return DefWindowProcW(m_hWnd, m_current.message, m_current.wParam, m_current.lParam);
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  static constexpr MessageMapEntry<CDialog> kMessageMap[] = {
      OnCommand<&CDialog::OnOKCommand>(BN_CLICKED, IDOK),
      OnCommand<&CDialog::OnCancelCommand>(BN_CLICKED, IDCANCEL),
  };
  if (message == WM_INITDIALOG) {
    result = OnInitDialog();
    return true;
  }
  if (message == WM_DRAWITEM) {
    auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    CWnd* child = item ? CWnd::FromHandlePermanent(item->hwndItem) : nullptr;
    return child != nullptr && child->OnChildNotify(message, wParam, lParam, &result);
  }
  if (message == WM_HELP) {
    result = OnHelpInfo();
    return true;
  }
  if (DispatchMessageMap(*this, kMessageMap, message, wParam, lParam, result)) return true;
  // A command that no window took goes to the application last.
  CWinApp* app = AfxGetApp();
  if (message == WM_COMMAND && app != nullptr && app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam))) {
    result = 0;
    return true;
  }
  return false;
}

BOOL CDialog::OnHelpInfo() {
  CWnd* main = AfxGetMainWnd();
  HWND target = main != nullptr && main->GetSafeHwnd() != nullptr ? main->GetSafeHwnd() : m_hWnd;
  ::SendMessageW(target, WM_COMMAND, MAKEWPARAM(ID_HELP, 0), 0);
  return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CDialog* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    dialog->m_hWnd = window;
  } else {
    dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (dialog == nullptr) return FALSE;

  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    dialog->m_hWnd = nullptr;
    AfxForgetMainWnd(dialog);
    return FALSE;
  }

  LRESULT result = 0;
  if (!dialog->Dispatch(message, wParam, lParam, result)) return FALSE;
  if (ReturnsDirectly(message)) return static_cast<INT_PTR>(result);
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}
