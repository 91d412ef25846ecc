#include "test_list_window.h"

#ifdef _WIN32
#include "app/grabber_dlg_res.h"
#endif

TestListWindow::TestListWindow() {
#ifdef _WIN32
  window_ = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (window_ == nullptr) return;
  CreateWindowExA(0, "LISTBOX", "", WS_CHILD | LBS_SORT | LBS_HASSTRINGS, 0, 0, 150, 150, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ICON_LIST)), GetModuleHandleA(nullptr), nullptr);
  if (GetDlgItem(window_, IDC_ICON_LIST) != nullptr) entries_.emplace(window_);
#else
  entries_.emplace();
#endif
}

TestListWindow::~TestListWindow() {
  Entries()->Clear();
#ifdef _WIN32
  if (window_ != nullptr) DestroyWindow(window_);
#endif
}

EntryList* TestListWindow::Entries() {
  if (entries_) return &*entries_;
  return &withoutList_;
}

const EntryList* TestListWindow::Entries() const {
  if (entries_) return &*entries_;
  return &withoutList_;
}

void TestListWindow::AddGroup(LPSTR name) {
#ifdef _WIN32
  if (entries_) {
    ListGroupName(nullptr, RT_GROUP_ICON, name, reinterpret_cast<LONG_PTR>(window_));
    return;
  }
#endif
  AddGroupEntry(*Entries(), RT_GROUP_ICON, name);
}

std::vector<std::string> TestListWindow::Texts() const {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < Entries()->Count(); ++i) texts.push_back(Entries()->Text(i));
  return texts;
}

std::vector<LRESULT> TestListWindow::ItemData() const {
  std::vector<LRESULT> data;
  for (std::size_t i = 0; i < Entries()->Count(); ++i) data.push_back(static_cast<LRESULT>(Entries()->Name(i)));
  return data;
}
