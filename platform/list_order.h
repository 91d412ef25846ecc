// The order in which a Windows list box with LBS_SORT keeps its entries, for
// the command's entries. Plain C++ with no platform calls, so that a Windows
// test can compare it with a real list box.
#pragma once

#include <cstddef>

// <0, 0 or >0 as CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE) orders
// the two texts, for the ASCII characters: letters without case after digits
// after punctuation, the control characters, apostrophe and hyphen weighed
// only when the rest is equal. Bytes of 128 and above, which the system would
// read in its code page, sort after every ASCII character by their value.
int CompareListText(const char* a, const char* b);

// The index at which a sorted list box inserts `text` among `count` entries
// already in order, as its binary search finds it (an equal entry's own
// index when there is one). `entryAt(i)` gives the text of entry i.
template <typename EntryAt>
std::size_t SortedInsertIndex(const char* text, std::size_t count, EntryAt entryAt) {
  if (count == 0) return 0;
  std::ptrdiff_t low = 0;
  std::ptrdiff_t high = static_cast<std::ptrdiff_t>(count) - 1;
  while (low <= high) {
    std::ptrdiff_t middle = (low + high) / 2;
    int order = CompareListText(entryAt(static_cast<std::size_t>(middle)), text);
    if (order == 0) return static_cast<std::size_t>(middle);
    if (order > 0) {
      high = middle - 1;
    } else {
      low = middle + 1;
    }
  }
  return static_cast<std::size_t>(low);
}
