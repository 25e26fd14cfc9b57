// Board: the widget the game is played on. It holds the 8 x 8 grid, the score,
// level and timed-mode bookkeeping, the per-tick state machine with its
// animations, the player's input and the saved game. Everything it needs of
// the application goes through BoardHost; all randomness comes from the
// host's GameRandom and game time from the host's millisecond clock, so a
// seeded test replays a game exactly.
//
// The operations are split over several files by topic: Board.cpp (life
// cycle, update order, messages, pausing), BoardRules.cpp (fill, sets,
// swap start, clearing, falling), BoardScoring.cpp (points, level set-up,
// bar and score roll), BoardSteps.cpp (swap, game over, level up, wipe,
// drop-away), BoardInput.cpp and BoardSaveGame.cpp; drawing is BoardDraw.cpp,
// done by BoardRenderer with the application's BoardArt.
//
// Fields are public like the Widget's own: the application, the game-over
// screen and the drawing read them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "board/BoardGrid.h"
#include "board/BoardHost.h"
#include "board/BoardState.h"
#include "widgets/Widget.h"

namespace Varn {

struct SavedGame;
class BoardArt;
class BoardRenderer;
class Graphics;

// Deletes the renderer where its type is complete (BoardDraw.cpp).
struct BoardRendererDeleter {
    void operator()(BoardRenderer* renderer) const;
};

// A floating score text.
struct ScorePopup {
    int x = 0;
    int y = 0;
    int life = 0;   // ticks left
    int fade = -1;  // -1 full strength, 0-5 fading stages
    int value = 0;
};

struct TutorialMove {
    int c1 = -1;  // left gem's column
    int r = -1;   // row
    int c2 = -1;  // right gem's column (c1 + 1)
};

// The centred wavy message. Its images are made by the drawing code from
// these metrics of the message font.
struct BoardMessage {
    std::string text;
    int width = 0;
    int height = 0;
    int ascent = 0;
    bool active = false;
    double phase = 0.0;
    int duration = 0;
    int remaining = 0;
};

class Board : public Widget {
public:
    static constexpr const char* kDefaultSavePath = "savegame.dat";

    // Deals the first board of a new game (with its tutorial move) and sets
    // up level 0. The host must outlive the board.
    Board(BoardHost& host, bool timedMode);
    ~Board() override;

    // Widget operations.
    void Draw(Graphics* g) override;
    void Update() override;
    void KeyChar(char ch) override;
    void KeyDown(int keyCode) override;
    void MouseLeave() override;
    void MouseMove(int mouseX, int mouseY) override;
    void MouseDown(int mouseX, int mouseY, int clickCode) override;
    void MouseDrag(int mouseX, int mouseY) override;

    // The pictures and fonts to draw with (owned by the application, must
    // outlive the board); builds the current level's background. Without art
    // the board draws nothing.
    void SetArt(BoardArt* art);

    // Grid and match rules.
    void FillBoard();
    bool HasRun() const { return grid.HasRun(); }
    bool FindMove(SwapMove* out, int n, bool horizontal, bool vertical) {
        return grid.FindMove(out, n, horizontal, vertical);
    }
    bool FindSets();
    void StartSwap(Gem* a, Gem* b);
    void StepFalling();
    void StepClearing();
    Gem* GemAt(int px, int py) const { return grid.GemAt(px, py); }

    // Scoring and levels.
    void SetupLevel();
    void ScoreSet(int length, int setX, int setY);

    // State machine.
    void ShowMessage(const std::string& text, int ticks);
    void EndGame(int delay);
    void AbandonGame();
    void StartLevelUp();
    void StepSwap();
    void StepGameOver();
    void StepLevelUp();
    void StepWipe();
    void StepDropAway();
    void PauseBoard(bool player);
    void ResumeBoard(bool player);
    void ShowHint();

    // The key that selects and swaps as the controller's A does; its character never pauses.
    static constexpr int kSelectKey = 13;  // Enter

    // Game controller (BoardPad.cpp): directions move the highlighted cell, or swap the
    // selected gem with that neighbour; A clicks the highlighted gem, B drops the
    // selection, Start pauses and resumes. The arrow keys and the select key play the same
    // highlight. The highlight hides when the pointer moves.
    void PadMove(int dx, int dy);
    void PadSelect();
    void PadDeselect();
    void PadPause();
    void HidePadCursor();
    bool PadCursorShown() const { return padColumn >= 0; }

    // Saved game. The path defaults to "savegame.dat" in the current folder.
    bool CanSaveGame() const;
    bool SaveGame();
    bool SavedGameExists() const;
    // False, with the board untouched, when the file is missing or refused.
    bool LoadGame();
    bool DeleteSavedGame() const;
    // The file holds this board's game (continued from it, or saved since) until a new
    // save replaces it; when the game ends (EndGame, or the application replacing the
    // board) the file goes too, so an ended game is never offered again. A run that
    // dies before either keeps it.
    void GiveUpSavedGame();
    // A refused saved game is kept beside it (savePath + ".bad", replacing an older one) so
    // that the player can send it in a report.
    bool KeepRefusedSavedGame() const;
    // The board's stored fields as a record, and back. ApplySavedGame takes
    // only a record that DecodeSavedGame accepted; it drops the selection and
    // the swap pair (their gems are replaced) and turns a swap into Idle.
    SavedGame MakeSavedGame() const;
    void ApplySavedGame(const SavedGame& saved);

    bool IsPaused() const { return pauseCount > 0 || playerPauseCount > 0; }
    // The pause text asking the player to go on, for the input in use.
    std::string ResumePrompt();
    // The bar's fill and range (displayed score against the level's span).
    std::int64_t BarFill() const;
    std::int64_t BarRange() const;

    BoardHost& host;
    // The seed this board was dealt from, when the player chose one.
    std::optional<std::uint32_t> dealtFromSeed;
    std::string savePath = kDefaultSavePath;
    bool holdsSavedGame = false;  // see GiveUpSavedGame
    BoardGrid grid;
    BoardState state = BoardState::Falling;
    bool timedMode = false;
    TutorialMove tutorialMove;

    // Score and level.
    int level = 0;
    int levelNumber = 1;
    int score = 0;
    int displayedScore = 0;
    double multiplier = 0.0;
    int pointsNeeded = 0;
    int levelStartScore = 0;
    int levelTargetScore = 0;
    int barPixels = 0;
    int barFrame = 23;
    double drain = 0.0;
    double drainRate = 0.0;
    double drainAccel = 0.0;
    int startCountdown = 300;
    int lastWarningTick = 0;
    int setsThisMove = 0;
    int cascadeLevel = 0;
    int movePoints = 0;
    int moveBonusCountdown = 0;
    double moveBonusStrength = 0.0;
    int gemsCleared = 0;
    int longestCascade = 0;
    int bestMove = 0;
    bool statsFrozen = false;
    std::uint32_t playStart = 0;
    int playedSeconds = 0;
    int gameSeconds = 0;
    int idleTicks = 0;
    int reserved = 0;
    std::vector<ScorePopup> scorePopups;

    // Animation and flow.
    bool noMoveYet = true;
    Gem* swapA = nullptr;  // the swap pair, not owned
    Gem* swapB = nullptr;
    int swapAngle = 0;
    int swapCenterX = 0;
    int swapCenterY = 0;
    Gem* selected = nullptr;  // not owned
    int selectionCounter = 0;
    bool tutorialArrows = false;
    int arrowOffset = 0;
    int arrowDirection = 1;
    bool abandoned = false;
    int pauseCount = 0;
    int playerPauseCount = 0;
    BoardMessage message;
    bool levelMessage = false;
    int wipeLine = 0;
    int wipeJitter = 0;
    int blackHoleFrame = 0;
    double whirlpoolVolume = 0.0;
    std::unique_ptr<BoardSoundLoop> whirlpoolSound;
    int gameOverDelay = 0;
    int hintFlashCountdown = 0;
    int hintFlashDuration = 0;
    double hintFlashStrength = 0.0;
    int lastLandingTick = 0;
    int mouseX = -1;
    int mouseY = -1;
    int mouseDownX = 0;
    int mouseDownY = 0;
    int padColumn = -1;  // the controller's highlighted cell; -1 while hidden
    int padRow = -1;
    std::unique_ptr<BoardRenderer, BoardRendererDeleter> renderer;

private:
    void DealFirstBoard();
    void ForgetGemPointers();
    void StepState();
    // Update steps, in their order.
    void UpdateMessage();
    void UpdateDrain();
    void UpdateHintFlash();
    void UpdateBlackHole();
    void UpdateArrows();
    // Marks the area the renderer gives for a change (a fixed area such as the score or the
    // bar, a gem's cell, a popup); without art nothing is drawn from the board's fields, so
    // the whole widget is marked. Used where BoardRenderer is complete.
    template <typename AreaOf>
    void MarkRendererAreaDirty(AreaOf areaOf);
    void MarkArrowsDirty(int offsetBefore);
    // A gem's own animation (spin, glow, sparkle, cursor) and a swap in progress change only
    // the cells they cover.
    void MarkGemDirty(const Gem& gem);
    void MarkSwapDirty();
    void MarkPopupDirty(const ScorePopup& popup);
    void UpdateMoveBonus();
    void UpdateBar(std::int64_t fill, std::int64_t range);
    void UpdateBarFrame(bool grew);
    void UpdateStartAnnouncement();
    void UpdateIdle();
    void UpdateScoreRoll();
    void UpdateSelection();
    void UpdateGems();
    void UpdateGemGlow(Gem& gem);
    void UpdatePopups();
    void CheckLevelEnd(std::int64_t fill, std::int64_t range);
    void PlaySetSounds(const std::vector<FoundSet>& sets);
    void SettleMove();
    void FinishSwap();
    void ThrowGems();
    bool AimedNeighbour(const Gem& from, int px, int py, int& column, int& row) const;
    void PlacePadCursor(int column, int row);
    void PadSwap(int dx, int dy);
    void MarkCellDirty(int column, int row);
};

template <typename AreaOf>
void Board::MarkRendererAreaDirty(AreaOf areaOf) {
    if (renderer)
        MarkAreaDirty(std::invoke(areaOf, *renderer));
    else
        MarkDirty();
}

}  // namespace Varn
