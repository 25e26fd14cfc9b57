// DisplayDevice: what the application needs of the display. It is set up for
// the main window, windowed or full screen, gives the screen image every widget
// draws into, and presents it once per drawn frame.
#pragma once

#include <string>

namespace Varn {

class Image;
class PlatformWindow;

// Result codes of Init.
enum DisplayResult : int {
    RESULT_OK = 0,
    RESULT_FAIL = 1,
    RESULT_DD_CREATE_FAIL = 2,
    RESULT_SURFACE_FAIL = 3,
    RESULT_EXCLUSIVE_FAIL = 4,
    RESULT_DISPCHANGE_FAIL = 5,
    RESULT_INVALID_COLORDEPTH = 6,
};

// The exact name of a result code; "RESULT_UNKNOWN" for any other value.
std::string DisplayResultName(int result);

class DisplayDevice {
public:
    virtual ~DisplayDevice() = default;
    virtual int Init(PlatformWindow* window, bool windowed) = 0;
    virtual std::string ResultToString(int result) { return DisplayResultName(result); }
    virtual Image* GetScreenImage() = 0;
    // Presents the screen image; false if the display was lost.
    virtual bool Redraw() = 0;
};

}  // namespace Varn
