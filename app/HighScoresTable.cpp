// The high-score rules: defaults, qualifying rank, recording, check value,
// day number and the result message.
#include "app/HighScoresTable.h"

namespace Varn {

namespace {

constexpr int32_t kCheckConstant = 0x5A17C3;

const char* const kDefaultNames[HighScoreTables::kModes][HighScoreModeTable::kAllTimeEntries] = {
    {"Vesk", "Arlo", "Mirren", "Tobin", "Toma"},
    {"Oswin", "Kestrel", "Piers", "Dashiel", "Ilo"},
};
constexpr int32_t kDefaultScores[HighScoreModeTable::kAllTimeEntries] = {1000, 900, 800, 700, 600};

}  // namespace

HighScoreTables::HighScoreTables() {
    for (int mode = 0; mode < kModes; ++mode)
        for (int i = 0; i < HighScoreModeTable::kAllTimeEntries; ++i)
            modes[mode].allTime[i] = {kDefaultNames[mode][i], kDefaultScores[i]};
}

int HighScoreTables::QualifyingRank(int mode, int32_t score) const {
    const HighScoreModeTable& table = Mode(mode);
    int rank = 0;
    for (int i = HighScoreModeTable::kAllTimeEntries - 1; i >= 0; --i)
        if (table.allTime[i].score < score) rank = i + 1;
    return rank;
}

bool HighScoreTables::BeatsToday(int mode, int32_t score) const {
    return Mode(mode).today.score < score;
}

void HighScoreTables::Record(int mode, const std::string& name, int32_t score) {
    if (name.empty()) return;
    const std::string kept = name.substr(0, kMaxNameLength);
    HighScoreModeTable& table = Mode(mode);
    int rank = QualifyingRank(mode, score);
    if (BeatsToday(mode, score)) table.today = {kept, score};
    if (rank == 0) return;
    for (int i = HighScoreModeTable::kAllTimeEntries - 1; i >= rank; --i)
        table.allTime[i] = table.allTime[i - 1];
    table.allTime[rank - 1] = {kept, score};
}

int32_t HighScoreCheck(int32_t score, const std::string& name) {
    int32_t check = score ^ kCheckConstant;
    for (char c : name) check ^= int32_t(static_cast<int8_t>(c)) * 17;
    return check;
}

int32_t DayNumber(std::time_t when) {
    std::tm local{};
    if (!localtime_r(&when, &local)) return 0;
    return int32_t(local.tm_year) * 366 + int32_t(local.tm_yday);
}

int32_t CurrentDayNumber() {
    return DayNumber(std::time(nullptr));
}

std::string OrdinalText(int number) {
    const char* suffix = "th";
    int lastTwo = number % 100;
    if (lastTwo < 0) lastTwo = -lastTwo;
    if (lastTwo < 10 || lastTwo > 19) {
        switch (lastTwo % 10) {
            case 1:
                suffix = "st";
                break;
            case 2:
                suffix = "nd";
                break;
            case 3:
                suffix = "rd";
                break;
            default:
                break;
        }
    }
    return std::to_string(number) + suffix;
}

std::string ResultMessage(const HighScoreTables& tables, int mode, int32_t score) {
    int rank = tables.QualifyingRank(mode, score);
    bool bestToday = tables.BeatsToday(mode, score);
    if (bestToday && rank > 0)
        return "You got the highest score of\nthe day and " + OrdinalText(rank) +
               " place\nof all time!";
    if (bestToday) return "You got the highest score\nof the day!";
    if (rank > 0) return "You got " + OrdinalText(rank) + " place of all time!";
    return std::string();
}

}  // namespace Varn
