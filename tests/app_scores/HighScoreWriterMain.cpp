// A helper for the kill test: rewrites a high-score file, alternating between two known
// sets of tables (the new ones first), until it is killed or has made WRITES writes. After
// each completed write it puts one byte on its standard output, so the test knows whether
// a kill came after a write had completed.
// Usage: highscore_writer PATH DAY [WRITES]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "app/HighScoresFile.h"
#include "tests/app_scores/KillTestTables.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s PATH DAY [WRITES]\n", argv[0]);
        return 2;
    }
    const int32_t day = int32_t(std::atol(argv[2]));
    const long writes = argc == 4 ? std::atol(argv[3]) : -1;
    const Varn::HighScoreTables tables[2] = {Varn::test::KillTestNewTables(),
                                             Varn::test::KillTestOldTables()};
    for (long round = 0; writes < 0 || round < writes; ++round) {
        if (!Varn::WriteHighScoreFile(argv[1], tables[round % 2], day)) return 1;
        if (::write(STDOUT_FILENO, "w", 1) != 1) return 1;
    }
    return 0;
}
