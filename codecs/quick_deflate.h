// A zlib stream made in one quick pass, for pictures made on demand and soon
// thrown away (thumbnails): stb's deflate keeps up to sixteen candidates for
// each place and matches lazily, which makes the encode of a 128 x 128
// picture cost more than decoding and scaling it together. This one keeps
// the four most recent places of each hash, takes the first longest match
// greedily and codes with the fixed Huffman tables, as stb's does: a stream
// a few percent larger, several times sooner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Appends to `out` the zlib stream (header, one fixed-Huffman deflate block,
// Adler-32) of `length` bytes. False when memory runs out.
bool QuickDeflate(const std::uint8_t* data, std::size_t length, std::vector<std::uint8_t>* out);
