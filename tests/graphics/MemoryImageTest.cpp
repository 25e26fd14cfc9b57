// MemoryImage: pixel ownership, transparency flags, fills, caches and the image registry.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/ImageRegistry.h"
#include "graphics/MemoryImage.h"
#include "tests/graphics/PixelTestSupport.h"

namespace Varn {
namespace {

using Testing::FillAll;
using Testing::Packed;
using Testing::PixelAt;

TEST(RectTest, IntersectionOfTouchingRectanglesIsEmptyEdge) {
    EXPECT_EQ(Rect(0, 0, 10, 10).Intersection(Rect(10, 0, 5, 5)), Rect(10, 0, 0, 5));
    EXPECT_EQ(Rect(0, 0, 10, 10).Intersection(Rect(20, 0, 5, 5)), Rect(0, 0, 0, 0));
    EXPECT_EQ(Rect(0, 0, 10, 10).Intersection(Rect(5, -3, 10, 6)), Rect(5, 0, 5, 3));
}

TEST(MemoryImageTest, NewImageIsTransparentUntilFilledOpaque) {
    MemoryImage image(nullptr);
    image.Create(4, 3);
    EXPECT_TRUE(image.HasTrans());
    EXPECT_FALSE(image.HasAlpha());
    image.FillRect(Rect(0, 0, 4, 3), Color(10, 20, 30, 0), DrawMode::Additive);
    image.CommitBits();
    EXPECT_FALSE(image.HasTrans());
    EXPECT_FALSE(image.HasAlpha());
    // The colour's alpha is ignored: memory fills are always opaque.
    EXPECT_EQ(PixelAt(image, 3, 2), Packed(10, 20, 30, 255));
}

TEST(MemoryImageTest, CommitBitsSeesTransparentAndPartialPixels) {
    MemoryImage image(nullptr);
    std::vector<uint32_t> pixels = {Packed(1, 1, 1, 255), Packed(0, 0, 0, 128), Packed(5, 5, 5, 0),
                                    Packed(1, 1, 1, 255)};
    image.SetBits(pixels.data(), 2, 2);
    EXPECT_TRUE(image.HasTrans());
    EXPECT_TRUE(image.HasAlpha());
    FillAll(image, Packed(0, 0, 0, 1));
    image.CommitBits();
    EXPECT_FALSE(image.HasTrans());
    EXPECT_TRUE(image.HasAlpha());
}

TEST(MemoryImageTest, ForcedFlagsSurviveChanges) {
    MemoryImage image(nullptr);
    image.Create(2, 2);
    image.SetTransparencyFlags(false, true);
    image.Clear();
    image.CommitBits();
    EXPECT_FALSE(image.HasTrans());
    EXPECT_TRUE(image.HasAlpha());
    EXPECT_TRUE(image.AreBitsChanged());  // commit returns early while forced
}

TEST(MemoryImageTest, ClearMakesEveryPixelTransparentBlack) {
    MemoryImage image(nullptr);
    image.Create(3, 3);
    image.FillRect(Rect(0, 0, 3, 3), Color::White, DrawMode::Normal);
    image.Clear();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelAt(image, x, y), 0u);
}

TEST(MemoryImageTest, FillRectOutsideTheImageIsClippedNotWrittenPast) {
    MemoryImage image(nullptr);
    image.Create(4, 4);
    image.FillRect(Rect(2, 2, 100, 100), Color(9, 9, 9), DrawMode::Normal);
    EXPECT_EQ(PixelAt(image, 3, 3), Packed(9, 9, 9, 255));
    EXPECT_EQ(PixelAt(image, 1, 1), 0u);
}

TEST(MemoryImageTest, DrawRectOutlinesOnlyTheBorder) {
    MemoryImage image(nullptr);
    image.Create(5, 5);
    image.DrawRect(Rect(0, 0, 5, 4), Color(1, 2, 3), DrawMode::Normal);
    EXPECT_EQ(PixelAt(image, 0, 0), Packed(1, 2, 3, 255));
    EXPECT_EQ(PixelAt(image, 4, 3), Packed(1, 2, 3, 255));
    EXPECT_EQ(PixelAt(image, 0, 2), Packed(1, 2, 3, 255));
    EXPECT_EQ(PixelAt(image, 2, 2), 0u);
    EXPECT_EQ(PixelAt(image, 2, 4), 0u);
}

TEST(MemoryImageTest, DrawLineDrawsNothing) {
    MemoryImage image(nullptr);
    image.Create(4, 4);
    image.DrawLine(0, 0, 3, 3, Color::White, DrawMode::Normal);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(PixelAt(image, i, i), 0u);
}

TEST(MemoryImageTest, GetBitsAllocatesZeroPixels) {
    MemoryImage image(nullptr);
    MemoryImage sized(image);
    EXPECT_NE(image.GetBits(), nullptr);
    sized.SetBits(nullptr, 2, 1);
    EXPECT_EQ(PixelAt(sized, 1, 0), 0u);
}

TEST(MemoryImageTest, RunLengthAlphaTableCountsToRunEnd) {
    MemoryImage image(nullptr);
    std::vector<uint32_t> row = {0, 0, 0, Packed(1, 1, 1, 255), Packed(2, 2, 2, 255)};
    image.SetBits(row.data(), 5, 1);
    uint8_t* runs = image.GetRunLengthAlphaData();
    EXPECT_EQ(std::vector<int>(runs, runs + 5), (std::vector<int>{3, 2, 1, 2, 1}));
}

TEST(MemoryImageTest, RunLengthTablesSeparatePartialAndRestartEachRow) {
    MemoryImage image(nullptr);
    std::vector<uint32_t> pixels = {
        Packed(0, 0, 0, 7), Packed(0, 0, 0, 200), 0, Packed(0, 0, 0, 255), 0, 0};
    image.SetBits(pixels.data(), 3, 2);
    uint8_t* runs = image.GetRunLengthAlphaData();
    EXPECT_EQ(std::vector<int>(runs, runs + 6), (std::vector<int>{2, 1, 1, 1, 2, 1}));
}

TEST(MemoryImageTest, LongRunLengthIsCappedAt255) {
    MemoryImage image(nullptr);
    image.Create(300, 1);
    uint8_t* runs = image.GetRunLengthAlphaData();
    for (int i = 0; i < 46; ++i) ASSERT_EQ(runs[i], 255) << i;
    EXPECT_EQ(runs[46], 254);
    EXPECT_EQ(runs[298], 2);
    EXPECT_EQ(runs[299], 1);
    MemoryImage single(nullptr);
    single.Create(1, 3);
    EXPECT_EQ(single.GetRunLengthAlphaData()[2], 1);
}

TEST(MemoryImageTest, NativeDataIsPremultipliedIntoTheMasks) {
    MemoryImage image(nullptr);
    std::vector<uint32_t> pixels = {Packed(255, 128, 0, 255), Packed(200, 100, 50, 128)};
    image.SetBits(pixels.data(), 2, 1);
    uint32_t* native32 = image.GetNativeAlphaData(32, 0xFF0000, 0xFF00, 0xFF);
    // Premultiplied: 255 * 255 / 256 = 254, 128 * 255 / 256 = 127. Scaling into the mask
    // takes 255/256 once more: 254 * 0xFF00 = 0xFD0200 keeps 0xFD; 127 * 0xFF = 0x7E81.
    EXPECT_EQ(native32[0], 0xFF000000u | 0xFDu << 16 | 0x7Eu << 8);
    // 200, 100, 50 at alpha 128 premultiply to 100, 50, 25, then 99, 49, 24 in the masks.
    EXPECT_EQ(native32[1], 0x80000000u | 99u << 16 | 49u << 8 | 24u);
    image.DeleteNativeData();
    uint32_t* native16 = image.GetNativeAlphaData(16, 0xF800, 0x07E0, 0x001F);
    // 0xF800 * 254 >> 8 = 0xF610 -> 0xF000; 0x07E0 * 127 >> 8 = 0x3E8 -> 0x3E0.
    EXPECT_EQ(native16[0], 0xFF000000u | 0xF000u | 0x03E0u);
}

TEST(MemoryImageTest, RunLengthAdditiveTableSkipsBlackNativePixels) {
    MemoryImage image(nullptr);
    // A transparent non-black pixel premultiplies to black.
    std::vector<uint32_t> pixels = {Packed(200, 0, 0, 0), Packed(0, 0, 0, 255),
                                    Packed(9, 9, 9, 255), Packed(1, 0, 0, 255)};
    image.SetBits(pixels.data(), 4, 1);
    uint8_t* runs = image.GetRunLengthAdditiveData(32, 0xFF0000, 0xFF00, 0xFF);
    // 1 * 255 / 256 = 0, so the last pixel is black too.
    EXPECT_EQ(std::vector<int>(runs, runs + 4), (std::vector<int>{2, 1, 1, 1}));
}

TEST(MemoryImageTest, CachesAreDroppedOnChangeAndKeptOtherwise) {
    MemoryImage image(nullptr);
    image.Create(2, 1);
    uint8_t* runs = image.GetRunLengthAlphaData();
    EXPECT_EQ(runs[0], 2);
    EXPECT_EQ(image.GetRunLengthAlphaData(), runs);
    uint32_t* native = image.GetNativeAlphaData(32, 0xFF0000, 0xFF00, 0xFF);
    EXPECT_EQ(image.GetNativeAlphaData(32, 0xF800, 0x7E0, 0x1F), native);  // masks not a key
    image.FillRect(Rect(0, 0, 1, 1), Color::White, DrawMode::Normal);
    EXPECT_EQ(image.GetRunLengthAlphaData()[0], 1);
    EXPECT_EQ(image.GetNativeAlphaData(32, 0xFF0000, 0xFF00, 0xFF)[0] & 0xFF000000u, 0xFF000000u);
}

TEST(MemoryImageTest, CopyIsDeepAndKeepsFlagsButNotTheForcedMarker) {
    ImageRegistry registry;
    MemoryImage image(&registry);
    image.Create(2, 2);
    image.GetRunLengthAlphaData();
    image.SetTransparencyFlags(true, true);
    MemoryImage copy(image);
    EXPECT_EQ(registry.Count(), 2u);
    EXPECT_TRUE(copy.HasAlpha());
    EXPECT_EQ(copy.GetRunLengthAlphaData()[0], 2);
    copy.FillRect(Rect(0, 0, 2, 2), Color::White, DrawMode::Normal);
    copy.CommitBits();
    EXPECT_FALSE(copy.HasTrans());  // not forced, so recomputed
    EXPECT_FALSE(copy.HasAlpha());
    EXPECT_EQ(PixelAt(image, 0, 0), 0u);
}

TEST(ImageRegistryTest, ImagesRegisterForTheirLifetime) {
    ImageRegistry registry;
    {
        MemoryImage a(&registry);
        EXPECT_TRUE(registry.Contains(&a));
        a.Create(1, 1);
        a.GetNativeAlphaData(32, 0xFF0000, 0xFF00, 0xFF);
        registry.DeleteAllNativeData();
    }
    EXPECT_EQ(registry.Count(), 0u);
}

TEST(ImageRegistryTest, RegistrationIsSafeFromTwoThreads) {
    ImageRegistry registry;
    auto churn = [&registry] {
        for (int i = 0; i < 2000; ++i) {
            MemoryImage image(&registry);
            image.Create(2, 2);
        }
    };
    MemoryImage keeper(&registry);
    std::thread loader(churn);
    churn();
    loader.join();
    EXPECT_EQ(registry.Count(), 1u);
}

TEST(MemoryImageTest, GetGraphicsDrawsIntoTheImage) {
    MemoryImage image(nullptr);
    image.Create(3, 3);
    auto g = image.GetGraphics();
    g->SetColor(Color(4, 5, 6));
    g->FillRect(1, 1, 1, 1);
    EXPECT_EQ(PixelAt(image, 1, 1), Packed(4, 5, 6, 255));
    EXPECT_EQ(PixelAt(image, 0, 0), 0u);
}

}  // namespace
}  // namespace Varn
