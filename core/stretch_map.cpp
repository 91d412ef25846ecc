#include "stretch_map.h"

AxisMap CopyAxisMap(std::int32_t sourceLength, std::int32_t targetLength) {
  AxisMap map(targetLength > 0 ? static_cast<std::size_t>(targetLength) : 0);
  for (std::int32_t i = 0; i < targetLength; ++i) map[i] = i < sourceLength ? i : -1;
  return map;
}

AxisMap StretchAxisMap(std::int32_t sourceLength, std::int32_t targetLength, ShrinkKeeps keeps) {
  AxisMap map(targetLength > 0 ? static_cast<std::size_t>(targetLength) : 0, -1);
  if (sourceLength < 1 || targetLength < 1) return map;
  // The line's own source length; the source itself still bounds it.
  std::int64_t lineSource = sourceLength;
  if (targetLength == 1 && sourceLength > 1) --lineSource;
  const std::int64_t dx = lineSource;
  const std::int64_t dy = targetLength;

  std::int64_t s = 0;
  std::int64_t t = 0;
  if (dx > dy) {
    // Shrinking: one step per source position.
    std::int64_t error = 3 * dy - 2 * dx;
    bool first = true;
    for (; s < lineSource && t < dy; ++s) {
      if (first || keeps == ShrinkKeeps::kLast)
        map[static_cast<std::size_t>(t)] = static_cast<std::int32_t>(s);
      first = false;
      if (error > 0) {
        ++t;
        first = true;
        error += 2 * dy - 2 * dx;
      } else {
        error += 2 * dy;
      }
    }
  } else {
    // Stretching (or the same length): one step per target position.
    std::int64_t error = 3 * dx - 2 * dy;
    for (; t < dy && s < sourceLength; ++t) {
      map[static_cast<std::size_t>(t)] = static_cast<std::int32_t>(s);
      if (error > 0) {
        ++s;
        error += 2 * dx - 2 * dy;
      } else {
        error += 2 * dx;
      }
    }
  }
  return map;
}
