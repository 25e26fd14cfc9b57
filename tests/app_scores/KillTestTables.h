// The two sets of tables the kill test and its writer agree on.
#pragma once

#include <string>

#include "app/HighScoresTable.h"

namespace Varn::test {

inline HighScoreTables KillTestOldTables() {
    HighScoreTables tables;
    tables.Record(HighScoreTables::kNormalMode, "Old", 950);
    return tables;
}

// Long names make each write take several blocks, so kills land inside writes.
inline HighScoreTables KillTestNewTables() {
    HighScoreTables tables;
    for (int i = 0; i < 5; ++i) {
        tables.Record(HighScoreTables::kNormalMode, std::string(250, char('a' + i)), 5000 + i);
        tables.Record(HighScoreTables::kTimedMode, std::string(250, char('A' + i)), 7000 + i);
    }
    return tables;
}

}  // namespace Varn::test
