// ModulePlayer: the MusicPlayer over libopenmpt. Each song is a module rendered as a
// stream of the shared mixer, so music and effects share one output. Songs loop
// forever; Stop pauses, Play goes on from there (from the row where it stopped: a
// stopped song lets its module go and keeps only its file). A song's gain is
// channel volume x global volume, applied to libopenmpt's output as it stands
// (default render settings: no extra master gain, full stereo separation).
// Threads: the calls belong to one thread (the main thread in the game); rendering
// happens on the audio thread under the mixer's lock.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>

#include "sound/AudioOutput.h"
#include "sound/MusicPlayer.h"

namespace Varn {

// Largest module file accepted; the game's songs are a few hundred kilobytes.
constexpr std::uintmax_t kMaxModuleFileBytes = 32u * 1024u * 1024u;

class ModuleStream;

class ModulePlayer final : public MusicPlayer {
public:
    explicit ModulePlayer(std::shared_ptr<AudioOutput> output);
    ~ModulePlayer() override;
    ModulePlayer(const ModulePlayer&) = delete;
    ModulePlayer& operator=(const ModulePlayer&) = delete;

    SongHandle Load(const std::string& path) override;
    void Free(SongHandle song) override;
    void Play(SongHandle song) override;
    void Stop(SongHandle song) override;
    void SetChannelVolume(SongHandle song, double volume) override;
    void SetGlobalVolume(double volume) override;

    bool IsPlaying(SongHandle song) const;
    // Seconds into the song; none for an unknown song.
    std::optional<double> GetPosition(SongHandle song) const;
    // Whether the song's module is set up (only while it plays).
    bool HoldsModule(SongHandle song) const;

private:
    struct Song {
        Mixer::Handle stream;
        std::shared_ptr<ModuleStream> source;
        double channelVolume = 1.0;
    };
    void ApplyGain(const Song& song);

    std::shared_ptr<AudioOutput> output_;
    std::map<SongHandle, Song> songs_;
    SongHandle nextHandle_ = 1;
    double globalVolume_ = 1.0;
};

}  // namespace Varn
