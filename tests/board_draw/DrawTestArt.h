// DrawTestArt: a BoardArt made of small images built in code, each filled
// with a colour that tells in a screenshot which picture (and which cell of
// it) was drawn, plus helpers to render a board into a 640 x 480 image and
// read its pixels. No game data is needed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "board/Board.h"
#include "board/BoardArt.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"

namespace Varn::test {

// The screen frame: opaque except for the board area, where the checkerboard
// and the electric line show through.
inline constexpr Color kFrameColor(10, 20, 30);
inline constexpr Rect kFrameHole(194, 12, 428, 416);
// Grey levels of the light and dark squares of texture column t.
inline int LightGrey(int t) {
    return 120 + 25 * t;
}
inline int DarkGrey(int t) {
    return 40 + 10 * t;
}
// Gem sheet: spin frame n of kind k, and every glow cell.
inline Color SpinColor(int kind, int frame) {
    return Color(200, 8 * frame, 20 * kind);
}
inline constexpr Color kGlowColor(0, 100, 200);
inline Color ShrunkColor(int step) {
    return Color(0, 250 - 20 * step, 60);
}
inline constexpr int kShrunkSizes[6] = {43, 35, 29, 21, 15, 7};
inline Color CursorColor(int cell) {
    return Color(250, 40 * cell, 250);
}
inline Color TimerBarColor(int frame) {
    return Color(10 * frame, 100, 5);
}
inline constexpr Color kWhiteBarColor(255, 255, 255);
inline constexpr Color kElectricColor(255, 255, 0);
inline constexpr Color kSparkleColor(60, 200, 250);
inline Color BlackHoleColor(int frame) {
    return Color(20 * frame, 10, 200);
}
inline constexpr Color kHoleMaskColor(90, 0, 90);
inline constexpr Color kHintColor(0, 255, 128);
inline constexpr Color kSwapper1Color(255, 128, 0);
inline constexpr Color kSwapper2Color(128, 0, 255);
inline Color FadedDigitColor(int fade) {
    return Color(40 * fade, 255, 0);
}
// Font glyphs: every glyph a solid block kGlyphWidth wide.
inline constexpr int kGlyphWidth = 6;
inline constexpr int kFontHeight = 12;
inline constexpr int kFontAscent = 10;
inline constexpr int kSpaceAdvance = 4;

inline std::unique_ptr<MemoryImage> SolidImage(int width, int height, const Color& color) {
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->Create(width, height);
    std::uint32_t* bits = image->GetBits();
    for (int i = 0; i < width * height; ++i) bits[i] = color.ToPacked();
    image->BitsChanged();
    return image;
}

inline void FillRect(MemoryImage& image, const Rect& r, const Color& color) {
    std::uint32_t* bits = image.GetBits();
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x) bits[y * image.GetWidth() + x] = color.ToPacked();
    image.BitsChanged();
}

// A strip of equal solid glyphs for the characters in use.
class TestFont {
public:
    explicit TestFont(const Color& color) {
        const std::string glyphs = "0123456789+*!ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        strip = SolidImage(kGlyphWidth * static_cast<int>(glyphs.size()), kFontHeight, color);
        std::ostringstream descriptor;
        descriptor << kSpaceAdvance << ' ' << kFontAscent;
        for (char c : glyphs) descriptor << ' ' << c << ' ' << kGlyphWidth;
        std::istringstream in(descriptor.str());
        font = std::make_unique<ImageFont>(strip.get(), in);
    }
    std::unique_ptr<MemoryImage> strip;
    std::unique_ptr<ImageFont> font;
};

class DrawTestArt : public BoardArt {
public:
    DrawTestArt()
        : digitFont(Color::White),
          scoreFont(Color::White),
          titleFont(Color::White),
          overFont(Color::White),
          fadedFonts{TestFont(FadedDigitColor(0)), TestFont(FadedDigitColor(1)),
                     TestFont(FadedDigitColor(2)), TestFont(FadedDigitColor(3)),
                     TestFont(FadedDigitColor(4)), TestFont(FadedDigitColor(5))} {
        BuildFrame();
        BuildCheckerTextures();
        BuildGemSheet();
        BuildStrips();
        for (int kind = 0; kind < kGemKinds; ++kind)
            for (int step = 0; step < kShrunkSteps; ++step) BuildShrunkGem(kind, step);
        for (int frame = 0; frame < kTimerBarColors; ++frame)
            timerBars[frame] = SolidImage(340, 25, TimerBarColor(frame));
        whiteBar = SolidImage(340, 25, kWhiteBarColor);
    }

    Image* GetImage(int index) override {
        if (index < 0 || index >= 38 || !present) return nullptr;
        return images[index].get();
    }
    Image* ShrunkGem(int kind, int step) override {
        if (!present || kind < 0 || kind >= kGemKinds || step < 0 || step >= kShrunkSteps)
            return nullptr;
        return shrunk[kind][step].get();
    }
    Image* TimerBar(int colorIndex) override {
        if (!present || colorIndex < 0 || colorIndex >= kTimerBarColors) return nullptr;
        return timerBars[colorIndex].get();
    }
    Image* WhiteTimerBar() override { return present ? whiteBar.get() : nullptr; }
    Font* DigitFont() override { return present ? digitFont.font.get() : nullptr; }
    Font* FadedDigitFont(int fade) override {
        if (!present || fade < 0 || fade >= kFadedDigitFonts) return nullptr;
        return fadedFonts[fade].font.get();
    }
    Font* ScoreFont() override { return present ? scoreFont.font.get() : nullptr; }
    Font* TitleFont() override { return present ? titleFont.font.get() : nullptr; }
    Font* OverFont() override { return present ? overFont.font.get() : nullptr; }
    ImageRegistry* Registry() override { return nullptr; }

    // False: every accessor returns null, as for art that failed to load.
    bool present = true;
    std::array<std::unique_ptr<MemoryImage>, 38> images;

private:
    void BuildFrame() {
        images[BoardImage::kScreenFrame] = SolidImage(640, 480, kFrameColor);
        FillRect(*images[BoardImage::kScreenFrame], kFrameHole, Color(0, 0, 0, 0));
    }
    void BuildCheckerTextures() {
        images[BoardImage::kCheckerTextures] = SolidImage(510, 51, Color::Black);
        for (int t = 0; t < 5; ++t) {
            FillRect(*images[BoardImage::kCheckerTextures], Rect(102 * t, 0, 51, 51),
                     Color(LightGrey(t), LightGrey(t), LightGrey(t)));
            FillRect(*images[BoardImage::kCheckerTextures], Rect(102 * t + 51, 0, 51, 51),
                     Color(DarkGrey(t), DarkGrey(t), DarkGrey(t)));
        }
    }
    void BuildGemSheet() {
        auto sheet = SolidImage(2 + 52 * 15, 104 * kGemKinds, Color(0, 0, 0, 0));
        for (int kind = 0; kind < kGemKinds; ++kind) {
            for (int frame = 0; frame < 15; ++frame) {
                FillRect(*sheet, Rect(2 + 52 * frame, 104 * kind, 49, 49), SpinColor(kind, frame));
                FillRect(*sheet, Rect(2 + 52 * frame, 104 * kind + 52, 49, 49), kGlowColor);
            }
        }
        images[BoardImage::kGemSheet] = std::move(sheet);
    }
    void BuildStrips() {
        auto target = SolidImage(52 * 6, 52, Color(0, 0, 0, 0));
        for (int cell = 0; cell < 6; ++cell)
            FillRect(*target, Rect(52 * cell, 0, 52, 52), CursorColor(cell));
        images[BoardImage::kTarget] = std::move(target);
        images[BoardImage::kSparkle] = SolidImage(40 * 14, 40, kSparkleColor);
        auto hole = SolidImage(256 * 9, 256, Color::Black);
        for (int frame = 0; frame < 9; ++frame)
            FillRect(*hole, Rect(256 * frame, 0, 256, 256), BlackHoleColor(frame));
        images[BoardImage::kBlackHole] = std::move(hole);
        images[BoardImage::kHoleMask] = SolidImage(100, 60, kHoleMaskColor);
        images[BoardImage::kElectricLine] = SolidImage(128, 16, kElectricColor);
        images[BoardImage::kHintHighlight] = SolidImage(30, 20, kHintColor);
        images[BoardImage::kSwapper1] = SolidImage(20, 10, kSwapper1Color);
        images[BoardImage::kSwapper2] = SolidImage(12, 14, kSwapper2Color);
    }
    void BuildShrunkGem(int kind, int step) {
        const int size = kShrunkSizes[step];
        auto image = SolidImage(49, 49, Color(0, 0, 0, 0));
        FillRect(*image, Rect((49 - size) / 2, (49 - size) / 2, size, size), ShrunkColor(step));
        shrunk[kind][step] = std::move(image);
    }

    TestFont digitFont;
    TestFont scoreFont;
    TestFont titleFont;
    TestFont overFont;
    std::array<TestFont, 6> fadedFonts;
    std::array<std::array<std::unique_ptr<MemoryImage>, 6>, kGemKinds> shrunk;
    std::array<std::unique_ptr<MemoryImage>, 24> timerBars;
    std::unique_ptr<MemoryImage> whiteBar;
};

// A 640 x 480 opaque black screen the board is drawn into.
class TestScreen {
public:
    TestScreen() : image(SolidImage(640, 480, Color::Black)) {}
    void Draw(Board& board) {
        Graphics g(image.get());
        board.Draw(&g);
    }
    Color At(int x, int y) const { return Color(image->GetBits()[y * 640 + x]); }
    std::unique_ptr<MemoryImage> image;
};

// grey scaled by a tint channel, as the colourised squares are.
inline Color Tinted(int grey, const Color& tint) {
    return Color(grey * tint.red >> 8, grey * tint.green >> 8, grey * tint.blue >> 8);
}

inline constexpr Color kBrown(102, 82, 70);
inline constexpr Color kRed(130, 72, 72);
inline constexpr Color kGreen(72, 130, 72);
inline constexpr Color kBlue(72, 72, 130);

}  // namespace Varn::test
