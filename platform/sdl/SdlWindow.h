// The SDL2 main window: event pump into window messages, presentation of
// frames through a streaming texture, system cursors.
#pragma once

#include <SDL.h>

#include <array>

#include "platform/Platform.h"

namespace Varn {

class SdlWindow : public PlatformWindow {
public:
    SdlWindow();
    ~SdlWindow() override;

    bool Create(const std::string& title, int width, int height, bool fullscreen) override;
    void Destroy() override;
    bool Exists() const override { return window != nullptr; }
    void Show() override;
    void Minimize() override;
    bool IsMinimized() const override;
    void SetTitle(const std::string& title) override;
    void SetIcon(int width, int height, const uint32_t* argbPixels) override;

    int DesktopBytesPerPixel() const override;
    bool Present(const FrameView& frame) override;

    void PumpMessages(std::vector<WindowMessage>& out) override;
    bool PointerInClient() override;
    void SetCapture(bool capture) override;

    void SetSystemCursor(SystemCursor cursor) override;
    void SetCursorImage(SystemCursor cursor, const uint32_t* argbPixels, int hotX,
                        int hotY) override;
    void ShowSystemCursor(bool show) override;

private:
    bool CreateRenderer();
    bool EnsureTexture(const FrameView& frame, bool& fresh);
    void TranslateEvent(const SDL_Event& event, std::vector<WindowMessage>& out);
    void TranslateKey(const SDL_KeyboardEvent& key, bool down, std::vector<WindowMessage>& out);

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    PixelFormat textureFormat = PixelFormat::kXrgb8888;
    int textureWidth = 0;
    int textureHeight = 0;
    int logicalWidth = 0;
    int logicalHeight = 0;
    bool displayLost = false;
    bool rendererLost = false;
    uint64_t lastTimerTick = 0;
    std::array<SDL_Cursor*, 4> cursors{};
};

}  // namespace Varn
