#include "png_dib.h"

#include <cstdlib>

#include "formats/dib_layout.h"
#include "icon_dib.h"
#include "png_decoder.h"

DecodeOutcome DecodePngToDib(const std::uint8_t* block, std::size_t length, std::uint8_t** dib) {
  RgbaPicture picture;
  const DecodeOutcome decoded = DecodePng(block, length, &picture);
  if (decoded != DecodeOutcome::kDecoded) return decoded;
  auto* made = static_cast<std::uint8_t*>(std::malloc(dib_layout::kInfoHeaderBytes + picture.pixels.size()));
  if (made == nullptr) return DecodeOutcome::kOutOfMemory;
  dib_layout::WriteInfoHeader(made, picture.width, picture.height, 32, 0);
  PutBgraRows(picture, made + dib_layout::kInfoHeaderBytes);
  *dib = made;
  return DecodeOutcome::kDecoded;
}
