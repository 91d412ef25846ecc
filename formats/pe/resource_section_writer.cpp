#include "resource_section_writer.h"

#include <algorithm>
#include <cstring>

#include "formats/little_endian.h"
#include "pe_layout.h"

namespace {

using namespace pe_layout::resource_directory;
// PE32+ programs' data is 8-byte aligned by linkers; PE32 ones take it too.
constexpr std::uint64_t kDataAlignment = 8;

constexpr std::uint64_t Align(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

bool ItemBefore(const PeResourceItem& a, const PeResourceItem& b) {
  if (int order = CompareResourceNames(a.type, b.type)) return order < 0;
  if (int order = CompareResourceNames(a.name, b.name)) return order < 0;
  return a.language < b.language;
}

// A table of the tree: the items [first, last) it covers and where it lies.
struct Node {
  std::size_t first;
  std::size_t last;
  std::uint64_t offset;
  std::uint64_t nameOffset = 0;  // its key's string, when named
  std::size_t firstName = 0;     // a type's names: names_[firstName, lastName)
  std::size_t lastName = 0;
};

class Layout {
 public:
  explicit Layout(const std::vector<PeResourceItem>& items) : items_(items) {}

  std::uint64_t Bytes() {
    Split();
    Place();
    return end_;
  }

  // Into `out`, zeroed, of Bytes().
  void Write(std::uint32_t rva, std::uint8_t* out) {
    Bytes();
    bytes_ = out;
    WriteTables(rva);
  }

 private:
  // Types, then names within each type: runs of equal keys.
  void Split() {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (i == 0 || CompareResourceNames(items_[i - 1].type, items_[i].type) != 0) {
        types_.push_back({i, i, 0});
        types_.back().firstName = names_.size();
      }
      types_.back().last = i + 1;
      if (types_.back().first == i || CompareResourceNames(items_[i - 1].name, items_[i].name) != 0) {
        names_.push_back({i, i, 0});
      }
      names_.back().last = i + 1;
      types_.back().lastName = names_.size();
    }
  }

  void Place() {
    std::uint64_t at = kTableHeaderBytes + kEntryBytes * types_.size();
    for (Node& type : types_) {
      type.offset = at;
      at += kTableHeaderBytes + kEntryBytes * (type.lastName - type.firstName);
    }
    for (Node& name : names_) {
      name.offset = at;
      at += kTableHeaderBytes + kEntryBytes * (name.last - name.first);
    }
    dataEntries_ = at;
    at += kDataEntryBytes * items_.size();
    for (Node& type : types_) PlaceString(items_[type.first].type, &type, &at);
    for (Node& name : names_) PlaceString(items_[name.first].name, &name, &at);
    for (const PeResourceItem& item : items_) {
      at = Align(at, kDataAlignment);
      data_.push_back(at);
      at += item.data.Length();
    }
    end_ = Align(at, kDataAlignment);
  }

  static void PlaceString(const PeResourceQuery& key, Node* node, std::uint64_t* at) {
    if (key.isId) return;
    node->nameOffset = *at;
    *at += 2 + 2 * key.text.size();
  }

  void WriteHeader(std::uint64_t offset, std::uint16_t named, std::uint16_t ids) {
    PutU16(bytes_ + offset + 12, named);
    PutU16(bytes_ + offset + 14, ids);
  }

  void WriteEntry(std::uint64_t* at, const PeResourceQuery& key, const Node* node, std::uint32_t target) {
    if (key.isId) {
      PutU32(bytes_ + *at, key.id);
    } else {
      PutU32(bytes_ + *at, kHighBit | static_cast<std::uint32_t>(node->nameOffset));
      PutU16(bytes_ + node->nameOffset, static_cast<std::uint32_t>(key.text.size()));
      for (std::size_t i = 0; i < key.text.size(); ++i) PutU16(bytes_ + node->nameOffset + 2 + 2 * i, key.text[i]);
    }
    PutU32(bytes_ + *at + 4, target);
    *at += kEntryBytes;
  }

  // The header of a table whose entries are `nodes`, named ones first.
  template <typename Key>
  void WriteTable(std::uint64_t offset, const std::vector<const Node*>& nodes, Key key,
                  std::uint32_t (*target)(const Layout&, const Node&)) {
    std::uint16_t named = 0;
    for (const Node* node : nodes) named += !key(*node).isId;
    WriteHeader(offset, named, static_cast<std::uint16_t>(nodes.size() - named));
    std::uint64_t at = offset + kTableHeaderBytes;
    for (const Node* node : nodes) WriteEntry(&at, key(*node), node, target(*this, *node));
  }

  void WriteTables(std::uint32_t rva) {
    std::vector<const Node*> types;
    for (const Node& type : types_) types.push_back(&type);
    auto typeKey = [this](const Node& node) -> const PeResourceQuery& { return items_[node.first].type; };
    auto nameKey = [this](const Node& node) -> const PeResourceQuery& { return items_[node.first].name; };
    auto tableOf = [](const Layout&, const Node& node) { return kHighBit | static_cast<std::uint32_t>(node.offset); };
    WriteTable(0, types, typeKey, tableOf);
    for (const Node& type : types_) {
      std::vector<const Node*> names;
      for (std::size_t i = type.firstName; i < type.lastName; ++i) names.push_back(&names_[i]);
      WriteTable(type.offset, names, nameKey, tableOf);
    }
    for (const Node& name : names_) WriteLanguages(name);
    for (std::size_t i = 0; i < items_.size(); ++i) WriteData(i, rva);
  }

  void WriteLanguages(const Node& name) {
    WriteHeader(name.offset, 0, static_cast<std::uint16_t>(name.last - name.first));
    std::uint64_t at = name.offset + kTableHeaderBytes;
    for (std::size_t i = name.first; i < name.last; ++i) {
      WriteEntry(&at, PeResourceQuery::Id(items_[i].language), nullptr,
                 static_cast<std::uint32_t>(dataEntries_ + kDataEntryBytes * i));
    }
  }

  void WriteData(std::size_t i, std::uint32_t rva) {
    std::uint8_t* entry = bytes_ + dataEntries_ + kDataEntryBytes * i;
    PutU32(entry, rva + static_cast<std::uint32_t>(data_[i]));
    PutU32(entry + 4, static_cast<std::uint32_t>(items_[i].data.Length()));
    PutU32(entry + 8, items_[i].codePage);
    if (items_[i].data.Length() != 0) std::memcpy(bytes_ + data_[i], items_[i].data.Data(), items_[i].data.Length());
  }

  const std::vector<PeResourceItem>& items_;
  std::vector<Node> types_;
  std::vector<Node> names_;
  std::vector<std::uint64_t> data_;
  std::uint64_t dataEntries_ = 0;
  std::uint64_t end_ = 0;
  std::uint8_t* bytes_ = nullptr;
};

}  // namespace

bool SameResource(const PeResourceItem& a, const PeResourceItem& b) {
  return CompareResourceNames(a.type, b.type) == 0 && CompareResourceNames(a.name, b.name) == 0 &&
         a.language == b.language;
}

bool SortResources(std::vector<PeResourceItem>* items) {
  std::stable_sort(items->begin(), items->end(), ItemBefore);
  // A table counts its entries in 16 bits.
  std::size_t run = 0;
  for (std::size_t i = 0; i < items->size(); ++i) {
    const bool sameType = i > 0 && CompareResourceNames((*items)[i - 1].type, (*items)[i].type) == 0;
    if (i > 0 && SameResource((*items)[i - 1], (*items)[i])) return false;
    run = sameType ? run + 1 : 1;
    if (run > 0xFFFF) return false;
  }
  return true;
}

std::uint64_t ResourceDirectoryBytes(const std::vector<PeResourceItem>& sorted) { return Layout(sorted).Bytes(); }

void WriteResourceDirectory(const std::vector<PeResourceItem>& sorted, std::uint32_t rva, std::uint8_t* out) {
  Layout(sorted).Write(rva, out);
}
