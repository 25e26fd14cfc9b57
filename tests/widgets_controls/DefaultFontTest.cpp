// Controls without a font of their own fall back to the system "SansSerif"
// at the sizes each one names, and draw and measure with it.
#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "graphics/SysFont.h"
#include "widgets/ButtonWidget.h"
#include "widgets/DialogButton.h"
#include "widgets/EditWidget.h"
#include "widgets/HyperlinkWidget.h"

namespace Varn::test {
namespace {

int CountPixels(MemoryImage& image, const Color& color) {
    int count = 0;
    for (int py = 0; py < image.GetHeight(); ++py)
        for (int px = 0; px < image.GetWidth(); ++px)
            count += SameRgb(PixelAt(image, px, py), color) ? 1 : 0;
    return count;
}

int PixelSizeOf(Font* font) {
    auto* sys = dynamic_cast<SysFont*>(font);
    return sys ? sys->GetPixelSize() : -1;
}

TEST(DefaultFontTest, ButtonLabelIsDrawnInTenPointSansSerif) {
    RecordingButtonListener listener;
    ButtonWidget button(1, &listener);
    button.Resize(0, 0, 80, 24);
    button.label = "OK";
    auto canvas = SolidImage(80, 24, Color(0, 0, 255));
    Graphics g(canvas.get());
    button.Draw(&g);
    ASSERT_NE(button.font, nullptr);
    EXPECT_EQ(PixelSizeOf(button.font.get()), 13);  // 10 points at 96 dpi
    EXPECT_GT(CountPixels(*canvas, Color::Black), 20) << "label drawn";
}

TEST(DefaultFontTest, ButtonWithoutLabelCreatesNoFont) {
    ButtonWidget button(1, nullptr);
    button.Resize(0, 0, 80, 24);
    auto canvas = SolidImage(80, 24, Color(0, 0, 255));
    Graphics g(canvas.get());
    button.Draw(&g);
    EXPECT_EQ(button.font, nullptr);
}

TEST(DefaultFontTest, DialogButtonAndHyperlinkUseTheirOwnSizes) {
    DialogButton dialogButton(nullptr, 1, nullptr);
    HyperlinkWidget link(2, nullptr);
    for (ButtonWidget* b :
         {static_cast<ButtonWidget*>(&dialogButton), static_cast<ButtonWidget*>(&link)}) {
        b->Resize(0, 0, 80, 24);
        b->label = "Go";
        auto canvas = SolidImage(80, 24, Color(0, 0, 255));
        Graphics g(canvas.get());
        b->Draw(&g);
        EXPECT_GT(CountPixels(*canvas, Color::White), 10) << "white label drawn";
    }
    EXPECT_EQ(PixelSizeOf(dialogButton.font.get()), 16);  // 12 points
    EXPECT_EQ(PixelSizeOf(link.font.get()), 13);          // 10 points
}

TEST(DefaultFontTest, TextFieldAcceptsTypingBeforeItWasEverDrawn) {
    EditWidget edit(1, nullptr);
    edit.Resize(0, 0, 120, 20);
    edit.KeyChar('a');
    edit.KeyChar('b');
    EXPECT_EQ(edit.text, "ab");
    EXPECT_EQ(PixelSizeOf(edit.font.get()), 13);
}

}  // namespace
}  // namespace Varn::test
