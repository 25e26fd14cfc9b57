// DDInterface and DDImage: Init's result codes and layouts, the 5-6-5 arithmetic, colour
// keys, read-back, surfaces around a second Init, presentation of changed rows.
#include <gtest/gtest.h>

#include "DisplayTestSupport.h"
#include "graphics/Graphics.h"
#include "graphics/ImageRegistry.h"
#include "graphics/SysFont.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace Varn::DisplayTest {
namespace {

TEST(DisplayDeviceTest, ResultNamesAreSpelledExactlyAndUnknownOtherwise) {
    DDInterface device(nullptr, 640, 480);
    EXPECT_EQ(device.ResultToString(RESULT_OK), "RESULT_OK");
    EXPECT_EQ(device.ResultToString(RESULT_INVALID_COLORDEPTH), "RESULT_INVALID_COLORDEPTH");
    EXPECT_EQ(device.ResultToString(7), "RESULT_UNKNOWN");
    EXPECT_EQ(device.ResultToString(-1), "RESULT_UNKNOWN");
}

TEST(DisplayDeviceTest, DesktopPixelSizeChoosesTheWindowedDepth) {
    EXPECT_EQ(Display(16).device.GetBitDepth(), 16);
    EXPECT_EQ(Display(32).device.GetBitDepth(), 32);
    for (int bytes : {1, 3}) {
        HeadlessWindow window;
        window.desktopBytesPerPixel = bytes;
        window.Create("t", 8, 8, false);
        DDInterface device(nullptr, 8, 8);
        EXPECT_EQ(device.Init(&window, true), RESULT_INVALID_COLORDEPTH) << bytes;
        EXPECT_FALSE(device.Redraw());
        EXPECT_EQ(device.GetScreenImage(), nullptr);
    }
}

TEST(DisplayDeviceTest, FullScreenDrawsAtTheWindowsDepthAndElseInFiveSixFive) {
    const std::pair<int, PixelFormat> cases[] = {
        {4, PixelFormat::kXrgb8888}, {2, PixelFormat::kRgb565}, {3, PixelFormat::kRgb565}};
    for (const auto& [bytes, format] : cases) {
        HeadlessWindow window;
        window.desktopBytesPerPixel = bytes;
        window.Create("t", 8, 8, true);
        DDInterface device(nullptr, 8, 8);
        ASSERT_EQ(device.Init(&window, false), RESULT_OK);
        ASSERT_TRUE(device.Redraw());
        EXPECT_EQ(window.lastFrame.format, format) << bytes;
    }
}

TEST(DisplayDeviceTest, NoWindowIsACreateFailure) {
    HeadlessWindow window;  // never created
    DDInterface device(nullptr, 8, 8);
    EXPECT_EQ(device.Init(&window, true), RESULT_DD_CREATE_FAIL);
    EXPECT_EQ(device.Init(nullptr, true), RESULT_DD_CREATE_FAIL);
}

TEST(DisplayDeviceTest, FiveSixFiveShiftsBitCountsAndSaturationTables) {
    Display d(16);
    const DisplayFormat& f = d.device.GetFormat();
    EXPECT_EQ(f.red.shift, 11);
    EXPECT_EQ(f.green.shift, 5);
    EXPECT_EQ(f.blue.shift, 0);
    EXPECT_EQ(f.red.bits, 5);
    EXPECT_EQ(f.green.bits, 6);
    EXPECT_EQ(f.blue.bits, 5);
    // Twice the maximum plus one: the sum of two full channels is a valid index.
    EXPECT_EQ(f.red.saturation.size(), 63u);
    EXPECT_EQ(f.green.saturation.size(), 127u);
    EXPECT_EQ(f.blue.saturation.size(), 63u);
    EXPECT_EQ(f.red.saturation[30], 30);
    EXPECT_EQ(f.red.saturation[62], 31);
    EXPECT_EQ(f.green.saturation[126], 63);
}

TEST(DisplayDeviceTest, ConvertColorScalesEachChannelByItsMask) {
    Display d16(16), d32(32);
    EXPECT_EQ(d16.device.ConvertColor(Packed(255, 255, 255)), 0xFFFFu);
    EXPECT_EQ(d16.device.ConvertColor(Packed(8, 4, 9)), Rgb565(0, 0, 1));
    EXPECT_EQ(d32.device.ConvertColor(Packed(1, 2, 3, 4)), Xrgb(1, 2, 3));
}

TEST(DDImageTest, SixteenBitWhiteReadsBackWithHalfStep) {
    Display d(16, 4, 2);
    d.FillRaw(0xFFFF);
    d.SetRaw(1, 0, 0);
    const uint32_t* bits = d.Screen().GetBits();
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[0], Packed(252, 254, 252));
    EXPECT_EQ(bits[1], Packed(4, 2, 4));
}

TEST(DDImageTest, ThirtyTwoBitReadsBackExactly) {
    Display d(32, 4, 2);
    d.SetRaw(0, 0, 0xFF000000u | Xrgb(7, 128, 255));
    EXPECT_EQ(d.Screen().GetBits()[0], Packed(7, 128, 255));
}

// A loaded picture held only in its surface: at 32 bits its pixels read back as they were
// (keyed ones transparent) and its premultiplied copy is the one they give; at 16 bits,
// where reading back loses steps, the pixels stay.
TEST(DDImageTest, BitsReleasedToTheSurfaceReadBackExactlyAtThirtyTwoBits) {
    const std::vector<uint32_t> pixels{Packed(7, 128, 255), Packed(0, 0, 0, 0), Packed(1, 2, 3)};
    Display d16(16), d32(32);
    DDImage kept(&d16.device), released(&d32.device);
    for (DDImage* image : {&kept, &released}) {
        image->SetBits(pixels.data(), 3, 1);
        ASSERT_TRUE(image->GenerateSurface());
    }
    EXPECT_FALSE(kept.ReleaseBitsToSurface());
    ASSERT_TRUE(released.ReleaseBitsToSurface());
    MemoryImage plain(nullptr);
    plain.SetBits(pixels.data(), 3, 1);
    const PixelLayout& l = d32.device.GetFormat().layout;
    const uint32_t* native = released.GetNativeAlphaData(32, l.redMask, l.greenMask, l.blueMask);
    const uint32_t* expected = plain.GetNativeAlphaData(32, l.redMask, l.greenMask, l.blueMask);
    EXPECT_TRUE(std::equal(native, native + 3, expected));
    EXPECT_FALSE(released.HasBits());
    ASSERT_EQ(d32.device.Init(&d32.window, true), RESULT_OK);  // as a full-screen switch does
    EXPECT_FALSE(released.HasBits());
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), released.GetBits()));
}

TEST(DDImageTest, TransparentBlackWithoutOpaqueBlackGetsKeyZero) {
    for (int depth : {16, 32}) {
        Display d(depth);
        DDImage image(&d.device);
        std::vector<uint32_t> pixels{Packed(0, 0, 0, 0), Packed(255, 0, 0), Packed(0, 0, 0, 0)};
        image.SetBits(pixels.data(), 3, 1);
        ASSERT_TRUE(image.GenerateSurface());
        ASSERT_TRUE(image.GetSurface()->HasColorKey());
        EXPECT_EQ(image.GetSurface()->GetColorKey(), 0u) << depth;
    }
}

TEST(DDImageTest, KeyAvoidsEveryValueAnOpaquePixelUses) {
    Display d16(16), d32(32);
    // Opaque black and an opaque pixel converting to the next value up.
    std::vector<uint32_t> pixels16{Packed(0, 0, 0, 0), Packed(0, 0, 0), Packed(0, 0, 9)};
    DDImage a(&d16.device);
    a.SetBits(pixels16.data(), 3, 1);
    ASSERT_TRUE(a.GenerateSurface());
    EXPECT_EQ(a.GetSurface()->GetColorKey(), 2u);
    std::vector<uint32_t> pixels32{Packed(0, 0, 0, 0), Packed(0, 0, 0), Packed(1, 0, 0)};
    DDImage b(&d32.device);
    b.SetBits(pixels32.data(), 3, 1);
    ASSERT_TRUE(b.GenerateSurface());
    EXPECT_EQ(b.GetSurface()->GetColorKey(), Xrgb(2, 0, 0));
}

TEST(DDImageTest, OpaquePictureHasNoKey) {
    Display d(32);
    DDImage image(&d.device);
    std::vector<uint32_t> pixels{Packed(1, 2, 3), Packed(4, 5, 6)};
    image.SetBits(pixels.data(), 2, 1);
    ASSERT_TRUE(image.GenerateSurface());
    EXPECT_FALSE(image.GetSurface()->HasColorKey());
}

TEST(DDImageTest, PartialAlphaNeverObtainsASurface) {
    Display d(32);
    DDImage image(&d.device);
    std::vector<uint32_t> pixels{Packed(1, 2, 3, 128), Packed(4, 5, 6)};
    image.SetBits(pixels.data(), 2, 1);
    EXPECT_FALSE(image.GenerateSurface());
    EXPECT_EQ(image.GetSurface(), nullptr);
    // Drawing into it happens in memory.
    image.FillRect(Rect(0, 0, 1, 1), Color(9, 8, 7), DrawMode::Normal);
    EXPECT_EQ(image.GetBits()[0], Packed(9, 8, 7));
}

TEST(DDImageTest, KeyedSurfaceIsCopiedWithoutItsTransparentPixels) {
    for (int depth : {16, 32}) {
        Display d(depth);
        uint32_t grey = depth == 16 ? Rgb565(3, 3, 3) : Xrgb(3, 3, 3);
        d.FillRaw(grey);
        DDImage sprite(&d.device);
        std::vector<uint32_t> pixels{Packed(0, 0, 0, 0), Packed(255, 255, 255), Packed(0, 0, 0)};
        sprite.SetBits(pixels.data(), 3, 1);
        ASSERT_TRUE(sprite.GenerateSurface());
        d.Screen().Blt(&sprite, 5, 5, Rect(0, 0, 3, 1), Color::White, DrawMode::Normal);
        EXPECT_EQ(d.Raw(5, 5), grey);
        EXPECT_EQ(d.Raw(6, 5), depth == 16 ? 0xFFFFu : Xrgb(255, 255, 255));
        EXPECT_EQ(d.Raw(7, 5), 0u);
    }
}

TEST(DDImageTest, SurfaceDrawingFreesMemoryPixelsAndReadBackSeesTheDrawing) {
    Display d(32);
    DDImage image(&d.device);
    std::vector<uint32_t> pixels(4, Packed(10, 20, 30));
    image.SetBits(pixels.data(), 2, 2);
    image.FillRect(Rect(0, 0, 1, 1), Color(255, 0, 0), DrawMode::Additive);
    EXPECT_TRUE(image.HasSurface());
    EXPECT_EQ(image.GetBits()[0], Packed(255, 20, 30));
    EXPECT_EQ(image.GetBits()[3], Packed(10, 20, 30));
}

TEST(DDImageTest, SecondInitGivesEverySurfacedImageItsSurfaceAndPictureAgain) {
    ImageRegistry registry;
    HeadlessWindow window;
    window.desktopBytesPerPixel = 2;
    window.Create("t", 16, 4, false);
    DDInterface device(&registry, 16, 4);
    ASSERT_EQ(device.Init(&window, true), RESULT_OK);
    DDImage sprite(&device);
    std::vector<uint32_t> pixels{Packed(0, 0, 0, 0), Packed(255, 255, 255), Packed(0, 0, 0),
                                 Packed(90, 180, 45)};
    sprite.SetBits(pixels.data(), 4, 1);
    DDImage drawn(&device);
    std::vector<uint32_t> plain(4, Packed(200, 200, 200));
    drawn.SetBits(plain.data(), 4, 1);
    drawn.FillRect(Rect(1, 0, 2, 1), Color(255, 255, 255), DrawMode::Additive);
    ASSERT_TRUE(sprite.GenerateSurface());
    auto surfaceValues = [](DDImage& image) {
        std::vector<uint16_t> v;
        DDSurface* s = image.GetSurface();
        for (int x = 0; x < s->GetWidth(); ++x)
            v.push_back(reinterpret_cast<const uint16_t*>(s->Pixels())[x]);
        return v;
    };
    auto spriteBefore = surfaceValues(sprite);
    auto drawnBefore = surfaceValues(drawn);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(device.Init(&window, true), RESULT_OK);
        ASSERT_TRUE(sprite.HasSurface());
        ASSERT_TRUE(drawn.HasSurface());
        EXPECT_EQ(surfaceValues(sprite), spriteBefore) << round;
        EXPECT_EQ(surfaceValues(drawn), drawnBefore) << round;
    }
    EXPECT_TRUE(sprite.GetSurface()->HasColorKey());
}

TEST(DDImageTest, ReadBackConvertsToTheSameSurfaceValuesForEveryChannelValue) {
    Display d(16, 64, 1);
    for (uint32_t v = 0; v < 64; ++v) d.SetRaw(int(v), 0, Rgb565(v & 31, v, 31 - (v & 31)));
    std::vector<uint16_t> before;
    for (int x = 0; x < 64; ++x) before.push_back(uint16_t(d.Raw(x, 0)));
    d.Screen().PurgeSurface();
    ASSERT_TRUE(d.Screen().GenerateSurface());
    for (int x = 0; x < 64; ++x) EXPECT_EQ(d.Raw(x, 0), before[std::size_t(x)]) << x;
}

// Reading a picture back, changing one pixel and rebuilding the surface, again and again:
// every other pixel keeps its surface value (no step lost per round) and the changed one
// converts like any new colour.
TEST(DDImageTest, EditedReadBackPictureKeepsTheSurfaceValuesOfItsOtherPixels) {
    Display d(16);
    DDImage image(&d.device);
    std::vector<uint32_t> pixels{Packed(255, 255, 255), Packed(90, 180, 45), Packed(0, 0, 0),
                                 Packed(255, 255, 255)};
    image.SetBits(pixels.data(), 4, 1);
    ASSERT_TRUE(image.GenerateSurface());
    auto surfaceValue = [&image](int x) {
        return reinterpret_cast<const uint16_t*>(image.GetSurface()->Pixels())[x];
    };
    const std::vector<uint16_t> before{surfaceValue(0), surfaceValue(1), surfaceValue(2)};
    for (int round = 0; round < 3; ++round) {
        // Drawing into the surface lets the memory pixels go: the next GetBits reads back.
        image.FillRect(Rect(3, 0, 1, 1), Color(1, 2, 3), DrawMode::Normal);
        ASSERT_FALSE(image.HasTrans());
        uint32_t* bits = image.GetBits();
        bits[3] = Packed(uint32_t(100 + round), 7, 255);
        image.BitsChanged();
        ASSERT_TRUE(image.GenerateSurface());
        for (int x = 0; x < 3; ++x) EXPECT_EQ(surfaceValue(x), before[size_t(x)]) << round;
        EXPECT_EQ(surfaceValue(3), d.device.ConvertColor(Packed(uint32_t(100 + round), 7, 255)));
    }
}

// Read-back values in a picture that was never a surface convert as every colour does.
TEST(DDImageTest, NewPictureAfterAReadBackConvertsLikeAnyOther) {
    Display d(16);
    DDImage image(&d.device);
    std::vector<uint32_t> white{Packed(255, 255, 255)};
    image.SetBits(white.data(), 1, 1);
    image.FillRect(Rect(0, 0, 1, 1), Color::White, DrawMode::Normal);  // into the surface
    ASSERT_TRUE(image.HasSurface());
    image.GetBits();
    std::vector<uint32_t> readBackShaped{Packed(252, 254, 252)};
    image.SetBits(readBackShaped.data(), 1, 1);
    ASSERT_TRUE(image.GenerateSurface());
    EXPECT_EQ(reinterpret_cast<const uint16_t*>(image.GetSurface()->Pixels())[0],
              d.device.ConvertColor(readBackShaped[0]));
}

TEST(DDImageTest, FailedLockReadsNothingAndDrawsNothing) {
    Display d(32, 4, 4);
    d.FillRaw(Xrgb(1, 1, 1));
    DDSurface* surface = d.Screen().GetSurface();
    surface->SetLockFailure(true);
    EXPECT_EQ(d.Screen().GetBits(), nullptr);
    EXPECT_EQ(d.Screen().NormalFillRect(Rect(0, 0, 4, 4), Color::White), SURFACE_LOCK_FAILED);
    surface->SetLockFailure(false);
    EXPECT_EQ(d.Raw(0, 0), Xrgb(1, 1, 1));
}

TEST(DDImageTest, StretchedBlitLandsAtTheDestinationRectangle) {
    Display d(32);
    auto source =
        Picture({Packed(0, 0, 255), Packed(0, 0, 255), Packed(0, 0, 255), Packed(0, 0, 255)}, 2);
    d.Screen().StretchBlt(source.get(), Rect(4, 2, 4, 4), FRect{0, 0, 2, 2}, Color::White,
                          DrawMode::Normal);
    EXPECT_NE(d.Raw(4, 2) & 0xFF, 0u);
    EXPECT_NE(d.Raw(7, 5) & 0xFF, 0u);
    EXPECT_EQ(d.Raw(8, 5), 0u);
    EXPECT_EQ(d.Raw(3, 2), 0u);
}

TEST(DDImageTest, TextCoverageTakesTheColourAndBlendsEdgesInsideTheClip) {
    Display d(32);
    const uint8_t coverage[] = {255, 128, 0, 255, 255, 255, 255, 255};
    ASSERT_TRUE(d.Screen().DrawCoverage(2, 1, coverage, 4, 2, 4, Color(200, 100, 50, 0),
                                        Rect(0, 0, 64, 2)));
    EXPECT_EQ(d.Raw(2, 1), Xrgb(200, 100, 50));
    EXPECT_EQ(d.Raw(3, 1), Xrgb(100, 50, 25));
    EXPECT_EQ(d.Raw(4, 1), 0u);
    EXPECT_EQ(d.Raw(2, 2), 0u);  // second mask row lies outside the clip
}

TEST(DDImageTest, TextCannotBeDrawnIntoAPictureWithPartialAlpha) {
    Display d(16);
    DDImage image(&d.device);
    std::vector<uint32_t> pixels{Packed(1, 2, 3, 100)};
    image.SetBits(pixels.data(), 1, 1);
    const uint8_t full = 255;
    EXPECT_FALSE(image.DrawCoverage(0, 0, &full, 1, 1, 1, Color::White, Rect(0, 0, 1, 1)));
}

TEST(DDImageTest, ChangedScreenPixelsGoBackIntoTheSameDrawSurface) {
    Display d(16, 8, 2);
    for (int x = 0; x < 8; ++x) d.SetRaw(x, 0, Rgb565(31 - x, 63 - x, x));
    DDSurface* surface = d.Screen().GetSurface();
    uint32_t* bits = d.Screen().GetBits();
    bits[8] = Packed(255, 255, 255);
    d.Screen().BitsChanged();
    EXPECT_EQ(d.Screen().GetSurface(), surface);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(d.Raw(x, 0), Rgb565(31 - x, 63 - x, x)) << x;
    EXPECT_EQ(d.Raw(0, 1), 0xFFFFu);
}

TEST(DDImageTest, OnlyScreenRowsThatChangedInMemoryArePresentedAgain) {
    Display d(32, 8, 6);
    ASSERT_TRUE(d.device.Redraw());
    uint32_t* bits = d.Screen().GetBits();
    bits[3 * 8 + 2] = Packed(1, 2, 3);
    d.Screen().BitsChanged();
    ASSERT_TRUE(d.device.Redraw());
    EXPECT_EQ(d.window.lastFrame.firstDirtyRow, 3);
    EXPECT_EQ(d.window.lastFrame.endDirtyRow, 4);
    EXPECT_EQ(d.Raw(2, 3), Xrgb(1, 2, 3));
}

TEST(DDImageTest, ImagesMadeOnALoadingThreadDuringModeSwitchesAllEndWithTheirPictures) {
    ImageRegistry registry;
    HeadlessWindow window;
    window.desktopBytesPerPixel = 4;
    window.Create("t", 32, 8, false);
    DDInterface device(&registry, 32, 8);
    ASSERT_EQ(device.Init(&window, true), RESULT_OK);
    std::vector<std::unique_ptr<DDImage>> made;
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int i = 0; i < 200; ++i) {
            auto image = std::make_unique<DDImage>(&device);
            std::vector<uint32_t> pixels{Packed(0, 0, 0, 0), Packed(uint32_t(i), 7, 9)};
            image->SetBits(pixels.data(), 2, 1);
            image->GenerateSurface();
            made.push_back(std::move(image));
        }
        done = true;
    });
    int switches = 0;
    while (!done || switches < 3) {
        window.desktopBytesPerPixel = switches % 2 ? 4 : 2;
        ASSERT_EQ(device.Init(&window, true), RESULT_OK);
        ++switches;
    }
    loader.join();
    ASSERT_EQ(device.Init(&window, true), RESULT_OK);
    for (std::size_t i = 0; i < made.size(); ++i) {
        ASSERT_TRUE(made[i]->HasSurface()) << i;
        const uint32_t* bits = made[i]->GetBits();
        EXPECT_EQ(bits[0] >> 24, 0u) << i;
        EXPECT_EQ(bits[1] & 0xFF, i) << i;  // the memory picture is kept as it was
    }
}

// A faint glow edge is black in 5-6-5 but not in 32 bits: after a switch from 16-bit full
// screen to a 32-bit window (native data dropped between), it must be added again.
TEST(DDImageTest, AdditiveBlitAfterADepthSwitchDrawsWhatAFreshPictureDraws) {
    std::vector<uint32_t> glow{Packed(0, 0, 0), Packed(4, 4, 4), Packed(6, 2, 7, 200),
                               Packed(200, 100, 50)};
    auto switched = Picture(glow, 4);
    Display d16(16);
    d16.Screen().Blt(switched.get(), 0, 0, Rect(0, 0, 4, 1), Color::White, DrawMode::Additive);
    switched->DeleteNativeData();
    Display d32(32), fresh32(32);
    d32.Screen().Blt(switched.get(), 0, 0, Rect(0, 0, 4, 1), Color::White, DrawMode::Additive);
    fresh32.Screen().Blt(Picture(glow, 4).get(), 0, 0, Rect(0, 0, 4, 1), Color::White,
                         DrawMode::Additive);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(d32.Raw(x, 0), fresh32.Raw(x, 0)) << x;
    EXPECT_NE(fresh32.Raw(1, 0), 0u);
}

TEST(PresentationTest, OnlyRowsChangedSinceTheLastPresentationAreUploaded) {
    Display d(16, 64, 32);
    ASSERT_TRUE(d.device.Redraw());
    EXPECT_EQ(d.window.lastFrame.firstDirtyRow, 0);
    EXPECT_EQ(d.window.lastFrame.endDirtyRow, 32);
    d.Screen().FillRect(Rect(3, 10, 5, 4), Color::White, DrawMode::Normal);
    d.Screen().DrawLine(0, 20, 9, 22, Color::White, DrawMode::Normal);
    ASSERT_TRUE(d.device.Redraw());
    EXPECT_EQ(d.window.lastFrame.firstDirtyRow, 10);
    EXPECT_EQ(d.window.lastFrame.endDirtyRow, 23);
    EXPECT_EQ(d.window.lastFrame.pitch % 16, 0);
    ASSERT_TRUE(d.device.Redraw());
    EXPECT_EQ(d.window.lastFrame.endDirtyRow, 0);
}

TEST(PresentationTest, LostDisplayFailsRedrawAndTheNextInitPresentsEverything) {
    Display d(32, 8, 8);
    d.window.loseDisplayPresents = 1;
    EXPECT_FALSE(d.device.Redraw());
    ASSERT_EQ(d.device.Init(&d.window, true), RESULT_OK);
    ASSERT_TRUE(d.device.Redraw());
    EXPECT_EQ(d.window.lastFrame.endDirtyRow, 8);
}

TEST(PresentationTest, ImagesOutlivingTheDeviceKeepTheirPicture) {
    auto d = std::make_unique<Display>(32);
    DDImage image(&d->device);
    std::vector<uint32_t> pixels{Packed(1, 2, 3), Packed(0, 0, 0, 0)};
    image.SetBits(pixels.data(), 2, 1);
    ASSERT_TRUE(image.GenerateSurface());
    d.reset();
    EXPECT_FALSE(image.HasSurface());
    EXPECT_EQ(image.GetBits()[0], Packed(1, 2, 3));
    EXPECT_EQ(image.GetBits()[1] >> 24, 0u);
}

}  // namespace
}  // namespace Varn::DisplayTest

namespace Varn::DisplayTest {
namespace {

// System-font text goes straight into the screen's surface: the same pixels
// as drawing into a memory image, without reading the surface back.
TEST(DDImageTest, SystemFontTextIsDrawnIntoTheSurfaceLikeIntoMemory) {
    Display d(32, 64, 20);
    DDImage& screen = d.Screen();
    ASSERT_TRUE(screen.HasSurface());
    d.FillRaw(0);
    SysFont font("SansSerif", 12, true);
    Graphics onScreen(&screen);
    onScreen.SetFont(&font);
    onScreen.SetColor(Color(255, 255, 255));
    onScreen.DrawString("Hi", 2, 15);

    MemoryImage memory(nullptr);
    memory.Create(64, 20);
    memory.FillRect(Rect(0, 0, 64, 20), Color(0, 0, 0), DrawMode::Normal);
    Graphics inMemory(&memory);
    inMemory.SetFont(&font);
    inMemory.SetColor(Color(255, 255, 255));
    inMemory.DrawString("Hi", 2, 15);

    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 64; ++x) {
            uint32_t raw = d.Raw(x, y);
            uint32_t expected = memory.GetBits()[y * 64 + x];
            bool onInSurface = (raw & 0xFF) > 128;
            bool onInMemory = (expected & 0xFF) > 128;
            EXPECT_EQ(onInSurface, onInMemory) << x << "," << y;
            lit += onInSurface;
        }
    EXPECT_GT(lit, 10);
}

}  // namespace
}  // namespace Varn::DisplayTest
