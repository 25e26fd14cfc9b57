// BoardMessageFrame: text image, wave offsets, rainbow rows and fading.
#include "board/BoardMessageFrame.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "board/Board.h"
#include "board/ImageColor.h"
#include "board/SafeMath.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

namespace Varn {

namespace {

constexpr int kFadeTicks = 75;
// Messages are a few words; anything larger comes from a broken font.
constexpr int kMaxTextWidth = 4096;
constexpr int kMaxTextHeight = 1024;

// Hue (4 j) mod 256 repeats every 64 rows.
const std::array<std::uint32_t, 64>& RainbowRows() {
    static const std::array<std::uint32_t, 64> rows = [] {
        std::array<std::uint32_t, 64> r{};
        for (int j = 0; j < 64; ++j) r[j] = ImageColor::HslColor(4 * j % 256, 255, 148).ToPacked();
        return r;
    }();
    return rows;
}

int WaveOffset(int column, double phase) {
    return TruncToInt((std::sin(0.024 * column + phase) + 1.0) * 24.0);
}

// Row colour c times text pixel t per channel; alpha from the fade.
std::uint32_t ShadePixel(std::uint32_t c, std::uint32_t t, std::uint32_t alpha) {
    const std::uint32_t r = (c & 0xFF) * (t & 0xFF) / 256;
    const std::uint32_t g = (c >> 8 & 0xFF) * (t >> 8 & 0xFF) / 256;
    const std::uint32_t b = (c >> 16 & 0xFF) * (t >> 16 & 0xFF) / 256;
    const std::uint32_t a = alpha * (t >> 24) / 256;
    return r | g << 8 | b << 16 | a << 24;
}

}  // namespace

int MessageAlpha(int duration, int remaining) {
    const int elapsed = duration - remaining;
    int alpha = 255;
    if (elapsed <= kFadeTicks - 1)
        alpha = elapsed * 255 / kFadeTicks;
    else if (remaining <= kFadeTicks - 1)
        alpha = remaining * 255 / kFadeTicks;
    return std::clamp(alpha, 0, 255);
}

BoardMessageFrame::BoardMessageFrame(ImageRegistry* imageRegistry) : registry(imageRegistry) {}

BoardMessageFrame::~BoardMessageFrame() = default;

void BoardMessageFrame::Release() {
    textImage.reset();
    frameImage.reset();
    text.clear();
    width = pictureWidth = height = ascent = 0;
    textFont = nullptr;
}

bool BoardMessageFrame::Prepare(const BoardMessage& message, Font* font) {
    if (textImage && message.text == text && message.width == width && message.height == height &&
        message.ascent == ascent && font == textFont)
        return true;
    Release();
    const int reach = font ? std::clamp(font->GetOverhang(), 0, kMaxTextWidth) : 0;
    if (!font || message.width <= 0 || message.height <= 0 || message.width > kMaxTextWidth ||
        message.height > kMaxTextHeight)
        return false;
    text = message.text;
    width = message.width;
    pictureWidth = width + 2 * reach;
    height = message.height;
    ascent = message.ascent;
    textFont = font;
    textImage = std::make_unique<MemoryImage>(registry);
    textImage->Create(pictureWidth, height);
    Graphics g(textImage.get());
    g.SetFont(font);
    g.SetColor(Color::White);
    g.DrawString(text, reach, ascent);
    frameImage = std::make_unique<MemoryImage>(registry);
    frameImage->Create(pictureWidth, height + kWaveHeight);
    return true;
}

MemoryImage* BoardMessageFrame::Render(const BoardMessage& message, Font* font) {
    if (!Prepare(message, font)) return nullptr;
    frameImage->Clear();
    const auto alpha =
        static_cast<std::uint32_t>(MessageAlpha(message.duration, message.remaining));
    const auto& rainbow = RainbowRows();
    const std::uint32_t* in = textImage->GetBits();
    std::uint32_t* out = frameImage->GetBits();
    for (int i = 0; i < pictureWidth; ++i) {
        const int offset = std::clamp(WaveOffset(i, message.phase), 0, kWaveHeight);
        for (int j = 0; j < height; ++j) {
            const std::uint32_t t = in[static_cast<std::size_t>(j) * pictureWidth + i];
            const int row = j + offset;
            out[static_cast<std::size_t>(row) * pictureWidth + i] =
                ShadePixel(rainbow[row % 64], t, alpha);
        }
    }
    frameImage->BitsChanged();
    return frameImage.get();
}

}  // namespace Varn
