// Where the fields of a PE32 or PE32+ file's headers lie, for the reader and
// the writer of programs alike. Offsets count from the start of the header
// they belong to.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pe_layout {

constexpr std::uint32_t kNtSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;

// The COFF file header, after the signature.
constexpr std::size_t kFileHeaderBytes = 20;
constexpr std::size_t kSectionCountField = 2;
constexpr std::size_t kSymbolTableField = 8;
constexpr std::size_t kSymbolCountField = 12;
constexpr std::size_t kOptionalBytesField = 16;

// The optional header.
constexpr std::size_t kInitializedDataField = 8;
constexpr std::size_t kSectionAlignmentField = 32;
constexpr std::size_t kFileAlignmentField = 36;
constexpr std::size_t kSizeOfImageField = 56;
constexpr std::size_t kSizeOfHeadersOffset = 60;
constexpr std::size_t kCheckSumField = 64;
// NumberOfRvaAndSizes; the data directories, 8 bytes each, follow it.
constexpr std::size_t RvaCountOffset(bool pe32Plus) { return pe32Plus ? 108 : 92; }
constexpr std::size_t kDataDirectoryBytes = 8;
constexpr std::uint32_t kResourceDirectory = 2;
// The certificate table: a file offset, not an address, and never mapped.
constexpr std::uint32_t kCertificateDirectory = 4;
constexpr std::uint32_t kDebugDirectory = 6;

// A section header.
constexpr std::size_t kSectionHeaderBytes = 40;
constexpr std::size_t kSectionNameBytes = 8;
constexpr std::size_t kVirtualSizeField = 8;
constexpr std::size_t kVirtualAddressField = 12;
constexpr std::size_t kRawSizeField = 16;
constexpr std::size_t kRawOffsetField = 20;
constexpr std::size_t kCharacteristicsField = 36;
constexpr std::uint32_t kInitializedData = 0x00000040;
constexpr std::uint32_t kMemoryRead = 0x40000000;

// A debug directory entry: where its data lies in the file.
constexpr std::size_t kDebugEntryBytes = 28;
constexpr std::size_t kDebugRawOffsetField = 24;

// The resource directory: a table's header, each of its entries, a data
// entry; the high bit of an entry's fields marks a name, or a table.
namespace resource_directory {
constexpr std::uint32_t kTableHeaderBytes = 16;
constexpr std::uint32_t kEntryBytes = 8;
constexpr std::uint32_t kDataEntryBytes = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;
}  // namespace resource_directory

}  // namespace pe_layout
