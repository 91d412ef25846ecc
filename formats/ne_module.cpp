#include "ne_module.h"

#include <cstring>

#include "input_limits.h"

namespace ne_module {

namespace {

// Fields of the NE header: offsets, from the header, of the resource table
// and of the resident names table that follows it.
constexpr std::size_t kResourceTableField = 0x24;
constexpr std::size_t kResidentNamesField = 0x26;
constexpr std::size_t kTypeRecordBytes = 8;
constexpr std::size_t kNameRecordBytes = 12;

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool IsNeSignature(ByteView bytes) { return bytes.Matches(0, "NE", 2); }

bool Matches(const ResourceId& stored, const Query& query) {
  if (query.isInteger) return stored.isInteger && stored.id == query.id;
  if (stored.isInteger || stored.text.Length() != query.length) return false;
  for (std::size_t i = 0; i < query.length; ++i) {
    if (UpperAscii(static_cast<char>(stored.text.Data()[i])) != UpperAscii(query.text[i])) return false;
  }
  return true;
}

bool NeModule::Parse(ByteView file) {
  *this = NeModule();
  std::uint32_t header;
  std::uint64_t start, end;
  if (!dos_header::NewHeaderOffset(file, &header) || !file.Holds(header, kHeaderBytes) ||
      !TableRange(file.Sub(header, kHeaderBytes), header, &start, &end)) {
    return false;
  }
  const bool inside = end > start && file.Holds(start, end - start);
  OpenTable(inside ? file.Sub(start, end - start) : ByteView(), inside, file.Length());
  file_ = file;
  return true;
}

bool NeModule::TableRange(ByteView newHeader, std::uint32_t header, std::uint64_t* start, std::uint64_t* end) {
  std::uint16_t tableStart, tableEnd;
  if (!newHeader.Holds(0, kHeaderBytes) || !IsNeSignature(newHeader) ||
      !newHeader.U16(kResourceTableField, &tableStart) || !newHeader.U16(kResidentNamesField, &tableEnd)) {
    return false;
  }
  *start = std::uint64_t{header} + tableStart;
  *end = std::uint64_t{header} + tableEnd;
  return true;
}

void NeModule::OpenTable(ByteView table, bool tableRead, std::uint64_t fileLength) {
  *this = NeModule();
  fileLength_ = fileLength;
  table_ = table;
  // A module without resources has its resident names where the table
  // would start.
  hasResources_ = tableRead && table.Length() != 0 && ReadResourceTable();
  if (!hasResources_) {
    table_ = ByteView();
    shift_ = 0;
  }
}

bool NeModule::ReadResourceTable() {
  if (!table_.U16(0, &shift_) || shift_ > limits::kMaxNeAlignShift) return false;
  std::size_t at = 2;
  for (;;) {
    std::uint16_t typeField, count;
    if (!table_.U16(at, &typeField)) return false;
    if (typeField == 0) return true;
    if (!table_.U16(at + 2, &count) ||
        !table_.Holds(at, kTypeRecordBytes + kNameRecordBytes * std::uint64_t{count}) ||
        !NameInTable(typeField)) {
      return false;
    }
    for (std::uint16_t i = 0; i < count; ++i) {
      std::uint16_t nameField;
      if (!table_.U16(at + kTypeRecordBytes + kNameRecordBytes * std::size_t{i} + 6, &nameField) ||
          !NameInTable(nameField)) {
        return false;
      }
    }
    at += kTypeRecordBytes + kNameRecordBytes * std::size_t{count};
  }
}

bool NeModule::NameInTable(std::uint16_t field) const {
  if ((field & kIntegerFlag) != 0) return true;
  std::uint8_t length;
  return table_.U8(field, &length) && table_.Holds(std::uint64_t{field} + 1, length);
}

ResourceId NeModule::Id(std::uint16_t field) const {
  ResourceId id;
  if ((field & kIntegerFlag) != 0) {
    id.isInteger = true;
    id.id = field & ~kIntegerFlag;
    return id;
  }
  std::uint8_t length = 0;
  table_.U8(field, &length);
  ByteView text = table_.Sub(std::uint64_t{field} + 1, length);
  // A name is handed on as a zero-terminated text: it ends at a zero byte.
  const void* zero = text.Length() != 0 ? std::memchr(text.Data(), 0, text.Length()) : nullptr;
  if (zero != nullptr) {
    text = text.Sub(0, static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(zero) - text.Data()));
  }
  id.text = text;
  return id;
}

bool NeModule::RecordAt(std::size_t at, const ResourceId& type, Resource* out) const {
  std::uint16_t offset, length, nameField;
  if (!table_.U16(at, &offset) || !table_.U16(at + 2, &length) || !table_.U16(at + 6, &nameField)) {
    return false;
  }
  out->type = type;
  out->name = Id(nameField);
  out->offset = std::uint64_t{offset} << shift_;
  out->length = std::uint64_t{length} << shift_;
  return true;
}

bool NeModule::Place(const Resource& resource, std::uint64_t* offset, std::uint64_t* length) const {
  if (resource.offset > fileLength_) return false;
  std::uint64_t bytes = resource.length;
  if (bytes > fileLength_ - resource.offset) {
    const std::uint64_t missing = bytes - (fileLength_ - resource.offset);
    if (missing >= (std::uint64_t{1} << shift_)) return false;
    bytes = fileLength_ - resource.offset;
  }
  *offset = resource.offset;
  *length = bytes;
  return true;
}

bool NeModule::Bytes(const Resource& resource, ByteView* bytes) const {
  std::uint64_t offset, length;
  if (file_.Data() == nullptr || !Place(resource, &offset, &length)) return false;
  *bytes = file_.Sub(offset, length);
  return true;
}

}  // namespace ne_module
