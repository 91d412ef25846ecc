#include "resource_list.h"

#include <algorithm>
#include <iterator>
#include <unordered_set>
#include <utility>

#include "pe_layout.h"
#include "pe_resources.h"

namespace {

using namespace pe_layout::resource_directory;
// Far past the resources of any real module (shell32.dll has a few
// thousand), and a bound on what a crafted one makes the list hold.
constexpr std::uint32_t kMaxEntries = 1u << 20;

using Range = std::pair<std::uint64_t, std::uint64_t>;  // [first, second) in the directory

class Lister {
 public:
  Lister(const PeImage& image, std::vector<PeResourceItem>* items) : image_(image), items_(items) {}

  ResourceListFailure Run() {
    std::size_t end;
    if (!image_.ResourceRange(&root_, &end)) return ResourceListFailure::kNone;
    if (!tree_.Open(image_)) return ResourceListFailure::kTableOutside;
    ResourceListFailure failure = Walk(0, 0, PeResourceItem());
    if (failure == ResourceListFailure::kNone) failure = CheckOverlaps();
    return failure != ResourceListFailure::kNone ? failure : CheckListedOnce();
  }

 private:
  ResourceListFailure Walk(std::uint32_t offset, int depth, PeResourceItem item) {
    PeResourceTable table;
    if (!visited_.insert(offset).second) return ResourceListFailure::kLoops;
    if (!tree_.Table(offset, &table)) return ResourceListFailure::kTableOutside;
    if ((entries_ += table.count) > kMaxEntries) return ResourceListFailure::kTooMany;
    tables_.emplace_back(offset, offset + kTableHeaderBytes + kEntryBytes * table.count);
    for (std::uint32_t i = 0; i < table.count; ++i) {
      PeResourceEntry entry;
      if (!tree_.Entry(table, i, &entry)) return ResourceListFailure::kTableOutside;
      if (entry.named) tables_.emplace_back(entry.nameOffset - 2, entry.nameOffset + 2ull * entry.nameLength);
      PeResourceQuery key = entry.named ? PeResourceQuery::Text(tree_.Name(entry)) : PeResourceQuery::Id(entry.id);
      if (entry.isTable != (depth < 2)) return ResourceListFailure::kWrongDepth;
      ResourceListFailure failure = ResourceListFailure::kNone;
      if (depth == 0) {
        item.type = std::move(key);
        failure = Walk(entry.child, 1, item);
      } else if (depth == 1) {
        item.name = std::move(key);
        failure = Walk(entry.child, 2, item);
      } else {
        item.language = entry.id;
        failure = AddData(entry.child, item);
      }
      if (failure != ResourceListFailure::kNone) return failure;
    }
    return ResourceListFailure::kNone;
  }

  ResourceListFailure AddData(std::uint32_t offset, PeResourceItem item) {
    PeResourceData data;
    if (!tree_.DataEntry(offset, &data) || !image_.Start().U32(root_ + offset + 8ull, &item.codePage)) {
      return ResourceListFailure::kDataEntryOutside;
    }
    tables_.emplace_back(offset, offset + kDataEntryBytes);
    const std::uint8_t* bytes;
    if (!ResourceBytes(image_, data, &bytes)) return ResourceListFailure::kDataOutside;
    item.data = ByteView(bytes, data.size);
    items_->push_back(std::move(item));
    return ResourceListFailure::kNone;
  }

  // A resource whose bytes are the directory's own tables would change
  // with them when the directory is written anew.
  ResourceListFailure CheckOverlaps() {
    MergeTables();
    const std::uint8_t* root = image_.Start().Data() + root_;
    for (const PeResourceItem& item : *items_) {
      if (item.data.Length() == 0 || item.data.Data() < root) continue;
      const std::uint64_t first = static_cast<std::uint64_t>(item.data.Data() - root);
      const std::uint64_t last = first + item.data.Length();
      // The last table starting before the bytes end is the only one that
      // can reach into them: the ranges are disjoint and sorted.
      auto after = std::lower_bound(tables_.begin(), tables_.end(), Range(last, 0));
      if (after != tables_.begin() && std::prev(after)->second > first) return ResourceListFailure::kOverlaps;
    }
    return ResourceListFailure::kNone;
  }

  // A lookup finds only the first of two entries with one key; a directory
  // written anew could keep only one of them.
  ResourceListFailure CheckListedOnce() const {
    std::vector<const PeResourceItem*> sorted;
    for (const PeResourceItem& item : *items_) sorted.push_back(&item);
    auto key = [](const PeResourceItem* a, const PeResourceItem* b) {
      if (int order = CompareResourceNames(a->type, b->type)) return order;
      if (int order = CompareResourceNames(a->name, b->name)) return order;
      return a->language < b->language ? -1 : a->language > b->language ? 1 : 0;
    };
    std::sort(sorted.begin(), sorted.end(),
              [&](const PeResourceItem* a, const PeResourceItem* b) { return key(a, b) < 0; });
    for (std::size_t i = 1; i < sorted.size(); ++i) {
      if (key(sorted[i - 1], sorted[i]) == 0) return ResourceListFailure::kListedTwice;
    }
    return ResourceListFailure::kNone;
  }

  void MergeTables() {
    std::sort(tables_.begin(), tables_.end());
    std::size_t kept = 0;
    for (const Range& range : tables_) {
      if (kept > 0 && range.first <= tables_[kept - 1].second) {
        tables_[kept - 1].second = std::max(tables_[kept - 1].second, range.second);
      } else {
        tables_[kept++] = range;
      }
    }
    tables_.resize(kept);
  }

  const PeImage& image_;
  std::vector<PeResourceItem>* items_;
  PeResourceTree tree_;
  std::size_t root_ = 0;
  std::unordered_set<std::uint32_t> visited_;
  std::vector<Range> tables_;
  std::uint64_t entries_ = 0;
};

}  // namespace

ResourceListFailure ListResources(const PeImage& image, std::vector<PeResourceItem>* items) {
  items->clear();
  return Lister(image, items).Run();
}

int CompareResourceNames(const PeResourceQuery& a, const PeResourceQuery& b) {
  if (a.isId != b.isId) return a.isId ? 1 : -1;
  if (a.isId) return a.id < b.id ? -1 : a.id > b.id ? 1 : 0;
  const std::size_t common = std::min(a.text.size(), b.text.size());
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t x = UpperCaseUnit(a.text[i]), y = UpperCaseUnit(b.text[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.text.size() < b.text.size() ? -1 : a.text.size() > b.text.size() ? 1 : 0;
}
