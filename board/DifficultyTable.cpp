// DifficultyTable: formatted reading of the twelve values (see header).
#include "board/DifficultyTable.h"

#include <cmath>
#include <sstream>

#include "platform/RegularFile.h"

namespace Varn {

namespace {

// The table is a few lines of numbers; anything far larger is not one.
constexpr std::size_t kMaxTableFileBytes = 1 << 16;

// Extracts into a temporary so a failed read leaves the field untouched.
template <typename T>
bool ReadValue(std::istream& in, T& field) {
    T value{};
    if (!(in >> value)) return false;
    field = value;
    return true;
}

bool LevelsStayPositive(double pointsBase, double pointsGrowth, double multiplierBase,
                        double multiplierGrowth) {
    return std::isfinite(pointsGrowth) && std::isfinite(multiplierBase) &&
           std::isfinite(multiplierGrowth) && pointsBase > 0 && pointsGrowth >= 0 &&
           multiplierBase > 0 && multiplierGrowth >= 0 &&
           pointsBase * multiplierBase >= 1.0;  // at least one point fills the bar
}

}  // namespace

bool DifficultyTable::IsPlayable() const {
    return LevelsStayPositive(normalPointsBase, normalPointsGrowth, normalMultiplierBase,
                              normalMultiplierGrowth) &&
           LevelsStayPositive(timedPointsBase, timedPointsGrowth, timedMultiplierBase,
                              timedMultiplierGrowth) &&
           std::isfinite(drainRateBase) && std::isfinite(drainRateGrowth) &&
           std::isfinite(drainAccelBase) && std::isfinite(drainAccelGrowth);
}

int ReadDifficultyTable(std::istream& in, DifficultyTable& t) {
    int count = 0;
    auto step = [&](auto& field) {
        if (count < 0) return;  // an earlier value failed: stop reading
        if (ReadValue(in, field))
            ++count;
        else
            count = -count - 1;
    };
    step(t.normalPointsBase);
    step(t.normalPointsGrowth);
    step(t.normalMultiplierBase);
    step(t.normalMultiplierGrowth);
    step(t.timedPointsBase);
    step(t.timedPointsGrowth);
    step(t.timedMultiplierBase);
    step(t.timedMultiplierGrowth);
    step(t.drainRateBase);
    step(t.drainRateGrowth);
    step(t.drainAccelBase);
    step(t.drainAccelGrowth);
    return count < 0 ? -count - 1 : count;
}

int ReadDifficultyTableFile(const std::string& path, DifficultyTable& table) {
    std::string text;
    if (ReadRegularFile(path, kMaxTableFileBytes, text) != FileRead::Ok) return 0;
    std::istringstream in(text);
    return ReadDifficultyTable(in, table);
}

}  // namespace Varn
