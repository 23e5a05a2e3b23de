#include "tests/ui_controls/test_images.h"

#include "ui/controls/render_kit.h"

#include "tests/support/png_writer.h"

#include <vector>

namespace ui_controls_test {

std::string MakePng(int width, int height, const std::function<uint32_t(int, int)>& color)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = color(x, y);
    }
    return testing_support::EncodePng(width, height, pixels);
}

ImagePtr MakeImage(int width, int height, const std::function<uint32_t(int, int)>& color, uint32_t mask)
{
    std::string png = MakePng(width, height, color);
    return ImagePtr(SkinUI::CRenderKit::LoadImageFromBytes(png.data(), png.size(), mask));
}

} // namespace ui_controls_test
