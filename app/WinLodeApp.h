// WinLodeApp: the game's application object. It fixes the product's identity,
// loads every resource (the title screen's share in Init, the rest on the
// loading thread), derives the tinted and shrunken images the board draws
// with, owns the screens and the six game-screen buttons, and takes every
// game-flow decision in ButtonClicked. It is also the board's host.
//
// Threads: LoadResources writes images 9-37, the sounds, fonts and derived
// images; the main thread uses them only after the loaded flag is set.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/BoardArt.h"
#include "board/BoardHost.h"
#include "board/DifficultyTable.h"
#include "board/GameRandom.h"
#include "framework/VarnApp.h"

namespace Varn {

class Board;
struct DecodedImage;
class ButtonWidget;
class Font;
class HighScoreWidget;
class ImageFont;
class MemoryImage;
class RecordScoreDialog;
class TitleScreen;

class WinLodeApp : public VarnApp, public BoardHost, public BoardArt {
public:
    static constexpr int kImageCount = 38;
    static constexpr int kSoundCount = 21;
    static constexpr int kGemKinds = 7;
    static constexpr int kShrinkSteps = 6;
    static constexpr int kQuitButtonId = 14;
    static constexpr int kHintButtonId = 15;

    explicit WinLodeApp(Platform* platform);
    ~WinLodeApp() override;

    // Application operations.
    void ButtonPressed(int id) override;
    void ButtonClicked(int id) override;
    void LoadResources() override;
    void BrowserOpenFailed(const std::string& url) override;
    void BrowserReturned(const std::string& url) override;
    bool OpenBrowser(const std::string& url, bool quitAfter) override;
    void SaveRegistrySettings() override;
    void LoadRegistrySettings() override;
    void Init() override;
    Dialog* CreateDialog(int id, bool modal, const std::string& header, const std::string& body,
                         const std::string& footer, int buttonMode) override;
    bool CloseDialog(int id) override;
    void ModalDialogOpened() override;
    void ModalDialogsClosed() override;
    // Game controller (GamePad.cpp).
    void PadButtonDown(int button, bool repeat) override;
    bool PadOnPlayArea() override;
    void PointerMoved() override;
    // The input in use (InputFlow.cpp): keyboard play, prompts, the window's focus.
    bool TakeKey(int keyCode) override;
    void PadPromptsChanged() override;
    bool ControllerPrompts() override { return PadInUse(); }
    void ActivationChanged(bool nowActive) override;

    // Game flow.
    void StartGame();
    void NewBoard() override;
    void ShowGameOver() override;
    void SetMode(bool timed, bool restart) override;
    void ShowStartTip() override;
    void ShowNoWindowedMode();
    void ShowSavedGameUnreadable();
    void ShowOptions();
    void ShowInstructions();
    void ShowRecordScore(const std::string& message);
    // Opens dialog 18 and asks the update server.
    void StartUpdateCheck();
    std::string UpdateQueryUrl();
    // The build's update server, or GEMLODE_UPDATE_SERVER from the environment.
    static std::string DefaultUpdateServer();

    // What the board asks of the application.
    using VarnApp::PlaySound;  // the board's pan is an int; the framework's a double
    void PlaySound(int soundId) override { VarnApp::PlaySound(soundId); }
    void PlaySound(int soundId, int pan) override { VarnApp::PlaySound(soundId, double(pan)); }
    std::unique_ptr<BoardSoundLoop> StartSoundLoop(int soundId) override;
    bool StartTipWanted() override { return showStartTip; }
    void ClearStartTipWanted() override { showStartTip = false; }
    int TimesPlayed() override { return settings.timesPlayed; }
    void SetTimesPlayed(int count) override { settings.timesPlayed = count; }
    const DifficultyTable& Difficulty() override { return difficultyTable; }
    GameRandom& Random() override { return random; }
    int NextRandom() override { return random.Next(); }
    std::uint32_t TickCountMs() override { return std::uint32_t(Now()); }
    int MessageTextWidth(const std::string& text) override;
    int MessageFontHeight() override;
    int MessageFontAscent() override;
    int DigitFontAscent() override;

    // What the board draws with.
    Image* GetImage(int index) override;
    Image* ShrunkGem(int kind, int step) override;
    Image* TimerBar(int colorIndex) override;
    Image* WhiteTimerBar() override;
    Font* DigitFont() override;
    Font* FadedDigitFont(int fade) override;
    Font* ScoreFont() override;
    Font* TitleFont() override { return GetTitleFont(); }
    Font* OverFont() override;
    ImageRegistry* Registry() override { return GetImageRegistry(); }
    std::unique_ptr<MemoryImage> KeepPicture(std::unique_ptr<MemoryImage> picture) override;

    Font* GetTitleFont();
    Font* GetTextFont();

    Board* GetBoard() { return board.get(); }
    TitleScreen* GetTitleScreen() { return titleScreen.get(); }
    HighScoreWidget* GetGameOverScreen() { return gameOverScreen.get(); }
    const std::vector<std::unique_ptr<ButtonWidget>>& GetGameButtons() { return gameButtons; }

    DifficultyTable difficultyTable;
    GameRandom random;
    std::string lastScoreName;
    std::string referId;
    // --seed: the next new board is dealt from it, once.
    std::optional<std::uint32_t> commandSeed;
    std::string updateServer = DefaultUpdateServer();
    bool timedMode = false;
    bool showStartTip = true;
    // New Game, a mode button or "play again" came while the game-over screen
    // was still sliding in with a score to record: the new board follows the
    // name question.
    bool newBoardAfterName = false;
    // The controller steers the focus ring over the game screen's buttons, not the board.
    bool padOnPanel = false;
    // The controller steers the focus ring over the name dialog's buttons, not its keyboard.
    bool padOnDialogButtons = false;
    // The board that the window's loss of focus paused (normal mode), until it comes back.
    Board* focusPausedBoard = nullptr;
    // The quit already saved, or the player chose to quit without the save.
    bool quitSaveDone = false;

protected:
    bool LoadImageAt(int index);
    bool CheckFontStrip(const ImageFont& font, int index, const std::string& descriptor,
                        std::string_view needs);
    std::unique_ptr<MemoryImage> MakeImage(const uint32_t* pixels, int w, int h);
    bool LoadDifficulty();
    bool LoadSounds();
    void BuildFonts();
    void BuildDerivedImages();
    void BuildShrunkGems();
    void CreateGameButtons();
    void PlayModeSong();
    void AskNewGame();
    void AskMode(bool timed);
    void AskQuit();
    // The player quits (Quit -> YES, the close box): the game and the high scores are
    // saved while the window is up; a failure is told and the player may go back.
    void QuitFromGame();
    void QuitFromWindow() override { QuitFromGame(); }
    // Saves what the exit would save; the failures in words, empty when all went well.
    std::string SaveForQuit();
    // Quits with nobody to ask: a failure goes to the log.
    void SaveAtExit();
    void DialogAccepted(int dialogId);
    void ApplyOptions();
    void AcceptRecordScore();
    bool AskForNameBeforeLeaving();
    void NameQuestionClosed();
    void DialogDeclined(int dialogId);
    void AcceptNewVersion();
    // Tells the player why the update page was not opened.
    void PageNotOpened(const std::string& reason);
    void CloseUpdateDialogs(int answerDialog);
    void GameButtonClicked(int id);
    void FailLoading(const std::string& what);
    bool BoardInPlay();
    bool PadOnBoard(int button);
    RecordScoreDialog* NameDialogOnTop();
    bool PadOnNameDialog(int button, bool repeat);
    bool PadOnTitle(int button, bool repeat);

    std::unique_ptr<Board> board;
    std::unique_ptr<TitleScreen> titleScreen;
    std::unique_ptr<HighScoreWidget> gameOverScreen;
    std::array<std::unique_ptr<MemoryImage>, kImageCount> images;
    std::array<std::array<std::unique_ptr<MemoryImage>, kShrinkSteps>, kGemKinds> shrunkGems;
    std::vector<std::unique_ptr<ButtonWidget>> gameButtons;
    ButtonWidget* normalButton = nullptr;
    ButtonWidget* timedButton = nullptr;
    std::unique_ptr<ImageFont> digitFont;
    std::unique_ptr<ImageFont> scoreFont;
    std::unique_ptr<ImageFont> titleFont;
    std::unique_ptr<ImageFont> textFont;
    std::unique_ptr<ImageFont> overFont;
    std::array<std::unique_ptr<MemoryImage>, 6> fadedDigitImages;
    std::array<std::unique_ptr<ImageFont>, 6> fadedDigitFonts;
    std::array<std::unique_ptr<MemoryImage>, 24> timerBarImages;
    std::unique_ptr<MemoryImage> whiteTimerBar;
};

}  // namespace Varn
