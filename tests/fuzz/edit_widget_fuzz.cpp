// Fuzz entry point for the text field: the bytes are a script of key strokes,
// characters, clipboard texts, pointer presses and drags, limits and SetText
// calls. Whatever the script, the field must keep its caret, selection and
// scroll inside the text and hold only characters it accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "graphics/Font.h"
#include "widgets/EditWidget.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace {

// Widths 0 to 9 by character code, so some characters cannot be drawn.
class ScriptFont : public Varn::Font {
public:
    ScriptFont() {
        ascent = 10;
        height = 14;
    }
    int StringWidth(const std::string& text) const override {
        int w = 0;
        for (char c : text) w += static_cast<unsigned char>(c) % 10;
        return w;
    }
    std::unique_ptr<Font> Duplicate() const override { return std::make_unique<ScriptFont>(); }
};

struct ScriptHost : Varn::WidgetHost {
    void SetCursorKind(int) override {}
    void CopyToClipboard(const std::string& text) override { clipboard = text; }
    std::string GetClipboardText() override { return clipboard; }
    void SafeDelete(Varn::Widget*) override {}
    Varn::ButtonListener* GetButtonListener() override { return nullptr; }
    std::string clipboard;
};

class Reader {
public:
    Reader(const std::uint8_t* bytes, std::size_t count) : data(bytes), size(count) {}
    bool More() const { return at < size; }
    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
    std::string Text() {
        std::string text;
        for (int n = Byte() % 24; n > 0 && More(); --n) text += static_cast<char>(Byte());
        return text;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

bool Accepted(char c) {
    auto code = static_cast<unsigned char>(c);
    return code >= 32 && code != 127 && code % 10 != 0;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ScriptHost host;
    ScriptFont font;
    Varn::WidgetManager manager(&host);
    Varn::EditWidget edit(1, nullptr);
    edit.SetFont(&font);
    edit.Resize(0, 0, 60, 20);
    manager.AddWidget(&edit);
    manager.SetFocus(&edit);
    Reader in(data, size);
    bool textFromOutside = false;
    while (in.More()) {
        switch (in.Byte() % 9) {
            case 0:
                manager.KeyDown(in.Byte());
                break;
            case 1:
                manager.KeyUp(in.Byte());
                break;
            case 2:
                manager.KeyChar(static_cast<char>(in.Byte()));
                break;
            case 3:
                host.clipboard = in.Text();
                break;
            case 4:
                manager.MouseDown(in.Byte() - 64, in.Byte() % 20, 1);
                break;
            case 5:
                manager.MouseDrag(in.Byte() - 64, in.Byte() % 20);
                break;
            case 6:
                manager.MouseUp(in.Byte() - 64, 5);
                break;
            case 7:
                edit.maxChars = in.Byte() % 2 ? -1 : in.Byte() % 16;
                edit.maxPixels = in.Byte() % 2 ? -1 : in.Byte();
                break;
            default:
                edit.SetText(in.Text());
                textFromOutside = true;
                break;
        }
        const int length = static_cast<int>(edit.text.size());
        Check(edit.cursor >= 0 && edit.cursor <= length);
        Check(edit.highlight >= -1 && edit.highlight <= length);
        Check(edit.scroll >= 0 && edit.scroll <= length);
        if (!textFromOutside)
            for (char c : edit.text) Check(Accepted(c));
    }
    manager.RemoveWidget(&edit);
    return 0;
}
