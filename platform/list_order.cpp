#include "platform/list_order.h"

#include <cstdint>
#include <vector>

namespace {

// ASCII characters in the order the default sort table gives their main
// weight; letters stand for both cases. Found with CompareStringA under Wine.
const char kPrimaryOrder[] = " \t\n\v\f\r!\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789abcdefghijklmnopqrstuvwxyz";

// Characters weighed only after everything else ("special weights"), in
// their order.
const char kSpecialOrder[] =
    "\x01\x02\x03\x04\x05\x06\x07\x08\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b"
    "\x1c\x1d\x1e\x1f\x7f'-";

struct Weights {
  std::uint16_t primary[128] = {};
  std::uint16_t special[128] = {};
  Weights() {
    std::uint16_t rank = 1;
    for (const char* c = kPrimaryOrder; *c; ++c) {
      unsigned char u = static_cast<unsigned char>(*c);
      primary[u] = rank;
      if (u >= 'a' && u <= 'z') primary[u - 'a' + 'A'] = rank;
      ++rank;
    }
    rank = 1;
    for (const char* c = kSpecialOrder; *c; ++c) special[static_cast<unsigned char>(*c)] = rank++;
  }
};

const Weights& TheWeights() {
  static const Weights weights;
  return weights;
}

struct SortKey {
  std::vector<std::uint16_t> primary;
  // (count of primary characters before it, weight) of each special
  // character, in order.
  std::vector<std::pair<std::size_t, std::uint16_t>> special;
};

SortKey MakeKey(const char* text) {
  const Weights& weights = TheWeights();
  SortKey key;
  for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
    if (*c >= 128) {
      key.primary.push_back(static_cast<std::uint16_t>(1000 + *c));
    } else if (weights.special[*c] != 0) {
      key.special.emplace_back(key.primary.size(), weights.special[*c]);
    } else {
      key.primary.push_back(weights.primary[*c]);
    }
  }
  return key;
}

}  // namespace

int CompareListText(const char* a, const char* b) {
  SortKey left = MakeKey(a ? a : "");
  SortKey right = MakeKey(b ? b : "");
  std::size_t common = left.primary.size() < right.primary.size() ? left.primary.size() : right.primary.size();
  for (std::size_t i = 0; i < common; ++i) {
    if (left.primary[i] != right.primary[i]) return left.primary[i] < right.primary[i] ? -1 : 1;
  }
  if (left.primary.size() != right.primary.size()) {
    return left.primary.size() < right.primary.size() ? -1 : 1;
  }
  common = left.special.size() < right.special.size() ? left.special.size() : right.special.size();
  for (std::size_t i = 0; i < common; ++i) {
    const auto& l = left.special[i];
    const auto& r = right.special[i];
    // An earlier special character weighs more.
    if (l.first != r.first) return l.first > r.first ? -1 : 1;
    if (l.second != r.second) return l.second < r.second ? -1 : 1;
  }
  if (left.special.size() != right.special.size()) {
    return left.special.size() < right.special.size() ? -1 : 1;
  }
  return 0;
}
