#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace testing_support {

// A PNG file (8-bit RGBA, no interlace) of the given pixels, each
// 0xAARRGGBB, rows top to bottom; built here so tests need no image files.
std::string EncodePng(int width, int height, const std::vector<uint32_t>& pixels);

} // namespace testing_support
