// The crash report window of the report process. It uses nothing of the widget machinery
// (which may be what failed): one platform window, a memory image drawn through Graphics and
// the system fonts. 400x300, titled "Fatal Error!", at (64, 64): the message in bold sans,
// the report in a scrollable monospace area (wheel, arrows, Page Up/Down, Home/End, clicks on
// the scroll bar) and an "Exit" button. Enter, Escape, the close box or Exit end it; Ctrl+C
// copies the report to the clipboard.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/MemoryImage.h"
#include "graphics/Rect.h"
#include "platform/Platform.h"

namespace Varn {

class Font;

// The message above the report; the address is the one the maker reads error reports at
// (the build setting GEMLODE_CRASH_MAIL).
extern const char* const kCrashMessage;

// Puts the report on the clipboard (only when the crashed process had an application
// object) and shows it in the window until the player closes it. False when no window
// could be made.
bool PresentCrashReport(Platform& platform, const std::string& report, bool toClipboard);

class CrashWindow {
public:
    CrashWindow(Platform& platform, const std::string& report);
    ~CrashWindow();
    CrashWindow(const CrashWindow&) = delete;
    CrashWindow& operator=(const CrashWindow&) = delete;

    // Shows the window and runs until it is closed. False if no window could be made.
    bool Run();

    // The parts of Run, for tests.
    bool Open();
    void HandleMessage(const WindowMessage& message);
    void Draw();
    bool Done() const { return done; }
    int FirstLine() const { return firstLine; }
    int LineCount() const { return int(lines.size()); }
    int VisibleLines() const;
    const MemoryImage& Canvas() const { return canvas; }

    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;

private:
    void Present();
    void ScrollTo(int line);
    void Click(int x, int y, bool down);
    void HandleKey(int code);
    void DrawMessage(Graphics& g);
    void DrawReport(Graphics& g);
    void DrawScrollBar(Graphics& g);
    void DrawButton(Graphics& g);
    Rect Thumb() const;

    Platform& platform;
    std::string report;
    std::unique_ptr<Font> messageFont;
    std::unique_ptr<Font> reportFont;
    std::unique_ptr<Font> buttonFont;
    std::vector<std::string> lines;  // the report wrapped to the area's width
    std::vector<std::string> messageLines;
    MemoryImage canvas;
    std::vector<uint32_t> frame;
    int firstLine = 0;
    bool done = false;
    bool dirty = true;
    bool buttonPressed = false;
};

}  // namespace Varn
