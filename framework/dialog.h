// CDialog: a modal dialog made from a dialog template of the program's
// resources. The dialog procedure only finds the object and dispatches to
// its message map; OnInitDialog binds the controls through DoDataExchange.
#pragma once

#include "message_map.h"
#include "wnd.h"

class CDialog;

// Handed to DoDataExchange; binding only, no data transfer.
class CDataExchange {
 public:
  explicit CDataExchange(CDialog* dialog) : m_pDlgWnd(dialog) {}
  CDialog* m_pDlgWnd;
};

// Binds control `id` of the dialog to `control` (subclassing it), once.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
 public:
  // `parent` null: the application's main window, if any, owns the dialog.
  explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

  // Runs the dialog until EndDialog; -1 when it could not be made.
  INT_PTR DoModal();
  void EndDialog(INT_PTR result) const { ::EndDialog(m_hWnd, result); }

 protected:
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange*) {}
  // F1 (WM_HELP, which the controls pass up to their dialog): the help
  // command goes to the main window, as a menu's help item would send it,
  // and from there to the application.
  virtual BOOL OnHelpInfo();

  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // DefWindowProc: the dialog manager's own handling of the messages the
  // program passes on (paint, system commands) is the default window
  // procedure's.
  LRESULT Default() override;

 private:
  void OnOKCommand() { OnOK(); }
  void OnCancelCommand() { OnCancel(); }
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
};
