// BoardRenderer: paints the board widget: the screen image holding the level
// background, the black hole of the level-up whirl, the gems with their spin,
// glow and vanish frames, sparkles, cursors, floating scores, start-tip
// arrows, the wipe's electric line, the wavy message, the pause texts and the
// panel readouts (score, bonus bar, level number, move bonus, hint flash).
//
// It owns the 640 x 480 background of the level shown and, during the
// new-level wipe only, the next level's. The board's model does not call into
// the drawing, so the renderer follows it: a level change seen in state
// NewLevelWipe means a level was set up (the next background is built), and
// the rows above the wipe line show it; once all are shown it replaces the
// old one. A level change outside the wipe (a loaded game) keeps the
// background the board was built with. Both are kept where the art says
// (BoardArt::KeepPicture), in the display's own format in the game.
//
// Everything is read from the board's public fields; nothing of the model is
// changed. Missing art draws nothing.
#pragma once

#include <memory>
#include <string>

#include "board/BoardMessageFrame.h"
#include "board/BoardState.h"
#include "graphics/MemoryImage.h"

namespace Varn {

class Board;
class BoardArt;
class Graphics;
struct Gem;
struct ScorePopup;

class BoardRenderer {
public:
    // Builds the background of the board's current level, as a new board
    // shows it.
    BoardRenderer(Board& board, BoardArt& art);
    ~BoardRenderer();
    BoardRenderer(const BoardRenderer&) = delete;
    BoardRenderer& operator=(const BoardRenderer&) = delete;

    void Draw(Graphics* g);

    // What the moving tutorial arrow covers at either offset (empty while no arrow is
    // drawn), and what the hint flash covers: the only pixels those animations change.
    Rect MovingArrowArea(int offsetA, int offsetB) const;
    Rect HintFlashArea() const;
    // The panel readouts that change while a game goes on.
    Rect ScoreArea() const;
    Rect MoveBonusArea() const;
    Rect BonusBarArea() const;
    // Everything drawn for a gem at this model position: the gem, its sparkles, its cursor.
    Rect GemArea(double x, double y) const;
    // A score popup's number, and the row above it that it rises into.
    Rect PopupArea(const ScorePopup& popup) const;

    int BackgroundLevel() const { return backgroundLevel; }

private:
    void FollowBackground();
    std::unique_ptr<MemoryImage> BuildBackground(int level);
    void RevealRows(int rows);
    void DrawBackground(Graphics& g);

    // Board area (BoardRenderer.cpp).
    void DrawBlackHole(Graphics& g);
    void DrawGems(Graphics& g);
    void DrawGem(Graphics& g, const Gem& gem);
    bool DrawGlowingGem(Graphics& g, const Gem& gem, int gx, int gy);
    void DrawSparkles(Graphics& g);
    void DrawCursors(Graphics& g);

    // Effects and texts over the board (BoardOverlays.cpp).
    void DrawScorePopups(Graphics& g);
    void DrawTutorialArrows(Graphics& g);
    int PointerColumn() const;
    void DrawWipe(Graphics& g);
    void DrawMessage(Graphics& g);
    void DrawHoleMask(Graphics& g);
    void DrawPauseTexts(Graphics& g);

    // The side panel (BoardPanel.cpp).
    void DrawScore(Graphics& g);
    void DrawBonusBar(Graphics& g);
    void DrawLevelNumber(Graphics& g);
    void DrawMoveBonus(Graphics& g);
    void DrawSqueezedText(Graphics& g, const std::string& value, const Rect& room);
    void DrawHintFlash(Graphics& g);

    Board& board;
    BoardArt& art;
    std::unique_ptr<MemoryImage> shownBackground;
    std::unique_ptr<MemoryImage> nextBackground;  // during the wipe only
    int backgroundLevel = 0;
    int revealedRows = 0;                        // rows of the next background already shown
    BoardState lastState = BoardState::Falling;  // the state seen by the last draw
    BoardMessageFrame messageFrame;
    MemoryImage glowImage;  // the cross-faded gem of the current draw
};

// White with the given strength 0-1 as its alpha, for faded drawing.
Color FadedWhite(double strength);

}  // namespace Varn
