// The high-score rules: ranks, recording, check values, day numbers, ordinals
// and the result messages.
#include <gtest/gtest.h>

#include <ctime>

#include "app/HighScoresTable.h"

namespace Varn {
namespace {

constexpr int kNormal = HighScoreTables::kNormalMode;
constexpr int kTimed = HighScoreTables::kTimedMode;

TEST(HighScoreTables, DefaultsAreTheBuiltInListsWithEmptyDays) {
    HighScoreTables tables;
    const char* normal[] = {"Vesk", "Arlo", "Mirren", "Tobin", "Toma"};
    const char* timed[] = {"Oswin", "Kestrel", "Piers", "Dashiel", "Ilo"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tables.Mode(kNormal).allTime[i], (HighScoreEntry{normal[i], 1000 - 100 * i}));
        EXPECT_EQ(tables.Mode(kTimed).allTime[i], (HighScoreEntry{timed[i], 1000 - 100 * i}));
    }
    EXPECT_EQ(tables.Mode(kNormal).today, HighScoreEntry{});
    EXPECT_EQ(tables.Mode(kTimed).today, HighScoreEntry{});
}

TEST(HighScoreTables, QualifyingRankPlacesEqualScoresBelow) {
    HighScoreTables tables;
    EXPECT_EQ(tables.QualifyingRank(kNormal, 1001), 1);
    EXPECT_EQ(tables.QualifyingRank(kNormal, 1000), 2);  // equal to entry 0 ranks below it
    EXPECT_EQ(tables.QualifyingRank(kNormal, 850), 3);
    EXPECT_EQ(tables.QualifyingRank(kNormal, 601), 5);
    EXPECT_EQ(tables.QualifyingRank(kNormal, 600), 0);  // equal to entry 4 does not qualify
    EXPECT_EQ(tables.QualifyingRank(kNormal, 0), 0);
    EXPECT_EQ(tables.QualifyingRank(kTimed, -50), 0);
}

TEST(HighScoreTables, RecordInsertsAndDropsTheLastEntry) {
    HighScoreTables tables;
    tables.Record(kNormal, "Ann", 850);
    const auto& list = tables.Mode(kNormal).allTime;
    EXPECT_EQ(list[0], (HighScoreEntry{"Vesk", 1000}));
    EXPECT_EQ(list[1], (HighScoreEntry{"Arlo", 900}));
    EXPECT_EQ(list[2], (HighScoreEntry{"Ann", 850}));
    EXPECT_EQ(list[3], (HighScoreEntry{"Mirren", 800}));
    EXPECT_EQ(list[4], (HighScoreEntry{"Tobin", 700}));
    EXPECT_EQ(tables.Mode(kNormal).today, (HighScoreEntry{"Ann", 850}));
    EXPECT_EQ(tables.Mode(kTimed), HighScoreTables().Mode(kTimed));
}

TEST(HighScoreTables, RecordKeepsTheOlderOfEqualScoresAbove) {
    HighScoreTables tables;
    tables.Record(kTimed, "Bo", 900);
    tables.Record(kTimed, "Cy", 900);
    const auto& list = tables.Mode(kTimed).allTime;
    EXPECT_EQ(list[1].name, "Kestrel");
    EXPECT_EQ(list[2].name, "Bo");
    EXPECT_EQ(list[3].name, "Cy");
    EXPECT_EQ(tables.Mode(kTimed).today.name, "Bo");  // 900 < 900 is false: Bo stays
}

TEST(HighScoreTables, RecordOnlyTakesTodayWhenBeaten) {
    HighScoreTables tables;
    tables.Record(kNormal, "Ann", 0);  // a score of 0 never beats an empty day
    EXPECT_EQ(tables.Mode(kNormal).today, HighScoreEntry{});
    tables.Record(kNormal, "Ann", 300);
    tables.Record(kNormal, "Bo", 200);
    EXPECT_EQ(tables.Mode(kNormal).today, (HighScoreEntry{"Ann", 300}));
    EXPECT_EQ(tables.Mode(kNormal).allTime, HighScoreTables().Mode(kNormal).allTime);
}

TEST(HighScoreTables, EmptyNameChangesNothing) {
    HighScoreTables tables;
    tables.Record(kNormal, "", 5000);
    EXPECT_EQ(tables, HighScoreTables());
}

TEST(HighScoreTables, OverlongNameIsKeptTo255Bytes) {
    HighScoreTables tables;
    tables.Record(kNormal, std::string(300, 'x'), 5000);
    EXPECT_EQ(tables.Mode(kNormal).allTime[0].name, std::string(255, 'x'));
}

TEST(HighScoreCheck, MatchesKnownValues) {
    EXPECT_EQ(HighScoreCheck(1000, "Vesk"), 5904272);
    EXPECT_EQ(HighScoreCheck(850, "Ann"), 5902528);
    EXPECT_EQ(HighScoreCheck(-5, ""), -5904328);
}

TEST(HighScoreCheck, BytesAbove127CountAsNegative) {
    // 0xE9 is -23 as a signed byte: -23 * 17 = -391.
    EXPECT_EQ(HighScoreCheck(42,
                             "\xE9"
                             "A"),
              -5902911);
    EXPECT_EQ(HighScoreCheck(42, "\xE9"), (42 ^ 0x5A17C3) ^ -391);
}

TEST(DayNumber, IsYearsSince1900Times366PlusDayOfYear) {
    std::tm date{};
    date.tm_year = 126;  // 2026
    date.tm_mon = 11;    // December
    date.tm_mday = 7;
    date.tm_hour = 12;
    date.tm_isdst = -1;
    EXPECT_EQ(DayNumber(std::mktime(&date)), 126 * 366 + 340);
    date.tm_mon = 0;
    date.tm_mday = 1;
    date.tm_isdst = -1;
    EXPECT_EQ(DayNumber(std::mktime(&date)), 126 * 366);
}

TEST(OrdinalText, UsesEnglishSuffixes) {
    EXPECT_EQ(OrdinalText(1), "1st");
    EXPECT_EQ(OrdinalText(2), "2nd");
    EXPECT_EQ(OrdinalText(3), "3rd");
    EXPECT_EQ(OrdinalText(4), "4th");
    EXPECT_EQ(OrdinalText(5), "5th");
    EXPECT_EQ(OrdinalText(11), "11th");
    EXPECT_EQ(OrdinalText(12), "12th");
    EXPECT_EQ(OrdinalText(13), "13th");
    EXPECT_EQ(OrdinalText(21), "21st");
    EXPECT_EQ(OrdinalText(112), "112th");
    EXPECT_EQ(OrdinalText(122), "122nd");
}

TEST(ResultMessage, CoversTheThreeMessagesAndSilence) {
    HighScoreTables tables;
    EXPECT_EQ(ResultMessage(tables, kNormal, 850),
              "You got the highest score of\nthe day and 3rd place\nof all time!");
    EXPECT_EQ(ResultMessage(tables, kNormal, 1200),
              "You got the highest score of\nthe day and 1st place\nof all time!");
    EXPECT_EQ(ResultMessage(tables, kNormal, 400), "You got the highest score\nof the day!");
    tables.Mode(kTimed).today = {"Ann", 2000};
    EXPECT_EQ(ResultMessage(tables, kTimed, 950), "You got 2nd place of all time!");
    EXPECT_EQ(ResultMessage(tables, kTimed, 601), "You got 5th place of all time!");
    EXPECT_EQ(ResultMessage(tables, kTimed, 600), "");
    EXPECT_EQ(ResultMessage(HighScoreTables(), kNormal, 0), "");
}

TEST(ResultMessage, NamesEachRankWithItsSuffix) {
    HighScoreTables tables;
    tables.Mode(kNormal).today = {"Ann", 99999};
    const char* expected[] = {"1st", "2nd", "3rd", "4th", "5th"};
    for (int rank = 1; rank <= 5; ++rank)
        EXPECT_EQ(ResultMessage(tables, kNormal, 1150 - 100 * rank),
                  std::string("You got ") + expected[rank - 1] + " place of all time!");
}

}  // namespace
}  // namespace Varn
