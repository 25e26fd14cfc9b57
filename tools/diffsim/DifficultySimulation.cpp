// gemlode_diffsim: plays many games on the real board model with a simulated
// player to check the difficulty table. Not part of the default build.
//   gemlode_diffsim DIFF_TXT [GAMES]
// The player settles on a move a while after the board comes to rest (think
// time drawn per move) and picks one of the legal swaps at random: a steady
// but unremarkable player. Reported per mode: moves and seconds per level;
// for timed mode also how long the game lasts and the level it ends on.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "board/Board.h"
#include "board/BoardHost.h"
#include "board/DifficultyTable.h"
#include "board/GameRandom.h"

namespace {

using namespace Varn;

class SimulationHost : public BoardHost {
public:
    SimulationHost(const DifficultyTable& table, std::uint32_t seed)
        : table_(table), random_(seed) {}
    void PlaySound(int) override {}
    void PlaySound(int, int) override {}
    std::unique_ptr<BoardSoundLoop> StartSoundLoop(int) override { return nullptr; }
    void ShowStartTip() override {}
    bool CloseDialog(int) override { return true; }
    bool StartTipWanted() override { return false; }
    void ClearStartTipWanted() override {}
    int TimesPlayed() override { return 10; }
    void SetTimesPlayed(int) override {}
    void ShowGameOver() override { gameOver = true; }
    void NewBoard() override { gameOver = true; }
    void SetMode(bool, bool) override {}
    const DifficultyTable& Difficulty() override { return table_; }
    GameRandom& Random() override { return random_; }
    std::uint32_t TickCountMs() override { return ticks * 10; }
    int MessageTextWidth(const std::string& text) override {
        return static_cast<int>(text.size()) * 30;
    }
    int MessageFontHeight() override { return 53; }
    int MessageFontAscent() override { return 37; }
    int DigitFontAscent() override { return 14; }

    bool gameOver = false;
    std::uint32_t ticks = 0;

private:
    DifficultyTable table_;
    GameRandom random_;
};

struct LevelRecord {
    int moves = 0;
    int ticks = 0;
};

struct GameRecord {
    std::vector<LevelRecord> levels{1};
    int ticks = 0;
    bool ended = false;
};

void MakeMove(Board& board, GameRandom& player) {
    int count = 0;
    while (board.FindMove(nullptr, count, true, true)) ++count;
    SwapMove m;
    if (count == 0 || !board.FindMove(&m, player.Below(count), true, true)) return;
    board.MouseMove(ColumnX(m.column) + 24, RowY(m.row) + 24);
    board.MouseDown(ColumnX(m.column) + 24, RowY(m.row) + 24, 1);
    board.MouseDown(ColumnX(m.otherColumn) + 24, RowY(m.otherRow) + 24, 1);
}

GameRecord PlayGame(const DifficultyTable& table, bool timed, std::uint32_t seed, int thinkTicks,
                    int maxTicks) {
    SimulationHost host(table, seed);
    GameRandom player(seed * 7919u + 3u);
    Board board(host, timed);
    GameRecord rec;
    BoardState previous = board.state;
    int wait = 0;
    for (; rec.ticks < maxTicks && !host.gameOver; ++rec.ticks, ++host.ticks) {
        board.Update();
        ++rec.levels.back().ticks;
        if (board.state == BoardState::NewLevelWipe && previous != BoardState::NewLevelWipe)
            rec.levels.push_back({});
        if (board.state == BoardState::Idle && previous != BoardState::Idle)
            wait = thinkTicks / 2 + player.Below(thinkTicks);
        previous = board.state;
        if (board.state != BoardState::Idle || wait-- > 0) continue;
        MakeMove(board, player);
        if (board.state == BoardState::Swapping) ++rec.levels.back().moves;
        wait = 1 << 30;
    }
    rec.ended = host.gameOver || board.state == BoardState::GameOverShown;
    return rec;
}

void Report(const DifficultyTable& table, bool timed, int games, int thinkTicks) {
    const int kLevels = 6;
    std::vector<double> moves(kLevels, 0), seconds(kLevels, 0), completed(kLevels, 0);
    double gameSeconds = 0, levelReached = 0, totalMoves = 0;
    for (int g = 0; g < games; ++g) {
        GameRecord r = PlayGame(table, timed, 1000u + static_cast<std::uint32_t>(g), thinkTicks,
                                timed ? 360000 : 180000);
        gameSeconds += r.ticks / 100.0;
        levelReached += static_cast<double>(r.levels.size());
        for (size_t l = 0; l < r.levels.size(); ++l) {
            totalMoves += r.levels[l].moves;
            if (l + 1 < r.levels.size() &&
                l < static_cast<size_t>(kLevels)) {  // finished levels only
                moves[l] += r.levels[l].moves;
                seconds[l] += r.levels[l].ticks / 100.0;
                completed[l] += 1;
            }
        }
    }
    std::printf("%s mode, %d games, think time %.1f-%.1f s:\n", timed ? "timed" : "normal", games,
                thinkTicks / 200.0, thinkTicks * 1.5 / 100.0);
    for (int l = 0; l < kLevels; ++l)
        if (completed[l] > 0)
            std::printf("  level %d: finished in %2.0f%% of games, %5.1f moves, %6.1f s\n", l + 1,
                        100.0 * completed[l] / games, moves[l] / completed[l],
                        seconds[l] / completed[l]);
    std::printf("  game: %.1f s (cut at %d s), level reached %.2f, %.1f moves\n",
                gameSeconds / games, timed ? 3600 : 1800, levelReached / games, totalMoves / games);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: gemlode_diffsim DIFF_TXT [GAMES]\n");
        return 2;
    }
    DifficultyTable table;
    if (ReadDifficultyTableFile(argv[1], table) != DifficultyTable::kValueCount) {
        std::fprintf(stderr, "gemlode_diffsim: %s has not twelve values\n", argv[1]);
        return 1;
    }
    int games = argc > 2 ? std::atoi(argv[2]) : 40;
    Report(table, false, games, 120);
    Report(table, true, games, 120);
    Report(table, true, games, 60);
    return 0;
}
