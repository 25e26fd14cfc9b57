// Board: points for sets, level set-up from the difficulty table, the timed
// drain, the bonus bar with its colour frame and low-time warning, the
// rolling score display, and the level-end and time-up tests.
//
// NOTE: every division by the bar's range or by the multiplier is guarded:
// a bad difficulty table may make either zero, and the board must not crash.
#include <algorithm>
#include <cmath>

#include "board/Board.h"
#include "board/BoardRenderer.h"
#include "board/DifficultyTable.h"

namespace Varn {

namespace {

constexpr int kBaseBySet[10] = {10, 10, 20, 30, 40, 60, 80, 110, 160, 210};

int BasePoints(int setNumber, int length) {
    int points = kBaseBySet[std::clamp(setNumber, 1, 9)];
    if (length > 3) points += 10 * (length - 3);
    if (length > 5) points += 10 * (length - 5);
    return points;
}

// Bar length for a fill against a range; a zero range shows the bar full
// once anything is gained and empty once anything is lost.
std::int64_t BarTarget(std::int64_t fill, std::int64_t range, bool timed) {
    std::int64_t target;
    if (range == 0) {
        const std::int64_t half = timed ? kBarLength / 2 : 0;
        target = fill > 0 ? kBarLength : (fill < 0 ? 0 : half);
    } else if (timed) {
        target = fill * kBarLength / 2 / range + kBarLength / 2;
    } else {
        target = fill * kBarLength / range;
    }
    return std::clamp<std::int64_t>(target, 0, kBarLength);
}

}  // namespace

void Board::SetupLevel() {
    const DifficultyTable& t = host.Difficulty();
    const double k = level;
    drain = 0.0;
    if (timedMode) {
        multiplier = k * t.timedMultiplierGrowth + t.timedMultiplierBase;
        pointsNeeded = TruncToInt((t.timedPointsBase + k * t.timedPointsGrowth) * multiplier);
    } else {
        multiplier = k * t.normalMultiplierGrowth + t.normalMultiplierBase;
        pointsNeeded = TruncToInt((t.normalPointsBase + k * t.normalPointsGrowth) * multiplier);
    }
    drainRate = (k * t.drainRateGrowth + t.drainRateBase) * multiplier;
    drainAccel = (k * t.drainAccelGrowth + t.drainAccelBase) * multiplier;
}

void Board::ScoreSet(int length, int setX, int setY) {
    setsThisMove = SaturatingAdd(setsThisMove, 1);
    const int points = TruncToInt(BasePoints(setsThisMove, length) * multiplier);
    scorePopups.push_back(ScorePopup{setX + 24, setY + 16, 110, -1, points});
    gemsCleared = SaturatingAdd(gemsCleared, length);
    score = SaturatingAdd(score, points);
    if (setsThisMove == 1) {
        hintFlashCountdown = 0;
        hintFlashStrength = 0.0;
        movePoints = 0;
    }
    const int threshold = TruncToInt(120 * multiplier);
    if (movePoints < threshold && static_cast<std::int64_t>(movePoints) + points >= threshold) {
        ShowMessage("EXCELLENT!", 200);
        host.PlaySound(20);
    }
    movePoints = SaturatingAdd(movePoints, points);
    // NaN (a zero multiplier with no points) falls to the lower limit.
    double countdown = movePoints / multiplier * 3.0;
    if (!(countdown >= 300.0)) countdown = 300.0;
    moveBonusCountdown = TruncToInt(std::min(countdown, 1200.0));
}

void Board::UpdateDrain() {
    if (startCountdown > 0) --startCountdown;
    if (!timedMode || startCountdown != 0) return;
    if (state != BoardState::Idle && state != BoardState::Swapping) return;
    drain += drainRate / 100.0;
    drainRate += drainAccel / 100.0;
}

std::int64_t Board::BarFill() const {
    return static_cast<std::int64_t>(displayedScore) - levelStartScore - TruncToInt(drain);
}

std::int64_t Board::BarRange() const {
    return static_cast<std::int64_t>(levelTargetScore) - levelStartScore;
}

void Board::UpdateBar(std::int64_t fill, std::int64_t range) {
    const std::int64_t target = BarTarget(fill, range, timedMode);
    bool grew = false;
    for (int i = 0; i < 2; ++i) {
        if (barPixels < target) {
            ++barPixels;
            grew = true;
            MarkRendererAreaDirty(&BoardRenderer::BonusBarArea);
        } else if (barPixels > target) {
            --barPixels;
            MarkRendererAreaDirty(&BoardRenderer::BonusBarArea);
        }
    }
    UpdateBarFrame(grew);
}

void Board::UpdateBarFrame(bool grew) {
    int frame = 23;
    const bool blink = (updateCount / 8) % 2 == 0;
    if (timedMode) {
        frame = (barPixels * 24 - 1) / kBarLength;
        if (!grew && state != BoardState::GameOverFall && state != BoardState::GameOverShown) {
            const double f = barPixels / static_cast<double>(kBarLength);
            const int interval = std::max(80, TruncToInt(f * 1600));
            const unsigned sinceWarning =
                static_cast<unsigned>(updateCount) - static_cast<unsigned>(lastWarningTick);
            if (interval <= 240 && sinceWarning >= static_cast<unsigned>(interval)) {
                host.PlaySound(18);
                lastWarningTick = updateCount;
            }
            if (f < 0.15 && blink) frame = 24;
        }
    }
    if (state == BoardState::LevelUpWhirl && blink) frame = 24;
    if (frame != barFrame) {
        barFrame = frame;
        MarkRendererAreaDirty(&BoardRenderer::BonusBarArea);
    }
}

void Board::UpdateScoreRoll() {
    const double m = multiplier;
    const bool evenTick = updateCount % 2 == 0;
    std::int64_t d = static_cast<std::int64_t>(score) - displayedScore;
    int step = 0;
    if (d >= TruncToInt(150 * m))
        step = TruncToInt(3 * m);
    else if (d >= TruncToInt(100 * m))
        step = TruncToInt(2 * m);
    else if (d >= TruncToInt(50 * m) || (displayedScore < score && evenTick))
        step = TruncToInt(m);
    if (step != 0) {
        displayedScore = SaturatingAdd(displayedScore, step);
        MarkRendererAreaDirty(&BoardRenderer::ScoreArea);
    }
    d = static_cast<std::int64_t>(score) - displayedScore;
    step = 0;
    if (d <= TruncToInt(-150 * m))
        step = TruncToInt(3 * m);
    else if (d <= TruncToInt(-100 * m))
        step = TruncToInt(2 * m);
    else if (d <= TruncToInt(-50 * m) || (score < displayedScore && evenTick))
        step = TruncToInt(m);
    if (step != 0) {
        displayedScore = ClampToInt(static_cast<std::int64_t>(displayedScore) - step);
        MarkRendererAreaDirty(&BoardRenderer::ScoreArea);
    }
}

// The fill and range are those the bar was drawn from in this tick.
void Board::CheckLevelEnd(std::int64_t fill, std::int64_t range) {
    if (state != BoardState::Idle) return;
    if (fill >= range) {
        StartLevelUp();
        return;
    }
    if (fill <= -range) {
        ShowMessage("TIME UP!", 400);
        EndGame(200);
    }
}

}  // namespace Varn
