// FontStrips: see FontStrips.h.
#include "tools/datagen/FontStrips.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "tools/datagen/Text.h"

namespace Varn::DataGen {

namespace {

struct FontRecipe {
    const char* name;
    const char* family;
    const char* style;
    int pixelSize;
    int widthPercent;
    TextStyle look;
    bool latin1;         // also the printable letters and signs from 161 to 255
    bool inkLineHeight;  // line height from the glyphs' ink rather than the face's metrics
    int lineHeight = 0;  // at least this many rows, the extra ones around the glyphs
};

// Every printable ASCII character, so any text the game may draw shows whole;
// the fonts that draw names also get the printable Latin-1 characters (the
// game's characters are single Latin-1 bytes). The no-break space and the soft
// hyphen are left out: neither has a picture of its own.
std::string PrintableCharacters(bool latin1) {
    std::string s;
    for (int c = 33; c < 127; ++c) s.push_back(static_cast<char>(c));
    if (!latin1) return s;
    for (int c = 161; c < 256; ++c)
        if (c != 173) s.push_back(static_cast<char>(c));
    return s;
}

// Rows above and below the baseline that the glyphs of a set actually reach.
void InkExtent(const FontFace& face, const std::string& characters, int& above, int& below) {
    above = 0;
    below = 0;
    for (char c : characters) {
        GlyphMask g = face.Glyph(c);
        if (g.mask.Height() == 0) continue;
        above = std::max(above, g.top);
        below = std::max(below, g.mask.Height() - g.top);
    }
}

BitmapFont RenderStrip(const FontRecipe& recipe) {
    FontFace face(recipe.family, recipe.style, recipe.pixelSize, recipe.widthPercent);
    const TextStyle& look = recipe.look;
    int margin = StyleMargin(look);
    std::string characters = PrintableCharacters(recipe.latin1);
    int ascent = face.Ascender(), descent = face.Descender();
    if (recipe.inkLineHeight) InkExtent(face, characters, ascent, descent);
    // The extra rows go half above and half below the glyphs, so the line's box (a text
    // field's selection) is centred on them.
    const int extra = std::max(0, recipe.lineHeight - (ascent + descent + 2 * margin));
    ascent += extra / 2;
    descent += extra - extra / 2;
    int height = ascent + descent + 2 * margin;
    int baseline = margin + ascent;
    int capTop = baseline - face.Glyph('H').top;

    // A cell holds the ink with the outline's reach on the left and the outline's and
    // shadow's on the right; the pen keeps the face's advance, so letters sit where the
    // face sets them and decorations overlap their neighbours.
    int leftRoom = look.outline.a > 0 ? look.outlineRadius : 0;
    BitmapFont font;
    font.name = recipe.name;
    font.spaceAdvance = std::max(face.Advance(' ') + margin, recipe.pixelSize / 3) + look.tracking;
    font.ascent = baseline;
    font.order = characters;
    std::vector<Canvas> cells;
    int total = 0;
    for (char c : font.order) {
        GlyphMask g = face.Glyph(c);
        int cellWidth = std::max(1, leftRoom + g.mask.Width() + margin);
        Canvas mask(cellWidth, height);
        for (int y = 0; y < g.mask.Height(); ++y)
            for (int x = 0; x < g.mask.Width(); ++x)
                if (mask.Inside(leftRoom + x, baseline - g.top + y))
                    mask.At(leftRoom + x, baseline - g.top + y) = g.mask.At(x, y);
        cells.push_back(Decorate(mask, look, capTop, baseline));
        unsigned char u = static_cast<unsigned char>(c);
        font.x[u] = total;
        font.width[u] = cellWidth;
        font.offset[u] = g.left - leftRoom;
        font.advance[u] = g.advance + look.tracking;
        total += cellWidth;
    }
    for (char a : font.order)
        for (char b : font.order)
            if (int k = face.Kerning(a, b))
                font.kerning[{static_cast<unsigned char>(a), static_cast<unsigned char>(b)}] = k;
    font.strip = Canvas(total, height);
    for (size_t i = 0; i < cells.size(); ++i)
        font.strip.Put(cells[i], font.x[static_cast<unsigned char>(font.order[i])], 0);
    return font;
}

}  // namespace

std::string BitmapFont::Descriptor() const {
    std::string out = std::to_string(spaceAdvance) + "\n" + std::to_string(ascent) + "\n";
    for (char c : order)
        out +=
            std::string(1, c) + " " + std::to_string(width[static_cast<unsigned char>(c)]) + "\n";
    out += "@metrics\n";
    for (char c : order) {
        unsigned char u = static_cast<unsigned char>(c);
        out += std::string(1, c) + " " + std::to_string(offset[u]) + " " +
               std::to_string(advance[u]) + "\n";
    }
    out += "@kerning\n";
    for (const auto& [pair, k] : kerning)
        out += std::string(1, char(pair.first)) + " " + std::string(1, char(pair.second)) + " " +
               std::to_string(k) + "\n";
    return out;
}

namespace {

// The game's lookup: the character, else its lower case, else its upper case.
unsigned char Lookup(const BitmapFont& f, char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (f.width[u] != 0) return u;
    unsigned char lo = static_cast<unsigned char>(std::tolower(u));
    if (f.width[lo] != 0) return lo;
    unsigned char up = static_cast<unsigned char>(std::toupper(u));
    if (f.width[up] != 0) return up;
    return u;
}

// Pen positions of the text's characters, and the pen after the last.
std::vector<int> PenPositions(const BitmapFont& f, const std::string& text) {
    std::vector<int> pens;
    int pen = 0;
    unsigned char previous = ' ';
    for (char c : text) {
        unsigned char k = c == ' ' ? ' ' : Lookup(f, c);
        auto kern = f.kerning.find({previous, k});
        if (kern != f.kerning.end()) pen += kern->second;
        pens.push_back(pen);
        pen += k == ' ' ? f.spaceAdvance : f.advance[k];
        previous = k;
    }
    pens.push_back(pen);
    return pens;
}

}  // namespace

int BitmapFont::StringWidth(const std::string& text) const {
    return PenPositions(*this, text).back();
}

void BitmapFont::DrawString(Canvas& target, int px, int baseline, const std::string& text,
                            const Rgba& tint) const {
    std::vector<int> pens = PenPositions(*this, text);
    for (size_t n = 0; n < text.size(); ++n) {
        if (text[n] == ' ') continue;
        unsigned char k = Lookup(*this, text[n]);
        int left = px + pens[n] + offset[k];
        for (int y = 0; y < strip.Height(); ++y)
            for (int i = 0; i < width[k]; ++i) {
                Rgba s = strip.At(x[k] + i, y);
                target.Blend(left + i, baseline - ascent + y,
                             {s.r * tint.r, s.g * tint.g, s.b * tint.b, s.a * tint.a});
            }
    }
}

namespace {

const std::vector<FontRecipe>& Recipes() {
    const Rgba ink{0.06f, 0.02f, 0.12f, 1};
    // The game tints these two: a fill near white keeps its colours at their contrast.
    TextStyle title{{1, 1, 1, 1}, {0.95f, 0.95f, 0.97f, 1}, ink, 1, 0.35f, {0, 0, 0, 0.5f}, 1, 0};
    TextStyle body{{1, 1, 1, 1}, {1, 1, 1, 1}, {}, 0, 0, {0, 0, 0, 0.75f}, 1, 0};
    TextStyle digits{{1, 1, 1, 1}, {0.84f, 0.86f, 0.9f, 1}, ink, 2, 0.3f, {}, 0, 0};
    TextStyle score{
        {1, 1, 1, 1}, {0.76f, 0.84f, 0.96f, 1}, {0.02f, 0.04f, 0.12f, 1}, 2, 0.35f, {}, 0, 0};
    TextStyle over{{1, 1, 1, 1}, {0.7f, 0.7f, 0.78f, 1}, ink, 3, 0.45f, {0, 0, 0, 0.55f}, 3, 0};
    static const std::vector<FontRecipe> recipes = {
        {"afont1", "League Spartan", "Bold", 17, 90, title, true, false},
        // The dialogs' text in the panel's family, condensed to fit every fixed text; its
        // line height stays the 19 rows the dialogs are laid out with.
        {"mainfont1", "League Spartan", "Bold", 12, 86, body, true, true, 19},
        {"alphadigits4", "League Spartan", "Bold", 17, 100, digits, false, false},
        {"scorefont1", "Comfortaa", "Bold", 27, 100, score, false, false},
        {"overfont2", "League Spartan", "Bold", 44, 100, over, false, false},
    };
    return recipes;
}

}  // namespace

std::vector<BitmapFont> RenderFontStrips() {
    std::vector<BitmapFont> fonts;
    for (const FontRecipe& r : Recipes()) fonts.push_back(RenderStrip(r));
    return fonts;
}

std::unique_ptr<FontFace> SourceFace(const std::string& fontName) {
    for (const FontRecipe& r : Recipes())
        if (fontName == r.name)
            return std::make_unique<FontFace>(r.family, r.style, r.pixelSize, r.widthPercent);
    throw std::invalid_argument("no font named " + fontName);
}

}  // namespace Varn::DataGen
