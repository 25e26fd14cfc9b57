// A small program for the window tests: the framework's application object on the real SDL
// backend and display device, with one widget that draws a fixed picture (colour bands, a
// translucent sprite, an additive rectangle, a line) and reports its input on stdout as
// "MouseDown x y code" and "KeyChar n" lines. After the first presentation it writes the draw
// surface to the file named by its argument (a "width height bits pitch" line, then the raw
// rows) and prints "PRESENTED", so a test can compare a screenshot with what was presented.
// It also reports screen-mode switches ("Windowed n") and whether the framework counts the
// pointer inside the program ("InClient n", at each change).
#include <cstdio>
#include <fstream>
#include <memory>
#include <vector>

#include "framework/VarnApp.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/Platform.h"
#include "widgets/Widget.h"
#include "widgets/WidgetManager.h"

namespace {

using namespace Varn;

class ProbeWidget : public Widget {
public:
    ProbeWidget() {
        std::vector<uint32_t> pixels(48 * 48);
        for (int row = 0; row < 48; ++row)
            for (int col = 0; col < 48; ++col) {
                uint32_t alpha = col < 8 ? 0 : col < 40 ? 255 : uint32_t(255 - (col - 40) * 30);
                pixels[std::size_t(row * 48 + col)] =
                    alpha << 24 | uint32_t(row * 5) << 16 | 0x40C0u;
            }
        sprite.SetBits(pixels.data(), 48, 48);
    }

    void Draw(Graphics* g) override {
        const Color bands[] = {Color(255, 0, 0), Color(0, 255, 0), Color(0, 0, 255),
                               Color(200, 100, 50)};
        for (int i = 0; i < 4; ++i) {
            g->SetColor(bands[i]);
            g->FillRect(i * 160, 0, 160, 480);
        }
        g->DrawImage(&sprite, 300, 200);
        g->SetColor(Color(255, 255, 255, 96));
        g->FillRect(20, 300, 200, 40);
        g->SetDrawMode(DrawMode::Additive);
        g->SetColor(Color(0, 60, 200));
        g->FillRect(400, 60, 120, 90);
        g->SetDrawMode(DrawMode::Normal);
        g->SetColor(Color(255, 255, 255));
        g->DrawLine(10, 470, 630, 400);
    }
    void MouseDown(int atX, int atY, int code) override {
        std::printf("MouseDown %d %d %d\n", atX, atY, code);
        std::fflush(stdout);
    }
    void KeyChar(char ch) override {
        std::printf("KeyChar %d\n", int(static_cast<unsigned char>(ch)));
        std::fflush(stdout);
    }
    bool WantsFocus() override { return true; }

private:
    MemoryImage sprite{nullptr};
};

class ProbeApp : public VarnApp {
public:
    ProbeApp(Platform* sdl, const char* dumpPath) : VarnApp(sdl), dump(dumpPath) {
        title = "Display probe";
        loaded = true;
    }

    void SwitchScreenMode(bool toWindowed) override {
        VarnApp::SwitchScreenMode(toWindowed);
        std::printf("Windowed %d\n", windowed ? 1 : 0);
        std::fflush(stdout);
    }

    // Whether the framework counts the pointer inside the program, at each change.
    void UpdateTick() override {
        VarnApp::UpdateTick();
        if (mouseInClient == reportedInClient) return;
        reportedInClient = mouseInClient;
        std::printf("InClient %d\n", mouseInClient ? 1 : 0);
        std::fflush(stdout);
    }

    void PresentScreen() override {
        VarnApp::PresentScreen();
        if (dumped || drawCount == 0) return;
        auto* device = dynamic_cast<DDInterface*>(GetDisplayDevice());
        DDSurface* surface = device ? device->GetScreenDDImage()->GetSurface() : nullptr;
        if (!surface) return;
        std::ofstream out(dump, std::ios::binary);
        out << surface->GetWidth() << ' ' << surface->GetHeight() << ' '
            << surface->GetLayout().bitCount << ' ' << surface->GetPitch() << '\n';
        out.write(reinterpret_cast<const char*>(surface->Pixels()),
                  std::streamsize(surface->GetPitch()) * surface->GetHeight());
        out.close();
        dumped = true;
        std::printf("PRESENTED %d\n", surface->GetLayout().bitCount);
        std::fflush(stdout);
    }

private:
    const char* dump;
    bool dumped = false;
    bool reportedInClient = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: display_probe <frame dump file>\n");
        return 2;
    }
    std::unique_ptr<Platform> platform = CreateSdlPlatform();
    ProbeApp app(platform.get(), argv[1]);
    app.Init();
    // Full screen keeps the picture unscaled with bars around, which the tests look for.
    app.SetFullScreenScaling(FullScreenScaling::WholeMultiples);
    ProbeWidget widget;
    widget.Resize(0, 0, 640, 480);
    app.GetWidgetManager()->AddWidget(&widget);
    app.GetWidgetManager()->SetFocus(&widget);
    app.Run();
    app.GetWidgetManager()->RemoveWidget(&widget);
    app.Shutdown();
    return 0;
}
