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
#include "tools/datagen/FontStrips.h"

namespace gemlode_data_test {
namespace {

const char* const kFonts[] = {"afont1", "mainfont1", "alphadigits4", "scorefont1", "overfont2"};
const char* const kWords[] = {"OBJECT", "Swap", "adjacent", "awarding", "always",
                              "two",    "GAME", "DURATION", "AVATAR",   "1015"};
constexpr int kW = 400, kH = 80;

std::vector<bool> Draw(Varn::ImageFont& font, const std::string& text) {
    Varn::MemoryImage image(nullptr);
    image.Create(kW, kH);
    Varn::Graphics g(&image);
    g.FillRect(0, 0, kW, kH);
    g.SetColor(Varn::Color(255, 255, 255));
    g.SetFont(&font);
    g.DrawString(text, 20, 60);
    std::vector<bool> ink(kW * kH);
    for (int i = 0; i < kW * kH; ++i) ink[i] = (image.GetBits()[i] >> 8 & 0xFF) >= 128;
    return ink;
}

// Gaps between neighbouring letters: in the game, between the ink each added letter brings;
// in the face, between the glyphs' coverage at FreeType's advances and the face's kerning.
void Gaps(Varn::ImageFont& font, const Varn::DataGen::FontFace& ft, const std::string& word,
          std::vector<int>& ours, std::vector<int>& face) {
    std::vector<bool> before = Draw(font, "");
    int pen = 0, lastHi = 0, lastFaceHi = 0;
    for (size_t n = 0; n < word.size(); ++n) {
        std::vector<bool> after = Draw(font, word.substr(0, n + 1));
        Varn::DataGen::GlyphMask g = ft.Glyph(word[n]);
        int lo = kW, hi = -1, faceLo = 1 << 20, faceHi = -(1 << 20);
        for (int i = 0; i < kW * kH; ++i)
            if (after[i] && !before[i]) lo = std::min(lo, i % kW), hi = std::max(hi, i % kW);
        for (int i = 0, w = g.mask.Width(); i < w * g.mask.Height(); ++i)
            if (g.mask.At(i % w, i / w).a >= 0.5f)
                faceLo = std::min(faceLo, pen + g.left + i % w),
                faceHi = std::max(faceHi, pen + g.left + i % w);
        if (n > 0) ours.push_back(lo - lastHi), face.push_back(faceLo - lastFaceHi);
        lastHi = hi, lastFaceHi = faceHi, before = after;
        pen += g.advance + (n + 1 < word.size() ? ft.Kerning(word[n], word[n + 1]) : 0);
    }
}

TEST(DataFontSpacing, LettersStandAsTheSourceFaceSetsThem) {
    for (const std::string name : kFonts) {
        std::unique_ptr<Varn::DataGen::FontFace> source = Varn::DataGen::SourceFace(name);
        std::unique_ptr<Varn::DecodedImage> decoded =
            Varn::LoadImage(GameDir() + "/images/" + name);
        ASSERT_TRUE(decoded) << name;
        Varn::MemoryImage strip(nullptr);
        strip.SetBits(decoded->pixels.get(), decoded->width, decoded->height);
        Varn::ImageFont font(&strip, GameDir() + "/data/" + name + ".txt");
        for (const std::string word : kWords) {
            std::vector<int> ours, face;
            Gaps(font, *source, word, ours, face);
            for (size_t n = 0; n < ours.size(); ++n)
                EXPECT_NEAR(ours[n], face[n], 1)
                    << name << " \"" << word << "\" " << word[n] << word[n + 1];
        }
    }
}

}  // namespace
}  // namespace gemlode_data_test
