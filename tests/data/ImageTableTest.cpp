// Every picture of the game's image table: present, readable by the game's
// loading rules, of the size and cell layout the game cuts and draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "tests/data/GameDataReaders.h"

namespace gemlode_data_test {
namespace {

struct Expected {
    const char* name;
    int width;   // 0: any width
    int height;  // 0: any height
};

// Image table entries with the sizes the drawing code relies on.
const Expected kTable[] = {
    {"zephyr-title", 640, 480},
    {"titlegreenbar2", 340, 24},
    {"afont1", 0, 0},
    {"mainfont1", 0, 0},
    {"cursor1", 0, 0},
    {"pointer2", 0, 0},
    {"overhand", 0, 0},
    {"typer", 0, 0},
    {"zephyr-back", 640, 480},
    {"gemsheet6", 780, 728},
    {"target1", 312, 52},
    {"dialogbox2", 0, 0},
    {"boxbutton2", 0, 0},
    {"waitbar", 32, 16},
    {"over2-newgame-pushed1", 156, 41},
    {"over3-normal-pushed1", 78, 31},
    {"over7-normal-selected1", 78, 31},
    {"over4-timetrial-pushed1", 78, 31},
    {"over8-timetrial-selected1", 78, 31},
    {"over5-options-pushed1", 156, 41},
    {"over6-quit-pushed1", 156, 40},
    {"timerbar", 340, 25},
    {"alphadigits4", 0, 0},
    {"sparkle", 560, 40},
    {"scorefont1", 0, 0},
    {"over1-hint1", 53, 73},
    {"slider-track", 0, 0},
    {"slider-thumb", 32, 0},
    {"checkbox1", 62, 32},
    {"checkertextures2", 510, 51},
    {"overfont2", 0, 0},
    {"blackhole", 2304, 256},
    {"holemask", 0, 0},
    {"elect", 128, 16},
    {"editbox", 96, 32},
    {"swapper1", 0, 0},
    {"swapper2", 0, 0},
};

TEST(DataImageTable, EveryPictureLoadsWithItsSize) {
    for (const Expected& e : kTable) {
        SCOPED_TRACE(e.name);
        std::optional<Picture> p = LoadGamePicture(e.name);
        ASSERT_TRUE(p.has_value());
        EXPECT_GT(p->width, 0);
        EXPECT_GT(p->height, 0);
        if (e.width) {
            EXPECT_EQ(p->width, e.width);
        }
        if (e.height) {
            EXPECT_EQ(p->height, e.height);
        }
    }
}

TEST(DataImageTable, EachNameHasExactlyOnePictureFile) {
    for (const Expected& e : kTable) {
        SCOPED_TRACE(e.name);
        std::string base = GameDir() + "/images/" + e.name;
        int found =
            FileExists(base + ".jpg") + FileExists(base + ".png") + FileExists(base + ".gif");
        EXPECT_EQ(found, 1);
    }
}

TEST(DataImageTable, AllThreeFormatsAreUsed) {
    std::optional<Picture> title = LoadGamePicture("zephyr-title");
    ASSERT_TRUE(title);
    EXPECT_NE(title->file.find(".jpg"), std::string::npos);
    EXPECT_FALSE(title->masked);
    // An alpha picture stored as JPEG with a grey-scale underscore mask.
    std::optional<Picture> back = LoadGamePicture("zephyr-back");
    ASSERT_TRUE(back);
    EXPECT_NE(back->file.find(".jpg"), std::string::npos);
    EXPECT_TRUE(back->masked);
    // A picture and its mask as GIF, decoded by a GIF reader of our own.
    std::optional<Picture> hole = LoadGamePicture("holemask");
    ASSERT_TRUE(hole);
    EXPECT_NE(hole->file.find(".gif"), std::string::npos);
    EXPECT_TRUE(hole->masked);
    EXPECT_TRUE(ReadPng(GameDir() + "/images/gemsheet6.png").has_value());
}

TEST(DataImageTable, ThreeByThreeGridsDivideEvenly) {
    for (const char* name : {"dialogbox2", "boxbutton2"}) {
        std::optional<Picture> p = LoadGamePicture(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(p->width % 3, 0) << name;
        EXPECT_EQ(p->height % 3, 0) << name;
    }
    std::optional<Picture> track = LoadGamePicture("slider-track");
    ASSERT_TRUE(track);
    EXPECT_EQ(track->width % 3, 0);
}

// A dialog opened over another must hide the labels below its text.
TEST(DataImageTable, DialogBodyIsNearlyOpaque) {
    std::optional<Picture> p = LoadGamePicture("dialogbox2");
    ASSERT_TRUE(p);
    int inset = p->width / 6;  // inside the rim and its rounded corners
    int leastAlpha = 255;
    for (int y = inset; y < p->height - inset; ++y)
        for (int x = inset; x < p->width - inset; ++x)
            leastAlpha = std::min(leastAlpha, p->Alpha(x, y));
    EXPECT_GE(leastAlpha, 240);
}

bool CellHasInk(const Picture& p, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (p.Alpha(x, y) > 0 && (p.Red(x, y) | p.Green(x, y) | p.Blue(x, y)) != 0) return true;
    return false;
}

TEST(DataGemSheet, CellsHoldGemsAndNothingLiesBetweenThem) {
    std::optional<Picture> p = LoadGamePicture("gemsheet6");
    ASSERT_TRUE(p);
    auto insideCell = [](int x, int y) {
        int col = (x - 2) / 52, row = y / 52;
        return x >= 2 && col < 15 && (x - 2) % 52 < 49 && row < 14 && y % 52 < 49;
    };
    for (int y = 0; y < p->height; ++y)
        for (int x = 0; x < p->width; ++x)
            if (!insideCell(x, y)) {
                ASSERT_EQ(p->Alpha(x, y), 0) << x << "," << y;
            }
    for (int k = 0; k < 7; ++k)
        for (int s = 0; s < 15; ++s) {
            EXPECT_GT(p->Alpha(2 + 52 * s + 24, 104 * k + 24), 200) << "spin " << k << "/" << s;
            EXPECT_GT(p->Alpha(2 + 52 * s + 24, 104 * k + 52 + 24), 200)
                << "glow " << k << "/" << s;
        }
}

// Resting gems must differ in shape (silhouette) and in colour for colour-blind players.
TEST(DataGemSheet, KindsDifferInShapeAndColour) {
    std::optional<Picture> p = LoadGamePicture("gemsheet6");
    ASSERT_TRUE(p);
    std::vector<std::vector<bool>> shapes(7);
    std::vector<std::array<double, 3>> colours(7);
    for (int k = 0; k < 7; ++k) {
        double r = 0, g = 0, b = 0, n = 0;
        for (int y = 0; y < 49; ++y)
            for (int x = 0; x < 49; ++x) {
                bool in = p->Alpha(2 + x, 104 * k + y) > 128;
                shapes[k].push_back(in);
                if (in) {
                    r += p->Red(2 + x, 104 * k + y);
                    g += p->Green(2 + x, 104 * k + y);
                    b += p->Blue(2 + x, 104 * k + y);
                    ++n;
                }
            }
        colours[k] = {r / n, g / n, b / n};
    }
    for (int a = 0; a < 7; ++a)
        for (int b = a + 1; b < 7; ++b) {
            int differing = 0;
            for (size_t i = 0; i < shapes[a].size(); ++i) differing += shapes[a][i] != shapes[b][i];
            EXPECT_GT(differing, 100) << "silhouettes of kinds " << a << " and " << b;
            double dist = std::hypot(colours[a][0] - colours[b][0], colours[a][1] - colours[b][1],
                                     colours[a][2] - colours[b][2]);
            EXPECT_GT(dist, 60) << "colours of kinds " << a << " and " << b;
        }
}

TEST(DataGameScreen, BoardWindowIsClearAndPanelIsOpaque) {
    std::optional<Picture> p = LoadGamePicture("zephyr-back");
    ASSERT_TRUE(p);
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            for (int dy : {2, 24, 46})
                for (int dx : {2, 24, 46})
                    ASSERT_LT(p->Alpha(203 + 51 * c + dx, 16 + 51 * r + dy), 8) << c << "," << r;
    // Resting look of the six game-screen buttons, the score plate, the bonus-bar
    // slot and the level plate are painted opaque.
    const int spots[][2] = {{96, 162},  {57, 200},  {135, 200}, {96, 261}, {96, 425},  {90, 340},
                            {93, 95},   {407, 456}, {606, 458}, {20, 20},  {630, 470}, {200, 220},
                            {611, 220}, {406, 14},  {406, 425}};  // around the squares
    for (auto s : spots) EXPECT_EQ(p->Alpha(s[0], s[1]), 255) << s[0] << "," << s[1];
}

TEST(DataGameScreen, LevelPlateIsLightForBlackDigits) {
    std::optional<Picture> p = LoadGamePicture("zephyr-back");
    ASSERT_TRUE(p);
    EXPECT_GT(p->Red(606, 458) + p->Green(606, 458) + p->Blue(606, 458), 3 * 180);
}

TEST(DataCheckerTextures, LightCellsAreLighterAndAllAreNeutral) {
    std::optional<Picture> p = LoadGamePicture("checkertextures2");
    ASSERT_TRUE(p);
    for (int t = 0; t < 5; ++t) {
        double light = 0, dark = 0;
        for (int y = 0; y < 51; ++y)
            for (int x = 0; x < 51; ++x) {
                light += p->Red(102 * t + x, y);
                dark += p->Red(102 * t + 51 + x, y);
                EXPECT_EQ(p->Red(102 * t + x, y), p->Blue(102 * t + x, y));
                EXPECT_EQ(p->Alpha(102 * t + x, y), 255);
            }
        EXPECT_GT(light, dark * 1.15) << "texture " << t;
        EXPECT_GT(dark / (51 * 51), 120) << "texture " << t << " stays light enough to tint";
    }
}

TEST(DataAnimationStrips, EveryCellHasContent) {
    struct Strip {
        const char* name;
        int cell;
        int count;
    };
    for (Strip s :
         {Strip{"target1", 52, 6}, Strip{"sparkle", 40, 14}, Strip{"blackhole", 256, 9}}) {
        std::optional<Picture> p = LoadGamePicture(s.name);
        ASSERT_TRUE(p) << s.name;
        for (int i = 0; i < s.count; ++i)
            EXPECT_TRUE(CellHasInk(*p, s.cell * i, 0, s.cell, p->height))
                << s.name << " cell " << i;
    }
}

// Additive pictures: black means nothing is added, so their borders are black.
TEST(DataAnimationStrips, AdditivePicturesHaveBlackBorders) {
    for (const char* name : {"sparkle", "blackhole", "elect"}) {
        std::optional<Picture> p = LoadGamePicture(name);
        ASSERT_TRUE(p) << name;
        for (int x = 0; x < p->width; ++x) {
            EXPECT_EQ(p->At(x, 0) & 0xFFFFFF, 0u) << name << " x " << x;
            EXPECT_EQ(p->At(x, p->height - 1) & 0xFFFFFF, 0u) << name << " x " << x;
        }
    }
}

TEST(DataSmallPictures, MasksAndBarsSuitTheirUse) {
    std::optional<Picture> hole = LoadGamePicture("holemask");
    ASSERT_TRUE(hole);
    EXPECT_GT(hole->Alpha(hole->width / 2, hole->height / 2), 200);
    EXPECT_EQ(hole->Alpha(0, 0), 0);
    std::optional<Picture> bar = LoadGamePicture("timerbar");
    ASSERT_TRUE(bar);
    double sum = 0;
    for (int x = 0; x < 340; ++x) sum += bar->Green(x, 12);
    EXPECT_GT(sum / 340, 150) << "the timer bar is light so that tinting shows its colour";
    std::optional<Picture> box = LoadGamePicture("checkbox1");
    ASSERT_TRUE(box);
    int differing = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 31; ++x) differing += box->At(x, y) != box->At(31 + x, y);
    EXPECT_GT(differing, 40) << "checked and unchecked halves differ";
}

TEST(DataResources, CursorsAndIconExist) {
    for (const char* name : {"IDC_FINGER", "IDC_DRAGGING", "IDI_MAIN_ICON"}) {
        std::optional<Picture> p = ReadPng(GameDir() + "/resources/" + name + ".png");
        ASSERT_TRUE(p) << name;
        EXPECT_LE(p->width, 64);
        EXPECT_TRUE(CellHasInk(*p, 0, 0, p->width, p->height)) << name;
    }
    EXPECT_TRUE(FileExists(GameDir() + "/resources/cursors.txt"));
}

}  // namespace
}  // namespace gemlode_data_test
