// Every file the game reads is read only when it is a regular file: a FIFO in its place is
// refused at once, as a damaged file, instead of freezing the game.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "app/HighScoresFile.h"
#include "board/DifficultyTable.h"
#include "board/SavedGameFile.h"
#include "graphics/ImageFont.h"
#include "graphics/ImageLoader.h"
#include "graphics/MemoryImage.h"
#include "sound/ModulePlayer.h"
#include "sound/SndfileReader.h"
#include "sound/WavReader.h"
#include "tests/platform/FifoRelease.h"

namespace Varn::test {
namespace {

namespace fs = std::filesystem;

TEST(FileReadersTest, AFifoInPlaceOfAnyFileIsRefusedWithoutWaiting) {
    const fs::path folder =
        fs::temp_directory_path() / ("gemlode-fifo-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string fifo = (folder / "file.png").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        const char* reader;
        std::function<bool()> refuses;
    } cases[] = {
        {"saved game", [&] { return !ReadSmallFile(fifo, 7873); }},
        // The defaults either way: what counts is that it returns.
        {"high scores",
         [&] {
             ReadHighScoreFile(fifo, 0);
             return true;
         }},
        {"picture", [&] { return LoadImage(fifo) == nullptr; }},
        {"font descriptor",
         [&] {
             MemoryImage strip(nullptr);
             ImageFont font(&strip, fifo);
             return font.GetHeight() == 0;
         }},
        {"difficulty table",
         [&] {
             DifficultyTable table;
             return ReadDifficultyTableFile(fifo, table) == 0;
         }},
        {"wave sound", [&] { return !ReadWavFile(fifo); }},
        {"compressed sound", [&] { return !ReadCompressedFile(fifo); }},
        {"music", [&] { return ModulePlayer(nullptr).Load(fifo) == 0; }},
    };
    for (const auto& c : cases) {
        bool refused = false;
        EXPECT_TRUE(ReturnsWithoutAWriter(fifo, [&] { refused = c.refuses(); })) << c.reader;
        EXPECT_TRUE(refused) << c.reader;
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace Varn::test
