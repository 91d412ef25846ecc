// The entries of a document as the main window keeps them: under Windows a
// real window with a sorted list box as its icon list (needs a display),
// driven through the window's own adapter; natively the command's entries,
// which keep the same order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#ifdef _WIN32
#include "app/list_box_entries.h"
#endif
#include "core/held_entries.h"

class TestListWindow {
 public:
  TestListWindow();
  ~TestListWindow();
  TestListWindow(const TestListWindow&) = delete;
  TestListWindow& operator=(const TestListWindow&) = delete;

  // False where no list box could be made (Windows without a display): the
  // entries are then the command's, which keep the same order.
  bool HasList() const { return entries_.has_value(); }
  EntryList* Entries();
  const EntryList* Entries() const;
  // Adds the entry of a group as opening a module does: through
  // ListGroupName under Windows.
  void AddGroup(LPSTR name);
#ifdef _WIN32
  HWND Window() const { return window_; }
#endif
  std::vector<std::string> Texts() const;
  std::vector<LRESULT> ItemData() const;

 private:
#ifdef _WIN32
  HWND window_ = nullptr;
#endif
#ifdef _WIN32
  std::optional<ListBoxEntries> entries_;
#else
  std::optional<HeldEntries> entries_;
#endif
  HeldEntries withoutList_;
};
