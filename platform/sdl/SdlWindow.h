// The SDL2 main window: event pump into window messages, presentation of
// frames, system cursors.
//
// Presentation takes one of two paths, chosen per mode when the window is created (measured
// under a software X server, where both are CPU work): in a window, the window surface, into
// which only the changed rows are copied and from which only those rows are sent to the
// server; in full screen, a renderer that scales the frame to the output (a streaming texture
// updated by rows). The window surface never loads an OpenGL driver, which on a machine
// without a GPU driver rasterises every presentation in software and costs tens of megabytes.
// The choice is written to the log, with the renderer's name.
//
// The pump also carries the game controllers' records (SdlControllers), and, in tests that
// ask for it through the environment, the scripted virtual controller (SdlPadScript).
#pragma once

#include <SDL.h>

#include <array>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/sdl/SdlControllers.h"
#include "platform/sdl/SdlPadScript.h"

namespace Varn {

class SdlWindow : public PlatformWindow {
public:
    SdlWindow();
    ~SdlWindow() override;

    bool Create(const std::string& title, int width, int height, bool fullscreen) override;
    void Destroy() override;
    bool Exists() const override { return window != nullptr; }
    void Show() override;
    void Hide() override;
    void Minimize() override;
    bool IsMinimized() const override;
    bool IsHidden() const;
    void SetTitle(const std::string& title) override;
    void SetIcon(int width, int height, const uint32_t* argbPixels) override;

    int DesktopBytesPerPixel() const override;
    bool Present(const FrameView& frame) override;

    void PumpMessages(std::vector<WindowMessage>& out) override;
    bool PointerInClient() override;
    // Whether a point in window pixels lies on the game's picture (not on a letterbox bar).
    bool PictureContains(int windowX, int windowY) const;
    void SetCapture(bool capture) override;

    void SetSystemCursor(SystemCursor cursor) override;
    void SetCursorImage(SystemCursor cursor, const uint32_t* argbPixels, int hotX,
                        int hotY) override;
    void ShowSystemCursor(bool show) override;

    // "window surface" or "renderer NAME": how frames reach the screen.
    std::string PresentationPath() const;

private:
    bool ChoosePresentation(bool fullscreen);
    bool CreateRenderer();
    bool EnsureTexture(const FrameView& frame, bool& fresh);
    bool PresentToSurface(const FrameView& frame);
    bool PresentThroughRenderer(const FrameView& frame);
    void TranslateEvent(const SDL_Event& event, std::vector<WindowMessage>& out);
    void TranslateKey(const SDL_KeyboardEvent& key, bool down, std::vector<WindowMessage>& out);

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    // Set while the window surface path is in use; null until the next presentation
    // fetches it (again), which then sends every row.
    SDL_Surface* windowSurface = nullptr;
    bool useWindowSurface = false;
    PixelFormat textureFormat = PixelFormat::kXrgb8888;
    int textureWidth = 0;
    int textureHeight = 0;
    int logicalWidth = 0;
    int logicalHeight = 0;
    bool displayLost = false;
    bool rendererLost = false;
    // Set by an Alt+key press: the text SDL derives from it is not typing.
    bool dropText = false;
    uint64_t lastTimerTick = 0;
    std::array<SDL_Cursor*, 4> cursors{};
    // The script first: its virtual controller is then announced to the controllers.
    std::unique_ptr<SdlPadScript> padScript;
    SdlControllers controllers;
};

}  // namespace Varn
