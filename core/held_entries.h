// Entries held in memory, of group icons and group cursors alike: in the
// order the window's sorted list box keeps them, or as they were added (for
// a module, its resource directory's order, in which Windows counts its
// icons: the command's).
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "entry_list.h"
#include "platform/handles.h"

enum class EntryOrder { kSorted, kAdded };

class HeldEntries final : public EntryList {
 public:
  explicit HeldEntries(EntryOrder order = EntryOrder::kSorted) : order_(order) {}
  ~HeldEntries() = default;
  HeldEntries(HeldEntries&&) = default;
  HeldEntries& operator=(HeldEntries&&) = default;

  bool Add(const char* text, ResourceName name) override;
  void Clear() override;
  std::size_t Count() const override { return entries_.size(); }
  std::string Text(std::size_t index) const override;
  ResourceName Name(std::size_t index) const override;
  int Selected() const override;
  void Select(int index) override;

  // Where entry `index` was added among all since the list was last
  // emptied: for a module's groups, their place in its resource directory,
  // named groups first, then identifiers ascending, the order in which
  // Windows counts a module's icons.
  std::uint64_t AddedAs(std::size_t index) const;
  // The entry added as `added`, or -1.
  int EntryAddedAs(std::uint64_t added) const;
  // The entry of a Windows icon index (file.dll,N): from 0 the entry added
  // as N, below 0 the group whose identifier is -N; -1 when there is none.
  int EntryOfIconIndex(std::int32_t index) const;
  // True when an entry could not be added (memory ran out) since the list
  // was last emptied: the list lacks a group its file holds.
  bool LostEntries() const { return lost_; }

 private:
  struct Entry {
    std::string text;
    ResourceName name;     // a text name: one of names_
    std::uint64_t added;   // how many were added before it
    bool selected;
  };
  // A text name once however many entries name it: many groups may point at
  // one long name, which would cost each of them its copy.
  ResourceName KeepName(ResourceName name);
  // Entries are sorted once, when next looked at, not as each is added: a
  // list box's insertion costs a move of every later entry, so that a module
  // of 100,000 groups took a minute.
  void Sort() const;

  mutable std::vector<Entry> entries_;
  std::vector<HeapPtr<char>> names_;
  std::unordered_map<std::string_view, ResourceName> nameOf_;
  mutable bool sorted_ = true;
  EntryOrder order_;
  std::uint64_t added_ = 0;
  bool lost_ = false;
};
