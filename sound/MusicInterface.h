// MusicInterface: the game's background music. Songs are loaded under integer ids,
// started, stopped, and faded a little on every update tick (UpdateMusic): a fade-in
// adds 0.002 per tick (500 ticks from silence), a fade-out takes 0.004 (250 ticks from
// full) and stops the song when it reaches 0. One global music volume follows the
// player's setting.
// Threads: LoadMusic may run before the main loop starts or on the loading thread, but
// never at the same time as another call; the rest runs on the main thread.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "sound/AudioOutput.h"
#include "sound/MusicPlayer.h"

namespace Varn {

class MusicInterface {
public:
    // Plays modules through the shared audio output.
    explicit MusicInterface(std::shared_ptr<AudioOutput> output);
    // Plays through any MusicPlayer (tests use a recording one).
    explicit MusicInterface(std::unique_ptr<MusicPlayer> player);
    virtual ~MusicInterface();
    MusicInterface(const MusicInterface&) = delete;
    MusicInterface& operator=(const MusicInterface&) = delete;

    // Loads a looping song (a '\' in `fileName` is a folder separator). False when
    // the file cannot be loaded; an id that already has a song keeps it.
    bool LoadMusic(int id, const std::string& fileName);
    // Song volume 1.0 and play from the current position; the channel volume stays
    // whatever was last set.
    void PlayMusic(int id);
    void StopMusic(int id);
    void StopAllMusic();
    // Plays from the song's current volume and raises it by 0.002 a tick.
    void FadeInMusic(int id);
    // Lowers the volume by 0.004 a tick; nothing happens if the volume is already 0.
    void FadeOutMusic(int id);
    // The global music volume, 0 ... 1 (the game passes music volume x 0.4, or 0): a
    // linear gain on every song's output, exactly, not rounded to whole percent.
    void SetVolume(double volume);
    // One update tick of every fading song.
    void UpdateMusic();

    // The song record of `id`, for tests and diagnostics.
    struct SongState {
        double volume = 0.0;
        double fadeStep = 0.0;
    };
    std::optional<SongState> GetSongState(int id) const;

private:
    struct Song {
        MusicPlayer::SongHandle handle = 0;
        double volume = 0.0;
        double fadeStep = 0.0;
    };
    Song* Find(int id);

    std::unique_ptr<MusicPlayer> player_;
    std::map<int, Song> songs_;
};

}  // namespace Varn
