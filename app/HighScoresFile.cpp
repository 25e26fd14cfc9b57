// The high-score file layout, bounded reading and safe replacing (see header).
#include "app/HighScoresFile.h"

#include <optional>

#include "board/SavedGameFile.h"
#include "platform/AtomicFile.h"

namespace Varn {

namespace {

struct RawEntry {
    std::string name;
    int32_t score = 0;
    int32_t check = 0;
};

class ByteWriter {
public:
    void Int32(int32_t value) {
        uint32_t bits = uint32_t(value);
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(bits >> (8 * i)));
    }
    void Entry(const HighScoreEntry& entry) {
        std::string name = entry.name.substr(0, HighScoreTables::kMaxNameLength);
        bytes.push_back(uint8_t(name.size()));
        bytes.push_back(uint8_t(name.size() >> 8));
        bytes.insert(bytes.end(), name.begin(), name.end());
        Int32(entry.score);
        Int32(HighScoreCheck(entry.score, name));
    }

    std::vector<uint8_t> bytes;
};

// Every read either takes all the bytes it asks for or fails and takes none.
class ByteReader {
public:
    ByteReader(const uint8_t* start, size_t count) : data(start), size(count) {}

    std::optional<int32_t> Int32() {
        if (size - position < 4) return std::nullopt;
        uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) bits |= uint32_t(data[position + i]) << (8 * i);
        position += 4;
        return int32_t(bits);
    }
    std::optional<RawEntry> Entry() {
        if (size - position < 2) return std::nullopt;
        size_t length = size_t(data[position]) | size_t(data[position + 1]) << 8;
        if (length > HighScoreTables::kMaxNameLength) length = HighScoreTables::kMaxNameLength;
        if (size - position - 2 < length + 8) return std::nullopt;
        position += 2;
        RawEntry entry;
        entry.name.assign(reinterpret_cast<const char*>(data + position), length);
        position += length;
        entry.score = *Int32();
        entry.check = *Int32();
        return entry;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

bool CheckMatches(const RawEntry& entry) {
    return HighScoreCheck(entry.score, entry.name) == entry.check;
}

// Reads one mode block over the table's defaults; false when the data ended.
bool DecodeMode(ByteReader& reader, HighScoreModeTable& table, int32_t today) {
    std::optional<int32_t> day = reader.Int32();
    if (!day) return false;
    std::optional<RawEntry> todayEntry = reader.Entry();
    if (!todayEntry) return false;
    if (*day == today && CheckMatches(*todayEntry))
        table.today = {todayEntry->name, todayEntry->score};
    for (HighScoreEntry& entry : table.allTime) {
        std::optional<RawEntry> raw = reader.Entry();
        if (!raw) return false;
        entry.name = raw->name;
        // An edited score is not trusted: only its low byte (with its sign) survives.
        entry.score = CheckMatches(*raw) ? raw->score : raw->score % 256;
    }
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeHighScores(const HighScoreTables& tables, int32_t day) {
    ByteWriter writer;
    for (const HighScoreModeTable& table : tables.modes) {
        writer.Int32(day);
        writer.Entry(table.today);
        for (const HighScoreEntry& entry : table.allTime) writer.Entry(entry);
    }
    return std::move(writer.bytes);
}

HighScoreTables DecodeHighScores(const uint8_t* data, size_t size, int32_t today) {
    HighScoreTables tables;
    if (!data) return tables;
    ByteReader reader(data, size);
    for (HighScoreModeTable& table : tables.modes)
        if (!DecodeMode(reader, table, today)) break;
    return tables;
}

HighScoreTables ReadHighScoreFile(const std::string& path, int32_t today) {
    std::optional<std::vector<uint8_t>> bytes = ReadSmallFile(path, kMaxHighScoreFileSize);
    if (!bytes) return HighScoreTables();
    return DecodeHighScores(bytes->data(), bytes->size(), today);
}

bool WriteHighScoreFile(const std::string& path, const HighScoreTables& tables, int32_t day) {
    std::vector<uint8_t> bytes = EncodeHighScores(tables, day);
    return WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace Varn
