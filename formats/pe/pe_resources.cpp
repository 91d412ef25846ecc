#include "pe_resources.h"

#include <algorithm>

#include "pe_layout.h"

namespace {

using namespace pe_layout::resource_directory;

constexpr std::uint16_t kSublangSysDefault = 2;
constexpr std::uint16_t kUsEnglish = 0x0409;

std::uint16_t PrimaryLanguage(std::uint16_t language) { return language & 0x3FF; }
std::uint16_t SubLanguage(std::uint16_t language) { return static_cast<std::uint16_t>(language >> 10); }

void PushLanguage(PeLanguageOrder* order, std::uint16_t language) {
  for (int i = 0; i < order->count; ++i) {
    if (order->languages[i] == language) return;
  }
  order->languages[order->count++] = language;
}

}  // namespace

PeLanguageOrder LoaderLanguageOrder(std::uint16_t requested, std::uint16_t threadLanguage,
                                    std::uint16_t userLanguage, std::uint16_t systemLanguage) {
  PeLanguageOrder order;
  PushLanguage(&order, requested);
  PushLanguage(&order, PrimaryLanguage(requested));
  PushLanguage(&order, 0);
  if (PrimaryLanguage(requested) == 0) {
    if (SubLanguage(requested) != kSublangSysDefault) {
      PushLanguage(&order, threadLanguage);
      PushLanguage(&order, userLanguage);
      PushLanguage(&order, PrimaryLanguage(userLanguage));
    }
    PushLanguage(&order, systemLanguage);
    PushLanguage(&order, PrimaryLanguage(systemLanguage));
    PushLanguage(&order, kUsEnglish);
    order.thenFirstEntry = true;
  }
  return order;
}

void PeResourceTree::Open(ByteView directory) {
  directory_ = directory;
  checkedCount_ = 0;
  nextChecked_ = 0;
  foundInTable_ = UINT32_MAX;
}

bool PeResourceTree::Open(const PeImage& image) {
  std::size_t root, end;
  if (!image.ResourceRange(&root, &end) || !image.Start().Holds(root, end - root)) return false;
  Open(image.Start().Sub(root, end - root));
  return true;
}

bool PeResourceTree::Table(std::uint32_t offset, PeResourceTable* out) const {
  for (int i = 0; i < checkedCount_; ++i) {
    if (checked_[i].offset == offset) {
      *out = checked_[i];
      return true;
    }
  }
  if (!CheckTable(offset, out)) return false;
  // Small tables (a resource's languages) cost less to check again than
  // they would take from the root and the types in the cache.
  if (out->count < kSmallTable) return true;
  checked_[nextChecked_] = *out;
  nextChecked_ = (nextChecked_ + 1) % kCheckedTables;
  if (checkedCount_ < kCheckedTables) ++checkedCount_;
  return true;
}

bool PeResourceTree::CheckTable(std::uint32_t offset, PeResourceTable* out) const {
  std::uint16_t namedCount, idCount;
  if (!directory_.Holds(offset, kTableHeaderBytes) || !directory_.U16(std::uint64_t{offset} + 12, &namedCount) ||
      !directory_.U16(std::uint64_t{offset} + 14, &idCount)) {
    return false;
  }
  PeResourceTable table;
  table.offset = offset;
  table.count = std::uint32_t{namedCount} + idCount;
  if (!directory_.Holds(std::uint64_t{offset} + kTableHeaderBytes, std::uint64_t{table.count} * kEntryBytes)) {
    return false;
  }
  for (std::uint32_t i = 0; i < table.count; ++i) {
    PeResourceEntry entry;
    if (!Entry(table, i, &entry)) return false;
  }
  *out = table;
  return true;
}

bool PeResourceTree::Entry(const PeResourceTable& table, std::uint32_t index, PeResourceEntry* out) const {
  if (index >= table.count) return false;
  std::uint64_t at = std::uint64_t{table.offset} + kTableHeaderBytes + std::uint64_t{index} * kEntryBytes;
  std::uint32_t name, target;
  if (!directory_.U32(at, &name) || !directory_.U32(at + 4, &target)) return false;
  PeResourceEntry entry;
  entry.named = (name & kHighBit) != 0;
  if (entry.named) {
    std::uint32_t nameAt = name & ~kHighBit;
    if (!directory_.U16(nameAt, &entry.nameLength) ||
        !directory_.Holds(std::uint64_t{nameAt} + 2, std::uint64_t{entry.nameLength} * 2)) {
      return false;
    }
    entry.nameOffset = nameAt + 2;
  } else {
    entry.id = static_cast<std::uint16_t>(name & 0xFFFF);
  }
  entry.isTable = (target & kHighBit) != 0;
  entry.child = target & ~kHighBit;
  *out = entry;
  return true;
}

std::u16string PeResourceTree::Name(const PeResourceEntry& entry) const {
  std::u16string name;
  if (!entry.named) return name;
  name.reserve(entry.nameLength);
  for (std::uint32_t i = 0; i < entry.nameLength; ++i) {
    std::uint16_t unit = 0;
    if (!directory_.U16(std::uint64_t{entry.nameOffset} + 2 * i, &unit)) break;
    name.push_back(static_cast<char16_t>(unit));
  }
  return name;
}


int PeResourceTree::Order(const PeResourceEntry& entry, const PeResourceQuery& query) const {
  // Named entries come before identifiers; names compare unit by unit with
  // letters folded to upper case, a shorter name first.
  if (entry.named != !query.isId) return entry.named ? -1 : 1;
  if (query.isId) return entry.id < query.id ? -1 : entry.id > query.id ? 1 : 0;
  const std::size_t common = std::min<std::size_t>(entry.nameLength, query.text.size());
  for (std::size_t i = 0; i < common; ++i) {
    std::uint16_t unit;
    if (!directory_.U16(std::uint64_t{entry.nameOffset} + 2 * i, &unit)) return -1;
    if (unit == query.text[i]) continue;
    const char16_t stored = UpperCaseUnit(static_cast<char16_t>(unit)), wanted = UpperCaseUnit(query.text[i]);
    if (stored != wanted) return stored < wanted ? -1 : 1;
  }
  return entry.nameLength < query.text.size() ? -1 : entry.nameLength > query.text.size() ? 1 : 0;
}

bool PeResourceTree::Matches(const PeResourceEntry& entry, const PeResourceQuery& query) const {
  return Order(entry, query) == 0;
}

bool PeResourceTree::FindEntry(const PeResourceTable& table, const PeResourceQuery& query, bool wantTable,
                               PeResourceEntry* out) const {
  if (!query.isId && table.offset == foundInTable_ && query.text == foundName_) {
    if (foundEntry_.isTable != wantTable) return false;
    *out = foundEntry_;
    return true;
  }
  if (!FindFirstEntry(table, query, out)) return false;
  if (!query.isId) {
    foundInTable_ = table.offset;
    foundName_ = query.text;
    foundEntry_ = *out;
  }
  return out->isTable == wantTable;
}

bool PeResourceTree::FindFirstEntry(const PeResourceTable& table, const PeResourceQuery& query,
                                    PeResourceEntry* out) const {
  // Linkers store named entries first, in order of their upper-cased names,
  // then identifiers in ascending order, so an entry is found by halving; a
  // table stored otherwise is still searched entry by entry below, so that
  // whatever is listed can be found.
  if (table.count > 8) {
    std::uint32_t low = 0, high = table.count;
    while (low < high) {
      std::uint32_t middle = low + (high - low) / 2;
      PeResourceEntry entry;
      if (!Entry(table, middle, &entry)) return false;
      if (Order(entry, query) < 0) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    PeResourceEntry entry;
    if (low < table.count && Entry(table, low, &entry) && Matches(entry, query)) {
      *out = entry;
      return true;
    }
  }
  for (std::uint32_t i = 0; i < table.count; ++i) {
    PeResourceEntry entry;
    if (!Entry(table, i, &entry)) return false;
    if (!Matches(entry, query)) continue;
    *out = entry;
    return true;
  }
  return false;
}

bool PeResourceTree::AllReachableInside(std::uint32_t maxEntries) const {
  // Every table checked counts all its entries, so that tables shared by
  // many entries can't make the walk long.
  std::uint64_t read = 0;
  auto table = [&](std::uint32_t offset, PeResourceTable* out) {
    return Table(offset, out) && (read += out->count) <= maxEntries;
  };
  PeResourceTable root, names, languages;
  if (!table(0, &root)) return false;
  for (std::uint32_t t = 0; t < root.count; ++t) {
    PeResourceEntry type;
    if (!Entry(root, t, &type)) return false;
    // Lookups go no further than an entry of the wrong kind.
    if (!type.isTable) continue;
    if (!table(type.child, &names)) return false;
    for (std::uint32_t n = 0; n < names.count; ++n) {
      PeResourceEntry name;
      if (!Entry(names, n, &name)) return false;
      if (!name.isTable) continue;
      if (!table(name.child, &languages)) return false;
      for (std::uint32_t l = 0; l < languages.count; ++l) {
        PeResourceEntry language;
        PeResourceData data;
        if (!Entry(languages, l, &language)) return false;
        if (!language.isTable && !DataEntry(language.child, &data)) return false;
      }
    }
  }
  return true;
}

bool PeResourceTree::DataEntry(std::uint32_t offset, PeResourceData* out) const {
  if (!directory_.Holds(offset, kDataEntryBytes)) return false;
  return directory_.U32(offset, &out->rva) && directory_.U32(std::uint64_t{offset} + 4, &out->size);
}

bool FindTypeTable(const PeResourceTree& tree, const PeResourceQuery& type, PeResourceTable* out) {
  PeResourceTable root;
  PeResourceEntry typeEntry;
  return tree.Root(&root) && tree.FindEntry(root, type, true, &typeEntry) && tree.Table(typeEntry.child, out);
}

bool FindLanguageTable(const PeResourceTree& tree, const PeResourceQuery& type, const PeResourceQuery& name,
                       PeResourceTable* out) {
  PeResourceTable names;
  PeResourceEntry nameEntry;
  return FindTypeTable(tree, type, &names) && tree.FindEntry(names, name, true, &nameEntry) &&
         tree.Table(nameEntry.child, out);
}

bool FindResourceDataEntry(const PeResourceTree& tree, const PeResourceQuery& type,
                           const PeResourceQuery& name, const PeLanguageOrder& order,
                           std::uint32_t* dataEntry) {
  PeResourceTable languages;
  if (!FindLanguageTable(tree, type, name, &languages)) return false;
  PeResourceEntry chosen;
  bool found = false;
  for (int i = 0; i < order.count && !found; ++i) {
    found = tree.FindEntry(languages, PeResourceQuery::Id(order.languages[i]), false, &chosen);
  }
  for (std::uint32_t i = 0; i < languages.count && !found && order.thenFirstEntry; ++i) {
    found = tree.Entry(languages, i, &chosen) && !chosen.isTable;
  }
  PeResourceData data;
  if (!found || !tree.DataEntry(chosen.child, &data)) return false;
  *dataEntry = chosen.child;
  return true;
}

bool ResourceFileOffset(const PeImage& image, const PeResourceData& data, std::size_t* offset) {
  if (std::uint64_t{data.rva} + data.size > 0x100000000ull) return false;
  std::size_t sectionEnd;
  if (!image.RvaToFileOffset(data.rva, offset, &sectionEnd)) return false;
  return data.size <= image.FileLength() && *offset <= image.FileLength() - data.size;
}

bool ResourceBytes(const PeImage& image, const PeResourceData& data, const std::uint8_t** bytes) {
  std::size_t offset;
  if (!ResourceFileOffset(image, data, &offset) || !image.Start().Holds(offset, data.size)) return false;
  *bytes = image.Start().Data() + offset;
  return true;
}
