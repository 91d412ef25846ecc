#include "test_list_window.h"

TestListWindow::TestListWindow() {
#ifdef _WIN32
  window_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (window_ != nullptr) {
    CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT | LBS_HASSTRINGS, 0, 0, 150, 150,
                    window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000)),
                    GetModuleHandleA(nullptr), nullptr);
  }
#else
  window_ = CreateNativeListDialog();
#endif
}

TestListWindow::~TestListWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

HWND TestListWindow::List() const { return GetDlgItem(window_, 1000); }

std::vector<std::string> TestListWindow::Texts() const {
  std::vector<std::string> texts;
  LRESULT count = SendMessageA(List(), LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageA(List(), LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(List(), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    texts.push_back(text);
  }
  return texts;
}

std::vector<LRESULT> TestListWindow::ItemData() const {
  std::vector<LRESULT> data;
  LRESULT count = SendMessageA(List(), LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    data.push_back(SendMessageA(List(), LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
  }
  return data;
}
