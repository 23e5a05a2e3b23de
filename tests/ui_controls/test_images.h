#pragma once

#include "ui/controls/image_spec.h"

#include <stdint.h>

#include <functional>
#include <memory>
#include <string>

namespace ui_controls_test {

using ImagePtr = std::unique_ptr<SkinUI::TLoadedImage>;

// A decoded image whose pixel (x, y) is color(x, y), made through a PNG.
ImagePtr MakeImage(int width, int height, const std::function<uint32_t(int, int)>& color, uint32_t mask = 0);
std::string MakePng(int width, int height, const std::function<uint32_t(int, int)>& color);

} // namespace ui_controls_test
