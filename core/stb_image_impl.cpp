// The PNG decoder: stb_image from Debian's libstb-dev, built for PNG alone and
// from memory only. A well-kept single-header decoder that builds unchanged
// for both targets, so no inflate or PNG code of our own is needed.
#define STB_IMAGE_IMPLEMENTATION
#include "stb_image_config.h"
