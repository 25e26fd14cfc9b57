// The SDL2 main window: event pump into window messages, presentation of
// frames, system cursors.
//
// Presentation: in a window and in full screen alike, the picture goes to SDL's window
// surface, scaled in software (the window is the picture times a whole number; full screen
// keeps the desktop's mode and puts black bars around the largest whole multiple that fits
// or around the sharp fill, as the player chose, FillScale). Only the changed rows are
// scaled, copied and sent to the server. The
// window surface never loads an OpenGL driver, which on a machine without a GPU driver
// rasterises every presentation in software and costs tens of megabytes. Where SDL offers
// no window surface, a renderer scales a streaming texture instead. The choice and its
// reason are written to the log.
//
// Pointer positions arrive in picture coordinates: through the same scale, less the bars.
// Full-screen switches keep the window (SDL_SetWindowFullscreen with the desktop's mode),
// and leaving full screen puts it back where it stood.
//
// The pump also carries the game controllers' records (SdlControllers), and, in tests that
// ask for it through the environment, the scripted virtual controller (SdlPadScript).
#pragma once

#include <SDL.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/FillScale.h"
#include "platform/FrameChanges.h"
#include "platform/Platform.h"
#include "platform/WindowScale.h"
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

    bool SetFullscreen(bool fullscreen) override;
    void SetWindowScale(int requested) override;
    void SetFullScreenScaling(FullScreenScaling scaling) override;
    int MaxWindowScale() const override;

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
    // Locks the window surface before pixels are written, where SDL asks for it; 0 on
    // success. Replaceable, so a test can make it fail.
    std::function<int(SDL_Surface*)> lockSurface = [](SDL_Surface* surface) {
        return SDL_MUSTLOCK(surface) ? SDL_LockSurface(surface) : 0;
    };
    // "scale N" or "fill WxH".
    std::string PlacementText() const;

private:
    // The cursor artwork as given, scaled with the picture when a cursor is made of it.
    struct CursorArt {
        std::vector<uint32_t> argb;
        int hotX = 0;
        int hotY = 0;
    };

    SDL_Rect UsableArea() const;
    int ChosenWindowScale() const;
    int WindowPosition(int scale) const;
    // The picture's place in the window's current size; the cursors follow its scale.
    void PlaceInWindow();
    void PlaceIn(int outputWidth, int outputHeight);
    int32_t PicturePoint(int windowX, int windowY) const;
    void MakeCursor(SystemCursor cursor);
    bool ChoosePresentation();
    void SetRendererScaling();
    const uint8_t* SurfaceRow(SDL_Surface* surface, const FrameView& frame, int y, int x,
                              int width);
    SDL_Rect ScaleToSurface(SDL_Surface* surface, const FrameView& frame, PictureRect area);
    SDL_Rect FillSurface(SDL_Surface* surface, const FrameView& frame, const PictureRect& area);
    void RememberWindowedPosition();
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
    // New window surfaces start black: the bars around the picture are never painted.
    bool surfacesStartBlack = false;
    PixelFormat textureFormat = PixelFormat::kXrgb8888;
    int textureWidth = 0;
    int textureHeight = 0;
    int logicalWidth = 0;
    int logicalHeight = 0;
    int requestedScale = 0;
    bool fullscreenNow = false;
    FullScreenScaling fullScreenScaling = FullScreenScaling::Automatic;
    PicturePlacement placement;
    std::string placementLogged;
    // The fill's tables for the current placement.
    PictureFill fill;
    int surfaceBytes = 4;
    // Where the window stood before full screen; SDL's own memory of it is overwritten by
    // the configure events of the full-screen geometry on servers without a manager.
    bool windowedPositionKnown = false;
    int windowedX = 0;
    int windowedY = 0;
    // A row of the picture converted to the surface's pixel format, when the two differ.
    std::vector<uint8_t> converted;
    // The frame as last presented, to scale and send only what really changed.
    FrameChanges frameChanges;
    std::array<CursorArt, 4> cursorArt{};
    int cursorScale = 1;
    SystemCursor currentCursor = SystemCursor::kArrow;
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
