// The cost of one idle loop pass, and of the widget manager's update and
// drawing passes over 50 widgets.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "framework/VarnApp.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "platform/headless/HeadlessPlatform.h"
#include "widgets/Widget.h"
#include "widgets/WidgetHost.h"
#include "widgets/WidgetManager.h"

namespace Varn {
namespace {

struct NullHost : WidgetHost {
    void SetCursorKind(int) override {}
    void CopyToClipboard(const std::string&) override {}
    std::string GetClipboardText() override { return {}; }
    void SafeDelete(Widget*) override {}
    ButtonListener* GetButtonListener() override { return nullptr; }
};

// A small opaque tile that changes every update, like a busy game widget.
struct Tile : Widget {
    void Update() override {
        Widget::Update();
        MarkDirty();
    }
    void Draw(Graphics* g) override {
        g->SetColor(Color(updateCount & 0xFF, 64, 128));
        g->FillRect(0, 0, width, height);
    }
};

void BM_IdleLoopPass(benchmark::State& state) {
    HeadlessPlatform platform;
    VarnApp app(&platform);
    app.Init();
    app.running = true;
    app.updateClock = platform.clock.now;
    for (auto _ : state) {
        platform.clock.Advance(10);
        app.PumpMessages();
        app.ProcessMessageQueue();
        app.ProcessFrame(false);
    }
}
BENCHMARK(BM_IdleLoopPass);

class FiftyWidgets : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override {
        screen.Create(640, 480);
        manager.SetScreenImage(&screen);
        for (int i = 0; i < 50; ++i) {
            tiles.push_back(std::make_unique<Tile>());
            tiles[i]->Resize((i % 10) * 64, (i / 10) * 96, 60, 90);
            manager.AddWidget(tiles[i].get());
        }
    }
    void TearDown(const benchmark::State&) override {
        for (auto& tile : tiles) manager.RemoveWidget(tile.get());
        tiles.clear();
    }
    NullHost host;
    WidgetManager manager{&host};
    MemoryImage screen{nullptr};
    std::vector<std::unique_ptr<Tile>> tiles;
};

BENCHMARK_F(FiftyWidgets, UpdatePass)(benchmark::State& state) {
    for (auto _ : state) manager.UpdateFrame();
}

BENCHMARK_F(FiftyWidgets, DrawPass)(benchmark::State& state) {
    for (auto _ : state) {
        manager.MarkAllDirty();
        benchmark::DoNotOptimize(manager.DrawScreen());
    }
}

}  // namespace
}  // namespace Varn

BENCHMARK_MAIN();
