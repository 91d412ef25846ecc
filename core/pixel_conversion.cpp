#include "pixel_conversion.h"

#include <cstring>
#include <vector>

#include "nearest_color.h"
#include "pixel_rows.h"

namespace {

bool IsIndexed(WORD bitCount) { return bitCount <= 8; }

// GDI cuts colours of a picture without a table to 5 bits per component
// before it looks for them in an 8-bit picture's table; toward 1 and 4 bits
// it searches with the full colour.
bool MatchesFiveBit(WORD sourceBits, WORD targetBits) {
  return !IsIndexed(sourceBits) && targetBits == 8;
}

// Writes one target row from one source row.
class RowConverter {
 public:
  RowConverter(const SourcePicture& source, const TargetPicture& target, const AxisMap& columns,
               bool copyIndexes)
      : source_(source),
        target_(target),
        columns_(columns),
        copyIndexes_(copyIndexes),
        indexColors_(source.table, source.tableEntries),
        matcher_(target.table, IsIndexed(target.bitCount) ? target.tableEntries : 0),
        fiveBit_(MatchesFiveBit(source.bitCount, target.bitCount)),
        indexes_(columns.size()),
        colors_(columns.size()) {
    if (!copyIndexes_ && IsIndexed(source.bitCount) && IsIndexed(target.bitCount)) {
      for (unsigned i = 0; i < 256; ++i) {
        Rgb c = indexColors_[i];
        translation_[i] = matcher_.Match(c.red, c.green, c.blue);
      }
    }
  }

  void Convert(const BYTE* sourceRow, BYTE* targetRow) {
    const WORD from = source_.bitCount;
    const WORD to = target_.bitCount;
    if (IsIndexed(from) && IsIndexed(to)) {
      ReadRowIndexes(sourceRow, from, columns_, indexes_.data());
      if (!copyIndexes_) {
        for (std::uint8_t& index : indexes_) index = translation_[index];
      }
      WriteRowIndexes(targetRow, to, indexes_.data(), columns_);
      return;
    }
    ReadRowColors(sourceRow, from, indexColors_, columns_, colors_.data());
    if (!IsIndexed(to)) {
      WriteRowColors(targetRow, to, colors_.data(), columns_);
      return;
    }
    for (std::size_t i = 0; i < colors_.size(); ++i) {
      if (columns_[i] < 0) continue;
      const Rgb& c = colors_[i];
      indexes_[i] = fiveBit_ ? matcher_.MatchFiveBit(c.red, c.green, c.blue)
                             : matcher_.Match(c.red, c.green, c.blue);
    }
    WriteRowIndexes(targetRow, to, indexes_.data(), columns_);
  }

 private:
  const SourcePicture& source_;
  const TargetPicture& target_;
  const AxisMap& columns_;
  const bool copyIndexes_;
  IndexColors indexColors_;
  NearestColorMatcher matcher_;
  const bool fiveBit_;
  std::uint8_t translation_[256] = {};
  std::vector<std::uint8_t> indexes_;
  std::vector<Rgb> colors_;
};

}  // namespace

void ConvertPixels(const SourcePicture& source, const TargetPicture& target, const AxisMap& rows,
                   const AxisMap& columns, bool copyIndexes) {
  RowConverter converter(source, target, columns, copyIndexes);
  const BYTE* previousTargetRow = nullptr;
  std::int32_t previousSourceRow = -1;
  for (std::size_t y = 0; y < rows.size(); ++y) {
    const std::int32_t sourceY = rows[y];
    if (sourceY < 0) continue;
    // Stored rows run bottom-up: display row y is stored row height - 1 - y.
    BYTE* targetRow =
        target.pixels + (static_cast<std::size_t>(target.height) - 1 - y) * target.stride;
    if (sourceY == previousSourceRow && previousTargetRow != nullptr) {
      std::memcpy(targetRow, previousTargetRow, target.stride);
    } else {
      const BYTE* sourceRow =
          source.pixels + (static_cast<std::size_t>(source.height) - 1 - sourceY) * source.stride;
      converter.Convert(sourceRow, targetRow);
    }
    previousTargetRow = targetRow;
    previousSourceRow = sourceY;
  }
}
