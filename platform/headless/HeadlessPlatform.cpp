#include "platform/headless/HeadlessPlatform.h"

#include <cstring>

namespace Varn {

bool HeadlessWindow::Create(const std::string& windowTitle, int w, int h, bool isFullscreen) {
    ++createCount;
    if (refuseCreate) return false;
    title = windowTitle;
    width = w;
    height = h;
    fullscreen = isFullscreen;
    exists = true;
    minimized = false;
    return true;
}

bool HeadlessWindow::SetFullscreen(bool isFullscreen) {
    if (refuseSwitch || !exists) return false;
    ++switchCount;
    fullscreen = isFullscreen;
    return true;
}

bool HeadlessWindow::Present(const FrameView& frame) {
    if (loseDisplayPresents > 0) {
        --loseDisplayPresents;
        return false;
    }
    ++presentCount;
    lastFrame = frame;
    if (copyFrames && frame.pixels) {
        const auto* bytes = static_cast<const uint8_t*>(frame.pixels);
        lastPixels.assign(bytes, bytes + size_t(frame.pitch) * frame.height);
        lastFrame.pixels = lastPixels.data();
    }
    return true;
}

void HeadlessWindow::PumpMessages(std::vector<WindowMessage>& out) {
    if (onPump) onPump(*this);
    while (!pending.empty()) {
        out.push_back(pending.front());
        pending.pop_front();
    }
}

void HeadlessWindow::PostMouse(int type, int x, int y, bool leftHeld) {
    WindowMessage m;
    m.message = type;
    m.wparam = leftHeld ? 1 : 0;
    m.lparam = WindowMessage::PackPoint(x, y);
    Post(m);
}

void HeadlessWindow::PostKey(int type, int code) {
    WindowMessage m;
    m.message = type;
    m.wparam = uint32_t(code);
    Post(m);
}

void HeadlessWindow::PostPad(int button, bool down) {
    WindowMessage m;
    m.message = down ? kMsgPadButtonDown : kMsgPadButtonUp;
    m.wparam = uint32_t(button);
    Post(m);
}

}  // namespace Varn
