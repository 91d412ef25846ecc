#include "core/stretch_map.h"

#include <vector>

#include <gtest/gtest.h>

#include "codecs/picture_scaling.h"
#include "formats/input_limits.h"

namespace {

AxisMap Map(std::initializer_list<std::int32_t> positions) { return AxisMap(positions); }

// Picks read off GDI's StretchBlt (COLORONCOLOR) under Wine; the comparison
// with GDI covers every pair of lengths up to 20.
TEST(StretchAxisMap, DropsOrRepeatsWholePositionsAsGdiDoes) {
  struct Case {
    std::int32_t source;
    std::int32_t target;
    AxisMap columns;
    AxisMap rows;
  } cases[] = {
      {4, 4, Map({0, 1, 2, 3}), Map({0, 1, 2, 3})},
      {4, 2, Map({1, 3}), Map({0, 2})},  // columns keep the last of a run, rows the first
      {4, 8, Map({0, 0, 1, 1, 2, 2, 3, 3}), Map({0, 0, 1, 1, 2, 2, 3, 3})},
      {4, 5, Map({0, 1, 1, 2, 3}), Map({0, 1, 1, 2, 3})},
      {7, 3, Map({1, 4, 6}), Map({0, 2, 5})},
      {12, 5, Map({1, 4, 6, 9, 11}), Map({0, 2, 5, 7, 10})},
      {5, 1, Map({3}), Map({0})},  // a line from a source one shorter
      {12, 1, Map({10}), Map({0})},
      {2, 1, Map({0}), Map({0})},
      {1, 1, Map({0}), Map({0})},
      {1, 5, Map({0, 0, 0, 0, 0}), Map({0, 0, 0, 0, 0})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.columns, StretchColumnMap(c.source, c.target)) << c.source << " onto " << c.target;
    EXPECT_EQ(c.rows, StretchRowMap(c.source, c.target)) << c.source << " onto " << c.target;
  }
}

TEST(StretchAxisMap, SixtyFourOntoThirtyTwoDropsEveryOtherPosition) {
  AxisMap columns = StretchColumnMap(64, 32);
  AxisMap rows = StretchRowMap(64, 32);
  for (std::int32_t i = 0; i < 32; ++i) {
    EXPECT_EQ(2 * i + 1, columns[i]) << i;
    EXPECT_EQ(2 * i, rows[i]) << i;
  }
}

TEST(StretchAxisMap, StaysWithinTheSourceAtTheLimits) {
  const std::int32_t lengths[] = {1, 2, 31, 32, 33, 255, 256, 257, limits::kMaxDimension};
  for (std::int32_t source : lengths) {
    for (std::int32_t target : lengths) {
      AxisMap map =
          StretchAxisMap(source, target, target % 2 ? ShrinkKeeps::kFirst : ShrinkKeeps::kLast);
      ASSERT_EQ(std::size_t(target), map.size());
      std::int32_t previous = 0;
      for (std::int32_t i = 0; i < target; ++i) {
        ASSERT_GE(map[i], previous) << source << " onto " << target << " at " << i;
        ASSERT_LT(map[i], source) << source << " onto " << target << " at " << i;
        previous = map[i];
      }
    }
  }
}

TEST(CopyAxisMap, CropsOrPadsAtTheFarEdge) {
  EXPECT_EQ(Map({0, 1}), CopyAxisMap(4, 2));
  EXPECT_EQ(Map({0, 1, -1, -1}), CopyAxisMap(2, 4));
  EXPECT_EQ(Map({0, 1, 2}), CopyAxisMap(3, 3));
  EXPECT_TRUE(CopyAxisMap(3, 0).empty());
  EXPECT_TRUE(StretchRowMap(3, 0).empty());
  EXPECT_EQ(Map({-1, -1}), StretchColumnMap(0, 2));
}

}  // namespace

// A block's mean: colour from the opaque pixels alone (transparent ones are
// stored black), in linear light (a quarter of white's light is 137, not 64).
TEST(ScaleRgba, ABlockOfWholePixelsBecomesItsMeanInLinearLightWeightedByAlpha) {
  struct Case {
    std::vector<std::uint8_t> block;  // 2 x 2
    std::vector<std::uint8_t> pixel;
  } cases[] = {
      {{255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {255, 0, 0, 64}},
      {{255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}, {137, 137, 137, 255}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> scaled;
    ASSERT_TRUE(ScaleRgba(c.block.data(), 2, 2, 1, 1, &scaled));
    EXPECT_EQ(c.pixel, scaled);
  }
}
