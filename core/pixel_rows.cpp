#include "pixel_rows.h"

namespace {

std::uint8_t Expand5(unsigned five) { return static_cast<std::uint8_t>(five << 3 | five >> 2); }

unsigned IndexAt(const BYTE* row, WORD bitCount, std::int32_t x) {
  switch (bitCount) {
    case 1:
      return row[x >> 3] >> (7 - (x & 7)) & 1;
    case 4:
      return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default:
      return row[x];
  }
}

}  // namespace

IndexColors::IndexColors(const RGBQUAD* table, unsigned entries) {
  for (unsigned i = 0; i < 256; ++i) {
    colors_[i] =
        i < entries ? Rgb{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue} : Rgb{0, 0, 0};
  }
}

void ReadRowIndexes(const BYTE* row, WORD bitCount, const AxisMap& columns, std::uint8_t* out) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (columns[i] >= 0) out[i] = static_cast<std::uint8_t>(IndexAt(row, bitCount, columns[i]));
  }
}

void ReadRowColors(const BYTE* row, WORD bitCount, const IndexColors& indexColors,
                   const AxisMap& columns, Rgb* out) {
  const std::size_t count = columns.size();
  switch (bitCount) {
    case 1:
    case 4:
    case 8:
      for (std::size_t i = 0; i < count; ++i) {
        if (columns[i] >= 0) out[i] = indexColors[IndexAt(row, bitCount, columns[i])];
      }
      break;
    case 16:
      for (std::size_t i = 0; i < count; ++i) {
        if (columns[i] < 0) continue;
        const BYTE* p = row + 2 * static_cast<std::size_t>(columns[i]);
        unsigned value = p[0] | p[1] << 8;
        out[i] = Rgb{Expand5(value >> 10 & 31), Expand5(value >> 5 & 31), Expand5(value & 31)};
      }
      break;
    case 24:
    case 32: {
      const std::size_t bytes = bitCount / 8;
      for (std::size_t i = 0; i < count; ++i) {
        if (columns[i] < 0) continue;
        const BYTE* p = row + bytes * static_cast<std::size_t>(columns[i]);
        out[i] = Rgb{p[2], p[1], p[0]};
      }
      break;
    }
    default:
      break;
  }
}

void WriteRowIndexes(BYTE* row, WORD bitCount, const std::uint8_t* indexes,
                     const AxisMap& columns) {
  const std::size_t count = columns.size();
  for (std::size_t x = 0; x < count; ++x) {
    if (columns[x] < 0) continue;
    unsigned index = indexes[x];
    switch (bitCount) {
      case 1: {
        BYTE bit = static_cast<BYTE>(0x80 >> (x & 7));
        row[x >> 3] = static_cast<BYTE>((index & 1) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
        break;
      }
      case 4:
        row[x >> 1] = static_cast<BYTE>((x & 1) ? (row[x >> 1] & 0xF0) | (index & 0x0F)
                                                : (row[x >> 1] & 0x0F) | (index & 0x0F) << 4);
        break;
      default:
        row[x] = static_cast<BYTE>(index);
        break;
    }
  }
}

void WriteRowColors(BYTE* row, WORD bitCount, const Rgb* colors, const AxisMap& columns) {
  const std::size_t count = columns.size();
  for (std::size_t x = 0; x < count; ++x) {
    if (columns[x] < 0) continue;
    const Rgb& c = colors[x];
    switch (bitCount) {
      case 16: {
        unsigned value = (c.red >> 3) << 10 | (c.green >> 3) << 5 | c.blue >> 3;
        row[2 * x] = static_cast<BYTE>(value);
        row[2 * x + 1] = static_cast<BYTE>(value >> 8);
        break;
      }
      case 24:
        row[3 * x] = c.blue;
        row[3 * x + 1] = c.green;
        row[3 * x + 2] = c.red;
        break;
      case 32:
        row[4 * x] = c.blue;
        row[4 * x + 1] = c.green;
        row[4 * x + 2] = c.red;
        row[4 * x + 3] = 0;
        break;
      default:
        break;
    }
  }
}
