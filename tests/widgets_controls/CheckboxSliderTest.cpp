// Checkbox and Slider: toggling and notification, the thumb's drag range,
// clamping at both ends with each distinct value heard once, presses beside
// the thumb, cursor kinds, SetValue without notification, and drawing.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ControlTestSupport.h"
#include "widgets/Checkbox.h"
#include "widgets/CheckboxListener.h"
#include "widgets/Slider.h"
#include "widgets/SliderListener.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {
namespace {

const Color kRed(255, 0, 0), kGreen(0, 255, 0), kBlue(0, 0, 255), kWhite(255, 255, 255);

struct RecordingCheckboxListener : CheckboxListener {
    void CheckboxChecked(int id, bool checked) override { calls.emplace_back(id, checked); }
    std::vector<std::pair<int, bool>> calls;
};

struct RecordingSliderListener : SliderListener {
    void SliderValueChanged(int id, double value) override {
        ids.push_back(id);
        values.push_back(value);
    }
    std::vector<int> ids;
    std::vector<double> values;
};

class CheckboxTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveAll(manager); }
    void SetUp() override {
        box.Resize(10, 10, 20, 20);
        manager.AddWidget(&box);
    }
    FakeHost host;
    WidgetManager manager{&host};
    RecordingCheckboxListener listener;
    std::unique_ptr<MemoryImage> unchecked = SolidImage(20, 20, kRed);
    std::unique_ptr<MemoryImage> checked = SolidImage(20, 20, kGreen);
    Checkbox box{unchecked.get(), checked.get(), 4, &listener};
};

TEST_F(CheckboxTest, EveryPressTogglesAndNotifiesWithAnyButton) {
    manager.MouseDown(15, 15, 1);
    manager.MouseUp(15, 15);
    manager.MouseDown(15, 15, -1);
    manager.MouseUp(15, 15);
    manager.MouseDown(15, 15, 1);
    EXPECT_TRUE(box.IsChecked());
    EXPECT_EQ(listener.calls,
              (std::vector<std::pair<int, bool>>{{4, true}, {4, false}, {4, true}}));
}

TEST_F(CheckboxTest, SetCheckedNotifiesEvenWithoutChange) {
    box.dirty = false;
    box.SetChecked(false);
    box.SetChecked(false);
    EXPECT_EQ(listener.calls, (std::vector<std::pair<int, bool>>{{4, false}, {4, false}}));
    EXPECT_TRUE(box.dirty);
}

TEST_F(CheckboxTest, DrawsTheImageOfItsStateAndShowsFingerOnHover) {
    auto canvas = SolidImage(20, 20, kBlue);
    Graphics g(canvas.get());
    box.Draw(&g);
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 5, 5), kRed));
    box.SetChecked(true);
    box.Draw(&g);
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 5, 5), kGreen));
    manager.MouseMove(15, 15);
    EXPECT_EQ(host.LastCursor(), 1);
}

// A slider 232 wide: the thumb's pointer range is 32 wide and travels 200.
class SliderTest : public ::testing::Test {
protected:
    void TearDown() override { RemoveAll(manager); }
    void SetUp() override {
        slider.Resize(0, 0, 232, 20);
        manager.AddWidget(&slider);
    }
    FakeHost host;
    WidgetManager manager{&host};
    RecordingSliderListener listener;
    std::unique_ptr<MemoryImage> track = SolidImage(30, 10, kWhite);
    std::unique_ptr<MemoryImage> thumb = SolidImage(16, 20, kRed);
    Slider slider{track.get(), thumb.get(), 6, &listener};
};

TEST_F(SliderTest, DraggingPastBothEndsPinsValueAndEachValueIsHeardOnce) {
    manager.MouseMove(10, 5);
    manager.MouseDown(10, 5, 1);
    ASSERT_TRUE(slider.dragging);
    manager.MouseDrag(110, 5);   // (110 - 10) / 200
    manager.MouseDrag(500, 5);   // past the right end
    manager.MouseDrag(900, 5);   // still pinned: not heard again
    manager.MouseDrag(-50, 5);   // past the left end
    manager.MouseDrag(-400, 5);  // still pinned
    manager.MouseUp(-400, 5);
    EXPECT_EQ(listener.values, (std::vector<double>{0.5, 1.0, 0.0}));
    EXPECT_EQ(listener.ids, (std::vector<int>{6, 6, 6}));
    EXPECT_FALSE(slider.dragging);
}

TEST_F(SliderTest, DragKeepsTheGrabOffsetWithinTheThumb) {
    slider.SetValue(0.5);  // thumb range [100, 132)
    manager.MouseDown(120, 5, 1);
    EXPECT_EQ(slider.dragOffset, 20);
    manager.MouseDrag(170, 5);  // (170 - 20) / 200
    EXPECT_DOUBLE_EQ(slider.value, 0.75);
}

TEST_F(SliderTest, PressBesideTheThumbDoesNothing) {
    slider.SetValue(0.5);
    manager.MouseDown(10, 5, 1);
    manager.MouseDrag(60, 5);
    manager.MouseUp(60, 5);
    manager.MouseDown(140, 5, 1);  // just right of [100, 132)
    manager.MouseDrag(200, 5);
    EXPECT_DOUBLE_EQ(slider.value, 0.5);
    EXPECT_TRUE(listener.values.empty());
}

TEST_F(SliderTest, CursorShowsDraggingOverThumbAndStaysWhileDragging) {
    manager.MouseMove(50, 5);
    EXPECT_EQ(host.LastCursor(), 0);
    manager.MouseMove(5, 5);
    EXPECT_EQ(host.LastCursor(), 2);
    manager.MouseDown(5, 5, 1);
    manager.MouseDrag(400, 50);  // leaves the slider: it keeps the dragging cursor
    EXPECT_EQ(host.LastCursor(), 2);
    manager.MouseUp(400, 50);
    EXPECT_EQ(host.LastCursor(), 0);
}

TEST_F(SliderTest, SliderNeverReportsDownAndDropsHoverOnLeaving) {
    manager.MouseMove(5, 5);
    manager.MouseDown(5, 5, 1);
    EXPECT_FALSE(slider.isDown);
    manager.MouseUp(5, 5);
    manager.MouseMove(400, 100);
    EXPECT_FALSE(slider.isOver);
}

TEST_F(SliderTest, SetValueStoresUnclampedWithoutNotifying) {
    slider.dirty = false;
    slider.SetValue(1.5);
    EXPECT_DOUBLE_EQ(slider.value, 1.5);
    EXPECT_TRUE(slider.dirty);
    EXPECT_TRUE(listener.values.empty());
}

TEST_F(SliderTest, OutOfRangeSetValueStaysHarmless) {
    slider.SetValue(1e300);
    auto canvas = SolidImage(232, 20, kBlue);
    Graphics g(canvas.get());
    slider.Draw(&g);
    manager.MouseMove(100, 5);
    manager.MouseDown(100, 5, 1);
    EXPECT_FALSE(slider.dragging);
}

TEST(SliderNarrowTest, SliderWithoutRoomToTravelIgnoresDrags) {
    FakeHost host;
    WidgetManager manager(&host);
    RecordingSliderListener listener;
    Slider slider(nullptr, nullptr, 1, &listener);
    slider.Resize(0, 0, 32, 20);
    manager.AddWidget(&slider);
    manager.MouseDown(5, 5, 1);
    manager.MouseDrag(20, 5);
    manager.MouseDrag(-20, 5);
    EXPECT_DOUBLE_EQ(slider.value, 0.0);
    EXPECT_TRUE(listener.values.empty());
    manager.RemoveWidget(&slider);
}

TEST_F(SliderTest, DrawsTrackCentredAndThumbAtItsDrawingPosition) {
    // Track 10 high in a 20-high slider: rows 5 to 14. Thumb 16 wide at
    // (232 - 16) * 0.5 = 108.
    slider.SetValue(0.5);
    auto canvas = SolidImage(232, 20, kBlue);
    Graphics g(canvas.get());
    slider.Draw(&g);
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 2, 4), kBlue));
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 2, 5), kWhite));
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 60, 14), kWhite));
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 231, 10), kWhite));
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 107, 10), kWhite));
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 108, 0), kRed));
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 123, 19), kRed));
    EXPECT_TRUE(SameRgb(PixelAt(*canvas, 124, 10), kWhite));
    EXPECT_TRUE(slider.HasTransparency());
}

}  // namespace
}  // namespace Varn::test
