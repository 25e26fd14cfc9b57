// The five bitmap fonts: descriptors in the game's format, strips whose glyph
// cells match them, light glyphs (so tinting works) and every character of
// every text the game draws in each font.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

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
            // Tinting multiplies: the fills end at about 80% white at the baseline, and the
            // tiny superscripts of Latin-1 are mostly edge pixels.
            EXPECT_GT(brightest, 190) << "character " << c;
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

// Names may hold any printable Latin-1 letter: the fonts that draw and type
// them have a glyph for each (the no-break space and soft hyphen excepted).
TEST(DataFontStrips, TextFontsCoverPrintableLatin1) {
    for (const char* font : {"afont1", "mainfont1"}) {
        FontDescriptor fd = ReadFontDescriptor(DescriptorPath(font));
        for (int c = 161; c < 256; ++c) {
            if (c == 173) continue;
            EXPECT_GT(fd.width[c], 0) << font << " character " << c;
        }
    }
}

// Every fixed text the game draws, measured in its font against the room it has
// where the game draws it, less a margin on each side. The open game-over panel
// spans x 202-609 (the board window of the background picture); game-over and
// high-score columns are 238 and 180 pixels apart; counts are measured at five
// digits and durations at "99.59".
struct TextPlace {
    const char* font;
    std::string text;
    int room;
    const char* place;
};

constexpr int kMargin = 4;
constexpr int kPanelCentreRoom = 2 * (610 - kMargin - 408);  // centred at 408
constexpr int kSmallDialogText = 316 - 48 - 4;               // 316 wide, insets 24
constexpr int kSmallDialogHeader = 316 - 48;
constexpr int kTwoButtonLabel = (316 - 48 - 8) / 2 - 16;  // less the button's end caps
constexpr int kOptionsButtonLabel = (348 - 60) / 3 - 16;

std::vector<TextPlace> FixedTexts() {
    std::vector<TextPlace> all = {
        {"afont1", "GAME OVER", kPanelCentreRoom, "game-over title"},
        {"afont1", "HIGH SCORES", 434 - 2 * kMargin, "game-over band"},
        {"afont1", "CLICK HERE TO PLAY AGAIN", 286 - 2 * kMargin, "play-again link"},
        {"afont1", "*** GAME PAUSED ***", 2 * (610 - kMargin - 406), "pause text"},
        {"afont1", "Click Here to Continue!", 2 * (610 - kMargin - 406), "pause text"},
        {"afont1", "99", 34 - 2 * kMargin, "level plate"},
        {"afont1", "+99999", 2 * (91 - kMargin), "move bonus in the left panel"},
        {"afont1", "New Game", kSmallDialogHeader, "dialog 0 header"},
        {"afont1", "Quit", kSmallDialogHeader, "dialog 1 header"},
        {"afont1", "Normal Mode", kSmallDialogHeader, "dialog 3 header"},
        {"afont1", "Timed Mode", kSmallDialogHeader, "dialog 4 header"},
        {"afont1", "High Score", kSmallDialogHeader, "name-entry header"},
        {"afont1", "No Windowed Mode", kSmallDialogHeader, "dialog 12 header"},
        {"afont1", "Continue Old Game?", kSmallDialogHeader, "dialog 16 header"},
        {"afont1", "Options", 348 - 48, "options header"},
        {"afont1", "HIGH SCORES", 428 - 48, "high-score dialog header"},
        {"afont1", "OPEN BROWSER", 440 - 48, "dialog 11 header"},
        {"afont1", "INSTRUCTIONS", 576 - 48, "instructions header"},
        {"mainfont1", "GAME DURATION", 341 - 202 - kMargin, "game-over statistics"},
        {"mainfont1", "GEMS CLEARED", 341 - 202 - kMargin, "game-over statistics"},
        {"mainfont1", "LONGEST CASCADE", 546 - 382 - kMargin, "game-over statistics"},
        {"mainfont1", "BEST SINGLE MOVE", 546 - 382 - kMargin, "game-over statistics"},
        {"mainfont1", "99.59", 382 - 341 - kMargin, "game duration value"},
        {"mainfont1", "99999", 382 - 341 - kMargin, "gems cleared value"},
        {"mainfont1", "99999", 587 - 546 - kMargin, "best move value"},
        {"mainfont1", "Music", 136 - 32 - kMargin, "options label"},
        {"mainfont1", "Sound Fx", 136 - 32 - kMargin, "options label"},
        {"mainfont1", "Fullscreen", 146 - 66 - kMargin, "options label"},
        {"mainfont1", "Custom Cursors", 348 - 24 - 180, "options label"},
        {"mainfont1", "Help", kOptionsButtonLabel, "options button"},
        {"mainfont1", "High Scores", kOptionsButtonLabel, "options button"},
        {"mainfont1", "YES", kTwoButtonLabel, "dialog button"},
        {"mainfont1", "NO", kTwoButtonLabel, "dialog button"},
        {"mainfont1", "OK", kTwoButtonLabel, "dialog button"},
        {"mainfont1", "CANCEL", kTwoButtonLabel, "dialog button"},
        {"mainfont1", "DONE", 316 - 48 - 16, "dialog button"},
        {"mainfont1", "Swap adjacent gems to create rows of 3 or more!", 418 - 32 - 4,
         "start tip, one line"},
        {"mainfont1", "Opening Browser ...", 280 - 32 - 4, "dialog 10"},
        {"mainfont1", "Please open the following URL in your browser:", 440 - 48 - 4, "dialog 11"},
        {"mainfont1", "Enter Your Name", kSmallDialogText, "name-entry label"},
        {"overfont2", "EXCELLENT!", 416 - 2 * kMargin, "board message"},
        {"overfont2", "NO MOVES!", 416 - 2 * kMargin, "board message"},
        {"overfont2", "LEVEL 99", 416 - 2 * kMargin, "board message"},
        {"overfont2", "TIME UP!", 416 - 2 * kMargin, "board message"},
        {"scorefont1", "9999999", 2 * (93 - 20 - kMargin), "score plate"},
    };
    for (const char* tip : {"TIP- You can click and drag a gem instead of clicking twice",
                            "TIP- Fill the bonus bar to proceed to higher-scoring levels",
                            "TIP- Make cascades of chain-reacting gems for extra points",
                            "TIP- Create rows of 4 or 5 gems for extra points",
                            "TIP- Complete 2 rows with one move for bonus points",
                            "TIP- Replenish the bonus bar in Timetrial by scoring combos",
                            "TIP- You can click and drag a gem to swap it with another",
                            "TIP- Press any key to pause the game in Timetrial mode",
                            "TIP- Visit zandrel.example for more great games"})
        all.push_back({"mainfont1", tip, kPanelCentreRoom, "game-over tip"});
    for (const char* heading :
         {"NORMAL", "TIMED", "TODAY'S HIGH SCORE", "- Empty -", "ALL TIME HIGH SCORES"}) {
        all.push_back({"mainfont1", heading, 238 - 2 * kMargin, "game-over column heading"});
        all.push_back({"mainfont1", heading, 2 * (610 - kMargin - 525), "game-over right column"});
        all.push_back({"mainfont1", heading, 180 - 2 * kMargin, "high-score dialog heading"});
    }
    // The explicit lines of the 316-wide message dialogs keep their breaks.
    for (const char* line :
         {"Are you sure you want to end", "the current game?", "Are you sure you want to",
          "quit the game?", "Your current game in progress", "will be saved so you can",
          "continue next time.", "You must end the current game", "to switch to normal mode. Ok?",
          "to switch to timed mode. Ok?", "You got the highest score of", "the day and 3rd place",
          "of all time!", "You got the highest score", "of the day!",
          "You got 3rd place of all time!"})
        all.push_back({"mainfont1", line, kSmallDialogText, "message dialog line"});
    return all;
}

TEST(DataFontStrips, FixedTextsFitWhereTheGameDrawsThem) {
    std::map<std::string, FontDescriptor> fonts;
    for (const char* font : kFonts) fonts[font] = ReadFontDescriptor(DescriptorPath(font));
    for (const TextPlace& t : FixedTexts()) {
        const FontDescriptor& fd = fonts[t.font];
        ASSERT_TRUE(fd.read) << t.font;
        EXPECT_LE(fd.StringWidth(t.text), t.room)
            << "\"" << t.text << "\" in " << t.font << " (" << t.place << ")";
    }
    FontDescriptor text = fonts["mainfont1"];
    EXPECT_GE(text.StringWidth("MMMMMMMM"), 52) << "capitals at the face's own advance, not shrunk";
    EXPECT_LE(text.StringWidth("Mirren"), 104);
}

}  // namespace
}  // namespace gemlode_data_test
