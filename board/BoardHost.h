// BoardHost: everything the board asks of the game application, kept narrow
// so the board runs headless in tests against a recording fake. The game
// application implements it; the board never owns its host.
//
// The calls are made on the main thread from inside the board's update and
// input handlers. NewBoard and ShowGameOver may take the board out of the
// widget tree (NewBoard replaces it through deferred deletion); the board
// touches nothing of itself after either call returns.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Varn {

class GameRandom;
struct DifficultyTable;

// A playing instance of a looping effect (the level-up whirlpool). Destroying
// it stops and releases the sound.
class BoardSoundLoop {
public:
    virtual ~BoardSoundLoop() = default;
    // 0 (silent) ... 1 (full).
    virtual void SetVolume(double volume) = 0;
};

class BoardHost {
public:
    virtual ~BoardHost() = default;

    // Effects by sound id (0-20); pan -800 (left) ... +800 (right).
    virtual void PlaySound(int soundId) = 0;
    virtual void PlaySound(int soundId, int pan) = 0;
    // Starts the effect looping, not auto-released; null when no sound device
    // or no free voice (the board then runs silently).
    virtual std::unique_ptr<BoardSoundLoop> StartSoundLoop(int soundId) = 0;

    // The start-tip dialog (dialog 9) and closing a dialog by id.
    virtual void ShowStartTip() = 0;
    virtual bool CloseDialog(int dialogId) = 0;
    // The application's showStartTip flag: read, and cleared after the first
    // move or a loaded game.
    virtual bool StartTipWanted() = 0;
    virtual void ClearStartTipWanted() = 0;
    // The TimesPlayed setting: read, and written back incremented at game over.
    virtual int TimesPlayed() = 0;
    virtual void SetTimesPlayed(int count) = 0;

    // Game flow: the end sequence finished (game-over screen), the abandoned
    // game's end sequence finished (a new board replaces this one), and a
    // loaded game's mode (restart false: no new board).
    virtual void ShowGameOver() = 0;
    virtual void NewBoard() = 0;
    virtual void SetMode(bool timed, bool restart) = 0;

    virtual const DifficultyTable& Difficulty() = 0;
    // The single seeded random source of the game.
    virtual GameRandom& Random() = 0;
    // Monotonic milliseconds for the game duration (never used for animation).
    virtual std::uint32_t TickCountMs() = 0;

    // Metrics of the message font (overFont) and the digit font (digitFont).
    virtual int MessageTextWidth(const std::string& text) = 0;
    virtual int MessageFontHeight() = 0;
    virtual int MessageFontAscent() = 0;
    virtual int DigitFontAscent() = 0;

    // True while a game controller is the player's input: prompts name its buttons.
    virtual bool ControllerPrompts() { return false; }
};

}  // namespace Varn
