// ContactSheet: see ContactSheet.h. The composed screens follow the game's
// drawing order and positions (checkerboard, frame, gems, panel readouts).
#include "tools/datagen/ContactSheet.h"

#include <algorithm>
#include <cmath>

namespace Varn::DataGen {

namespace {

const Canvas& Find(const std::vector<Picture>& pictures, const std::string& name) {
    for (const Picture& p : pictures)
        if (p.name == name) return p.image;
    static const Canvas empty(1, 1);
    return empty;
}

const BitmapFont& FontNamed(const std::vector<BitmapFont>& fonts, const std::string& name) {
    for (const BitmapFont& f : fonts)
        if (f.name == name) return f;
    return fonts.front();
}

// The game's colourised copy: every channel multiplied by the tint's.
Canvas Tinted(const Canvas& src, Rgba tint) {
    Canvas out = src;
    for (int y = 0; y < out.Height(); ++y)
        for (int x = 0; x < out.Width(); ++x) {
            Rgba& c = out.At(x, y);
            c = {c.r * tint.r, c.g * tint.g, c.b * tint.b, c.a * tint.a};
        }
    return out;
}

void DrawCell(Canvas& target, const Canvas& sheet, int sx, int sy, int w, int h, int dx, int dy,
              bool additive = false) {
    Canvas cell = sheet.Crop(sx, sy, w, h);
    if (additive)
        target.DrawAdditive(cell, dx, dy);
    else
        target.Draw(cell, dx, dy);
}

void Checkerboard(Canvas& c, int cell) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            float k = ((x / cell + y / cell) % 2) ? 0.42f : 0.5f;
            c.At(x, y) = {k, k, k, 1};
        }
}

}  // namespace

Canvas ComposeTitleScreen(const std::vector<Picture>& pictures,
                          const std::vector<BitmapFont>& fonts) {
    Canvas screen(640, 480, {0, 0, 0, 1});
    screen.Draw(Find(pictures, "zephyr-title"), 0, 0);
    DrawCell(screen, Find(pictures, "titlegreenbar2"), 0, 0, 238, 24, 143, 314);
    const BitmapFont& text = FontNamed(fonts, "mainfont1");
    const BitmapFont& title = FontNamed(fonts, "afont1");
    std::string version = "Version 1.0.0";
    text.DrawString(screen, 537 - text.StringWidth(version) / 2, 221, version,
                    FromBytes(128, 128, 128));
    std::string play = "CLICK HERE TO PLAY!";
    int w = title.StringWidth(play), x = (640 - w) / 2;
    int baseline = 386 + (title.ascent + 24) / 2 - 1;
    title.DrawString(screen, x, baseline, play, FromBytes(32, 255, 32));
    screen.Paint(x, baseline + 3, w, 1, [](float, float) { return FromBytes(32, 255, 32); });
    return screen;
}

Canvas ComposeGameScreen(const std::vector<Picture>& pictures,
                         const std::vector<BitmapFont>& fonts) {
    Canvas screen(640, 480, {0, 0, 0, 1});
    const Canvas& checker = Find(pictures, "checkertextures2");
    Rgba tint = FromBytes(102, 82, 70);
    for (int i = -1; i <= 8; ++i)
        for (int j = -1; j <= 8; ++j) {
            int sx = (i + j) % 2 != 0 ? 51 : 0;
            screen.Draw(Tinted(checker.Crop(sx, 0, 51, 51), tint), 51 * j + 202, 51 * i + 16);
        }
    screen.Draw(Find(pictures, "zephyr-back"), 0, 0);
    const Canvas& gems = Find(pictures, "gemsheet6");
    Random rnd(2024);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) {
            int kind = static_cast<int>(rnd.Next() % 7);
            bool glowing = r == 5 && c == 2;
            DrawCell(screen, gems, 2 + (glowing ? 52 * 6 : 0), 104 * kind + (glowing ? 52 : 0), 49,
                     49, 51 * c + 203, 51 * r + 16);
        }
    DrawCell(screen, Find(pictures, "target1"), 52 * 2, 0, 52, 52, 51 * 3 + 203 - 2,
             51 * 4 + 16 - 2);
    DrawCell(screen, Find(pictures, "sparkle"), 40 * 6, 0, 40, 40, 51 * 6 + 203 + 13,
             51 * 1 + 16 - 7, true);
    screen.Draw(Find(pictures, "swapper1"), 51 * 1 + 203 + 3, 51 * 6 + 16 + 38);
    screen.Draw(Find(pictures, "swapper2"), 51 * 1 + 203 - 5, 51 * 6 + 16 - 42);
    const BitmapFont& score = FontNamed(fonts, "scorefont1");
    const BitmapFont& title = FontNamed(fonts, "afont1");
    const BitmapFont& digits = FontNamed(fonts, "alphadigits4");
    const BitmapFont& over = FontNamed(fonts, "overfont2");
    std::string s = "48250";
    score.DrawString(screen, 93 - score.StringWidth(s) / 2, 106, s, FromBytes(173, 231, 255));
    DrawCell(screen, Tinted(Find(pictures, "timerbar"), FromBytes(1, 255, 1)), 0, 0, 226, 25, 237,
             444);
    title.DrawString(screen, 606 - title.StringWidth("3") / 2, 465, "3", FromBytes(0, 0, 0));
    std::string bonus = "+120";
    title.DrawString(screen, 91 - title.StringWidth(bonus) / 2 - title.StringWidth("+") / 3, 350,
                     bonus, {1, 1, 1, 1});
    digits.DrawString(screen, 51 * 5 + 203, 51 * 2 + 16 + digits.ascent / 2, "60", {1, 1, 1, 1});
    // "EXCELLENT!" with the rainbow rows of the on-board message, without the wave.
    std::string msg = "EXCELLENT!";
    // Room on both sides for the outline and shadow that reach past the pen.
    const int room = over.ascent / 4;
    Canvas text(over.StringWidth(msg) + 2 * room, over.strip.Height());
    over.DrawString(text, room, over.ascent, msg, {1, 1, 1, 1});
    for (int y = 0; y < text.Height(); ++y) {
        float hue = std::fmod(4.0f * y / 256.0f, 1.0f) * 6;
        Rgba row{Clamp01(std::fabs(hue - 3) - 1), Clamp01(2 - std::fabs(hue - 2)),
                 Clamp01(2 - std::fabs(hue - 4)), 1};
        row = Mix(row, {1, 1, 1, 1}, 0.16f);
        for (int x = 0; x < text.Width(); ++x) {
            Rgba& p = text.At(x, y);
            p = {p.r * row.r, p.g * row.g, p.b * row.b, p.a};
        }
    }
    screen.Draw(text, 406 - text.Width() / 2, 219 - text.Height() / 2 - 406 / 6);
    return screen;
}

Canvas MakeContactSheet(const std::vector<Picture>& pictures,
                        const std::vector<BitmapFont>& fonts) {
    const int width = 2344, pad = 16;
    const BitmapFont& label = FontNamed(fonts, "mainfont1");
    // Flow layout: measure first, then draw.
    struct Place {
        const Picture* p;
        int x, y;
    };
    std::vector<Place> places;
    int x = pad, y = 480 + 3 * pad, rowHeight = 0;
    for (const Picture& p : pictures) {
        int w = std::max(p.image.Width(), label.StringWidth(p.name));
        if (x + w > width - pad) {
            x = pad;
            y += rowHeight + pad;
            rowHeight = 0;
        }
        places.push_back({&p, x, y});
        x += w + pad;
        rowHeight = std::max(rowHeight, p.image.Height() + label.strip.Height() + 4);
    }
    Canvas sheet(width, y + rowHeight + pad);
    Checkerboard(sheet, 8);
    sheet.Put(ComposeTitleScreen(pictures, fonts), pad, pad);
    sheet.Put(ComposeGameScreen(pictures, fonts), 640 + 2 * pad, pad);
    for (const Place& pl : places) {
        sheet.Draw(pl.p->image, pl.x, pl.y);
        label.DrawString(sheet, pl.x, pl.y + pl.p->image.Height() + label.ascent + 2, pl.p->name,
                         {1, 1, 1, 1});
    }
    return sheet;
}

}  // namespace Varn::DataGen
