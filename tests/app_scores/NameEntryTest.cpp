// The name-entry dialog (8) after a qualifying game: the remembered name,
// OK, Enter, CANCEL, an empty name, the field's width limit; and the
// high-score dialog (13), which shows the file and never overwrites it.
#include <gtest/gtest.h>

#include "app/HighScoreDialog.h"
#include "app/HighScoresFile.h"
#include "app/OptionsDialog.h"
#include "app/RecordScoreDialog.h"
#include "graphics/Font.h"
#include "tests/app_scores/GameFixture.h"
#include "tests/platform/SystemFaults.h"
#include "widgets/EditWidget.h"

namespace Varn::test {
namespace {

constexpr int kNormal = HighScoreTables::kNormalMode;

class NameEntryTest : public GameFixture {
protected:
    // Plays a normal game to 850 points (3rd place, best of the day) and lets
    // the panel arrive; returns the name-entry dialog.
    RecordScoreDialog* FinishQualifyingGame(const std::string& remembered) {
        StartGame();
        app->lastScoreName = remembered;
        screen = EndGame(850);
        UpdateScreen(screen, 60);
        return dynamic_cast<RecordScoreDialog*>(app->GetDialog(8));
    }

    void Type(const std::string& text) {
        for (char c : text) app->GetWidgetManager()->KeyChar(c);
    }

    void PressKey(int code) {
        app->GetWidgetManager()->KeyDown(code);
        app->GetWidgetManager()->KeyUp(code);
    }

    HighScoreTables FileTables() {
        return ReadHighScoreFile(HighScorePath().string(), CurrentDayNumber());
    }

    HighScoreWidget* screen = nullptr;
};

TEST_F(NameEntryTest, FieldStartsWithTheRememberedNameSelectedAndFocused) {
    RecordScoreDialog* dialog = FinishQualifyingGame("Ann");
    ASSERT_NE(dialog, nullptr);
    EditWidget* field = dialog->GetNameField();
    EXPECT_EQ(field->text, "Ann");
    EXPECT_TRUE(field->hasFocus);
    EXPECT_EQ(field->GetRect(),
              Rect(dialog->x + 48, dialog->y + dialog->height - 100, dialog->width - 96, 24));
    Type("Bo");  // typing replaces the whole remembered name
    EXPECT_EQ(field->text, "Bo");
}

TEST_F(NameEntryTest, OkRecordsTheNameAndRemembersIt) {
    RecordScoreDialog* dialog = FinishQualifyingGame("Old");
    ASSERT_NE(dialog, nullptr);
    Type("Ann");
    ClickCentreOf(dialog->firstButton.get());
    EXPECT_EQ(app->GetDialog(8), nullptr);
    EXPECT_EQ(app->lastScoreName, "Ann");
    EXPECT_EQ(screen->tables.Mode(kNormal).allTime[2], (HighScoreEntry{"Ann", 850}));
    EXPECT_EQ(screen->tables.Mode(kNormal).today, (HighScoreEntry{"Ann", 850}));
    FinishPass();
    app->ButtonClicked(10);  // New Game on the game-over screen: no question
    FinishPass();
    EXPECT_EQ(app->GetGameOverScreen(), nullptr);
    EXPECT_EQ(FileTables().Mode(kNormal).allTime[2], (HighScoreEntry{"Ann", 850}));
}

TEST_F(NameEntryTest, EnterActsAsOk) {
    RecordScoreDialog* dialog = FinishQualifyingGame("Cy");
    ASSERT_NE(dialog, nullptr);
    PressKey(13);
    EXPECT_EQ(app->GetDialog(8), nullptr);
    EXPECT_EQ(screen->tables.Mode(kNormal).allTime[2].name, "Cy");
    EXPECT_EQ(app->lastScoreName, "Cy");
}

TEST_F(NameEntryTest, OkWithAnEmptyNameRecordsNothingAndForgetsTheName) {
    RecordScoreDialog* dialog = FinishQualifyingGame("Old");
    ASSERT_NE(dialog, nullptr);
    PressKey(8);  // Backspace deletes the selected remembered name
    EXPECT_EQ(dialog->GetName(), "");
    ClickCentreOf(dialog->firstButton.get());
    EXPECT_EQ(app->GetDialog(8), nullptr);
    EXPECT_EQ(app->lastScoreName, "");
    EXPECT_EQ(screen->tables, HighScoreTables());
}

TEST_F(NameEntryTest, CancelKeepsTheRememberedNameAndRecordsNothing) {
    RecordScoreDialog* dialog = FinishQualifyingGame("Old");
    ASSERT_NE(dialog, nullptr);
    Type("Zed");
    ClickCentreOf(dialog->secondButton.get());
    EXPECT_EQ(app->GetDialog(8), nullptr);
    EXPECT_EQ(app->lastScoreName, "Old");
    EXPECT_EQ(screen->tables, HighScoreTables());
}

TEST_F(NameEntryTest, NameStopsAt104PixelsOfTheTextFont) {
    RecordScoreDialog* dialog = FinishQualifyingGame("");
    ASSERT_NE(dialog, nullptr);
    Type(std::string(40, 'W'));
    Font* font = app->GetTextFont();
    const std::string& name = dialog->GetName();
    EXPECT_FALSE(name.empty());
    EXPECT_LT(name.size(), 40u);
    EXPECT_LE(font->StringWidth(name), RecordScoreDialog::kMaxNamePixels);
    EXPECT_GT(font->StringWidth(name + "W"), RecordScoreDialog::kMaxNamePixels);
}

// The game's characters are Latin-1 bytes: "B\xE9a" is typed and drawn whole.
TEST_F(NameEntryTest, AccentedLettersCanBeTypedAndHaveGlyphs) {
    RecordScoreDialog* dialog = FinishQualifyingGame("");
    ASSERT_NE(dialog, nullptr);
    const std::string name =
        "B\xE9"
        "a \xC5sa \xD1\xFC\xF1"
        "ez";
    Type(name.substr(0, 3));
    EXPECT_EQ(dialog->GetName(),
              "B\xE9"
              "a");
    Font* font = app->GetTextFont();
    for (char c : name) {
        if (c == ' ') continue;
        EXPECT_GT(font->CharWidth(c), 0) << int(static_cast<unsigned char>(c));
    }
}

TEST_F(NameEntryTest, HighScoreDialogShowsTheFileAsItIs) {
    HighScoreTables onDisk;
    for (int i = 0; i < 5; ++i) onDisk.Record(kNormal, "Disk" + std::to_string(i), 2000 + i);
    ASSERT_TRUE(WriteHighScoreFile(HighScorePath().string(), onDisk, CurrentDayNumber()));
    RecordScoreDialog* dialog = FinishQualifyingGame("");
    ASSERT_EQ(dialog, nullptr);  // 850 beats neither the day (2004) nor the list
    app->ButtonClicked(13);      // Options
    auto* options = dynamic_cast<OptionsDialog*>(app->GetDialog(2));
    ASSERT_NE(options, nullptr);
    ClickCentreOf(options->highScoresButton.get());
    auto* tables = dynamic_cast<HighScoreDialog*>(app->GetDialog(13));
    ASSERT_NE(tables, nullptr);
    EXPECT_EQ(tables->GetRect(), Rect(194, 50, 428, 326));
    EXPECT_EQ(tables->header, "HIGH SCORES");
    EXPECT_EQ(tables->GetTables()->tables, onDisk);
}

// Over the game-over screen, which writes the file only when it goes, the
// dialog shows the score just recorded; whichever goes last, it survives.
TEST_F(NameEntryTest, HighScoreDialogShowsAndNeverUndoesARecordedScore) {
    RecordScoreDialog* dialog = FinishQualifyingGame("");
    ASSERT_NE(dialog, nullptr);
    Type("Ann");
    app->ButtonClicked(2008);
    FinishPass();
    app->ButtonClicked(13);
    ClickCentreOf(dynamic_cast<OptionsDialog*>(app->GetDialog(2))->highScoresButton.get());
    auto* shown = dynamic_cast<HighScoreDialog*>(app->GetDialog(13));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetTables()->tables.Mode(kNormal).allTime[2], (HighScoreEntry{"Ann", 850}));
    // The program ends with the dialog still open: the screen writes first,
    // the dialog goes after it.
    app.reset();
    EXPECT_EQ(FileTables().Mode(kNormal).allTime[2], (HighScoreEntry{"Ann", 850}));
}

TEST_F(NameEntryTest, DoneOnTheHighScoreDialogWritesNothing) {
    StartGame();
    app->ButtonClicked(13);
    ClickCentreOf(dynamic_cast<OptionsDialog*>(app->GetDialog(2))->highScoresButton.get());
    auto* tables = dynamic_cast<HighScoreDialog*>(app->GetDialog(13));
    ASSERT_NE(tables, nullptr);
    ClickCentreOf(tables->firstButton.get());  // DONE
    FinishPass();
    EXPECT_EQ(app->GetDialog(13), nullptr);
    EXPECT_FALSE(std::filesystem::exists(HighScorePath()));
}

TEST_F(NameEntryTest, FailedWriteShowsTheFatalBoxAndKeepsTheOldFile) {
    HighScoreTables old;
    old.Record(kNormal, "Old", 3000);
    ASSERT_TRUE(WriteHighScoreFile(HighScorePath().string(), old, CurrentDayNumber()));
    RecordScoreDialog* dialog = FinishQualifyingGame("");
    ASSERT_NE(dialog, nullptr);
    Type("Ann");
    app->ButtonClicked(2008);
    {
        test::NoRoomForFiles full;
        app->ButtonClicked(10);  // New Game: the screen goes and tries to write
        FinishPass();
    }
    ASSERT_FALSE(platform.desktop.boxes.empty());
    EXPECT_EQ(platform.desktop.boxes.back().caption, "FATAL ERROR");
    EXPECT_EQ(platform.desktop.boxes.back().text.rfind("Failed to create high score file!\n", 0),
              0u);
    EXPECT_EQ(FileTables(), old);
}

}  // namespace
}  // namespace Varn::test
