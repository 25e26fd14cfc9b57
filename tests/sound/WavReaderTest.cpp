// Tests of the WAV reader: chunk layouts it must accept and damage it must refuse.
#include "sound/WavReader.h"

#include <gtest/gtest.h>

#include "tests/sound/SoundTestFiles.h"

namespace Varn {
namespace {

using test::AppendChunk;
using test::AppendTag;
using test::AppendU32;
using test::Bytes;
using test::FormatBody;
using test::RiffWave;

Bytes PcmBytes(std::initializer_list<std::int16_t> samples) {
    Bytes data;
    for (std::int16_t s : samples) test::AppendU16(data, static_cast<std::uint16_t>(s));
    return data;
}

std::optional<PcmSample> Read(const Bytes& bytes) {
    return ReadWavMemory(bytes);
}

TEST(WavReader, ReadsPlainSixteenBitMono) {
    const auto sample = Read(test::Wav16({100, -200, 32767, -32768}, 1, 22050));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->channels, 1);
    EXPECT_EQ(sample->sampleRate, 22050);
    EXPECT_EQ(sample->data, (std::vector<std::int16_t>{100, -200, 32767, -32768}));
}

TEST(WavReader, ListChunkBeforeFormatIsSkipped) {
    Bytes chunks;
    AppendChunk(chunks, "LIST", Bytes{'I', 'N', 'F', 'O', 'x', 'y'});
    AppendChunk(chunks, "fmt ", FormatBody(2, 44100, 16));
    AppendChunk(chunks, "data", PcmBytes({1, 2, 3, 4}));
    const auto sample = Read(RiffWave(chunks));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->channels, 2);
    EXPECT_EQ(sample->sampleRate, 44100);
    EXPECT_EQ(sample->FrameCount(), 2u);
}

TEST(WavReader, EighteenByteFormatChunkIsReadCorrectly) {
    Bytes chunks;
    AppendChunk(chunks, "fmt ", FormatBody(1, 11025, 16, 2));
    AppendChunk(chunks, "data", PcmBytes({7, 8, 9}));
    const auto sample = Read(RiffWave(chunks));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->sampleRate, 11025);
    EXPECT_EQ(sample->data, (std::vector<std::int16_t>{7, 8, 9}));
}

TEST(WavReader, OddSizedChunkIsPaddedToEvenLength) {
    Bytes chunks;
    AppendChunk(chunks, "junk", Bytes{1, 2, 3});  // 3 bytes + pad byte
    AppendChunk(chunks, "fmt ", FormatBody(1, 8000, 8));
    AppendChunk(chunks, "data", Bytes{128, 255, 0});  // odd data chunk, padded too
    const auto sample = Read(RiffWave(chunks));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->data, (std::vector<std::int16_t>{0, 127 * 256, -128 * 256}));
}

TEST(WavReader, EightBitStereoBecomesSixteenBit) {
    Bytes chunks;
    AppendChunk(chunks, "fmt ", FormatBody(2, 22050, 8));
    AppendChunk(chunks, "data", Bytes{0, 255, 128, 129});
    const auto sample = Read(RiffWave(chunks));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->channels, 2);
    EXPECT_EQ(sample->data, (std::vector<std::int16_t>{-32768, 32512, 0, 256}));
}

TEST(WavReader, DataWithoutFormatChunkUsesDefaults) {
    Bytes chunks;
    AppendChunk(chunks, "data", PcmBytes({5, 6}));
    const auto sample = Read(RiffWave(chunks));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->channels, 1);
    EXPECT_EQ(sample->sampleRate, 22050);
    EXPECT_EQ(sample->data.size(), 2u);
}

TEST(WavReader, PartialLastFrameIsDropped) {
    Bytes chunks;
    AppendChunk(chunks, "fmt ", FormatBody(2, 22050, 16));
    AppendChunk(chunks, "data", PcmBytes({1, 2, 3}));  // one and a half frames
    const auto sample = Read(RiffWave(chunks));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->FrameCount(), 1u);
}

TEST(WavReader, RefusesDamagedFiles) {
    Bytes truncatedData;
    AppendChunk(truncatedData, "fmt ", FormatBody(1, 22050, 16));
    AppendTag(truncatedData, "data");
    AppendU32(truncatedData, 1000);  // claims 1000 bytes, has 4
    truncatedData.insert(truncatedData.end(), {1, 2, 3, 4});

    Bytes hugeChunk;
    AppendTag(hugeChunk, "LIST");
    AppendU32(hugeChunk, 0xFFFFFFF0u);  // would be gigabytes
    AppendChunk(hugeChunk, "data", PcmBytes({1}));

    Bytes shortFormat;
    AppendChunk(shortFormat, "fmt ", Bytes(14, 1));
    AppendChunk(shortFormat, "data", PcmBytes({1}));

    Bytes compressed = FormatBody(1, 22050, 16);
    compressed[0] = 2;  // ADPCM
    Bytes adpcm;
    AppendChunk(adpcm, "fmt ", compressed);
    AppendChunk(adpcm, "data", PcmBytes({1}));

    Bytes noData;
    AppendChunk(noData, "fmt ", FormatBody(1, 22050, 16));

    Bytes emptyData;
    AppendChunk(emptyData, "fmt ", FormatBody(1, 22050, 16));
    AppendChunk(emptyData, "data", Bytes{});

    Bytes zeroRate;
    AppendChunk(zeroRate, "fmt ", FormatBody(1, 0, 16));
    AppendChunk(zeroRate, "data", PcmBytes({1}));

    Bytes manyChannels;
    AppendChunk(manyChannels, "fmt ", FormatBody(6, 22050, 16));
    AppendChunk(manyChannels, "data", PcmBytes({1, 2, 3, 4, 5, 6}));

    Bytes notWave = test::Wav16({1, 2}, 1, 22050);
    notWave[8] = 'A';

    const std::pair<const char*, Bytes> cases[] = {
        {"truncated data chunk", RiffWave(truncatedData)},
        {"chunk larger than the file", RiffWave(hugeChunk)},
        {"fmt chunk under 16 bytes", RiffWave(shortFormat)},
        {"compressed format", RiffWave(adpcm)},
        {"no data chunk", RiffWave(noData)},
        {"empty data chunk", RiffWave(emptyData)},
        {"zero sample rate", RiffWave(zeroRate)},
        {"six channels", RiffWave(manyChannels)},
        {"not WAVE", notWave},
        {"empty input", Bytes{}},
        {"header only", Bytes{'R', 'I', 'F', 'F'}},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_FALSE(Read(bytes)) << name;
    }
}

TEST(WavReader, ReadsFilesAndRefusesMissingOnes) {
    test::ScratchFolder folder;
    test::WriteFile(folder.File("tone.wav"), test::Wav16({10, 20, 30}, 1, 22050));
    const auto sample = ReadWavFile(folder.File("tone.wav"));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->data.size(), 3u);
    EXPECT_FALSE(ReadWavFile(folder.File("missing.wav")));
    EXPECT_FALSE(ReadWavFile(folder.Path().string()));  // a folder, not a file
}

}  // namespace
}  // namespace Varn
