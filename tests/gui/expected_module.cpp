#include "expected_module.h"

#include <cstdint>

Bytes ExpectedModule::Resource(int id, LPCWSTR type) const {
  HRSRC found = m_module ? FindResourceW(m_module, MAKEINTRESOURCEW(id), type) : nullptr;
  HGLOBAL loaded = found ? LoadResource(m_module, found) : nullptr;
  const auto* data = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
  if (data == nullptr) return Bytes();
  return Bytes(data, data + SizeofResource(m_module, found));
}

HICON ExpectedModule::PreviewIcon(int group) const {
  Bytes directory = Resource(group, MAKEINTRESOURCEW(14));
  if (directory.empty()) return nullptr;
  int id = LookupIconIdFromDirectory(directory.data(), TRUE);
  Bytes image = Resource(id, MAKEINTRESOURCEW(3));
  if (image.empty()) return nullptr;
  return CreateIconFromResource(image.data(), static_cast<DWORD>(image.size()), TRUE, 0x30000);
}

Bytes ExpectedModule::FirstImage(int group) const {
  Bytes directory = Resource(group, MAKEINTRESOURCEW(14));
  if (directory.size() < 6 + 14) return Bytes();
  return Resource(static_cast<int>(GetU16(directory, 6 + 12)), MAKEINTRESOURCEW(3));
}

Bytes ExpectedModule::ClipboardBlock(int group) const {
  Bytes block = FirstImage(group);
  if (block.size() >= 40) PutU32(block, 8, static_cast<std::uint32_t>(static_cast<std::int32_t>(GetU32(block, 8)) / 2));
  return block;
}
