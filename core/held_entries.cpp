#include "held_entries.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#include "platform/list_order.h"

ResourceName HeldEntries::KeepName(ResourceName name) {
  char* text = reinterpret_cast<char*>(name);
  const auto known = nameOf_.find(text);
  if (known != nameOf_.end()) {
    std::free(text);
    return known->second;
  }
  // Either throws before the name is taken; the last push can't.
  names_.reserve(names_.size() + 1);
  nameOf_.emplace(text, name);
  names_.emplace_back(text);
  return name;
}

bool HeldEntries::Add(const char* text, ResourceName name) {
  try {
    entries_.push_back(Entry{text, 0, added_, false});
  } catch (const std::bad_alloc&) {
    lost_ = true;
    return false;
  }
  try {
    if (!IsIntegerResourceName(name)) name = KeepName(name);
  } catch (const std::bad_alloc&) {
    entries_.pop_back();
    lost_ = true;
    return false;
  }
  entries_.back().name = name;
  ++added_;
  sorted_ = false;
  return true;
}

void HeldEntries::Sort() const {
  if (sorted_ || order_ == EntryOrder::kAdded) return;
  // Of entries a list box takes for equal, it puts the one added later
  // first, at the index of the one it found.
  std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
    const int order = CompareListText(a.text.c_str(), b.text.c_str());
    return order != 0 ? order < 0 : a.added > b.added;
  });
  sorted_ = true;
}

int HeldEntries::EntryOfIconIndex(std::int32_t index) const {
  if (index >= 0) return EntryAddedAs(static_cast<std::uint64_t>(index));
  Sort();
  const auto id = static_cast<ResourceName>(-static_cast<std::int64_t>(index));
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].name == id) return static_cast<int>(i);
  }
  return -1;
}

void HeldEntries::Clear() {
  entries_.clear();
  nameOf_.clear();
  names_.clear();
  lost_ = false;
  sorted_ = true;
  added_ = 0;
}

std::uint64_t HeldEntries::AddedAs(std::size_t index) const {
  Sort();
  return index < entries_.size() ? entries_[index].added : 0;
}

int HeldEntries::EntryAddedAs(std::uint64_t added) const {
  Sort();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].added == added) return static_cast<int>(i);
  }
  return -1;
}

std::string HeldEntries::Text(std::size_t index) const {
  Sort();
  return index < entries_.size() ? entries_[index].text : std::string();
}

ResourceName HeldEntries::Name(std::size_t index) const {
  Sort();
  return index < entries_.size() ? entries_[index].name : 0;
}

int HeldEntries::Selected() const {
  Sort();
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].selected) return static_cast<int>(i);
  }
  return -1;
}

void HeldEntries::Select(int index) {
  Sort();
  for (std::size_t i = 0; i < entries_.size(); ++i) entries_[i].selected = static_cast<int>(i) == index;
}
