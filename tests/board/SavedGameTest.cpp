// The saved game: the exact layout, the round trip through the board, the
// states that are adjusted on loading, and every refusal (which must leave
// the board untouched).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "FakeBoardHost.h"
#include "board/SavedGame.h"
#include "board/SavedGameFile.h"
#include "tests/platform/FifoRelease.h"
#include "tests/platform/SystemFaults.h"

namespace Varn {
namespace {

using test::FakeBoardHost;
using test::LayOut;
using test::Tick;
using test::TickUntil;

namespace fs = std::filesystem;

class SavedGameTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir =
            fs::temp_directory_path() /
            ("gemlode-board-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "savegame.dat").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    std::unique_ptr<Board> MakeBoard(bool timed = false) {
        auto board = std::make_unique<Board>(host, timed);
        board->savePath = path;
        return board;
    }
    // A game in progress with distinctive values.
    std::unique_ptr<Board> PlayedBoard() {
        auto board = MakeBoard(true);
        LayOut(*board, {"........", "........", "........", "........", "...6....", ".66....."});
        board->noMoveYet = false;
        board->level = 3;
        board->levelNumber = 4;
        board->score = 12345;
        board->displayedScore = 12000;
        board->multiplier = 3.5;
        board->barPixels = 211;
        board->barFrame = 14;
        board->playedSeconds = 77;
        board->idleTicks = 321;
        board->gemsCleared = 456;
        board->setsThisMove = 2;
        board->cascadeLevel = 3;
        board->longestCascade = 5;
        board->bestMove = 990;
        board->levelStartScore = 9000;
        board->levelTargetScore = 15000;
        board->pointsNeeded = 6000;
        board->drain = 123.25;
        board->drainRate = 40.5;
        board->drainAccel = 2.25;
        board->wipeLine = 42;
        board->blackHoleFrame = 6;
        board->whirlpoolVolume = 0.5;
        board->levelMessage = true;
        Gem* gem = board->grid.At(2, 6);
        gem->glowing = true;
        gem->glow = 0.75;
        gem->glowFrame = 9;
        gem->spinFrame = 4;
        gem->sparkleCountdown = 12;
        gem->sparkleFrame = 30;
        gem->vy = 2.5;
        return board;
    }
    std::vector<std::uint8_t> FileBytes() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void WriteBytes(const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    FakeBoardHost host{8};
    fs::path dir;
    std::string path;
};

TEST_F(SavedGameTest, FullBoardFileIs7873BytesWithTheFieldsWhereTheLayoutSays) {
    auto board = PlayedBoard();
    ASSERT_TRUE(board->CanSaveGame());
    ASSERT_TRUE(board->SaveGame());
    const std::vector<std::uint8_t> bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 7873u);
    auto int32At = [&](std::size_t at) {
        std::int32_t v;
        std::memcpy(&v, &bytes[at], 4);
        return v;
    };
    auto realAt = [&](std::size_t at) {
        double v;
        std::memcpy(&v, &bytes[at], 8);
        return v;
    };
    EXPECT_EQ(int32At(0), 1);
    EXPECT_EQ(bytes[4], 1);
    EXPECT_EQ(int32At(5), 3);
    EXPECT_EQ(int32At(9), 4);
    // Cell (2,6): index 50.
    const std::size_t gem = 13 + 50 * 121 + 1;
    EXPECT_EQ(bytes[gem - 1], 1);
    EXPECT_EQ(int32At(gem + 24), 2);
    EXPECT_EQ(int32At(gem + 28), 6);
    EXPECT_EQ(realAt(gem + 40), 2.5);
    EXPECT_EQ(bytes[gem + 56], 1);
    EXPECT_EQ(realAt(gem + 64), 0.75);
    EXPECT_EQ(int32At(gem + 72), 9);
    EXPECT_EQ(int32At(gem + 84), 4);
    EXPECT_EQ(int32At(gem + 88), 12);
    EXPECT_EQ(int32At(gem + 92), 30);
    for (std::size_t pad : {4u, 36u, 57u, 58u, 63u, 77u, 79u}) EXPECT_EQ(bytes[gem + pad], 0);
    const std::size_t r = 13 + 64 * 121;
    EXPECT_EQ(int32At(r + 0), 1) << "Idle";
    EXPECT_EQ(bytes[r + 4], 1);
    EXPECT_EQ(bytes[r + 5], 0);
    EXPECT_EQ(int32At(r + 6), 211);
    EXPECT_EQ(int32At(r + 10), 77);
    EXPECT_EQ(int32At(r + 18), 12345);
    EXPECT_EQ(realAt(r + 22), 3.5);
    EXPECT_EQ(int32At(r + 46), 5);
    EXPECT_EQ(int32At(r + 67), 6000);
    EXPECT_EQ(realAt(r + 79), 40.5);
    EXPECT_EQ(int32At(r + 103), 6);
    EXPECT_EQ(realAt(r + 107), 0.5);
    EXPECT_EQ(bytes[r + 115], 1);
}

TEST_F(SavedGameTest, RoundTripRestoresTheGameWithGemsInTheirCells) {
    auto saved = PlayedBoard();
    ASSERT_TRUE(saved->SaveGame());
    auto loaded = MakeBoard(false);
    host.showStartTip = true;
    ASSERT_TRUE(loaded->LoadGame());
    ASSERT_EQ(host.modeCalls.size(), 1u);
    EXPECT_EQ(host.modeCalls[0], std::make_pair(true, false));
    EXPECT_FALSE(host.showStartTip);
    EXPECT_TRUE(loaded->timedMode);
    EXPECT_EQ(loaded->state, BoardState::Idle);
    EXPECT_EQ(loaded->score, 12345);
    EXPECT_EQ(loaded->displayedScore, 12000);
    EXPECT_EQ(loaded->barPixels, 211);
    EXPECT_EQ(loaded->levelNumber, 4);
    EXPECT_EQ(loaded->multiplier, 3.5);
    EXPECT_EQ(loaded->drain, 123.25);
    EXPECT_EQ(loaded->longestCascade, 5);
    EXPECT_FALSE(loaded->noMoveYet);
    for (int row = 0; row < 8; ++row)
        for (int column = 0; column < 8; ++column) {
            const Gem* a = saved->grid.At(column, row);
            const Gem* b = loaded->grid.At(column, row);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(a->kind, b->kind);
            EXPECT_EQ(b->x, ColumnX(column));
            EXPECT_EQ(b->y, RowY(row));
        }
    EXPECT_EQ(loaded->grid.At(2, 6)->glowFrame, 9);
    // Saving the loaded game gives the same bytes.
    const std::vector<std::uint8_t> first = FileBytes();
    loaded->playedSeconds = 77;
    host.nowMs = loaded->playStart;
    ASSERT_TRUE(loaded->SaveGame());
    EXPECT_EQ(FileBytes(), first);
}

TEST_F(SavedGameTest, GameSavedMidSwapContinuesIdleWithGemsInTheirStartingCells) {
    auto board = PlayedBoard();
    Gem* a = board->grid.At(0, 0);
    Gem* b = board->grid.At(1, 0);
    const int kindA = a->kind, kindB = b->kind;
    board->StartSwap(a, b);
    Tick(*board, 20);
    ASSERT_EQ(board->state, BoardState::Swapping);
    ASSERT_TRUE(board->SaveGame());
    auto loaded = MakeBoard();
    ASSERT_TRUE(loaded->LoadGame());
    EXPECT_EQ(loaded->state, BoardState::Idle);
    EXPECT_EQ(loaded->grid.At(0, 0)->kind, kindA);
    EXPECT_EQ(loaded->grid.At(1, 0)->kind, kindB);
    EXPECT_EQ(loaded->grid.At(0, 0)->x, ColumnX(0));
    EXPECT_EQ(loaded->swapA, nullptr);
    Tick(*loaded, 10);
    EXPECT_EQ(loaded->state, BoardState::Idle);
}

TEST_F(SavedGameTest, GameSavedWhileARefusedSwapReturnsKeepsBothGemsWhereTheyStarted) {
    auto board = PlayedBoard();
    Gem* a = board->grid.At(0, 0);
    Gem* b = board->grid.At(1, 0);
    const int kindA = a->kind, kindB = b->kind;
    board->StartSwap(a, b);  // makes no set: the gems turn and come back
    Tick(*board, 50);
    ASSERT_EQ(board->state, BoardState::SwappingBack);
    ASSERT_TRUE(board->SaveGame());
    auto loaded = MakeBoard();
    ASSERT_TRUE(loaded->LoadGame());
    EXPECT_EQ(loaded->state, BoardState::Idle);
    EXPECT_EQ(loaded->grid.At(0, 0)->kind, kindA);
    EXPECT_EQ(loaded->grid.At(1, 0)->kind, kindB);
    EXPECT_EQ(loaded->grid.At(1, 0)->column, 1);
    EXPECT_FALSE(loaded->HasRun());
    // The saving game itself finishes its swap back unchanged.
    TickUntil(*board, BoardState::Idle, 100);
    EXPECT_EQ(board->grid.At(0, 0)->kind, kindA);
}

TEST_F(SavedGameTest, GameSavedWhileClearingKeepsItsGapsAndContinuesClearing) {
    auto board = PlayedBoard();
    board->StartSwap(board->grid.At(3, 5), board->grid.At(3, 4));
    Tick(*board, 36);
    ASSERT_EQ(board->state, BoardState::Clearing);
    while (board->grid.IsFull()) Tick(*board);  // until the set's gems are gone
    ASSERT_EQ(board->state, BoardState::Clearing);
    ASSERT_TRUE(board->SaveGame());
    const std::vector<std::uint8_t> bytes = FileBytes();
    EXPECT_EQ(bytes.size(), 7873u - 3 * 120) << "three presence bytes 0";
    auto loaded = MakeBoard();
    ASSERT_TRUE(loaded->LoadGame());
    EXPECT_EQ(loaded->state, BoardState::Clearing);
    EXPECT_EQ(loaded->grid.GemCount(), 61);
    for (int i = 0; i < 200 && loaded->state == BoardState::Clearing; ++i) Tick(*loaded);
    EXPECT_EQ(loaded->state, BoardState::Falling);
    EXPECT_TRUE(loaded->grid.IsFull());
}

TEST_F(SavedGameTest, OnlyAGameInProgressWithAMoveMadeCanBeSaved) {
    auto board = MakeBoard();
    EXPECT_FALSE(board->CanSaveGame()) << "no move made yet";
    board->noMoveYet = false;
    EXPECT_TRUE(board->CanSaveGame());
    board->state = BoardState::GameOverFall;
    EXPECT_FALSE(board->CanSaveGame());
    board->state = BoardState::GameOverShown;
    EXPECT_FALSE(board->CanSaveGame());
}

TEST_F(SavedGameTest, ExistsAndDeleteFollowTheFile) {
    auto board = PlayedBoard();
    board->savePath = path;
    EXPECT_FALSE(board->SavedGameExists());
    EXPECT_FALSE(board->LoadGame());
    EXPECT_FALSE(board->DeleteSavedGame());
    ASSERT_TRUE(board->SaveGame());
    EXPECT_TRUE(board->SavedGameExists());
    EXPECT_TRUE(board->DeleteSavedGame());
    EXPECT_FALSE(board->SavedGameExists());
}

TEST_F(SavedGameTest, AFifoInPlaceOfTheFileIsNoSavedGameAndIsNeverWaitedOn) {
    auto board = MakeBoard();
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    bool exists = true;
    bool loaded = true;
    EXPECT_TRUE(test::ReturnsWithoutAWriter(path, [&] {
        exists = board->SavedGameExists();
        loaded = board->LoadGame();
    }));
    EXPECT_FALSE(exists);
    EXPECT_FALSE(loaded);
}

TEST_F(SavedGameTest, SaveReplacesTheFileThroughATemporaryAndLeavesNoneBehind) {
    auto board = PlayedBoard();
    WriteBytes({1, 2, 3});
    ASSERT_TRUE(board->SaveGame());
    EXPECT_EQ(FileBytes().size(), 7873u);
    EXPECT_FALSE(test::HoldsTemporary(dir));
}

TEST_F(SavedGameTest, SaveIntoAnUnwritableFolderFailsAndKeepsTheOldFile) {
    auto board = PlayedBoard();
    board->savePath = (dir / "missing" / "savegame.dat").string();
    EXPECT_FALSE(board->SaveGame());
    board->savePath = path;
    WriteBytes({9, 9});
    {
        test::NoRoomForFiles full;
        EXPECT_FALSE(board->SaveGame());
    }
    EXPECT_EQ(FileBytes(), (std::vector<std::uint8_t>{9, 9}));
}

// Every damaged variant must be refused and leave the board exactly as it was.
TEST_F(SavedGameTest, DamagedFilesAreRefusedAndChangeNothing) {
    auto source = PlayedBoard();
    ASSERT_TRUE(source->SaveGame());
    const std::vector<std::uint8_t> good = FileBytes();
    const std::size_t r = 13 + 64 * 121;
    const std::size_t gem0 = 14;
    struct Damage {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> apply;
    };
    auto setInt = [](std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v) {
        std::memcpy(&b[at], &v, 4);
    };
    auto setReal = [](std::vector<std::uint8_t>& b, std::size_t at, double v) {
        std::memcpy(&b[at], &v, 8);
    };
    const Damage damages[] = {
        {"version 2", [&](auto& b) { setInt(b, 0, 2); }},
        {"empty file", [](auto& b) { b.clear(); }},
        {"short by one", [](auto& b) { b.pop_back(); }},
        {"one byte too long", [](auto& b) { b.push_back(0); }},
        {"cut in the cells", [](auto& b) { b.resize(3000); }},
        {"presence byte 2", [](auto& b) { b[13] = 2; }},
        {"app mode byte 7", [](auto& b) { b[4] = 7; }},
        {"presence 0 without shortening", [](auto& b) { b[13] = 0; }},
        {"gem kind 7", [&](auto& b) { setInt(b, gem0, 7); }},
        {"gem kind -1", [&](auto& b) { setInt(b, gem0, -1); }},
        {"gem column off the cell", [&](auto& b) { setInt(b, gem0 + 24, 1); }},
        {"gem row 8", [&](auto& b) { setInt(b, gem0 + 28, 8); }},
        {"gem vy NaN", [&](auto& b) { setReal(b, gem0 + 40, std::nan("")); }},
        {"gem radius infinite", [&](auto& b) { setReal(b, gem0 + 112, INFINITY); }},
        {"gem vanish frame 6", [&](auto& b) { setInt(b, gem0 + 80, 6); }},
        {"gem spin frame 15", [&](auto& b) { setInt(b, gem0 + 84, 15); }},
        {"gem glowing byte 3", [](auto& b) { b[gem0 + 56] = 3; }},
        {"gem falling at 1e300", [&](auto& b) { setReal(b, gem0 + 40, -1e300); }},
        {"gem whirl radius 1e9", [&](auto& b) { setReal(b, gem0 + 112, 1e9); }},
        {"gem negative radius", [&](auto& b) { setReal(b, gem0 + 112, -1.0); }},
        {"wipe line far above", [&](auto& b) { setInt(b, r + 99, -2000000000); }},
        {"state 10", [&](auto& b) { setInt(b, r, 10); }},
        {"state -1", [&](auto& b) { setInt(b, r, -1); }},
        {"multiplier NaN", [&](auto& b) { setReal(b, r + 22, std::nan("")); }},
        {"drain infinite", [&](auto& b) { setReal(b, r + 71, -INFINITY); }},
        {"bar pixels 341", [&](auto& b) { setInt(b, r + 6, 341); }},
        {"bar frame 25", [&](auto& b) { setInt(b, r + 95, 25); }},
        {"black-hole frame 9", [&](auto& b) { setInt(b, r + 103, 9); }},
        {"whirlpool volume 2", [&](auto& b) { setReal(b, r + 107, 2.0); }},
        {"negative level", [&](auto& b) { setInt(b, 5, -1); }},
        {"stats frozen byte 2", [](auto& b) { b[r + 54] = 2; }},
        {"state game over fall", [&](auto& b) { setInt(b, r, 5); }},
        {"state game over shown", [&](auto& b) { setInt(b, r, 6); }},
        {"mode bytes disagree", [](auto& b) { b[4] = 0; }},
        {"negative score", [&](auto& b) { setInt(b, r + 18, -16777186); }},
        {"multiplier below 1", [&](auto& b) { setReal(b, r + 22, 0.5); }},
        {"negative multiplier", [&](auto& b) { setReal(b, r + 22, -65536.0); }},
        {"multiplier beyond its level's", [&](auto& b) { setReal(b, r + 22, 4.5); }},
    };
    for (const Damage& d : damages) {
        std::vector<std::uint8_t> bytes = good;
        d.apply(bytes);
        WriteBytes(bytes);
        host.modeCalls.clear();
        host.showStartTip = true;
        auto board = MakeBoard();
        const SavedGame before = board->MakeSavedGame();
        const Gem* firstGem = board->grid.At(0, 0);
        EXPECT_FALSE(board->LoadGame()) << d.what;
        EXPECT_EQ(EncodeSavedGame(board->MakeSavedGame()), EncodeSavedGame(before)) << d.what;
        EXPECT_EQ(board->grid.At(0, 0), firstGem) << d.what;
        EXPECT_TRUE(host.modeCalls.empty()) << d.what << ": the mode must not change";
        EXPECT_TRUE(host.showStartTip) << d.what;
    }
}

TEST_F(SavedGameTest, IdleStateWithAMissingGemIsRefused) {
    auto board = PlayedBoard();
    SavedGame saved = board->MakeSavedGame();
    saved.cells[20].reset();
    SavedGame out;
    EXPECT_EQ(DecodeSavedGame(EncodeSavedGame(saved), out), SavedGameError::BadState);
    saved.state = static_cast<std::int32_t>(BoardState::Clearing);
    EXPECT_EQ(DecodeSavedGame(EncodeSavedGame(saved), out), SavedGameError::None);
}

TEST_F(SavedGameTest, LoadedFrozenStatisticsNeverChange) {
    auto board = PlayedBoard();
    board->statsFrozen = true;
    ASSERT_TRUE(board->SaveGame());
    auto loaded = MakeBoard();
    ASSERT_TRUE(loaded->LoadGame());
    EXPECT_TRUE(loaded->statsFrozen);
    loaded->cascadeLevel = 9;
    loaded->movePoints = 5000;
    loaded->state = BoardState::Falling;
    Tick(*loaded);
    EXPECT_EQ(loaded->longestCascade, 5);
    EXPECT_EQ(loaded->bestMove, 990);
}

TEST_F(SavedGameTest, LoadingDropsPointersToTheReplacedGems) {
    auto saved = PlayedBoard();
    ASSERT_TRUE(saved->SaveGame());
    auto board = MakeBoard();
    LayOut(*board);
    board->selected = board->grid.At(4, 4);
    ASSERT_TRUE(board->LoadGame());
    EXPECT_EQ(board->selected, nullptr);
    Tick(*board, 10);  // would touch the deleted gem under a sanitizer
}

TEST_F(SavedGameTest, ReadSmallFileStopsPastTheLimit) {
    WriteBytes(std::vector<std::uint8_t>(100000, 1));
    const auto bytes = ReadSmallFile(path, kSavedGameFullSize);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(bytes->size(), kSavedGameFullSize + 1);
    EXPECT_FALSE(ReadSmallFile((dir / "nothing").string(), 10).has_value());
    EXPECT_FALSE(ReadSmallFile(dir.string(), 10).has_value()) << "a folder is not a file";
}

}  // namespace
}  // namespace Varn
