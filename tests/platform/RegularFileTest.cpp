// The shared reader: only regular files, never blocking, bounded.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/RegularFile.h"

namespace Varn {
namespace {

class RegularFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("gemlode-regular-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string Path(const char* name) const { return (folder / name).string(); }
    std::string Write(const char* name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    std::filesystem::path folder;
};

TEST_F(RegularFileTest, ReadsAWholeRegularFile) {
    std::string text;
    EXPECT_EQ(ReadRegularFile(Write("a", "hello"), 5, text), FileRead::Ok);
    EXPECT_EQ(text, "hello");
    EXPECT_TRUE(RegularFileExists(Path("a")));
}

TEST_F(RegularFileTest, AFileOverTheLimitKeepsOneByteMoreThanTheLimit) {
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(ReadRegularFile(Write("a", "hello!"), 4, bytes), FileRead::TooLarge);
    EXPECT_EQ(bytes.size(), 5u);
}

TEST_F(RegularFileTest, RefusesWhatIsNotARegularFileWithoutBlocking) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(Path("folder"));
    const struct {
        std::string path;
        FileRead want;
    } cases[] = {
        {Path("missing"), FileRead::Missing},
        {Path("fifo"), FileRead::NotRegular},  // would wait for a writer if opened plainly
        {Path("folder"), FileRead::NotRegular},
        {"/dev/zero", FileRead::NotRegular},  // would never end
    };
    for (const auto& c : cases) {
        std::string text = "old";
        EXPECT_EQ(ReadRegularFile(c.path, 1 << 20, text), c.want) << c.path;
        EXPECT_TRUE(text.empty()) << c.path;
        EXPECT_LT(OpenRegularFile(c.path), 0) << c.path;
        EXPECT_FALSE(RegularFileExists(c.path)) << c.path;
    }
}

}  // namespace
}  // namespace Varn
