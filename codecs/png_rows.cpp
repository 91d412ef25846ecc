#include "png_rows.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace png {

namespace {

#ifdef __SSE2__

// Pixels of four bytes, a pixel at a time in the four 16-bit lanes of one
// register: the filters that predict from the left go pixel after pixel,
// and each pixel's bytes then take one step instead of four.
__m128i LoadPixel(const std::uint8_t* at) {
  std::int32_t bytes;
  std::memcpy(&bytes, at, 4);
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(bytes), _mm_setzero_si128());
}

void StorePixel(std::uint8_t* at, __m128i lanes) {
  const std::int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(lanes, lanes));
  std::memcpy(at, &bytes, 4);
}

// The sum's low byte in each lane, as the filters add.
__m128i AddBytes(__m128i a, __m128i b) { return _mm_and_si128(_mm_add_epi16(a, b), _mm_set1_epi16(0xFF)); }

__m128i Absolute(__m128i value) { return _mm_max_epi16(value, _mm_sub_epi16(_mm_setzero_si128(), value)); }

__m128i Choose(__m128i where, __m128i then, __m128i otherwise) {
  return _mm_or_si128(_mm_and_si128(where, then), _mm_andnot_si128(where, otherwise));
}

void UnfilterSub4(const std::uint8_t* in, std::uint8_t* out, std::size_t rowBytes) {
  __m128i left = _mm_setzero_si128();
  for (std::size_t i = 0; i < rowBytes; i += 4) {
    left = AddBytes(LoadPixel(in + i), left);
    StorePixel(out + i, left);
  }
}

void UnfilterAverage4(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* above, std::size_t rowBytes) {
  __m128i left = _mm_setzero_si128();
  for (std::size_t i = 0; i < rowBytes; i += 4) {
    const __m128i mean = _mm_srli_epi16(_mm_add_epi16(left, LoadPixel(above + i)), 1);
    left = AddBytes(LoadPixel(in + i), mean);
    StorePixel(out + i, left);
  }
}

// PaethPredictor, lane by lane: the distances' smallest picks left, else
// up, else up-left.
__m128i PaethLanes(__m128i left, __m128i up, __m128i upLeft) {
  const __m128i fromUp = _mm_sub_epi16(up, upLeft);
  const __m128i fromLeft = _mm_sub_epi16(left, upLeft);
  const __m128i toLeft = Absolute(fromUp);
  const __m128i toUp = Absolute(fromLeft);
  const __m128i toUpLeft = Absolute(_mm_add_epi16(fromUp, fromLeft));
  const __m128i smallest = _mm_min_epi16(_mm_min_epi16(toLeft, toUp), toUpLeft);
  return Choose(_mm_cmpeq_epi16(smallest, toLeft), left, Choose(_mm_cmpeq_epi16(smallest, toUp), up, upLeft));
}

void UnfilterPaeth4(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* above, std::size_t rowBytes) {
  __m128i left = _mm_setzero_si128();
  __m128i upLeft = _mm_setzero_si128();
  for (std::size_t i = 0; i < rowBytes; i += 4) {
    const __m128i up = LoadPixel(above + i);
    left = AddBytes(LoadPixel(in + i), PaethLanes(left, up, upLeft));
    StorePixel(out + i, left);
    upLeft = up;
  }
}

// Eight bytes into the eight lanes of a register, and back.
__m128i LoadEight(const std::uint8_t* at) {
  return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)), _mm_setzero_si128());
}

void StoreEight(std::uint8_t* at, __m128i lanes) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(at), _mm_packus_epi16(lanes, lanes));
}

// Filtering predicts from bytes that are all known: eight at a time, from
// the first byte that has a left neighbour; returns where it stopped.
std::size_t FilterPaethWide(const std::uint8_t* line, const std::uint8_t* above, std::uint8_t* out,
                            std::size_t rowBytes, std::size_t pixelBytes) {
  std::size_t i = pixelBytes;
  for (; rowBytes - i >= 8; i += 8) {
    const __m128i predicted =
        PaethLanes(LoadEight(line + i - pixelBytes), LoadEight(above + i), LoadEight(above + i - pixelBytes));
    StoreEight(out + i, _mm_and_si128(_mm_sub_epi16(LoadEight(line + i), predicted), _mm_set1_epi16(0xFF)));
  }
  return i;
}

// Sixteen bytes at a time; the stores land on bytes already read.
std::size_t UnfilterUpWide(const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* above, std::size_t rowBytes) {
  std::size_t i = 0;
  for (; rowBytes - i >= 16; i += 16) {
    const __m128i sum = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i)),
                                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), sum);
  }
  return i;
}

#endif  // __SSE2__

// One row from `in` to `out`, which may start up to `in`'s start but not
// after it: each byte is read before the bytes at or after it are written.
// `above` is the row above, undone; null for the top row.
template <std::size_t kPixelBytes>
bool UnfilterRow(std::uint8_t filter, const std::uint8_t* in, std::uint8_t* out, const std::uint8_t* above,
                 std::size_t rowBytes, std::size_t pixelBytes) {
  // The pixel size as a constant where it is one, for the loops' sake.
  const std::size_t bpp = kPixelBytes != 0 ? kPixelBytes : pixelBytes;
  const std::size_t first = bpp < rowBytes ? bpp : rowBytes;
  switch (filter) {
    case kFilterNone:
      std::memmove(out, in, rowBytes);
      return true;
    case kFilterSub:
#ifdef __SSE2__
      if (kPixelBytes == 4) {
        UnfilterSub4(in, out, rowBytes);
        return true;
      }
#endif
      std::memmove(out, in, first);
      for (std::size_t i = bpp; i < rowBytes; ++i) out[i] = static_cast<std::uint8_t>(in[i] + out[i - bpp]);
      return true;
    case kFilterUp:
      if (above == nullptr) {
        std::memmove(out, in, rowBytes);
        return true;
      }
      {
        std::size_t i = 0;
#ifdef __SSE2__
        i = UnfilterUpWide(in, out, above, rowBytes);
#endif
        for (; i < rowBytes; ++i) out[i] = static_cast<std::uint8_t>(in[i] + above[i]);
      }
      return true;
    case kFilterAverage:
      if (above == nullptr) {
        std::memmove(out, in, first);
        for (std::size_t i = bpp; i < rowBytes; ++i) out[i] = static_cast<std::uint8_t>(in[i] + (out[i - bpp] >> 1));
        return true;
      }
#ifdef __SSE2__
      if (kPixelBytes == 4) {
        UnfilterAverage4(in, out, above, rowBytes);
        return true;
      }
#endif
      for (std::size_t i = 0; i < first; ++i) out[i] = static_cast<std::uint8_t>(in[i] + (above[i] >> 1));
      for (std::size_t i = bpp; i < rowBytes; ++i) {
        out[i] = static_cast<std::uint8_t>(in[i] + ((out[i - bpp] + above[i]) >> 1));
      }
      return true;
    case kFilterPaeth:
      // Above the top row all is zero: the predictor takes the left byte.
      if (above == nullptr) return UnfilterRow<kPixelBytes>(kFilterSub, in, out, nullptr, rowBytes, pixelBytes);
#ifdef __SSE2__
      if (kPixelBytes == 4) {
        UnfilterPaeth4(in, out, above, rowBytes);
        return true;
      }
#endif
      for (std::size_t i = 0; i < first; ++i) out[i] = static_cast<std::uint8_t>(in[i] + above[i]);
      for (std::size_t i = bpp; i < rowBytes; ++i) {
        out[i] = static_cast<std::uint8_t>(in[i] + PaethPredictor(out[i - bpp], above[i], above[i - bpp]));
      }
      return true;
    default:
      return false;
  }
}

template <std::size_t kPixelBytes>
bool UnfilterAll(std::uint8_t* rows, std::size_t rowBytes, std::size_t height, std::size_t pixelBytes) {
  const std::uint8_t* above = nullptr;
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint8_t* stored = rows + y * (rowBytes + 1);
    std::uint8_t* out = rows + y * rowBytes;
    if (!UnfilterRow<kPixelBytes>(stored[0], stored + 1, out, above, rowBytes, pixelBytes)) return false;
    above = out;
  }
  return true;
}

}  // namespace

void FilterRowPaeth(const std::uint8_t* line, const std::uint8_t* above, std::uint8_t* out, std::size_t rowBytes,
                    std::size_t pixelBytes) {
  const std::size_t first = pixelBytes < rowBytes ? pixelBytes : rowBytes;
  // Above the top row all is zero: the predictor takes the left byte.
  if (above == nullptr) {
    std::memcpy(out, line, first);
    for (std::size_t i = first; i < rowBytes; ++i) out[i] = static_cast<std::uint8_t>(line[i] - line[i - pixelBytes]);
    return;
  }
  for (std::size_t i = 0; i < first; ++i) out[i] = static_cast<std::uint8_t>(line[i] - above[i]);
  std::size_t i = first;
#ifdef __SSE2__
  if (first == pixelBytes) i = FilterPaethWide(line, above, out, rowBytes, pixelBytes);
#endif
  for (; i < rowBytes; ++i) {
    out[i] = static_cast<std::uint8_t>(line[i] - PaethPredictor(line[i - pixelBytes], above[i], above[i - pixelBytes]));
  }
}

bool UnfilterRows(std::uint8_t* rows, std::size_t rowBytes, std::size_t height, std::size_t pixelBytes) {
  // Rows of whole pixels of 3 or 4 bytes (8-bit RGB, RGBA) take the loops
  // made for them.
  if (pixelBytes < 1 || pixelBytes > 8) return false;
  const bool wholePixels = rowBytes % pixelBytes == 0;
  if (pixelBytes == 3 && wholePixels) return UnfilterAll<3>(rows, rowBytes, height, pixelBytes);
  if (pixelBytes == 4 && wholePixels) return UnfilterAll<4>(rows, rowBytes, height, pixelBytes);
  return UnfilterAll<0>(rows, rowBytes, height, pixelBytes);
}

}  // namespace png
