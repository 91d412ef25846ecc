#include "png_encoder.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "formats/dib_layout.h"
#include "formats/input_limits.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

// Where the encoder's one output block goes.
struct Output {
  std::vector<std::uint8_t>* png;
  bool complete;
};

void Collect(void* context, void* data, int size) {
  auto* out = static_cast<Output*>(context);
  try {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->png->assign(bytes, bytes + size);
    out->complete = true;
  } catch (const std::bad_alloc&) {
    out->complete = false;
  }
}

}  // namespace

bool EncodePngRgba(const std::uint8_t* rgba, std::int32_t width, std::int32_t height,
                   std::vector<std::uint8_t>* png) {
  // The encoder sizes its buffers in int: the largest icon picture keeps
  // them far below.
  if (rgba == nullptr || !dib_layout::SidesFit(width, height) ||
      std::int64_t{width} * height > limits::kMaxIconPixels) {
    return false;
  }
  Output out{png, false};
  if (!stbi_write_png_to_func(Collect, &out, width, height, 4, rgba, width * 4)) return false;
  return out.complete;
}
