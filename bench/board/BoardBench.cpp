// Cost of the board's update tick in its busiest states (clearing with
// cascades after a whole-board set, the level-up whirl) and of the move and
// set searches. The budget of one tick is 10 ms; a tick should stay far
// below 1 % of it (100 us).
#include <benchmark/benchmark.h>

#include "tests/board/FakeBoardHost.h"

namespace Varn {
namespace {

using test::FakeBoardHost;
using test::LayOut;

// Every row one kind: the whole board is one big clear followed by a full
// refill, which then falls and may cascade.
const std::vector<std::string> kStriped = {"00000000", "11111111", "22222222", "33333333",
                                           "44444444", "55555555", "66666666", "00000000"};

void BM_UpdateTickClearingWithCascades(benchmark::State& state) {
    FakeBoardHost host(9);
    Board board(host, false);
    std::int64_t ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        LayOut(board, kStriped);
        board.state = BoardState::Falling;
        board.updateCount = 1000;
        state.ResumeTiming();
        // Settle-find, vanish, compact, fall, and every cascade after it.
        do {
            board.Update();
            ++ticks;
        } while (board.state == BoardState::Falling || board.state == BoardState::Clearing);
    }
    state.SetItemsProcessed(ticks);
    state.counters["ns_per_tick"] = benchmark::Counter(
        static_cast<double>(ticks), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UpdateTickClearingWithCascades)->Unit(benchmark::kMicrosecond);

void BM_UpdateTickLevelUpWhirl(benchmark::State& state) {
    FakeBoardHost host(10);
    Board board(host, false);
    std::int64_t ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        LayOut(board);
        board.updateCount = 1000;
        board.StartLevelUp();
        state.ResumeTiming();
        while (board.state == BoardState::LevelUpWhirl) {
            board.Update();
            ++ticks;
        }
        state.PauseTiming();
        board.level = 0;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(ticks);
    state.counters["ns_per_tick"] = benchmark::Counter(
        static_cast<double>(ticks), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_UpdateTickLevelUpWhirl)->Unit(benchmark::kMicrosecond);

void BM_UpdateTickIdle(benchmark::State& state) {
    FakeBoardHost host(11);
    Board board(host, false);
    LayOut(board, {"........", "........", "........", "........", "...6....", ".66....."});
    board.MouseMove(300, 200);
    for (auto _ : state) {
        board.Update();
        board.idleTicks = 0;
    }
}
BENCHMARK(BM_UpdateTickIdle);

void BM_FindMoveWithoutAnyMove(benchmark::State& state) {
    FakeBoardHost host(12);
    Board board(host, false);
    LayOut(board);  // the move-free pattern: the search runs to the end
    for (auto _ : state) benchmark::DoNotOptimize(board.FindMove(nullptr, 0, true, true));
}
BENCHMARK(BM_FindMoveWithoutAnyMove);

void BM_FindSetsOnAFullBoard(benchmark::State& state) {
    BoardGrid grid;
    GameRandom random(13);
    grid.Fill(random);
    for (auto _ : state) benchmark::DoNotOptimize(grid.FindSets());
}
BENCHMARK(BM_FindSetsOnAFullBoard);

void BM_FillBoard(benchmark::State& state) {
    BoardGrid grid;
    GameRandom random(14);
    for (auto _ : state) {
        grid.Fill(random);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillBoard);

}  // namespace
}  // namespace Varn

BENCHMARK_MAIN();
