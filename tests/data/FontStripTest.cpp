// The five bitmap fonts: descriptors in the game's format, strips whose glyph
// cells match them, light glyphs (so tinting works) and every character of
// every text the game draws in each font.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/data/GameDataReaders.h"

namespace gemlode_data_test {
namespace {

const char* const kFonts[] = {"afont1", "mainfont1", "alphadigits4", "scorefont1", "overfont2"};

// The texts the game draws in each font (numbers stand for "%d" values).
const std::map<std::string, std::vector<std::string>> kTexts = {
    {"afont1",
     {"New Game", "Quit", "Normal Mode", "Timed Mode", "OPEN BROWSER", "INSTRUCTIONS",
      "No Windowed Mode", "Continue Old Game?", "Options", "High Score", "HIGH SCORES", "GAME OVER",
      "CLICK HERE TO PLAY AGAIN", "CLICK HERE TO PLAY!", "*** GAME PAUSED ***",
      "Click Here to Continue!", "+1234567890", "0123456789"}},
    {"mainfont1",
     {"Are you sure you want to end\nthe current game?",
      "Are you sure you want to\nquit the game?\n\nYour current game in progress\nwill be saved "
      "so you can\ncontinue next time.",
      "You must end the current game\nto switch to normal mode. Ok?",
      "Swap adjacent gems to create rows of 3 or more!",
      "Opening Browser ...",
      "Please open the following URL in your browser:\nhttp://www.example.com/a_b-c?x=1&y=2%20",
      "Windowed mode is only available if your desktop is running in either 16 bit or 32 bit "
      "color mode, which it is not.",
      "Do you want to continue your last game? Your position was saved when you quit. If you "
      "do not continue now, that game will be lost.",
      "OBJECT OF THE GAME - Swap adjacent gems... CASCADES - You'll get extra points for "
      "creating chain reactions or 'cascades' of two or more sets. TIMETRIAL - Press any key!",
      "TIP- You can click and drag a gem instead of clicking twice",
      "GAME DURATION",
      "GEMS CLEARED",
      "LONGEST CASCADE",
      "BEST SINGLE MOVE",
      " 1.05",
      "60.00",
      "NORMAL",
      "TIMED",
      "TODAY'S HIGH SCORE",
      "- Empty -",
      "ALL TIME HIGH SCORES",
      "Vesk Arlo Mirren Tobin Toma Oswin Kestrel Piers Dashiel Ilo",
      "You got the highest score of\nthe day and 1st place\nof all time!",
      "2nd 3rd 4th 11th",
      "Enter Your Name",
      "Music",
      "Sound Fx",
      "Fullscreen",
      "Custom Cursors",
      "Help",
      "High Scores",
      "Check for Updates",
      "DONE",
      "YES",
      "NO",
      "OK",
      "CANCEL",
      "Version 1.0.0",
      "Failed to create high score file!"}},
    {"alphadigits4", {"0123456789", "-15"}},
    {"scorefont1", {"0123456789"}},
    {"overfont2", {"GO!", "EXCELLENT!", "LEVEL 10", "NO MOVES!", "TIME UP!"}},
};

std::string DescriptorPath(const std::string& font) {
    return GameDir() + "/data/" + font + ".txt";
}

TEST(DataFontStrips, DescriptorsMatchTheirStrips) {
    for (const char* font : kFonts) {
        SCOPED_TRACE(font);
        FontDescriptor fd = ReadFontDescriptor(DescriptorPath(font));
        ASSERT_TRUE(fd.read);
        std::optional<Picture> strip = LoadGamePicture(font);
        ASSERT_TRUE(strip);
        int total = 0;
        for (int c = 33; c < 256; ++c)
            if (fd.x[c] >= 0) total = std::max(total, fd.x[c] + fd.width[c]);
        EXPECT_EQ(total, strip->width) << "glyph cells fill the strip exactly";
        EXPECT_GT(fd.spaceAdvance, 0);
        EXPECT_GT(fd.ascent, 0);
        EXPECT_LE(fd.ascent, strip->height);
    }
}

TEST(DataFontStrips, EveryGlyphCellHasLightInk) {
    for (const char* font : kFonts) {
        SCOPED_TRACE(font);
        FontDescriptor fd = ReadFontDescriptor(DescriptorPath(font));
        std::optional<Picture> strip = LoadGamePicture(font);
        ASSERT_TRUE(strip);
        for (int c = 33; c < 256; ++c) {
            if (fd.x[c] < 0) continue;
            int brightest = 0;
            for (int y = 0; y < strip->height; ++y)
                for (int x = fd.x[c]; x < fd.x[c] + fd.width[c]; ++x)
                    if (strip->Alpha(x, y) > 128)
                        brightest = std::max(brightest, strip->Green(x, y));
            EXPECT_GT(brightest, 200) << "character " << static_cast<char>(c);
        }
    }
}

TEST(DataFontStrips, EveryTextTheGameDrawsHasItsCharacters) {
    for (const auto& [font, texts] : kTexts) {
        FontDescriptor fd = ReadFontDescriptor(DescriptorPath(font));
        ASSERT_TRUE(fd.read) << font;
        for (const std::string& text : texts)
            for (char c : text) {
                if (c == ' ' || c == '\n') continue;
                EXPECT_GT(fd.width[fd.Lookup(c)], 0)
                    << font << " lacks '" << c << "' of \"" << text << "\"";
            }
    }
}

// Players type names in the text font; dialogs may show any address or name.
TEST(DataFontStrips, TextFontsCoverAllPrintableCharacters) {
    for (const char* font : {"afont1", "mainfont1"}) {
        FontDescriptor fd = ReadFontDescriptor(DescriptorPath(font));
        for (int c = 33; c < 127; ++c) EXPECT_GT(fd.width[c], 0) << font << " character " << c;
    }
}

TEST(DataFontStrips, TextsFitWhereTheGameDrawsThem) {
    FontDescriptor title = ReadFontDescriptor(DescriptorPath("afont1"));
    EXPECT_LE(title.StringWidth("CLICK HERE TO PLAY AGAIN"), 286) << "fits its link";
    EXPECT_LE(title.StringWidth("HIGH SCORES"), 434);
    FontDescriptor over = ReadFontDescriptor(DescriptorPath("overfont2"));
    EXPECT_LE(over.StringWidth("EXCELLENT!"), 406) << "messages fit the board";
    FontDescriptor text = ReadFontDescriptor(DescriptorPath("mainfont1"));
    EXPECT_GE(text.StringWidth("MMMMMMMM"), 60) << "a name of a few letters fits 104 pixels";
    EXPECT_LE(text.StringWidth("Mirren"), 104);
}

}  // namespace
}  // namespace gemlode_data_test
