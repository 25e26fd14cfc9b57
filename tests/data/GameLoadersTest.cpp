// The game's own loaders read what the generator writes: every picture through
// the image loader (with its mask rule), every effect through the sound
// loader, and the GIF pictures decode to the same pixels as an independent
// decoder's.
#include <gtest/gtest.h>

#include <algorithm>

#include "graphics/ImageFont.h"
#include "graphics/ImageLoader.h"
#include "graphics/MemoryImage.h"
#include "sound/MixerSoundManager.h"
#include "tests/data/GameDataReaders.h"

namespace gemlode_data_test {
namespace {

struct Expected {
    const char* name;
    int width;
    int height;
};

const Expected kSized[] = {{"zephyr-title", 640, 480},
                           {"titlegreenbar2", 340, 24},
                           {"zephyr-back", 640, 480},
                           {"gemsheet6", 780, 728},
                           {"target1", 312, 52},
                           {"waitbar", 32, 16},
                           {"over2-newgame-pushed1", 156, 41},
                           {"over3-normal-pushed1", 78, 31},
                           {"over7-normal-selected1", 78, 31},
                           {"over4-timetrial-pushed1", 78, 31},
                           {"over8-timetrial-selected1", 78, 31},
                           {"over5-options-pushed1", 156, 41},
                           {"over6-quit-pushed1", 156, 40},
                           {"timerbar", 340, 25},
                           {"sparkle", 560, 40},
                           {"over1-hint1", 53, 73},
                           {"checkbox1", 62, 32},
                           {"checkertextures2", 510, 51},
                           {"blackhole", 2304, 256},
                           {"elect", 128, 16},
                           {"editbox", 96, 32}};

const char* const kUnsized[] = {"afont1",       "mainfont1",  "cursor1",      "pointer2",
                                "overhand",     "typer",      "dialogbox2",   "boxbutton2",
                                "alphadigits4", "scorefont1", "slider-track", "slider-thumb",
                                "overfont2",    "holemask",   "swapper1",     "swapper2"};

std::string ImagePath(const std::string& name) {
    return GameDir() + "/images/" + name;
}

TEST(DataGameLoaders, ImageLoaderReadsEveryPictureAtItsSize) {
    for (const Expected& e : kSized) {
        std::unique_ptr<Varn::DecodedImage> img = Varn::LoadImage(ImagePath(e.name));
        ASSERT_TRUE(img) << e.name;
        EXPECT_EQ(img->width, e.width) << e.name;
        EXPECT_EQ(img->height, e.height) << e.name;
    }
    for (const char* name : kUnsized) {
        std::unique_ptr<Varn::DecodedImage> img = Varn::LoadImage(ImagePath(name));
        ASSERT_TRUE(img) << name;
        EXPECT_GT(img->width, 0) << name;
    }
}

TEST(DataGameLoaders, ImageLoaderAppliesTheMasks) {
    std::unique_ptr<Varn::DecodedImage> back = Varn::LoadImage(ImagePath("zephyr-back"));
    ASSERT_TRUE(back);
    auto alpha = [&](int x, int y) {
        return back->pixels[static_cast<size_t>(y) * back->width + x] >> 24;
    };
    EXPECT_EQ(alpha(406, 219), 0u) << "the board window shows the checkerboard";
    EXPECT_EQ(alpha(96, 162), 255u) << "the panel is opaque";
    std::unique_ptr<Varn::DecodedImage> hole = Varn::LoadImage(ImagePath("holemask"));
    ASSERT_TRUE(hole);
    EXPECT_GT(
        hole->pixels[static_cast<size_t>(hole->height / 2) * hole->width + hole->width / 2] >> 24,
        200u);
}

TEST(DataGameLoaders, GifPicturesDecodeAlikeInBothDecoders) {
    for (const char* file : {"holemask.gif", "_holemask.gif"}) {
        std::unique_ptr<Varn::DecodedImage> game = Varn::LoadGIFImage(ImagePath(file));
        std::optional<Picture> ours = ReadGif(ImagePath(file));
        ASSERT_TRUE(game) << file;
        ASSERT_TRUE(ours) << file;
        ASSERT_EQ(game->width, ours->width);
        ASSERT_EQ(game->height, ours->height);
        for (size_t i = 0; i < ours->pixels.size(); ++i)
            ASSERT_EQ(game->pixels[i], ours->pixels[i]) << file << " pixel " << i;
    }
}

TEST(DataGameLoaders, SoundLoaderReadsEveryEffect) {
    for (const char* name :
         {"gotset2",   "gotsetbig2", "combo22",     "combo32",  "combo42",    "combo52",   "bad2",
          "gemongem2", "explode2",   "click2",      "select",   "menuclick",  "multishot", "go1",
          "levelup1",  "gameover1",  "firecrackle", "warning1", "whirlpool1", "excellent1"}) {
        std::optional<Varn::PcmSample> s = Varn::LoadSoundFile(GameDir() + "/sounds/" + name);
        ASSERT_TRUE(s) << name;
        EXPECT_EQ(s->sampleRate, 44100) << name;
        EXPECT_GT(s->FrameCount(), 44100u / 50) << name;
    }
}

// The game's ImageFont takes each strip and descriptor: metrics come from the strip's
// height and the descriptor's ascent, and the texts it draws have width.
TEST(DataGameLoaders, ImageFontsReadEveryStripAndDescriptor) {
    for (const char* font : {"afont1", "mainfont1", "alphadigits4", "scorefont1", "overfont2"}) {
        std::unique_ptr<Varn::DecodedImage> decoded = Varn::LoadImage(ImagePath(font));
        ASSERT_TRUE(decoded) << font;
        Varn::MemoryImage strip(nullptr);
        strip.SetBits(decoded->pixels.get(), decoded->width, decoded->height);
        Varn::ImageFont f(&strip, GameDir() + "/data/" + font + ".txt");
        EXPECT_EQ(f.GetHeight(), decoded->height) << font;
        EXPECT_GT(f.GetAscent(), 0) << font;
        EXPECT_GT(f.StringWidth("0123456789"), 0) << font;
        int total = 0;
        for (int c = 33; c < 256; ++c)
            if (f.GlyphX(static_cast<unsigned char>(c)) >= 0)
                total = std::max(total, f.GlyphX(static_cast<unsigned char>(c)) +
                                            f.GlyphWidth(static_cast<unsigned char>(c)));
        EXPECT_EQ(total, decoded->width) << font;
    }
    Varn::MemoryImage none(nullptr);
    Varn::ImageFont text(&none, GameDir() + "/data/mainfont1.txt");
    EXPECT_EQ(text.StringWidth("Hello, world!"),
              text.StringWidth("Hello,") + text.StringWidth(" ") + text.StringWidth("world!"));
}

}  // namespace
}  // namespace gemlode_data_test
