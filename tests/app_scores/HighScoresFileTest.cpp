// The "hiscores.dat" layout byte for byte, reading damaged, edited, short and
// stale files, and replacing the file without ever losing the old one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/HighScoresFile.h"
#include "tests/platform/SystemFaults.h"

namespace Varn {
namespace {

constexpr int kNormal = HighScoreTables::kNormalMode;
constexpr int kTimed = HighScoreTables::kTimedMode;
constexpr int32_t kDay = 126 * 366 + 340;

// Builds the expected bytes by hand, independently of the encoder.
class Bytes {
public:
    Bytes& I32(int32_t v) {
        for (int i = 0; i < 4; ++i) data.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return *this;
    }
    Bytes& U16(unsigned v) {
        data.push_back(uint8_t(v & 0xFF));
        data.push_back(uint8_t(v >> 8));
        return *this;
    }
    Bytes& Text(const std::string& s) {
        data.insert(data.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& Entry(const std::string& name, int32_t score, int32_t check) {
        return U16(unsigned(name.size())).Text(name).I32(score).I32(check);
    }
    // An entry with the check the file format asks for.
    Bytes& Good(const std::string& name, int32_t score) {
        return Entry(name, score, HighScoreCheck(score, name));
    }
    std::vector<uint8_t> data;
};

HighScoreTables Decode(const std::vector<uint8_t>& bytes, int32_t today = kDay) {
    return DecodeHighScores(bytes.data(), bytes.size(), today);
}

// A valid file of default tables, with today's entries and names chosen per mode.
Bytes DefaultFile(int32_t day, const std::string& todayName, int32_t todayScore) {
    Bytes b;
    const char* names[2][5] = {{"Vesk", "Arlo", "Mirren", "Tobin", "Toma"},
                               {"Oswin", "Kestrel", "Piers", "Dashiel", "Ilo"}};
    for (int mode = 0; mode < 2; ++mode) {
        b.I32(day).Good(todayName, todayScore);
        for (int i = 0; i < 5; ++i) b.Good(names[mode][i], 1000 - 100 * i);
    }
    return b;
}

TEST(HighScoreFileLayout, EncodesExactlyAsLaidOut) {
    HighScoreTables tables;
    tables.Record(kNormal, "Ann", 850);
    tables.Mode(kTimed).today = {"Bo", 12};
    Bytes expected;
    expected.I32(kDay).Entry("Ann", 850, 5902528);
    expected.Entry("Vesk", 1000, 5904272);
    expected.Good("Arlo", 900).Good("Ann", 850).Good("Mirren", 800).Good("Tobin", 700);
    expected.I32(kDay).Good("Bo", 12);
    expected.Good("Oswin", 1000).Good("Kestrel", 900).Good("Piers", 800);
    expected.Good("Dashiel", 700).Good("Ilo", 600);
    EXPECT_EQ(EncodeHighScores(tables, kDay), expected.data);
}

TEST(HighScoreFileLayout, EmptyTodayEntryIsALengthOfZero) {
    std::vector<uint8_t> bytes = EncodeHighScores(HighScoreTables(), 7);
    ASSERT_GE(bytes.size(), 14u);
    const std::vector<uint8_t> head = {7, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    Bytes check;
    check.I32(0).I32(HighScoreCheck(0, ""));
    EXPECT_TRUE(std::equal(check.data.begin(), check.data.end(), bytes.begin() + 6));
}

TEST(HighScoreFileReading, RoundTripsNamesWithHighBytes) {
    HighScoreTables tables;
    std::string name = "J\xF6rg \xE9\xFF";
    tables.Record(kTimed, name, 1500);
    HighScoreTables back = Decode(EncodeHighScores(tables, kDay));
    EXPECT_EQ(back, tables);
    EXPECT_EQ(back.Mode(kTimed).allTime[0].name, name);
    EXPECT_EQ(back.Mode(kTimed).today.name, name);
}

TEST(HighScoreFileReading, DropsTodayEntryOfAnEarlierDay) {
    Bytes file = DefaultFile(kDay - 1, "Ann", 500);
    HighScoreTables read = Decode(file.data);
    EXPECT_EQ(read.Mode(kNormal).today, HighScoreEntry{});
    EXPECT_EQ(read.Mode(kTimed).today, HighScoreEntry{});
    EXPECT_EQ(Decode(DefaultFile(kDay, "Ann", 500).data).Mode(kTimed).today,
              (HighScoreEntry{"Ann", 500}));
}

TEST(HighScoreFileReading, EditedScoreIsReducedModulo256WithItsSign) {
    Bytes file;
    file.I32(kDay).Entry("Ann", 5000, HighScoreCheck(400, "Ann"));  // edited: dropped
    file.Entry("Cheat", 1234, HighScoreCheck(1000, "Cheat"));
    file.Entry("Neg", -1234, 0);
    file.Good("Mirren", 800).Good("Tobin", 700).Entry("Toma", 600, HighScoreCheck(600, "Tomb"));
    HighScoreTables read = Decode(file.data);
    const auto& table = read.Mode(kNormal);
    EXPECT_EQ(table.today, HighScoreEntry{});
    EXPECT_EQ(table.allTime[0], (HighScoreEntry{"Cheat", 210}));
    EXPECT_EQ(table.allTime[1], (HighScoreEntry{"Neg", -210}));
    EXPECT_EQ(table.allTime[2], (HighScoreEntry{"Mirren", 800}));
    EXPECT_EQ(table.allTime[4], (HighScoreEntry{"Toma", 600 % 256}));
    // The timed block is missing: it keeps its defaults.
    EXPECT_EQ(read.Mode(kTimed), HighScoreTables().Mode(kTimed));
}

TEST(HighScoreFileReading, NameLengthAbove255IsReadAs255) {
    std::string name(255, 'n');
    Bytes file;
    file.I32(kDay).U16(600).Text(name);
    file.I32(77).I32(HighScoreCheck(77, name));
    HighScoreTables read = Decode(file.data);
    EXPECT_EQ(read.Mode(kNormal).today, (HighScoreEntry{name, 77}));
}

TEST(HighScoreFileReading, EveryShortenedFileReadsWithoutRunningPastItsEnd) {
    HighScoreTables tables;
    tables.Record(kNormal, "Ann", 5000);
    tables.Record(kTimed, "Bo", 5000);
    const std::vector<uint8_t> full = EncodeHighScores(tables, kDay);
    for (size_t size = 0; size <= full.size(); ++size) {
        // An exact-size copy on the heap, so a sanitizer sees any overread.
        std::vector<uint8_t> prefix(full.begin(), full.begin() + ptrdiff_t(size));
        HighScoreTables read = DecodeHighScores(prefix.data(), prefix.size(), kDay);
        for (int mode = 0; mode < 2; ++mode)
            for (const HighScoreEntry& entry : read.Mode(mode).allTime) {
                // Every entry is either as written or still the default.
                bool written = entry == HighScoreEntry{mode ? "Bo" : "Ann", 5000} ||
                               entry.score == 1000 || entry.score == 900 || entry.score == 800 ||
                               entry.score == 700 || entry.score == 600;
                EXPECT_TRUE(written) << "size " << size << ": " << entry.name;
            }
    }
    EXPECT_EQ(Decode(full), tables);
}

TEST(HighScoreFileReading, AShortFileKeepsDefaultsForWhatIsMissing) {
    Bytes file;
    file.I32(kDay).Good("Ann", 50).Good("First", 2000).Good("Second", 1500);
    file.U16(4).Text("Thi");  // cut off inside the third entry
    HighScoreTables read = Decode(file.data);
    const auto& table = read.Mode(kNormal);
    EXPECT_EQ(table.today, (HighScoreEntry{"Ann", 50}));
    EXPECT_EQ(table.allTime[0], (HighScoreEntry{"First", 2000}));
    EXPECT_EQ(table.allTime[1], (HighScoreEntry{"Second", 1500}));
    EXPECT_EQ(table.allTime[2], (HighScoreEntry{"Mirren", 800}));
    EXPECT_EQ(read.Mode(kTimed), HighScoreTables().Mode(kTimed));
}

TEST(HighScoreFileReading, RandomBytesNeverBreakTheReader) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> junk(random() % 400);
        for (uint8_t& byte : junk) byte = uint8_t(random());
        if (junk.size() >= 2 && round % 2 == 0) junk[0] = junk[1] = 0xFF;
        HighScoreTables read = DecodeHighScores(junk.data(), junk.size(), kDay);
        for (int mode = 0; mode < 2; ++mode)
            for (const HighScoreEntry& entry : read.Mode(mode).allTime)
                EXPECT_LE(entry.name.size(), 255u);
    }
    EXPECT_EQ(DecodeHighScores(nullptr, 10, kDay), HighScoreTables());
}

class HighScoreFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("gemlode_hsfile_" + std::to_string(::getpid()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        path = (folder / "hiscores.dat").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::vector<uint8_t> FileBytes() {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path folder;
    std::string path;
};

TEST_F(HighScoreFileOnDisk, MissingFileGivesDefaults) {
    EXPECT_EQ(ReadHighScoreFile(path, kDay), HighScoreTables());
}

TEST_F(HighScoreFileOnDisk, WrittenFileReadsBackAndLeavesNoTemporary) {
    HighScoreTables tables;
    tables.Record(kNormal, "Ann", 850);
    ASSERT_TRUE(WriteHighScoreFile(path, tables, kDay));
    EXPECT_EQ(FileBytes(), EncodeHighScores(tables, kDay));
    EXPECT_EQ(ReadHighScoreFile(path, kDay), tables);
    EXPECT_FALSE(test::HoldsTemporary(folder));
}

TEST_F(HighScoreFileOnDisk, FailedWriteKeepsTheOldFile) {
    HighScoreTables old;
    old.Record(kTimed, "Old", 3000);
    ASSERT_TRUE(WriteHighScoreFile(path, old, kDay));
    HighScoreTables newer;
    newer.Record(kTimed, "New", 4000);
    {
        test::NoRoomForFiles full;
        EXPECT_FALSE(WriteHighScoreFile(path, newer, kDay));
    }
    EXPECT_EQ(ReadHighScoreFile(path, kDay), old);
}

TEST_F(HighScoreFileOnDisk, WriteIntoAMissingFolderFails) {
    EXPECT_FALSE(
        WriteHighScoreFile((folder / "none" / "hiscores.dat").string(), HighScoreTables(), kDay));
}

TEST_F(HighScoreFileOnDisk, OversizedFileIsReadOnlyAsFarAsTheLayoutReaches) {
    HighScoreTables tables;
    tables.Record(kNormal, "Ann", 850);
    std::vector<uint8_t> bytes = EncodeHighScores(tables, kDay);
    bytes.resize(bytes.size() + 100000, 0xAB);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_EQ(ReadHighScoreFile(path, kDay), tables);
}

}  // namespace
}  // namespace Varn
