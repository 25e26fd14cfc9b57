// Text: see Text.h.
#include "tools/datagen/Text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "tools/datagen/PairKerning.h"

namespace Varn::DataGen {

namespace {

FT_Library library = nullptr;
FcConfig* fontConfig = nullptr;

FT_Library Library() {
    if (!library && FT_Init_FreeType(&library) != 0)
        throw std::runtime_error("FreeType did not start");
    return library;
}

std::string FindFontFile(const std::string& family, const std::string& style) {
    // Loading the configuration scans the font cache: do it once per run.
    if (!fontConfig) fontConfig = FcInitLoadConfigAndFonts();
    FcConfig* config = fontConfig;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style.c_str()));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    std::string path;
    FcChar8* file = nullptr;
    FcChar8* foundFamily = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetString(match, FC_FAMILY, 0, &foundFamily) == FcResultMatch &&
        family == reinterpret_cast<const char*>(foundFamily))
        path = reinterpret_cast<const char*>(file);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    // A silent fallback would change the art from machine to machine.
    if (path.empty()) throw std::runtime_error("font not installed: " + family + " " + style);
    return path;
}

}  // namespace

void ReleaseFontLibraries() {
    if (fontConfig) FcConfigDestroy(fontConfig);
    fontConfig = nullptr;
    FcFini();
    if (library) FT_Done_FreeType(library);
    library = nullptr;
}

struct FontFace::Impl {
    FT_Face face = nullptr;
    std::optional<PairKerning> gpos;  // for faces without a 'kern' table
};

namespace {

std::optional<PairKerning> ReadGposKerning(FT_Face face) {
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, FT_MAKE_TAG('G', 'P', 'O', 'S'), 0, nullptr, &length) != 0)
        return std::nullopt;
    std::vector<uint8_t> table(length);
    if (FT_Load_Sfnt_Table(face, FT_MAKE_TAG('G', 'P', 'O', 'S'), 0, table.data(), &length) != 0)
        return std::nullopt;
    return PairKerning(std::move(table));
}

}  // namespace

FontFace::FontFace(const std::string& family, const std::string& style, int pixelSize,
                   int widthPercent)
    : impl_(std::make_unique<Impl>()) {
    std::string path = FindFontFile(family, style);
    if (FT_New_Face(Library(), path.c_str(), 0, &impl_->face) != 0)
        throw std::runtime_error("cannot open font " + path);
    FT_UInt height = static_cast<FT_UInt>(pixelSize);
    FT_Set_Pixel_Sizes(impl_->face, static_cast<FT_UInt>(pixelSize * widthPercent / 100), height);
    if (!FT_HAS_KERNING(impl_->face)) impl_->gpos = ReadGposKerning(impl_->face);
}

FontFace::~FontFace() {
    if (impl_->face) FT_Done_Face(impl_->face);
}

GlyphMask FontFace::Glyph(char c) const {
    GlyphMask g;
    FT_Face face = impl_->face;
    if (FT_Load_Char(face, static_cast<unsigned char>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL))
        return g;
    FT_Bitmap& bm = face->glyph->bitmap;
    g.mask = Canvas(static_cast<int>(bm.width), static_cast<int>(bm.rows));
    for (unsigned y = 0; y < bm.rows; ++y)
        for (unsigned x = 0; x < bm.width; ++x)
            g.mask.At(x, y) = {1, 1, 1, bm.buffer[y * bm.pitch + x] / 255.0f};
    g.left = face->glyph->bitmap_left;
    g.top = face->glyph->bitmap_top;
    g.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    return g;
}

int FontFace::Ascender() const {
    return static_cast<int>((impl_->face->size->metrics.ascender + 63) >> 6);
}

int FontFace::Descender() const {
    return static_cast<int>((-impl_->face->size->metrics.descender + 63) >> 6);
}

int FontFace::Advance(char c) const {
    if (FT_Load_Char(impl_->face, static_cast<unsigned char>(c), FT_LOAD_DEFAULT)) return 0;
    return static_cast<int>((impl_->face->glyph->advance.x + 32) >> 6);
}

int FontFace::Kerning(char left, char right) const {
    FT_Face face = impl_->face;
    FT_UInt a = FT_Get_Char_Index(face, static_cast<unsigned char>(left));
    FT_UInt b = FT_Get_Char_Index(face, static_cast<unsigned char>(right));
    if (a == 0 || b == 0) return 0;
    FT_Vector kern{0, 0};
    if (impl_->gpos)
        kern.x = FT_MulFix(impl_->gpos->Adjust(a, b), face->size->metrics.x_scale);
    else if (FT_Get_Kerning(face, a, b, FT_KERNING_UNFITTED, &kern) != 0)
        return 0;
    return static_cast<int>((kern.x + 32) >> 6);
}

int StyleMargin(const TextStyle& style) {
    int m = style.outline.a > 0 ? style.outlineRadius : 0;
    if (style.shadow.a > 0) m = std::max(m, style.shadowOffset + m);
    return m;
}

Canvas Decorate(const Canvas& mask, const TextStyle& style, int capTop, int baseline) {
    int w = mask.Width(), h = mask.Height();
    Canvas out(w, h);
    if (style.shadow.a > 0) {
        std::vector<float> body =
            style.outline.a > 0 ? mask.DilatedAlpha(style.outlineRadius) : std::vector<float>();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int sx = x - style.shadowOffset, sy = y - style.shadowOffset;
                if (sx < 0 || sy < 0) continue;
                float a = body.empty() ? mask.At(sx, sy).a : body[static_cast<size_t>(sy) * w + sx];
                out.Blend(x, y,
                          {style.shadow.r, style.shadow.g, style.shadow.b, a * style.shadow.a});
            }
    }
    if (style.outline.a > 0) {
        std::vector<float> ring = mask.DilatedAlpha(style.outlineRadius);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Rgba c = style.outline;
                c.a *= ring[static_cast<size_t>(y) * w + x];
                out.Blend(x, y, c);
            }
    }
    float span = std::max(1, baseline - capTop);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float a = mask.At(x, y).a;
            if (a <= 0) continue;
            Rgba c = Mix(style.top, style.bottom, Clamp01((y - capTop) / span));
            if (style.bevel > 0) {
                // Light where the glyph's edge faces up-left, shade where it faces down-right.
                float up = (x > 0 && y > 0) ? mask.At(x - 1, y - 1).a : 0;
                float down = (x + 1 < w && y + 1 < h) ? mask.At(x + 1, y + 1).a : 0;
                float k = 1.0f + style.bevel * (down - up);
                c = Scaled(c, k);
            }
            c.a = a;
            out.Blend(x, y, c);
        }
    return out;
}

Canvas RenderText(const FontFace& face, const std::string& text, const TextStyle& style,
                  int* baselineOut) {
    int margin = StyleMargin(style) + 1;
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i)
        width += face.Advance(text[i]) + style.tracking +
                 (i + 1 < text.size() ? face.Kerning(text[i], text[i + 1]) : 0);
    int ascent = face.Ascender(), descent = face.Descender();
    Canvas mask(width + 2 * margin + 2, ascent + descent + 2 * margin);
    int baseline = margin + ascent, pen = margin;
    for (size_t i = 0; i < text.size(); ++i) {
        GlyphMask g = face.Glyph(text[i]);
        for (int y = 0; y < g.mask.Height(); ++y)
            for (int x = 0; x < g.mask.Width(); ++x) {
                int px = pen + g.left + x, py = baseline - g.top + y;
                if (!mask.Inside(px, py)) continue;
                Rgba& d = mask.At(px, py);
                d = {1, 1, 1, std::max(d.a, g.mask.At(x, y).a)};
            }
        pen += g.advance + style.tracking;
        if (i + 1 < text.size()) pen += face.Kerning(text[i], text[i + 1]);
    }
    if (baselineOut) *baselineOut = baseline;
    int capTop = baseline - face.Glyph('H').top;
    return Decorate(mask, style, capTop, baseline);
}

}  // namespace Varn::DataGen
