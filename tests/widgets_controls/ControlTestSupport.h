// Shared fakes for the control tests: a host that records cursor kinds, the
// clipboard and forwarded dialog buttons; a block font with fixed metrics
// whose glyphs are solid bars; recording listeners; small solid images.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "widgets/ButtonListener.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {

// Records every listener call as "pressed:ID", "clicked:ID" or "held:ID".
struct RecordingButtonListener : ButtonListener {
    void ButtonPressed(int id) override { events.push_back("pressed:" + std::to_string(id)); }
    void ButtonClicked(int id) override { events.push_back("clicked:" + std::to_string(id)); }
    void ButtonHeld(int id) override { events.push_back("held:" + std::to_string(id)); }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const auto& e : events) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }
    std::vector<std::string> events;
};

struct FakeHost : WidgetHost {
    void SetCursorKind(int kind) override { cursorKinds.push_back(kind); }
    void CopyToClipboard(const std::string& text) override { clipboard = text; }
    std::string GetClipboardText() override { return clipboard; }
    void SafeDelete(Widget*) override {}
    ButtonListener* GetButtonListener() override { return &application; }
    int LastCursor() const { return cursorKinds.empty() ? -1 : cursorKinds.back(); }

    std::vector<int> cursorKinds;
    std::string clipboard;
    RecordingButtonListener application;
};

// Every character it knows is `advance` pixels wide and drawn as a solid bar
// (advance - 1) wide from the ascent line down to the baseline. Characters
// listed in `missing` have no glyph (width 0), like a bitmap font's gaps.
class BlockFont : public Font {
public:
    explicit BlockFont(int advanceWidth = 6, int fontAscent = 10, int fontHeight = 14,
                       std::string missingChars = "")
        : advance(advanceWidth), missing(std::move(missingChars)) {
        ascent = fontAscent;
        height = fontHeight;
    }
    int StringWidth(const std::string& text) const override {
        int w = 0;
        for (char c : text) w += Known(c) ? advance : 0;
        return w;
    }
    void DrawString(Graphics* g, int x, int y, const std::string& text, const Color&,
                    const Rect&) override {
        int pen = x;
        for (char c : text) {
            if (!Known(c)) continue;
            if (c != ' ') g->FillRect(pen, y - ascent, advance - 1, ascent);
            pen += advance;
        }
    }
    std::unique_ptr<Font> Duplicate() const override { return std::make_unique<BlockFont>(*this); }

private:
    bool Known(char c) const { return missing.find(c) == std::string::npos; }
    int advance;
    std::string missing;
};

// Takes every widget out of the manager: widgets must leave the list before
// they are destroyed, and test fixtures destroy their members in reverse order.
inline void RemoveAll(WidgetManager& manager) {
    std::vector<Widget*> listed(manager.GetWidgets().begin(), manager.GetWidgets().end());
    for (Widget* w : listed) manager.RemoveWidget(w);
}

inline std::unique_ptr<MemoryImage> SolidImage(int w, int h, const Color& color) {
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->Create(w, h);
    uint32_t* bits = image->GetBits();
    for (int i = 0; i < w * h; ++i) bits[i] = color.ToPacked();
    image->BitsChanged();
    return image;
}

inline Color PixelAt(MemoryImage& image, int px, int py) {
    return Color(image.GetBits()[py * image.GetWidth() + px]);
}

// Only the red, green and blue channels, for comparing drawn pixels. One step
// of slack: the exact blend scales an opaque image pixel by 255/256.
inline bool SameRgb(const Color& a, const Color& b) {
    auto near = [](int p, int q) { return p - q <= 1 && q - p <= 1; };
    return near(a.red, b.red) && near(a.green, b.green) && near(a.blue, b.blue);
}

}  // namespace Varn::test
