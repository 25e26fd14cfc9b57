// Mixer: mixes sound-effect voices and music streams into the 44.1 kHz stereo 16-bit
// output of the audio device, with a master gain and a limiter that keeps the sum
// under full scale (see MasterLimiter).
// Voices play a shared PcmSample at any rate (linear-interpolation resampling) with a
// volume in hundredths of a decibel (-10000 silent ... 0 full) and a pan
// (-10000 ... 10000: the opposite channel attenuated by that many hundredths of a
// decibel), looped or once. Gain changes and stops are ramped over a few
// milliseconds so they do not click. Streams (module music) render themselves.
//
// Threads: every operation may be called from the main (or loading) thread while
// Render runs on the audio thread. One mutex guards the state; the main thread only
// holds it for constant-time updates, and samples or streams are never freed while
// the lock is held or from inside Render: a voice destroyed while it plays just
// drops its reference on the calling thread, after Render has let go of it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/MasterLimiter.h"
#include "sound/PcmSample.h"

namespace Varn {

// A source of stereo audio at the device rate, for example a module player.
class StreamSource {
public:
    virtual ~StreamSource() = default;
    // Fills `frames` interleaved stereo frames at `out` with values around +-1.0.
    // Called on the audio thread with the mixer locked, only while the stream plays.
    virtual void Render(float* out, int frames) = 0;
};

class Mixer {
public:
    static constexpr int kMaxVoices = 64;
    static constexpr int kMaxStreams = 8;
    static constexpr int kSilentMillibels = -10000;

    // Identifies a voice or stream slot; stale handles (slot reused) are ignored.
    struct Handle {
        int slot = -1;
        std::uint32_t generation = 0;
        bool IsValid() const { return slot >= 0; }
    };

    Mixer();
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // A stopped voice on `sample` at full volume and centre pan; an invalid handle if
    // the sample is empty or all voice slots are taken.
    Handle CreateVoice(std::shared_ptr<const PcmSample> sample);
    void DestroyVoice(Handle voice);
    // Starts or resumes from the current position; a voice that ran to its end
    // starts again from the beginning. False for a stale handle.
    bool PlayVoice(Handle voice, bool looping);
    // Pauses at the current position (with a short fade-out to avoid a click).
    void StopVoice(Handle voice);
    bool IsVoicePlaying(Handle voice) const;
    void SetVoiceVolume(Handle voice, int millibels);
    void SetVoicePan(Handle voice, int pan);

    // A stopped stream at gain 1; invalid if all stream slots are taken.
    Handle AddStream(std::shared_ptr<StreamSource> source);
    void RemoveStream(Handle stream);
    void SetStreamPlaying(Handle stream, bool playing);
    bool IsStreamPlaying(Handle stream) const;
    void SetStreamGain(Handle stream, double gain);  // linear, 0 ... 1

    // Linear gain on the whole output (before the limiter), clamped to 0 ... 1; initially 1.
    void SetMasterGain(double gain);
    double GetMasterGain() const;

    // The device callback: fills `frames` interleaved stereo frames.
    void Render(std::int16_t* out, int frames);

private:
    struct Voice;
    struct Stream;
    static constexpr int kBlockFrames = 256;

    Voice* FindVoice(Handle handle);
    const Voice* FindVoice(Handle handle) const;
    Stream* FindStream(Handle handle);
    const Stream* FindStream(Handle handle) const;
    void RenderBlock(std::int16_t* out, int frames);
    void MixVoice(Voice& voice, int frames);
    void MixStream(Stream& stream, int frames);

    mutable std::mutex mutex_;
    std::unique_ptr<std::array<Voice, kMaxVoices>> voices_;
    std::unique_ptr<std::array<Stream, kMaxStreams>> streams_;
    std::uint32_t nextGeneration_ = 1;
    double masterGain_ = 1.0;
    MasterLimiter limiter_;
    std::vector<float> accumulator_;  // kBlockFrames stereo frames
    std::vector<float> streamScratch_;
};

// Linear gain of a level in millibels (hundredths of a decibel); -10000 and below is silence.
double MillibelsToGain(int millibels);

}  // namespace Varn
