// 16-bit (NE) modules built byte by byte for the tests of our NE reader: the
// DOS header, the NE header and a resource table whose every field a test
// may set, also to values no linker writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ne_bytes {

using Bytes = std::vector<std::uint8_t>;

// A type or name field: an identifier (stored with its 0x8000 flag), a text
// placed among the table's names (its offset stored), or a value stored as
// it is.
struct Field {
  enum class Kind { kId, kText, kRaw };
  Kind kind = Kind::kId;
  std::uint16_t value = 0;
  std::string text;

  static Field Id(std::uint16_t id) { return {Kind::kId, id, {}}; }
  static Field Text(std::string text) { return {Kind::kText, 0, std::move(text)}; }
  static Field Raw(std::uint16_t value) { return {Kind::kRaw, value, {}}; }
};

struct NameRecord {
  Field name;
  std::uint16_t offset = 0;  // in units of the alignment
  std::uint16_t length = 0;
};

struct TypeRecord {
  Field type;
  std::vector<NameRecord> names;
  int count = -1;  // the count stored, when not the number of names
};

struct Description {
  std::uint32_t lfanew = 64;
  std::uint16_t shift = 4;
  std::vector<TypeRecord> types;
  bool endOfTypes = true;  // the 0 word that ends the type records
  // The NE header's offsets of the resource table and of what follows it,
  // when not where the table is built (-1).
  int tableStart = -1;
  int tableEnd = -1;
  // The file is at least this long; every byte past the table holds the low
  // byte of its offset.
  std::size_t fileBytes = 0;
};

struct Built {
  Bytes file;
  std::size_t table = 0;     // file offset of the table (its shift word)
  std::size_t tableEnd = 0;  // and of its end
  std::vector<std::size_t> textAt;  // file offset of each text's length byte, in order of first use
};

// The table follows the NE header; its names follow the type records, each
// text once, in order of first use.
Built Build(const Description& description);

// A module as a linker lays one out: each run of resources of one type is a
// type record, the resources' bytes follow the table in order, each at the
// next unit, padded with zeros.
struct Resource {
  std::uint16_t type = 0;
  std::string name;  // a text name, or
  std::uint16_t id = 0;  // the identifier when `name` is empty
  Bytes data;
};
Bytes ModuleOf(const std::vector<Resource>& resources, std::uint16_t shift = 4);

}  // namespace ne_bytes
