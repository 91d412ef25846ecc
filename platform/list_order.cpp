#include "platform/list_order.h"

#include <cstdint>

namespace {

// ASCII characters in the order the default sort table gives their main
// weight; letters stand for both cases. Found with CompareStringA under Wine.
constexpr char kPrimaryOrder[] = " \t\n\v\f\r!\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789abcdefghijklmnopqrstuvwxyz";

// Characters weighed only after everything else ("special weights"), in
// their order.
constexpr char kSpecialOrder[] =
    "\x01\x02\x03\x04\x05\x06\x07\x08\x0e\x0f\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1a\x1b"
    "\x1c\x1d\x1e\x1f\x7f'-";

struct Weights {
  std::uint16_t primary[128] = {};
  std::uint16_t special[128] = {};
  constexpr Weights() {
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

// Made by the compiler: a table built at the first call would be checked for
// at each of the thousands of characters a sort weighs.
constexpr Weights kWeights;

const Weights& TheWeights() { return kWeights; }

// Walks a text's key without building it (lists sort hundreds of entries,
// each compared a dozen times): the primary weights in order, then the
// special characters with the number of primary ones before each.
class KeyWalk {
 public:
  explicit KeyWalk(const char* text) : at_(reinterpret_cast<const unsigned char*>(text ? text : "")) {}

  // The next primary weight; -1 at the end.
  int NextPrimary() {
    const Weights& weights = TheWeights();
    for (; *at_; ++at_) {
      const unsigned char c = *at_;
      if (c >= 128) {
        ++at_;
        return 1000 + c;
      }
      if (weights.special[c] == 0) {
        ++at_;
        return weights.primary[c];
      }
    }
    return -1;
  }

  // The next special character's weight, with in *before the count of
  // primary characters before it; -1 at the end.
  int NextSpecial(std::size_t* before) {
    const Weights& weights = TheWeights();
    for (; *at_; ++at_) {
      const unsigned char c = *at_;
      if (c < 128 && weights.special[c] != 0) {
        *before = primaries_;
        ++at_;
        return weights.special[c];
      }
      ++primaries_;
    }
    return -1;
  }

 private:
  const unsigned char* at_;
  std::size_t primaries_ = 0;
};

}  // namespace

int CompareListText(const char* a, const char* b) {
  KeyWalk left(a), right(b);
  for (;;) {
    const int l = left.NextPrimary(), r = right.NextPrimary();
    // The shorter key first: the end (-1) weighs least.
    if (l != r) return l < r ? -1 : 1;
    if (l < 0) break;
  }
  KeyWalk leftSpecial(a), rightSpecial(b);
  for (;;) {
    std::size_t lBefore = 0, rBefore = 0;
    const int l = leftSpecial.NextSpecial(&lBefore), r = rightSpecial.NextSpecial(&rBefore);
    if (l < 0 || r < 0) return l == r ? 0 : l < 0 ? -1 : 1;
    // An earlier special character weighs more.
    if (lBefore != rBefore) return lBefore > rBefore ? -1 : 1;
    if (l != r) return l < r ? -1 : 1;
  }
}
