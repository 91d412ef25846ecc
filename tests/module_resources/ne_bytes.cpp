#include "ne_bytes.h"

#include <algorithm>
#include <map>

namespace ne_bytes {

namespace {

void Put16(Bytes* b, std::size_t at, std::uint32_t v) {
  if (b->size() < at + 2) b->resize(at + 2);
  (*b)[at] = static_cast<std::uint8_t>(v);
  (*b)[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(Bytes* b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

}  // namespace

Built Build(const Description& d) {
  Built built;
  const std::size_t ne = d.lfanew;
  built.table = ne + 64;
  std::size_t at = built.table + 2;
  for (const TypeRecord& type : d.types) at += 8 + 12 * type.names.size();
  if (d.endOfTypes) at += 2;
  // Texts in order of first use.
  std::vector<std::string> texts;
  auto use = [&](const Field& field) {
    if (field.kind == Field::Kind::kText && std::find(texts.begin(), texts.end(), field.text) == texts.end()) {
      texts.push_back(field.text);
    }
  };
  for (const TypeRecord& type : d.types) {
    use(type.type);
    for (const NameRecord& name : type.names) use(name.name);
  }
  std::map<std::string, std::size_t> textAt;
  for (const std::string& text : texts) {
    textAt[text] = at;
    built.textAt.push_back(at);
    at += 1 + text.size();
  }
  built.tableEnd = at;

  Bytes& file = built.file;
  file.assign(std::max(at, d.fileBytes), 0);
  for (std::size_t i = at; i < file.size(); ++i) file[i] = static_cast<std::uint8_t>(i);
  file[0] = 'M';
  file[1] = 'Z';
  Put32(&file, 0x3C, d.lfanew);
  file[ne] = 'N';
  file[ne + 1] = 'E';
  Put16(&file, ne + 0x24, d.tableStart >= 0 ? static_cast<std::uint32_t>(d.tableStart)
                                            : static_cast<std::uint32_t>(built.table - ne));
  Put16(&file, ne + 0x26, d.tableEnd >= 0 ? static_cast<std::uint32_t>(d.tableEnd)
                                          : static_cast<std::uint32_t>(built.tableEnd - ne));
  Put16(&file, ne + 0x36, 2);  // Windows

  auto field = [&](const Field& f) -> std::uint32_t {
    switch (f.kind) {
      case Field::Kind::kId: return 0x8000u | f.value;
      case Field::Kind::kText: return static_cast<std::uint32_t>(textAt[f.text] - built.table);
      case Field::Kind::kRaw: return f.value;
    }
    return 0;
  };
  Put16(&file, built.table, d.shift);
  std::size_t record = built.table + 2;
  for (const TypeRecord& type : d.types) {
    Put16(&file, record, field(type.type));
    Put16(&file, record + 2, type.count >= 0 ? static_cast<std::uint32_t>(type.count)
                                             : static_cast<std::uint32_t>(type.names.size()));
    Put32(&file, record + 4, 0);
    for (std::size_t i = 0; i < type.names.size(); ++i) {
      const NameRecord& name = type.names[i];
      std::size_t at12 = record + 8 + 12 * i;
      Put16(&file, at12, name.offset);
      Put16(&file, at12 + 2, name.length);
      Put16(&file, at12 + 4, 0x1C30);
      Put16(&file, at12 + 6, field(name.name));
      Put32(&file, at12 + 8, 0);
    }
    record += 8 + 12 * type.names.size();
  }
  if (d.endOfTypes) Put16(&file, record, 0);
  for (const std::string& text : texts) {
    std::size_t at1 = textAt[text];
    file[at1] = static_cast<std::uint8_t>(text.size());
    std::copy(text.begin(), text.end(), file.begin() + static_cast<std::ptrdiff_t>(at1 + 1));
  }
  return built;
}

Bytes ModuleOf(const std::vector<Resource>& resources, std::uint16_t shift) {
  Description d;
  d.shift = shift;
  for (const Resource& r : resources) {
    if (d.types.empty() || d.types.back().type.value != r.type) d.types.push_back({Field::Id(r.type), {}, -1});
    d.types.back().names.push_back({r.name.empty() ? Field::Id(r.id) : Field::Text(r.name), 0, 0});
  }
  const std::size_t unit = std::size_t{1} << shift;
  std::size_t at = (Build(d).tableEnd + unit - 1) / unit * unit;
  std::vector<std::size_t> places;
  std::size_t k = 0;
  for (TypeRecord& type : d.types) {
    for (NameRecord& name : type.names) {
      const std::size_t units = (resources[k].data.size() + unit - 1) / unit;
      name.offset = static_cast<std::uint16_t>(at >> shift);
      name.length = static_cast<std::uint16_t>(units);
      places.push_back(at);
      at += units * unit;
      ++k;
    }
  }
  d.fileBytes = at;
  Bytes file = Build(d).file;
  for (std::size_t i = 0; i < resources.size(); ++i) {
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(places[i]),
              file.begin() + static_cast<std::ptrdiff_t>(places[i] + ((resources[i].data.size() + unit - 1) / unit) * unit), 0);
    std::copy(resources[i].data.begin(), resources[i].data.end(), file.begin() + static_cast<std::ptrdiff_t>(places[i]));
  }
  return file;
}

}  // namespace ne_bytes
