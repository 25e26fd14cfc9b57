// A helper for the kill test: rewrites a high-score file over and over,
// alternating between two known sets of tables, until it is killed.
// Usage: highscore_writer PATH DAY
#include <cstdio>
#include <cstdlib>

#include "app/HighScoresFile.h"
#include "tests/app_scores/KillTestTables.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PATH DAY\n", argv[0]);
        return 2;
    }
    const int32_t day = int32_t(std::atol(argv[2]));
    const Varn::HighScoreTables tables[2] = {Varn::test::KillTestNewTables(),
                                             Varn::test::KillTestOldTables()};
    for (unsigned round = 0;; ++round)
        if (!Varn::WriteHighScoreFile(argv[1], tables[round % 2], day)) return 1;
}
