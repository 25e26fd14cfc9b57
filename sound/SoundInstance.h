// SoundInstance: one playing copy of a loaded sound effect, handed out by a
// SoundManager. The manager's pool owns it: callers never delete it; they call
// Release() when done, or play it with auto-release and forget it.
#pragma once

namespace Varn {

class SoundInstance {
public:
    virtual ~SoundInstance() = default;
    // Stops the sound and marks the instance free for reuse by the pool.
    virtual void Release() = 0;
    // 0 ... 1, combined with the manager's volume.
    virtual void SetVolume(double volume) = 0;
    // -10000 (left only) ... 10000 (right only): the other side is attenuated by that
    // many hundredths of a decibel.
    virtual void SetPan(int pan) = 0;
    // Starts (or resumes) playing; false if the instance cannot play.
    virtual bool Play(bool looping, bool autoRelease) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    // True once released; an auto-release instance that has finished playing
    // releases itself here.
    virtual bool IsReleased() = 0;
};

}  // namespace Varn
