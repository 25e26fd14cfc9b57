// Board: life cycle, the order of one update tick and its small steps,
// messages, game end and pausing.
#include "board/Board.h"
#include "board/BoardRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "board/GameRandom.h"

namespace Varn {

namespace {
constexpr int kStartTipDialog = 9;
constexpr int kAnnouncementTick = 150;
constexpr int kIdleHintTicks = 1500;
constexpr int kHintFlashTicks = 400;
}  // namespace

Board::Board(BoardHost& boardHost, bool timed) : host(boardHost), timedMode(timed) {
    x = 0;
    y = 0;
    width = kBoardWidgetWidth;
    height = kBoardWidgetHeight;
    playStart = host.TickCountMs();
    SetupLevel();
    levelStartScore = 0;
    levelTargetScore = pointsNeeded;
    startCountdown = 300;
    DealFirstBoard();
}

Board::~Board() {
    whirlpoolSound.reset();
    host.CloseDialog(kStartTipDialog);
}

// Deals until the board offers a right-hand swap low in the middle of the
// board, the move the start tip points at.
void Board::DealFirstBoard() {
    tutorialMove = TutorialMove{};
    while (tutorialMove.c1 == -1) {
        FillBoard();
        SwapMove move;
        for (int n = 0; grid.FindMove(&move, n, true, false); ++n) {
            if (move.otherColumn == move.column + 1 && move.row >= 4 && move.row <= 6 &&
                move.column >= 1 && move.column <= 6) {
                tutorialMove = TutorialMove{move.column, move.row, move.otherColumn};
                break;
            }
        }
    }
}

// Gems are about to be deleted wholesale: drop every pointer that is not owned.
void Board::ForgetGemPointers() {
    selected = nullptr;
    swapA = nullptr;
    swapB = nullptr;
}

void Board::Update() {
    if (IsPaused()) return;
    Widget::Update();
    UpdateMessage();
    UpdateDrain();
    UpdateHintFlash();
    UpdateBlackHole();
    UpdateArrows();
    UpdateMoveBonus();
    const std::int64_t fill = BarFill();
    const std::int64_t range = BarRange();
    UpdateBar(fill, range);
    UpdateStartAnnouncement();
    UpdateIdle();
    UpdateScoreRoll();
    UpdateSelection();
    UpdateGems();
    UpdatePopups();
    CheckLevelEnd(fill, range);
    StepState();
}

void Board::StepState() {
    switch (state) {
        case BoardState::Falling:
            StepFalling();
            break;
        case BoardState::Swapping:
        case BoardState::SwappingBack:
            StepSwap();
            break;
        case BoardState::Clearing:
            StepClearing();
            break;
        case BoardState::GameOverFall:
            StepGameOver();
            break;
        case BoardState::LevelUpWhirl:
            StepLevelUp();
            break;
        case BoardState::NewLevelWipe:
            StepWipe();
            break;
        case BoardState::DropAway:
            StepDropAway();
            break;
        case BoardState::Idle:
        case BoardState::GameOverShown:
            break;
    }
}

void Board::UpdateMessage() {
    if (!message.active) return;
    message.phase += 0.07;
    MarkDirty();
    if (--message.remaining <= 0) message.active = false;
}

void Board::UpdateHintFlash() {
    if (hintFlashCountdown <= 0) return;
    --hintFlashCountdown;
    const int g = hintFlashDuration / 3;
    if (g > 0) hintFlashStrength = 1.0 - std::abs(hintFlashCountdown % g - g / 2) / (g * 0.5);
    if (hintFlashCountdown == 0) hintFlashStrength = 0.0;
    MarkRendererAreaDirty(&BoardRenderer::HintFlashArea);
}

void Board::UpdateBlackHole() {
    if (whirlpoolVolume <= 0.0 || updateCount % 2 != 0) return;
    if (--blackHoleFrame < 0) blackHoleFrame = 8;
    MarkDirty();
}

void Board::UpdateArrows() {
    if (!tutorialArrows || updateCount % 4 != 0) return;
    const int before = arrowOffset;
    arrowOffset += arrowDirection;
    if (std::abs(arrowOffset) > 2) arrowDirection = -arrowDirection;
    MarkArrowsDirty(before);
}

void Board::UpdateMoveBonus() {
    if (moveBonusCountdown <= 0) return;
    --moveBonusCountdown;
    if (moveBonusCountdown < 50)
        moveBonusStrength = moveBonusCountdown / 50.0;
    else if (moveBonusStrength < 1.0)
        moveBonusStrength = std::min(1.0, moveBonusStrength + 0.05);
    MarkRendererAreaDirty(&BoardRenderer::MoveBonusArea);
}

// "GO!" at tick 150, or the start tip with its arrows for a new player.
void Board::UpdateStartAnnouncement() {
    if (updateCount != kAnnouncementTick) return;
    host.PlaySound(14);
    const bool tipWanted = host.StartTipWanted();
    const int timesPlayed = host.TimesPlayed();
    if (!tipWanted || timesPlayed > 4) ShowMessage("GO!", 250);
    if (tipWanted && timesPlayed < 5) {
        host.ShowStartTip();
        tutorialArrows = true;
    }
}

void Board::UpdateIdle() {
    ++idleTicks;
    if (idleTicks > kIdleHintTicks && state == BoardState::Idle) {
        hintFlashDuration = hintFlashCountdown = kHintFlashTicks;
        idleTicks = 0;
    }
}

void Board::UpdateSelection() {
    if (!selected || updateCount % 8 != 0) return;
    for (const Gem* gem : {selected, swapA, swapB})
        if (gem) MarkGemDirty(*gem);
    ++selectionCounter;
}

void Board::UpdateGems() {
    grid.ForEachGem([&](Gem& gem) {
        if (updateCount % 5 == 0 && gem.sparkleCountdown > 0) {
            --gem.sparkleCountdown;
            ++gem.sparkleFrame;
            MarkGemDirty(gem);
        }
        const bool spins = gem.spinFrame != 0 || &gem == selected;
        if (spins && updateCount % 3 == 0) {
            gem.spinFrame = (gem.spinFrame + 1) % 15;
            MarkGemDirty(gem);
            return;
        }
        UpdateGemGlow(gem);
    });
}

// NOTE: a spinning gem skips its glow only on the ticks it turns a frame.
void Board::UpdateGemGlow(Gem& gem) {
    if (gem.glowing) {
        gem.glow -= 0.012;
        if (gem.glow < 0.0) {
            gem.glowing = false;
            MarkGemDirty(gem);
        }
    }
    if (state == BoardState::Idle && &gem != selected && mouseX >= gem.x &&
        mouseX < gem.x + kGemSize && mouseY >= gem.y && mouseY < gem.y + kGemSize) {
        gem.glow = std::min(1.0, gem.glow + 0.045);
        if (!gem.glowing) {
            gem.glowing = true;
            gem.glowFrame = 0;
        }
    }
    if (updateCount % 3 == 0 && gem.glowing) {
        gem.glowFrame = (gem.glowFrame + 1) % 15;
        MarkGemDirty(gem);
    }
}

void Board::UpdatePopups() {
    const int topLimit = host.DigitFontAscent() / 2 + 2;
    for (auto& popup : scorePopups) {
        if (updateCount % 3 == 0) {
            MarkPopupDirty(popup);
            if (popup.y > topLimit) --popup.y;
        }
        const int fade = std::max(-1, 5 - popup.life / 3);
        if (fade != popup.fade) {
            popup.fade = fade;
            MarkPopupDirty(popup);
        }
        --popup.life;
    }
    const auto gone = std::remove_if(scorePopups.begin(), scorePopups.end(),
                                     [](const ScorePopup& p) { return p.life <= 0; });
    for (auto it = gone; it != scorePopups.end(); ++it) MarkPopupDirty(*it);
    scorePopups.erase(gone, scorePopups.end());
}

void Board::ShowMessage(const std::string& text, int ticks) {
    message.text = text;
    message.width = host.MessageTextWidth(text);
    message.height = host.MessageFontHeight();
    message.ascent = host.MessageFontAscent();
    message.duration = ticks;
    message.remaining = ticks;
    message.phase = 0.0;
    message.active = true;
}

void Board::EndGame(int delay) {
    // A game abandoned during its own end sequence is still one game, and
    // its duration was fixed when it first ended.
    const bool alreadyEnded =
        state == BoardState::GameOverFall || state == BoardState::GameOverShown;
    GiveUpSavedGame();
    if (!alreadyEnded) {
        host.SetTimesPlayed(host.TimesPlayed() + 1);
        // While paused the current stretch is already in playedSeconds.
        gameSeconds = playedSeconds;
        if (pauseCount == 0)
            gameSeconds = SaturatingAdd(static_cast<int>((host.TickCountMs() - playStart) / 1000u),
                                        playedSeconds);
    }
    selected = nullptr;
    tutorialArrows = false;
    host.CloseDialog(kStartTipDialog);
    // An ending game has no level-up to finish: its whirlpool stops.
    whirlpoolSound.reset();
    whirlpoolVolume = 0.0;
    state = BoardState::GameOverFall;
    gameOverDelay = delay;
}

void Board::AbandonGame() {
    EndGame(50);
    abandoned = true;
}

// The whirlpool loop is silenced while the board stands still and comes back
// at its volume when the board moves on.
void Board::PauseBoard(bool player) {
    if (pauseCount == 0) {
        playedSeconds = SaturatingAdd(playedSeconds,
                                      static_cast<int>((host.TickCountMs() - playStart) / 1000u));
        if (whirlpoolSound) whirlpoolSound->SetVolume(0.0);
        MarkDirty();
    }
    if (player) {
        if (playerPauseCount == 0) MarkDirty();
        ++playerPauseCount;
    }
    ++pauseCount;
}

void Board::ResumeBoard(bool player) {
    if (player && playerPauseCount > 0) {
        if (--playerPauseCount == 0) MarkDirty();
    }
    if (pauseCount > 0 && --pauseCount == 0) {
        playStart = host.TickCountMs();
        if (whirlpoolSound) whirlpoolSound->SetVolume(whirlpoolVolume);
    }
}

}  // namespace Varn
