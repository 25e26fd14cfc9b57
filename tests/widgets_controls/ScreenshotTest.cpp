// Headless screenshot: a YES/NO dialog with a wrapped body, a text field with
// a selection, a checked checkbox and a slider, drawn by the widget manager
// into a 640 x 480 memory screen with the system "SansSerif" fonts. The
// picture is written as a PNG under the build's artifacts folder for a person
// to look at, then checked at pixels whose colours the layout fixes.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <vector>

#include "ControlTestSupport.h"
#include "widgets/Checkbox.h"
#include "widgets/Dialog.h"
#include "widgets/EditWidget.h"
#include "widgets/Slider.h"
#include "widgets/WidgetManager.h"

#ifndef GEMLODE_ARTIFACT_DIR
#define GEMLODE_ARTIFACT_DIR "artifacts"
#endif

namespace Varn::test {
namespace {

const Color kBackdrop(36, 40, 58), kFrameEdge(150, 170, 230), kFrameFill(24, 34, 84);
const Color kButtonEdge(240, 200, 90), kButtonFill(120, 70, 20);
const Color kBoxEdge(30, 30, 30), kBoxFill(250, 250, 250), kTick(40, 170, 60);
const Color kTrack(110, 110, 130), kThumb(220, 60, 60);

// A 3 x 3 frame picture: a one-pixel edge around each outer cell, the fill
// elsewhere; the outermost corner pixels are fully transparent.
std::unique_ptr<MemoryImage> FrameImage(int cell, const Color& edge, const Color& fill) {
    const int size = cell * 3;
    auto image = SolidImage(size, size, fill);
    uint32_t* bits = image->GetBits();
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            bool border = px < 2 || py < 2 || px >= size - 2 || py >= size - 2;
            if (border) bits[py * size + px] = edge.ToPacked();
        }
    for (int corner : {0, size - 1, size * (size - 1), size * size - 1}) bits[corner] = 0;
    image->BitsChanged();
    return image;
}

std::unique_ptr<MemoryImage> CheckImage(bool ticked) {
    auto image = SolidImage(20, 20, kBoxEdge);
    uint32_t* bits = image->GetBits();
    for (int py = 2; py < 18; ++py)
        for (int px = 2; px < 18; ++px)
            bits[py * 20 + px] = (ticked && px >= 5 && px < 15 && py >= 5 && py < 15)
                                     ? kTick.ToPacked()
                                     : kBoxFill.ToPacked();
    image->BitsChanged();
    return image;
}

// A full-screen opaque backdrop, as the game's screens are.
struct Backdrop : Widget {
    void Draw(Graphics* g) override {
        g->SetColor(kBackdrop);
        g->FillRect(0, 0, width, height);
    }
};

bool WritePng(MemoryImage& image, const std::string& path) {
    const int w = image.GetWidth();
    const int h = image.GetHeight();
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    const uint32_t* bits = image.GetBits();
    for (int i = 0; i < w * h; ++i) {
        Color c(bits[i]);
        rgb[i * 3] = static_cast<uint8_t>(c.red);
        rgb[i * 3 + 1] = static_cast<uint8_t>(c.green);
        rgb[i * 3 + 2] = static_cast<uint8_t>(c.blue);
    }
    png_image out{};
    out.version = PNG_IMAGE_VERSION;
    out.width = static_cast<png_uint_32>(w);
    out.height = static_cast<png_uint_32>(h);
    out.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&out, path.c_str(), 0, rgb.data(), w * 3, nullptr) != 0;
}

class ScreenshotTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveAll(manager); }
    void SetUp() override {
        screen = std::make_unique<MemoryImage>(nullptr);
        screen->Create(640, 480);
        manager.SetScreenSize(640, 480);
        manager.SetScreenImage(screen.get());
        backdrop.Resize(0, 0, 640, 480);
        manager.AddWidget(&backdrop);

        dialog.Resize(120, 40, 400, dialog.GetPreferredHeight(400));
        manager.AddWidget(&dialog);

        edit.Resize(170, 330, 300, 24);
        edit.SetText("Player One");
        edit.highlight = 7;  // "One" selected, caret at the end
        manager.AddWidget(&edit);
        manager.SetFocus(&edit);

        box.Resize(170, 372, 20, 20);
        box.SetChecked(true);
        manager.AddWidget(&box);
        slider.Resize(220, 372, 250, 20);
        slider.SetValue(0.6);
        manager.AddWidget(&slider);
    }
    Color At(int px, int py) { return PixelAt(*screen, px, py); }
    bool IsBodyYellow(const Color& c) { return c.red > 200 && c.green > 200 && c.blue < 90; }

    FakeHost host;
    WidgetManager manager{&host};
    std::unique_ptr<MemoryImage> screen;
    std::unique_ptr<MemoryImage> frame = FrameImage(10, kFrameEdge, kFrameFill);
    std::unique_ptr<MemoryImage> buttonFrame = FrameImage(8, kButtonEdge, kButtonFill);
    std::unique_ptr<MemoryImage> unchecked = CheckImage(false);
    std::unique_ptr<MemoryImage> checked = CheckImage(true);
    std::unique_ptr<MemoryImage> track = SolidImage(30, 8, kTrack);
    std::unique_ptr<MemoryImage> thumb = SolidImage(16, 20, kThumb);
    Backdrop backdrop;
    Dialog dialog{frame.get(),
                  buttonFrame.get(),
                  4,
                  true,
                  "Leave the mine?",
                  "Your gems stay where they are and the next visit starts from this very "
                  "board, so nothing found today is lost on the way out.",
                  "",
                  Dialog::kYesNo};
    EditWidget edit{1, nullptr};
    Checkbox box{unchecked.get(), checked.get(), 2, nullptr};
    Slider slider{track.get(), thumb.get(), 3, nullptr};
};

TEST_F(ScreenshotTest, DialogEditCheckboxAndSliderRenderAtTheirPlaces) {
    ASSERT_TRUE(manager.DrawScreen());
    std::filesystem::create_directories(GEMLODE_ARTIFACT_DIR);
    const std::string path = GEMLODE_ARTIFACT_DIR "/widgets_controls.png";
    EXPECT_TRUE(WritePng(*screen, path)) << path;

    // The backdrop shows through the frame's transparent corner pixel.
    EXPECT_TRUE(SameRgb(At(120, 40), kBackdrop));
    EXPECT_TRUE(SameRgb(At(121, 41), kFrameEdge));
    EXPECT_TRUE(SameRgb(At(130, 40 + dialog.height / 2), kFrameFill));

    // The body wraps: yellow text on at least two line bands.
    Font* bodyFont = dialog.bodyFont.get();
    ASSERT_NE(bodyFont, nullptr);
    int firstRow = -1, lastRow = -1;
    for (int py = dialog.y; py < dialog.y + dialog.height; ++py)
        for (int px = dialog.x; px < dialog.x + dialog.width; ++px)
            if (IsBodyYellow(At(px, py))) {
                if (firstRow < 0) firstRow = py;
                lastRow = py;
            }
    ASSERT_GE(firstRow, 0) << "no body text drawn";
    EXPECT_GT(lastRow - firstRow, bodyFont->GetLineSpacing());

    // YES and NO sit on the bottom inset, side by side.
    DialogButton* yes = dialog.firstButton.get();
    DialogButton* no = dialog.secondButton.get();
    EXPECT_EQ(yes->y + yes->height, dialog.y + dialog.height - 24);
    EXPECT_TRUE(SameRgb(At(yes->x + 1, yes->y + 1), kButtonEdge));
    EXPECT_TRUE(SameRgb(At(no->x + 4, no->y + no->height / 2), kButtonFill));
    EXPECT_TRUE(SameRgb(At(yes->x + yes->width + 4, yes->y + 1), kFrameFill)) << "gap";

    // The selection "One": its fill starts right after "Player ".
    Font* editFont = edit.font.get();
    ASSERT_NE(editFont, nullptr);
    const int lineTop = edit.y + (edit.height - editFont->GetLineSpacing()) / 2;
    const int selectionX = edit.x + 4 + editFont->StringWidth("Player ");
    EXPECT_TRUE(SameRgb(At(selectionX + 1, lineTop), Color::Black));
    EXPECT_TRUE(SameRgb(At(selectionX - 2, lineTop), Color::White));
    EXPECT_TRUE(SameRgb(At(edit.x, edit.y), Color::Black)) << "outline";

    EXPECT_TRUE(SameRgb(At(box.x + 10, box.y + 10), kTick));
    const int thumbX = slider.x + static_cast<int>((250 - 16) * 0.6);
    EXPECT_TRUE(SameRgb(At(thumbX + 8, slider.y + 1), kThumb));
    EXPECT_TRUE(SameRgb(At(slider.x + 5, slider.y + 10), kTrack));
    EXPECT_TRUE(SameRgb(At(slider.x + 5, slider.y + 1), kBackdrop)) << "track is centred";
}

}  // namespace
}  // namespace Varn::test
