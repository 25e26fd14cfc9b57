// Board: the match rules as board steps: dealing, finding and scoring sets,
// starting a swap, clearing with compaction, and falling with the settle
// decision.
#include "board/Board.h"

#include <algorithm>
#include <cstdlib>

#include "board/GameRandom.h"

namespace Varn {

namespace {
constexpr double kGravity = 0.18;
constexpr int kBadSwapSound = 7;
constexpr int kLandingSound = 8;
}  // namespace

void Board::FillBoard() {
    state = BoardState::Falling;
    idleTicks = 0;
    ForgetGemPointers();
    grid.Fill(host.Random());
}

bool Board::FindSets() {
    const std::vector<FoundSet> sets = grid.FindSets();
    for (const FoundSet& set : sets) ScoreSet(set.length, set.x, set.y);
    if (sets.empty()) return false;
    PlaySetSounds(sets);
    return true;
}

void Board::PlaySetSounds(const std::vector<FoundSet>& sets) {
    const int count = static_cast<int>(sets.size());
    std::int64_t sumX = 0;
    int longest = 0;
    for (const FoundSet& set : sets) {
        sumX += set.x;
        longest = std::max(longest, set.length);
    }
    const int pan = PanForX(ClampToInt(sumX / count + 24));
    idleTicks = 0;
    host.PlaySound(longest == 3 ? 0 : 1, pan);
    // A loaded game may carry any cascade level; keep the id within 2-6.
    host.PlaySound(2 + std::clamp(cascadeLevel - 1, 0, 4), pan);
    if (count > 1) host.PlaySound(13, pan);
}

void Board::StartSwap(Gem* a, Gem* b) {
    if (!a || !b || std::abs(a->column - b->column) + std::abs(a->row - b->row) != 1) {
        host.PlaySound(kBadSwapSound);
        return;
    }
    if (tutorialArrows && a == grid.At(tutorialMove.c1, tutorialMove.r) &&
        b == grid.At(tutorialMove.c2, tutorialMove.r)) {
        tutorialArrows = false;
        host.ClearStartTipWanted();
        host.CloseDialog(9);
    }
    swapA = a;
    swapB = b;
    swapAngle = 0;
    swapCenterX = TruncToInt((a->x + b->x) / 2.0);
    swapCenterY = TruncToInt((a->y + b->y) / 2.0);
    a->swapDx = TruncToInt(a->x - swapCenterX);
    a->swapDy = TruncToInt(a->y - swapCenterY);
    b->swapDx = TruncToInt(b->x - swapCenterX);
    b->swapDy = TruncToInt(b->y - swapCenterY);
    state = BoardState::Swapping;
}

void Board::StepClearing() {
    bool anyVanishing = false;
    for (int row = 0; row < kBoardRows; ++row) {
        for (int column = 0; column < kBoardColumns; ++column) {
            Gem* gem = grid.At(column, row);
            if (!gem || !gem->vanishing) continue;
            anyVanishing = true;
            if (updateCount % 3 != 0) continue;
            if (++gem->vanishFrame > 5) {
                if (gem == selected) selected = nullptr;
                if (gem == swapA || gem == swapB) swapA = swapB = nullptr;
                grid.Take(column, row);
            }
            MarkDirty();
        }
    }
    if (anyVanishing) return;
    while (grid.CompactionPass(host.Random())) {
    }
    MarkDirty();
    state = BoardState::Falling;
    cascadeLevel = SaturatingAdd(cascadeLevel, 1);
}

void Board::StepFalling() {
    bool settled = true;
    int landed = 0;
    std::int64_t landedSum = 0;
    grid.ForEachGem([&](Gem& gem) {
        const int target = RowY(gem.row);
        if (gem.y == target) {
            gem.vy = 0.0;
            return;
        }
        settled = false;
        gem.y += gem.vy;
        if (gem.y >= target) {
            ++landed;
            landedSum += TruncToInt(gem.x + 24);
            gem.y = target;
        }
        gem.vy += kGravity;
    });
    if (landed > 0 && std::abs(static_cast<std::int64_t>(updateCount) - lastLandingTick) > 9) {
        lastLandingTick = updateCount;
        host.PlaySound(kLandingSound, PanForX(ClampToInt(landedSum / landed)));
    }
    if (settled) SettleMove();
    MarkDirty();
}

// Everything rests: more sets cascade; otherwise the move is over.
void Board::SettleMove() {
    if (FindSets()) {
        state = BoardState::Clearing;
        return;
    }
    if (!statsFrozen) {
        longestCascade = std::max(longestCascade, cascadeLevel);
        bestMove = std::max(bestMove, movePoints);
    }
    if (grid.FindMove(nullptr, 0, true, true)) {
        state = BoardState::Idle;
    } else if (timedMode) {
        state = BoardState::DropAway;
    } else if (score >= levelTargetScore) {
        // The move filled the bar: the whirl deals a new board, so the earned level
        // goes before the missing move. The shown score may still be rolling up.
        StartLevelUp();
    } else {
        ShowMessage("NO MOVES!", 400);
        EndGame(200);
    }
}

}  // namespace Varn
