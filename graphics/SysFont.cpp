// SysFont: FreeType face set-up, metrics, a per-font glyph cache and glyph compositing.
#include "graphics/SysFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <vector>

#include "graphics/DDImage.h"
#include "graphics/FontMatch.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "graphics/PixelBlend.h"

namespace Varn {

namespace {

constexpr int kDotsPerInch = 96;
constexpr int kMaxPixelSize = 1000;

// The platform's rounding multiply-divide for positive values.
int PixelSizeFor(int pointSize) {
    long long px = (static_cast<long long>(pointSize) * kDotsPerInch + 36) / 72;
    return int(std::clamp<long long>(px, 1, kMaxPixelSize));
}

int CeilPixels(FT_Pos value) {
    return int((value + 63) >> 6);
}

struct Glyph {
    int left = 0;  // from the pen to the bitmap's left edge
    int top = 0;   // from the baseline up to the bitmap's top row
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;  // width x rows, 0-255
};

void CopyBitmap(const FT_Bitmap& bitmap, Glyph& glyph) {
    glyph.width = int(bitmap.width);
    glyph.rows = int(bitmap.rows);
    glyph.coverage.assign(std::size_t(glyph.width) * glyph.rows, 0);
    for (int r = 0; r < glyph.rows; ++r) {
        const unsigned char* row = bitmap.buffer + std::ptrdiff_t(r) * bitmap.pitch;
        for (int c = 0; c < glyph.width; ++c) {
            uint8_t v = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                            ? ((row[c >> 3] >> (7 - (c & 7))) & 1 ? 255 : 0)
                            : row[c];
            glyph.coverage[std::size_t(r) * glyph.width + c] = v;
        }
    }
}

}  // namespace

struct SysFont::Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool syntheticBold = false;
    bool syntheticItalic = false;
    int underlineOffset = 0;  // below the baseline
    int underlineThickness = 1;
    std::array<std::unique_ptr<Glyph>, 256> glyphs;

    ~Face() {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }

    bool Open(const std::string& name, int pixels, bool wantBold, bool wantItalic) {
        FontFile file = MatchFont(name, wantBold, wantItalic);
        if (file.path.empty() || FT_Init_FreeType(&library) != 0) return false;
        if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) {
            face = nullptr;
            return false;
        }
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels)) != 0) return false;
        syntheticBold = wantBold && !file.isBold;
        syntheticItalic = wantItalic && !file.isItalic;
        FT_Fixed scale = face->size->metrics.y_scale;
        underlineOffset = std::max(1, CeilPixels(-FT_MulFix(face->underline_position, scale)));
        underlineThickness =
            std::max(1, int((FT_MulFix(face->underline_thickness, scale) + 32) >> 6));
        return true;
    }

    const Glyph& GlyphFor(unsigned char c) {
        std::unique_ptr<Glyph>& slot = glyphs[c];
        if (slot) return *slot;
        slot = std::make_unique<Glyph>();
        if (FT_Load_Char(face, c, FT_LOAD_DEFAULT) != 0) return *slot;
        FT_GlyphSlot g = face->glyph;
        if (syntheticBold) FT_GlyphSlot_Embolden(g);
        if (syntheticItalic) FT_GlyphSlot_Oblique(g);
        slot->advance = int((g->advance.x + 32) >> 6);
        if (FT_Render_Glyph(g, FT_RENDER_MODE_NORMAL) != 0) return *slot;
        slot->left = g->bitmap_left;
        slot->top = g->bitmap_top;
        CopyBitmap(g->bitmap, *slot);
        return *slot;
    }
};

SysFont::SysFont(const std::string& name, int points, bool isBold, bool isItalic, bool isUnderline)
    : faceName(name),
      pointSize(points),
      bold(isBold),
      italic(isItalic),
      underline(isUnderline),
      pixelSize(PixelSizeFor(points)),
      face(std::make_unique<Face>()) {
    if (!face->Open(faceName, pixelSize, bold, italic)) {
        face.reset();
        return;
    }
    const FT_Size_Metrics& metrics = face->face->size->metrics;
    ascent = CeilPixels(metrics.ascender);
    height = ascent + CeilPixels(-metrics.descender);
}

SysFont::SysFont(const SysFont& other)
    : Font(other),
      faceName(other.faceName),
      pointSize(other.pointSize),
      bold(other.bold),
      italic(other.italic),
      underline(other.underline),
      pixelSize(other.pixelSize),
      face(std::make_unique<Face>()) {
    if (!face->Open(faceName, pixelSize, bold, italic)) face.reset();
}

SysFont::~SysFont() = default;

bool SysFont::IsValid() const {
    return face != nullptr;
}

std::unique_ptr<Font> SysFont::Duplicate() const {
    return std::make_unique<SysFont>(*this);
}

int SysFont::StringWidth(const std::string& text) const {
    if (!face) return 0;
    long long width = 0;
    for (char c : text) width += face->GlyphFor(static_cast<unsigned char>(c)).advance;
    return int(std::min<long long>(width, INT_MAX));
}

namespace {

// Writes one pixel of text: full coverage takes the colour exactly, partial coverage
// blends the colour in with the coverage as its alpha.
void PutCoverage(uint32_t& pixel, uint32_t rgb, uint8_t coverage) {
    if (coverage == 0) return;
    if (coverage == 255) {
        pixel = rgb | 0xFF000000u;
        return;
    }
    pixel = PixelBlend::BlendPixel(PixelBlend::GetTables(), pixel, rgb | uint32_t(coverage) << 24);
}

struct Canvas {
    uint32_t* bits;
    int stride;
    Rect area;  // the clip inside the image
    uint32_t rgb;
};

void DrawGlyph(const Canvas& canvas, const Glyph& glyph, int left, int top) {
    Rect box = Rect(left, top, glyph.width, glyph.rows).Intersection(canvas.area);
    for (int y = box.y; y < box.y + box.height; ++y) {
        const uint8_t* cover = &glyph.coverage[std::size_t(y - top) * glyph.width];
        uint32_t* row = canvas.bits + std::size_t(y) * canvas.stride;
        for (int x = box.x; x < box.x + box.width; ++x)
            PutCoverage(row[x], canvas.rgb, cover[x - left]);
    }
}

}  // namespace

void SysFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                         const Rect& clip) {
    if (!face || !g || text.empty()) return;
    auto* image = dynamic_cast<MemoryImage*>(g->GetDestImage());
    if (!image) return;
    Rect area = clip.Intersection(Rect(0, 0, image->GetWidth(), image->GetHeight()));
    if (area.width <= 0 || area.height <= 0) return;
    long long penX = static_cast<long long>(x) + g->GetTranslateX();
    long long baseline = static_cast<long long>(y) + g->GetTranslateY() + 1;
    if (baseline < INT_MIN / 2 || baseline > INT_MAX / 2) return;

    // A display surface takes the coverage directly; reading the whole surface
    // back into memory for a line of text would cost far more than the text.
    auto* surfaceImage = dynamic_cast<DDImage*>(image);
    bool direct = surfaceImage && surfaceImage->HasSurface();
    std::optional<Canvas> canvas;
    if (!direct)
        canvas.emplace(Canvas{image->GetBits(), image->GetWidth(), area,
                              Color(color.red, color.green, color.blue, 0).ToPacked()});
    auto paint = [&](const Glyph& glyph, int left, int top) {
        if (direct)
            surfaceImage->DrawCoverage(left, top, glyph.coverage.data(), glyph.width, glyph.rows,
                                       glyph.width, color, area);
        else
            DrawGlyph(*canvas, glyph, left, top);
    };

    long long start = penX;
    for (char c : text) {
        const Glyph& glyph = face->GlyphFor(static_cast<unsigned char>(c));
        if (penX > INT_MIN / 2 && penX < INT_MAX / 2)
            paint(glyph, int(penX) + glyph.left, int(baseline) - glyph.top);
        penX += glyph.advance;
    }
    if (underline && start > INT_MIN / 2 && penX < INT_MAX / 2) {
        Glyph bar;
        bar.width = int(penX - start);
        bar.rows = face->underlineThickness;
        bar.coverage.assign(std::size_t(std::max(bar.width, 0)) * bar.rows, 255);
        if (bar.width > 0)
            paint(bar, int(start), int(baseline) + face->underlineOffset - bar.rows / 2);
    }
    if (!direct) image->BitsChanged();
}

}  // namespace Varn
