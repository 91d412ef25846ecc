// The resource directory of a PE32 or PE32+ module: a tree of fixed depth,
// type -> name -> language -> data entry. Every table, entry and name is
// checked to lie inside the section that holds the directory before it is
// used, and lookups go down exactly three levels, so a directory that points
// back into itself or nests deeper cannot make a walk loop or recurse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/byte_cursor.h"
#include "pe_image.h"
#include "resource_names.h"

// One table of the tree: offsets count from the root of the directory.
struct PeResourceTable {
  std::uint32_t offset = 0;
  std::uint32_t count = 0;  // named and identifier entries together
};

struct PeResourceEntry {
  bool named = false;
  std::uint16_t id = 0;            // when not named
  std::uint32_t nameOffset = 0;    // the name's UTF-16 units, after its length
  std::uint16_t nameLength = 0;    // in UTF-16 units
  bool isTable = false;            // else the child is a data entry
  std::uint32_t child = 0;
};

// A data entry: where the resource's bytes are (an RVA) and how many.
struct PeResourceData {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

// The languages a lookup tries, in order; when none is there and
// `thenFirstEntry` is set, the first entry of the language table that holds
// data is taken.
struct PeLanguageOrder {
  std::uint16_t languages[9] = {};
  int count = 0;
  bool thenFirstEntry = false;
};

// The order in which the Windows loader looks for a resource's language when
// `requested` is asked for (FindResourceA asks for 0, neutral): the request,
// its neutral sublanguage, neutral; and for a neutral request also the
// thread's, the user's and the system's languages with their neutral
// sublanguages, then U.S. English, then the first entry.
PeLanguageOrder LoaderLanguageOrder(std::uint16_t requested, std::uint16_t threadLanguage,
                                    std::uint16_t userLanguage, std::uint16_t systemLanguage);

class PeResourceTree {
 public:
  // `directory` holds the file's bytes from the root of the resource
  // directory to the end of its section (the range PeImage::ResourceRange
  // gives); offsets in the tree count from its start.
  void Open(ByteView directory);
  // For a module held whole: false when it has no resource directory in its
  // file.
  bool Open(const PeImage& image);

  // The table at `offset`, checked: its header, every entry and every entry's
  // name lie inside the directory's section. Its entries' children are
  // checked when they are read. The last few large tables checked are
  // remembered: every lookup passes the root and its type's table again, and
  // checking a type of a thousand icons for each of them would make reading
  // a group cost as much as its module has icons.
  bool Table(std::uint32_t offset, PeResourceTable* out) const;
  bool Root(PeResourceTable* out) const { return Table(0, out); }

  // Entry `index` of a table that Table() gave.
  bool Entry(const PeResourceTable& table, std::uint32_t index, PeResourceEntry* out) const;
  std::u16string Name(const PeResourceEntry& entry) const;
  bool Matches(const PeResourceEntry& entry, const PeResourceQuery& query) const;

  // Where the entry lies against the query in the order linkers store a
  // table: below 0 before it, 0 the same, above 0 after it.
  int Order(const PeResourceEntry& entry, const PeResourceQuery& query) const;

  // The first entry, in the table's order, that matches the query; false
  // when there is none, or when that entry is not of the kind wanted (a
  // table, or a data entry), as the loader gives up there too.
  bool FindEntry(const PeResourceTable& table, const PeResourceQuery& query, bool wantTable,
                 PeResourceEntry* out) const;

  // True when every table, entry, name and data entry that a lookup can
  // reach lies inside the directory bytes given to Open, found with at most
  // `maxEntries` entries read; false when one does not or the walk would
  // read more. A reader that gave only the first part of the section can
  // then tell whether the rest is needed.
  bool AllReachableInside(std::uint32_t maxEntries) const;

  // The data entry at `offset`, checked to lie inside the section.
  bool DataEntry(std::uint32_t offset, PeResourceData* out) const;

 private:
  bool CheckTable(std::uint32_t offset, PeResourceTable* out) const;
  // The first entry, in the table's order, that matches the query.
  bool FindFirstEntry(const PeResourceTable& table, const PeResourceQuery& query, PeResourceEntry* out) const;

  ByteView directory_;  // from the root to the end of its section
  static constexpr int kCheckedTables = 4;
  static constexpr std::uint32_t kSmallTable = 16;
  mutable PeResourceTable checked_[kCheckedTables] = {};
  mutable int checkedCount_ = 0;
  mutable int nextChecked_ = 0;
  // The last name found, and where: many groups may share one long name,
  // and each of them looks it up again.
  mutable std::uint32_t foundInTable_ = UINT32_MAX;
  mutable std::u16string foundName_;
  mutable PeResourceEntry foundEntry_;
};

// The table of names of the resources of `type`; false when there is none.
bool FindTypeTable(const PeResourceTree& tree, const PeResourceQuery& type, PeResourceTable* out);

// The table of languages of resource (type, name), whose entries' ids are
// the languages in the order the directory stores them; false when there is
// none.
bool FindLanguageTable(const PeResourceTree& tree, const PeResourceQuery& type, const PeResourceQuery& name,
                       PeResourceTable* out);

// The data entry (offset from the root) of resource (type, name) in the
// language that `order` picks.
bool FindResourceDataEntry(const PeResourceTree& tree, const PeResourceQuery& type,
                           const PeResourceQuery& name, const PeLanguageOrder& order,
                           std::uint32_t* dataEntry);

// Where a resource's bytes start in the file; false when they are not all in
// the file or their address range wraps 32 bits.
bool ResourceFileOffset(const PeImage& image, const PeResourceData& data, std::size_t* offset);

// The bytes of a resource of a module held whole; false as above.
bool ResourceBytes(const PeImage& image, const PeResourceData& data, const std::uint8_t** bytes);
