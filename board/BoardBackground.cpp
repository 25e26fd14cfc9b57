// BoardBackground: checker squares cut from the texture sheet, tinted, laid
// over the whole board area with a one-square margin, then the screen frame.
#include "board/BoardBackground.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "board/BoardArt.h"
#include "board/BoardGeometry.h"
#include "board/BoardRenderMath.h"
#include "board/ImageColor.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

namespace Varn {

namespace {

constexpr int kTextureCount = 5;
constexpr int kSquare = 51;
// Squares start one pixel left of the gems.
constexpr int kSquaresX = 202;
constexpr int kSquaresY = 16;

constexpr Color kTints[4] = {
    Color(102, 82, 70),  // brown
    Color(130, 72, 72),  // red
    Color(72, 130, 72),  // green
    Color(72, 72, 130),  // blue
};

// A new width x height image holding the source rectangle at (0, 0), pixel
// for pixel; parts outside the source stay transparent.
std::unique_ptr<MemoryImage> CutCell(MemoryImage& sheet, const Rect& source, int width, int height,
                                     ImageRegistry* registry) {
    auto cell = std::make_unique<MemoryImage>(registry);
    cell->Create(width, height);
    const Rect inside = source.Intersection(Rect(0, 0, sheet.GetWidth(), sheet.GetHeight()));
    const std::uint32_t* from = sheet.GetBits();
    std::uint32_t* to = cell->GetBits();
    const int offsetX = inside.x - source.x;
    const int offsetY = inside.y - source.y;
    const int columns = std::min(inside.width, width - offsetX);
    for (int row = 0; row < inside.height && offsetY + row < height; ++row) {
        const std::uint32_t* in =
            from + static_cast<std::size_t>(inside.y + row) * sheet.GetWidth() + inside.x;
        std::uint32_t* out = to + static_cast<std::size_t>(offsetY + row) * width + offsetX;
        if (columns > 0) std::copy(in, in + columns, out);
    }
    cell->BitsChanged();
    cell->CommitBits();
    return cell;
}

void DrawCheckerboard(Graphics& g, int level, BoardArt& art) {
    auto* sheet = dynamic_cast<MemoryImage*>(art.GetImage(BoardImage::kCheckerTextures));
    if (!sheet) return;
    const LevelLook look = LevelLookFor(level);
    ImageRegistry* registry = art.Registry();
    const int sx = 2 * kSquare * look.texture;
    auto light = CutCell(*sheet, Rect(sx, 0, kSquare, kSquare), kSquare, kSquare, registry);
    auto dark =
        CutCell(*sheet, Rect(sx + kSquare, 0, kSquare, kSquare), 2 * kSquare, kSquare, registry);
    const Color tint(look.tint.red, look.tint.green, look.tint.blue, 255);
    light = ImageColor::ColorizedCopy(*light, tint, registry);
    dark = ImageColor::ColorizedCopy(*dark, tint, registry);
    for (int i = -1; i <= kBoardRows; ++i) {
        for (int j = -1; j <= kBoardColumns; ++j) {
            MemoryImage* cell = (i + j) % 2 != 0 ? dark.get() : light.get();
            g.DrawImage(cell, kSquare * j + kSquaresX, kSquare * i + kSquaresY);
        }
    }
}

// The board's images stand for display surfaces, which have no alpha
// channel: the finished picture is opaque (uncovered parts black), so that
// drawing it each frame is a plain copy rather than a blend.
void MakeOpaque(MemoryImage& image) {
    std::uint32_t* bits = image.GetBits();
    const std::size_t count =
        static_cast<std::size_t>(image.GetWidth()) * static_cast<std::size_t>(image.GetHeight());
    for (std::size_t i = 0; i < count; ++i) bits[i] |= 0xFF000000u;
    image.BitsChanged();
    image.CommitBits();
}

}  // namespace

LevelLook LevelLookFor(int level) {
    return LevelLook{PositiveMod(level, kTextureCount), kTints[PositiveMod(level, 4)]};
}

void BuildLevelBackground(MemoryImage& background, int level, BoardArt& art) {
    background.Create(kBoardWidgetWidth, kBoardWidgetHeight);
    Graphics g(&background);
    DrawCheckerboard(g, level, art);
    g.DrawImage(art.GetImage(BoardImage::kScreenFrame), 0, 0);
    MakeOpaque(background);
}

}  // namespace Varn
