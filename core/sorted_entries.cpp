#include "sorted_entries.h"

#include <new>

#include "platform/list_order.h"

bool SortedEntries::Add(const char* text, ResourceName name) {
  const std::size_t at =
      SortedInsertIndex(text, entries_.size(), [this](std::size_t i) { return entries_[i].text.c_str(); });
  try {
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), Entry{text, name, nullptr});
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!IsIntegerResourceName(name)) entries_[at].ownedName.reset(reinterpret_cast<char*>(name));
  // The selection stays on its entry, as with a list box.
  if (selected_ >= 0 && static_cast<std::size_t>(selected_) >= at) ++selected_;
  return true;
}

void SortedEntries::Clear() {
  entries_.clear();
  selected_ = -1;
}

std::string SortedEntries::Text(std::size_t index) const {
  return index < entries_.size() ? entries_[index].text : std::string();
}

ResourceName SortedEntries::Name(std::size_t index) const { return index < entries_.size() ? entries_[index].name : 0; }

void SortedEntries::Select(int index) {
  selected_ = index >= 0 && static_cast<std::size_t>(index) < entries_.size() ? index : -1;
}
