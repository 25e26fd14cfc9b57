// HighScoreWidget: the game-over screen, and the holder of the high-score
// tables. As the screen it slides a panel down over a still picture of the
// final board (8 pixels an update), shows the game's statistics, a random tip
// and both tables in rainbow colours, reports the result once when the panel
// arrives (the application then asks for a name), and offers "CLICK HERE TO
// PLAY AGAIN". The board it reads stays alive, outside the widget tree, for
// the screen's whole life.
//
// Construction reads "hiscores.dat" from the write folder; destruction
// writes it back (see HighScoresFile.h). A holder that only shows the tables
// (the high-score dialog's) is made with writesFile false: it never changed
// them, and writing its older copy could undo a score the game-over screen
// recorded in the meantime.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/HighScoresTable.h"
#include "graphics/Color.h"
#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Varn {

class Board;
class HyperlinkWidget;
class MemoryImage;
class WinLodeApp;

class HighScoreWidget : public Widget, public ButtonListener {
public:
    static constexpr const char* kFileName = "hiscores.dat";
    static constexpr int kTipCount = 9;
    static constexpr int kSlideStep = 8;
    static constexpr int kBlinkInterval = 10;

    HighScoreWidget(WinLodeApp* application, bool writesFileOnDestruction = true);
    ~HighScoreWidget() override;

    void AddedToManager(WidgetManager* widgetManager) override;
    void RemovedFromManager(WidgetManager* widgetManager) override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Graphics* g) override;
    void Update() override;

    // When the final score is today's best or enters the all-time list, has
    // the application ask for a name with the result message. Runs once.
    virtual void ReportResult();
    // Ends the slide at once and reports the result (a screen about to be
    // left must not take an earned score with it).
    void FinishSlide();
    // Records the final score of the board under the name (empty: nothing).
    virtual void RecordScore(const std::string& name);

    void ButtonClicked(int id) override;

    // The rainbow colours of the today row and of all-time row j.
    Color TodayColor() const;
    Color AllTimeColor(int row) const;
    static const char* TipText(int index);
    HyperlinkWidget* GetPlayAgainLink() { return playAgainLink.get(); }
    // Writes the tables now instead of at destruction; false, with errno telling why,
    // when the write failed (the destruction then tries again). True when nothing is due.
    bool WriteFileNow();

    WinLodeApp* app;
    int slideOffset = 0;
    std::string tip;
    HighScoreTables tables;
    int blinkCount = 0;
    bool writesFile;
    std::string filePath;  // in the write folder; empty when nothing can be written
    bool resultReported = false;

private:
    void PlacePlayAgainLink();
    void WriteFile();
    void DrawPanel(Graphics* g, Board* board);
    void DrawStatistics(Graphics* g, Board* board);
    void DrawTables(Graphics* g);
    void DrawModeTable(Graphics* g, int mode, int centreX);

    std::unique_ptr<HyperlinkWidget> playAgainLink;
    std::unique_ptr<MemoryImage> boardPicture;
};

// A game duration in whole seconds as minutes and seconds: "%2d.%02d".
std::string FormatGameDuration(int seconds);
// The game-over line of a game dealt from a chosen seed: "SEED 42".
std::string SeedText(std::uint32_t seed);

}  // namespace Varn
