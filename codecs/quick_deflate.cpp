#include "quick_deflate.h"

#include <array>
#include <cstring>
#include <new>

namespace {

constexpr std::size_t kWindow = 32768;
constexpr std::size_t kMinMatch = 4;
constexpr std::size_t kMaxMatch = 258;
constexpr int kHashBits = 15;
constexpr int kChainDepth = 4;
constexpr std::uint32_t kAdlerModulus = 65521;
// Bytes summed before Adler-32's sums must be reduced to stay in 32 bits.
constexpr std::size_t kAdlerRun = 5552;

// Length codes 257..285: the first length of each and its extra bits.
constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

std::uint32_t Reversed(std::uint32_t code, int bits) {
  std::uint32_t reversed = 0;
  for (int i = 0; i < bits; ++i) reversed |= ((code >> i) & 1u) << (bits - 1 - i);
  return reversed;
}

// The fixed Huffman code of each literal/length symbol, bit-reversed as the
// stream takes them (least significant bit first), with its length.
struct FixedCodes {
  std::array<std::uint16_t, 288> code{};
  std::array<std::uint8_t, 288> bits{};
  std::array<std::uint8_t, kMaxMatch + 1> lengthCode{};  // index into kLengthBase
  FixedCodes() {
    for (std::uint32_t s = 0; s < 288; ++s) {
      int n = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
      std::uint32_t c = s < 144 ? 0x30 + s : s < 256 ? 0x190 + (s - 144) : s < 280 ? s - 256 : 0xC0 + (s - 280);
      code[s] = static_cast<std::uint16_t>(Reversed(c, n));
      bits[s] = static_cast<std::uint8_t>(n);
    }
    for (std::size_t length = 3, index = 0; length <= kMaxMatch; ++length) {
      while (index + 1 < 29 && kLengthBase[index + 1] <= length) ++index;
      lengthCode[length] = static_cast<std::uint8_t>(index);
    }
  }
};

const FixedCodes& Codes() {
  static const FixedCodes codes;
  return codes;
}

// Bits into bytes, least significant first, into room made beforehand.
class BitWriter {
 public:
  explicit BitWriter(std::uint8_t* out) : out_(out) {}
  void Put(std::uint32_t value, int count) {
    buffer_ |= std::uint64_t{value} << filled_;
    filled_ += count;
    while (filled_ >= 8) {
      *out_++ = static_cast<std::uint8_t>(buffer_);
      buffer_ >>= 8;
      filled_ -= 8;
    }
  }
  // Ends the last byte with zero bits; where the next byte goes.
  std::uint8_t* Finish() {
    if (filled_ > 0) Put(0, 8 - filled_);
    return out_;
  }

 private:
  std::uint8_t* out_;
  std::uint64_t buffer_ = 0;
  int filled_ = 0;
};

void PutLiteral(BitWriter& writer, const FixedCodes& codes, std::uint32_t symbol) {
  writer.Put(codes.code[symbol], codes.bits[symbol]);
}

void PutMatch(BitWriter& writer, const FixedCodes& codes, std::size_t length, std::size_t distance) {
  const std::uint8_t index = codes.lengthCode[length];
  PutLiteral(writer, codes, 257u + index);
  if (kLengthExtra[index] != 0) writer.Put(static_cast<std::uint32_t>(length - kLengthBase[index]), kLengthExtra[index]);
  // Distance codes: 0..3 for 1..4, then two codes for each power of two,
  // with one extra bit fewer than that power's exponent.
  const std::uint32_t d = static_cast<std::uint32_t>(distance - 1);
  std::uint32_t code = d;
  int extra = 0;
  if (d >= 4) {
    int top = 31 - __builtin_clz(d);
    code = static_cast<std::uint32_t>(2 * top) + ((d >> (top - 1)) & 1u);
    extra = top - 1;
  }
  writer.Put(Reversed(code, 5), 5);
  if (extra != 0) writer.Put(d & ((1u << extra) - 1), extra);
}

std::uint32_t Hash(const std::uint8_t* at) {
  std::uint32_t word;
  std::memcpy(&word, at, sizeof word);
  return (word * 2654435761u) >> (32 - kHashBits);
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t length) {
  std::uint32_t a = 1, b = 0;
  while (length > 0) {
    const std::size_t run = length < kAdlerRun ? length : kAdlerRun;
    for (std::size_t i = 0; i < run; ++i) {
      a += data[i];
      b += a;
    }
    a %= kAdlerModulus;
    b %= kAdlerModulus;
    data += run;
    length -= run;
  }
  return (b << 16) | a;
}

}  // namespace

bool QuickDeflate(const std::uint8_t* data, std::size_t length, std::vector<std::uint8_t>* out) {
  const FixedCodes& codes = Codes();
  const std::size_t start = out->size();
  std::vector<std::int32_t> head, previous;
  try {
    // A literal takes nine bits at most; a match fewer than its bytes.
    out->resize(start + 2 + length + length / 8 + 16);
    head.assign(std::size_t{1} << kHashBits, -1);
    previous.assign(kWindow, -1);
  } catch (const std::bad_alloc&) {
    out->resize(start);
    return false;
  }
  std::uint8_t* bytes = out->data() + start;
  bytes[0] = 0x78;  // deflate, 32 KiB window
  bytes[1] = 0x01;  // no dictionary, the fastest level; the check bits
  BitWriter writer(bytes + 2);
  writer.Put(1, 1);  // the final block
  writer.Put(1, 2);  // fixed Huffman codes

  auto insert = [&](std::size_t at) {
    const std::uint32_t h = Hash(data + at);
    previous[at % kWindow] = head[h];
    head[h] = static_cast<std::int32_t>(at);
  };
  std::size_t at = 0;
  while (length >= kMinMatch && at <= length - kMinMatch) {
    const std::size_t most = length - at < kMaxMatch ? length - at : kMaxMatch;
    std::size_t best = 0, bestDistance = 0;
    std::int32_t candidate = head[Hash(data + at)];
    for (int depth = 0; depth < kChainDepth && candidate >= 0; ++depth) {
      const std::size_t from = static_cast<std::size_t>(candidate);
      if (at - from > kWindow) break;
      std::size_t n = 0;
      while (n < most && data[from + n] == data[at + n]) ++n;
      if (n > best) {
        best = n;
        bestDistance = at - from;
        if (n == most) break;
      }
      const std::int32_t next = previous[from % kWindow];
      if (next >= candidate) break;
      candidate = next;
    }
    if (best >= kMinMatch) {
      PutMatch(writer, codes, best, bestDistance);
      for (std::size_t end = at + best; at < end; ++at) {
        if (at <= length - kMinMatch) insert(at);
      }
    } else {
      insert(at);
      PutLiteral(writer, codes, data[at]);
      ++at;
    }
  }
  for (; at < length; ++at) PutLiteral(writer, codes, data[at]);
  PutLiteral(writer, codes, 256);
  std::uint8_t* end = writer.Finish();
  const std::uint32_t adler = Adler32(data, length);
  for (int shift = 24; shift >= 0; shift -= 8) *end++ = static_cast<std::uint8_t>(adler >> shift);
  out->resize(static_cast<std::size_t>(end - out->data()));
  return true;
}
