// Cost of drawing the board: a whole frame in play (gems, a message, floating
// scores, panel), a frame while the level-up wipe runs, building a level
// background, and the message frame alone; against the floor of copying one
// opaque 640 x 480 picture, which every frame pays.
#include <benchmark/benchmark.h>

#include "board/BoardBackground.h"
#include "board/BoardMessageFrame.h"
#include "board/BoardRenderer.h"
#include "tests/board_draw/DrawTestArt.h"
#include "tests/board_draw/DrawTestHost.h"

namespace Varn::test {
namespace {

struct PlayingBoard {
    DrawTestHost host{17};
    DrawTestArt art;
    Board board{host, false};
    TestScreen screen;
    PlayingBoard() {
        LayOut(board);
        board.SetArt(&art);
        board.ShowMessage("EXCELLENT!", 200);
        board.message.remaining = 120;
        board.scorePopups.push_back(ScorePopup{300, 200, 100, -1, 120});
        board.scorePopups.push_back(ScorePopup{400, 260, 9, 2, 60});
        board.grid.At(3, 3)->glowing = true;
        board.grid.At(3, 3)->glow = 0.6;
        board.selected = board.grid.At(4, 4);
        board.barPixels = 200;
    }
};

void BM_CopyOpaqueScreenOnly(benchmark::State& state) {
    auto source = SolidImage(640, 480, Color(30, 60, 90));
    TestScreen screen;
    for (auto _ : state) {
        Graphics g(screen.image.get());
        g.DrawImage(source.get(), 0, 0);
        benchmark::DoNotOptimize(screen.image->GetBits());
    }
}
BENCHMARK(BM_CopyOpaqueScreenOnly);

void BM_DrawBoardInPlay(benchmark::State& state) {
    PlayingBoard p;
    for (auto _ : state) {
        p.board.message.phase += 0.07;
        p.screen.Draw(p.board);
        benchmark::DoNotOptimize(p.screen.image->GetBits());
    }
}
BENCHMARK(BM_DrawBoardInPlay);

void BM_DrawBoardDuringWipe(benchmark::State& state) {
    PlayingBoard p;
    p.board.grid.Clear();
    p.board.selected = nullptr;
    p.board.state = BoardState::NewLevelWipe;
    int level = 1;
    for (auto _ : state) {
        // A new level every 160 frames, three lines revealed per frame.
        if (p.board.wipeLine > 480) {
            p.board.level = ++level;
            p.board.wipeLine = 0;
        }
        p.board.wipeLine += 3;
        p.screen.Draw(p.board);
        benchmark::DoNotOptimize(p.screen.image->GetBits());
    }
}
BENCHMARK(BM_DrawBoardDuringWipe);

void BM_BuildLevelBackground(benchmark::State& state) {
    DrawTestArt art;
    MemoryImage background(nullptr);
    int level = 0;
    for (auto _ : state) {
        BuildLevelBackground(background, level++, art);
        benchmark::DoNotOptimize(background.GetBits());
    }
}
BENCHMARK(BM_BuildLevelBackground);

void BM_RenderMessageFrame(benchmark::State& state) {
    DrawTestArt art;
    BoardMessageFrame frame(nullptr);
    BoardMessage message;
    message.text = "EXCELLENT!";
    message.width = art.OverFont()->StringWidth(message.text);
    message.height = art.OverFont()->GetHeight();
    message.ascent = art.OverFont()->GetAscent();
    message.active = true;
    message.duration = 200;
    message.remaining = 120;
    for (auto _ : state) {
        message.phase += 0.07;
        benchmark::DoNotOptimize(frame.Render(message, art.OverFont()));
    }
}
BENCHMARK(BM_RenderMessageFrame);

}  // namespace
}  // namespace Varn::test

BENCHMARK_MAIN();
