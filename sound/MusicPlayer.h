// MusicPlayer: what the music interface needs of a module-music library: load a
// looping song from a file, play it from its current position, stop (pause) it, set
// its channel volume and one global music volume, both linear gains 0 ... 1 (the
// song's output is scaled by their product, exactly). ModulePlayer is the real one;
// tests put a recording fake in its place.
#pragma once

#include <cstdint>
#include <string>

namespace Varn {

class MusicPlayer {
public:
    using SongHandle = std::uint32_t;  // 0 = no song

    virtual ~MusicPlayer() = default;
    // A looping song read from `path`, stopped, channel volume 1; 0 on failure.
    virtual SongHandle Load(const std::string& path) = 0;
    virtual void Free(SongHandle song) = 0;
    virtual void Play(SongHandle song) = 0;
    virtual void Stop(SongHandle song) = 0;
    virtual void SetChannelVolume(SongHandle song, double volume) = 0;
    virtual void SetGlobalVolume(double volume) = 0;
};

}  // namespace Varn
