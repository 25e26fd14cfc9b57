// Board: the animated state steps: the swap and swap-back, the game-over
// fall, the level-up whirl, the new-level wipe and the timed-mode drop-away.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "board/Board.h"
#include "board/GameRandom.h"

namespace Varn {

namespace {
constexpr double kPi = 3.14159;
constexpr int kWhirlpoolSound = 19;
constexpr double kDropGravity = 0.18;
constexpr double kGameOverGravity = 0.15;
}  // namespace

void Board::StepSwap() {
    MarkSwapDirty();
    if (!swapA || !swapB) {  // the pair was lost (a loaded game): nothing to animate
        state = BoardState::Idle;
        return;
    }
    const int oldAngle = swapAngle;
    swapAngle += 5;
    if (oldAngle != 175) {
        const double c = std::cos(swapAngle * kPi / 180.0);
        for (Gem* gem : {swapA, swapB}) {
            gem->x = TruncToInt(swapCenterX + gem->swapDx * c);
            gem->y = TruncToInt(swapCenterY + gem->swapDy * c);
        }
        return;
    }
    FinishSwap();
}

// The 36th step: the gems change cells, then the result decides what follows.
void Board::FinishSwap() {
    Gem& a = *swapA;
    Gem& b = *swapB;
    grid.SwapCells(a.column, a.row, b.column, b.row);
    std::swap(a.column, b.column);
    std::swap(a.row, b.row);
    for (Gem* gem : {swapA, swapB}) {
        gem->x = ColumnX(gem->column);
        gem->y = RowY(gem->row);
    }
    cascadeLevel = 1;
    setsThisMove = 0;
    if (FindSets()) {
        swapA = swapB = nullptr;
        state = BoardState::Clearing;
        if (tutorialArrows) {
            tutorialArrows = false;
            host.CloseDialog(9);
            host.ClearStartTipWanted();
        }
        noMoveYet = false;
    } else if (state == BoardState::Swapping) {
        a.swapDx = -a.swapDx;
        a.swapDy = -a.swapDy;
        b.swapDx = -a.swapDx;
        b.swapDy = -a.swapDy;
        swapAngle = 0;
        host.PlaySound(7);
        state = BoardState::SwappingBack;
    } else {
        swapA = swapB = nullptr;
        state = BoardState::Idle;
    }
}

void Board::StepGameOver() {
    MarkDirty();
    if (gameOverDelay >= 1) {
        if (--gameOverDelay == 0) host.PlaySound(9);
        if (updateCount % 6 != 0 && gameOverDelay != 0) return;
        ThrowGems();
        return;
    }
    bool allGone = true;
    grid.ForEachGem([&](Gem& gem) {
        gem.x += gem.vx;
        gem.y += gem.vy;
        gem.vy += kGameOverGravity;
        if (gem.y < height + kGemSize) allGone = false;
    });
    if (!allGone) return;
    if (abandoned) {
        // Rest first: the application replaces this board through deferred
        // deletion, and it must not ask twice should it tick again meanwhile.
        state = BoardState::GameOverShown;
        host.NewBoard();
        return;
    }
    host.PlaySound(16);
    state = BoardState::GameOverShown;
    host.ShowGameOver();
}

// Shakes every gem about its cell; when the delay has run out, also throws it.
void Board::ThrowGems() {
    GameRandom& random = host.Random();
    grid.ForEachGem([&](Gem& gem) {
        gem.x = ColumnX(gem.column) + random.Below(9) - 4;
        gem.y = RowY(gem.row) + random.Below(9) - 4;
        if (gameOverDelay == 0) {
            gem.vy = random.Below(8) - 6;
            gem.vx = random.Below(7) - 3;
        }
    });
}

void Board::StartLevelUp() {
    whirlpoolSound.reset();
    whirlpoolSound = host.StartSoundLoop(kWhirlpoolSound);
    levelMessage = false;
    whirlpoolVolume = 0.0;
    blackHoleFrame = 0;
    selected = nullptr;
    grid.ForEachGem([](Gem& gem) {
        const int dx = TruncToInt(gem.x + 24 - kBoardCenterX);
        const int dy = TruncToInt(gem.y + 24 - kBoardCenterY);
        gem.angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
        gem.radius = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
        gem.angularSpeed = 0.0;
    });
    state = BoardState::LevelUpWhirl;
}

void Board::StepLevelUp() {
    whirlpoolVolume = std::min(1.0, whirlpoolVolume + 0.02);
    if (whirlpoolSound) whirlpoolSound->SetVolume(whirlpoolVolume);
    const int pull = TruncToInt(TruncToInt(std::sqrt(406.0 * 406.0 + 406.0 * 406.0)) / 2.2);
    double before = 0.0;
    double after = 0.0;
    bool done = true;
    const bool vanishTick = updateCount % 8 == 0;
    grid.ForEachGem([&](Gem& gem) {
        gem.x = std::cos(gem.angle) * gem.radius + kBoardCenterX - 24;
        gem.y = std::sin(gem.angle) * gem.radius + kBoardCenterY - 24;
        before = std::max(before, gem.radius);
        gem.radius -= 1.0;
        if (gem.radius >= 0.0)
            done = false;
        else
            gem.radius = 0.0;
        after = std::max(after, gem.radius);
        gem.angularSpeed += (pull - gem.radius) / 110000.0;
        gem.angle += gem.angularSpeed;
        if (!vanishTick) return;
        const int g = TruncToInt(6 - gem.radius * 6 / 96 - 1);
        if (g < 0) return;
        if (!gem.vanishing) {
            gem.vanishing = true;
            gem.vanishFrame = 0;
        } else if (gem.vanishFrame < g) {
            ++gem.vanishFrame;
        }
    });
    if (before >= 80 && after < 80) host.PlaySound(15);
    if (before >= 64 && after < 64) {
        levelMessage = true;
        char text[32];
        std::snprintf(text, sizeof text, "LEVEL %d", level + 2);
        ShowMessage(text, 400);
    }
    if (done) {
        level += 1;
        SetupLevel();
        ForgetGemPointers();
        grid.Clear();
        levelStartScore = score;
        levelTargetScore = SaturatingAdd(score, pointsNeeded);
        host.PlaySound(17);
        state = BoardState::NewLevelWipe;
        wipeLine = 0;
    }
    MarkDirty();
}

// NOTE: revealing the new background in the screen image belongs to the
// drawing code, which reads wipeLine; here only the timing and sound.
void Board::StepWipe() {
    whirlpoolVolume -= 0.015;
    if (whirlpoolVolume >= 0.0) {
        if (whirlpoolSound) whirlpoolSound->SetVolume(whirlpoolVolume);
    } else {
        whirlpoolVolume = 0.0;
        whirlpoolSound.reset();
    }
    if (updateCount % 4 == 0) wipeJitter = host.Random().Below(128);
    MarkDirty();
    wipeLine += 3;
    if (wipeLine > height) {
        levelNumber = level + 1;
        startCountdown = 200;
        FillBoard();
    }
}

void Board::StepDropAway() {
    MarkDirty();
    bool done = true;
    GameRandom& random = host.Random();
    for (int column = 0; column < kBoardColumns; ++column) {
        bool launch = random.Below(15) == 0;
        for (int row = kBoardRows - 1; row >= 0; --row) {
            Gem* gem = grid.At(column, row);
            if (!gem) continue;
            if (gem->vy != 0.0) {
                gem->y += gem->vy;
                gem->vy += kDropGravity;
            } else if (launch) {
                gem->vy = 1.0;
                launch = false;
            }
            if (gem->y < height + 32) done = false;
        }
    }
    if (done) {
        startCountdown = 200;
        FillBoard();
    }
}

}  // namespace Varn
