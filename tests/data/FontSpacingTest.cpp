// Words drawn in each generated font by the game's own font reader leave the gaps
// between neighbouring letters that the source face, kerned, leaves (within a pixel).
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/ImageLoader.h"
#include "graphics/MemoryImage.h"
#include "tests/data/GameDataReaders.h"
#include "tools/datagen/Text.h"

namespace gemlode_data_test {
namespace {

struct Source {
    const char* font;
    const char* family;
    int pixelSize;
    int widthPercent;
};
const Source kSources[] = {{"afont1", "League Spartan", 17, 90},
                           {"mainfont1", "League Spartan", 12, 86},
                           {"alphadigits4", "League Spartan", 17, 100},
                           {"scorefont1", "Comfortaa", 27, 100},
                           {"overfont2", "League Spartan", 44, 100}};
const char* const kWords[] = {"OBJECT", "Swap", "adjacent", "awarding", "always",
                              "two",    "GAME", "DURATION", "AVATAR",   "1015"};

using Span = std::pair<int, int>;  // first and last column of a letter's ink
constexpr int kW = 400, kH = 80;

Span Widen(Span s, int x) {
    return {std::min(s.first, x), std::max(s.second, x)};
}

std::vector<bool> Draw(Varn::ImageFont& font, const std::string& text) {
    Varn::MemoryImage image(nullptr);
    image.Create(kW, kH);
    Varn::Graphics g(&image);
    g.FillRect(0, 0, kW, kH);  // black
    g.SetColor(Varn::Color(255, 255, 255));
    g.SetFont(&font);
    g.DrawString(text, 20, 60);
    std::vector<bool> ink(kW * kH);
    for (int i = 0; i < kW * kH; ++i) ink[i] = (image.GetBits()[i] >> 8 & 0xFF) >= 128;
    return ink;
}

// The game's letters: the light ink each added letter brings.
std::vector<Span> FontSpans(Varn::ImageFont& font, const std::string& word) {
    std::vector<Span> spans(word.size(), {kW, -1});
    std::vector<bool> before = Draw(font, "");
    for (size_t n = 0; n < word.size(); ++n) {
        std::vector<bool> after = Draw(font, word.substr(0, n + 1));
        for (int i = 0; i < kW * kH; ++i)
            if (after[i] && !before[i]) spans[n] = Widen(spans[n], i % kW);
        before = after;
    }
    return spans;
}

// The face's letters at FreeType's advances and the face's kerning.
std::vector<Span> FaceSpans(const Source& s, const std::string& word) {
    Varn::DataGen::FontFace face(s.family, "Bold", s.pixelSize, s.widthPercent);
    std::vector<Span> spans(word.size(), {1 << 20, -1});
    int pen = 0;
    for (size_t n = 0; n < word.size(); ++n) {
        Varn::DataGen::GlyphMask g = face.Glyph(word[n]);
        for (int i = 0; i < g.mask.Width() * g.mask.Height(); ++i)
            if (g.mask.At(i % g.mask.Width(), i / g.mask.Width()).a >= 0.5f)
                spans[n] = Widen(spans[n], pen + g.left + i % g.mask.Width());
        pen += g.advance + (n + 1 < word.size() ? face.Kerning(word[n], word[n + 1]) : 0);
    }
    return spans;
}

TEST(DataFontSpacing, LettersStandAsTheSourceFaceSetsThem) {
    for (const Source& s : kSources) {
        std::unique_ptr<Varn::DecodedImage> decoded =
            Varn::LoadImage(GameDir() + "/images/" + s.font);
        ASSERT_TRUE(decoded) << s.font;
        Varn::MemoryImage strip(nullptr);
        strip.SetBits(decoded->pixels.get(), decoded->width, decoded->height);
        Varn::ImageFont font(&strip, GameDir() + "/data/" + s.font + ".txt");
        for (const std::string word : kWords) {
            std::vector<Span> ours = FontSpans(font, word), face = FaceSpans(s, word);
            for (size_t n = 1; n < word.size(); ++n) {
                int gap = ours[n].first - ours[n - 1].second;
                int faceGap = face[n].first - face[n - 1].second;
                EXPECT_NEAR(gap, faceGap, 1) << s.font << " \"" << word << "\" " << word[n - 1]
                                             << word[n] << ": " << gap << " vs " << faceGap;
            }
        }
    }
}

}  // namespace
}  // namespace gemlode_data_test
