// Mixer: voice and stream mixing in float, ramped gains, 32.32 fixed-point resampling.
#include "sound/Mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/AudioDevice.h"

namespace Varn {

namespace {

// Frames over which a stop fades out and a gain change glides (about 1.5 ms).
constexpr int kRampFrames = 64;
constexpr int kChannels = AudioDevice::kChannels;

// The sample value between frames `index` and `next`, `frac` of the way.
void Interpolate(const PcmSample& sample, std::uint64_t index, std::uint64_t next, float frac,
                 float& left, float& right) {
    const std::int16_t* data = sample.data.data();
    if (sample.channels == 2) {
        const float l0 = data[2 * index], l1 = data[2 * next];
        const float r0 = data[2 * index + 1], r1 = data[2 * next + 1];
        left = l0 + (l1 - l0) * frac;
        right = r0 + (r1 - r0) * frac;
    } else {
        const float s0 = data[index], s1 = data[next];
        left = right = s0 + (s1 - s0) * frac;
    }
}

std::int16_t ToPcm16(float value) {
    const float scaled = value * 32768.0f;
    if (std::isnan(scaled)) return 0;  // a misbehaving stream must not reach the cast
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

}  // namespace

double MillibelsToGain(int millibels) {
    if (millibels <= Mixer::kSilentMillibels) return 0.0;
    if (millibels >= 0) return 1.0;
    return std::pow(10.0, millibels / 2000.0);
}

struct Mixer::Voice {
    std::shared_ptr<const PcmSample> sample;  // empty = free slot
    std::uint32_t generation = 0;
    std::uint64_t position = 0;  // 32.32 fixed point, in source frames
    std::uint64_t step = 0;      // source frames per output frame, 32.32
    int millibels = 0;
    int pan = 0;
    bool playing = false;   // as the owner sees it
    bool stopping = false;  // fading out after a stop; silent to IsVoicePlaying
    bool looping = false;
    float gainLeft = 0.0f, gainRight = 0.0f;  // current (ramped) gains
    int stopFramesLeft = 0;

    void TargetGains(float& left, float& right) const {
        const double volume = MillibelsToGain(millibels);
        left = static_cast<float>(volume * (pan > 0 ? MillibelsToGain(-pan) : 1.0));
        right = static_cast<float>(volume * (pan < 0 ? MillibelsToGain(pan) : 1.0));
    }
};

struct Mixer::Stream {
    std::shared_ptr<StreamSource> source;  // empty = free slot
    std::uint32_t generation = 0;
    bool playing = false;
    float targetGain = 1.0f;
    float gain = 1.0f;
};

Mixer::Mixer()
    : voices_(std::make_unique<std::array<Voice, kMaxVoices>>()),
      streams_(std::make_unique<std::array<Stream, kMaxStreams>>()),
      limiter_(AudioDevice::kSampleRate),
      accumulator_(static_cast<std::size_t>(kBlockFrames) * kChannels),
      streamScratch_(static_cast<std::size_t>(kBlockFrames) * kChannels) {}

Mixer::~Mixer() = default;

Mixer::Voice* Mixer::FindVoice(Handle handle) {
    if (handle.slot < 0 || handle.slot >= kMaxVoices) return nullptr;
    Voice& voice = (*voices_)[static_cast<std::size_t>(handle.slot)];
    return voice.sample && voice.generation == handle.generation ? &voice : nullptr;
}

const Mixer::Voice* Mixer::FindVoice(Handle handle) const {
    return const_cast<Mixer*>(this)->FindVoice(handle);
}

Mixer::Stream* Mixer::FindStream(Handle handle) {
    if (handle.slot < 0 || handle.slot >= kMaxStreams) return nullptr;
    Stream& stream = (*streams_)[static_cast<std::size_t>(handle.slot)];
    return stream.source && stream.generation == handle.generation ? &stream : nullptr;
}

const Mixer::Stream* Mixer::FindStream(Handle handle) const {
    return const_cast<Mixer*>(this)->FindStream(handle);
}

Mixer::Handle Mixer::CreateVoice(std::shared_ptr<const PcmSample> sample) {
    if (!sample || sample->FrameCount() == 0 || sample->sampleRate <= 0) return {};
    const std::uint64_t step =
        (static_cast<std::uint64_t>(sample->sampleRate) << 32) / AudioDevice::kSampleRate;
    std::lock_guard lock(mutex_);
    for (int slot = 0; slot < kMaxVoices; ++slot) {
        Voice& voice = (*voices_)[static_cast<std::size_t>(slot)];
        if (voice.sample) continue;
        voice = Voice{};
        voice.sample = std::move(sample);
        voice.generation = nextGeneration_++;
        voice.step = std::max<std::uint64_t>(step, 1);
        return {slot, voice.generation};
    }
    return {};
}

void Mixer::DestroyVoice(Handle handle) {
    std::shared_ptr<const PcmSample> released;
    {
        std::lock_guard lock(mutex_);
        Voice* voice = FindVoice(handle);
        if (!voice) return;
        released = std::move(voice->sample);
        *voice = Voice{};
    }
    // `released` is dropped here, outside the lock and off the audio thread.
}

bool Mixer::PlayVoice(Handle handle, bool looping) {
    std::lock_guard lock(mutex_);
    Voice* voice = FindVoice(handle);
    if (!voice) return false;
    if (!voice->playing && !voice->stopping) {
        voice->TargetGains(voice->gainLeft, voice->gainRight);  // start at the set level
    }
    voice->playing = true;
    voice->stopping = false;
    voice->looping = looping;
    return true;
}

void Mixer::StopVoice(Handle handle) {
    std::lock_guard lock(mutex_);
    Voice* voice = FindVoice(handle);
    if (!voice || !voice->playing) return;
    voice->playing = false;
    voice->stopping = true;
    voice->stopFramesLeft = kRampFrames;
}

bool Mixer::IsVoicePlaying(Handle handle) const {
    std::lock_guard lock(mutex_);
    const Voice* voice = FindVoice(handle);
    return voice && voice->playing;
}

void Mixer::SetVoiceVolume(Handle handle, int millibels) {
    std::lock_guard lock(mutex_);
    if (Voice* voice = FindVoice(handle))
        voice->millibels = std::clamp(millibels, kSilentMillibels, 0);
}

void Mixer::SetVoicePan(Handle handle, int pan) {
    std::lock_guard lock(mutex_);
    if (Voice* voice = FindVoice(handle)) voice->pan = std::clamp(pan, -10000, 10000);
}

Mixer::Handle Mixer::AddStream(std::shared_ptr<StreamSource> source) {
    if (!source) return {};
    std::lock_guard lock(mutex_);
    for (int slot = 0; slot < kMaxStreams; ++slot) {
        Stream& stream = (*streams_)[static_cast<std::size_t>(slot)];
        if (stream.source) continue;
        stream = Stream{};
        stream.source = std::move(source);
        stream.generation = nextGeneration_++;
        return {slot, stream.generation};
    }
    return {};
}

void Mixer::RemoveStream(Handle handle) {
    std::shared_ptr<StreamSource> released;
    {
        std::lock_guard lock(mutex_);
        Stream* stream = FindStream(handle);
        if (!stream) return;
        released = std::move(stream->source);
        *stream = Stream{};
    }
}

void Mixer::SetStreamPlaying(Handle handle, bool playing) {
    std::lock_guard lock(mutex_);
    if (Stream* stream = FindStream(handle)) {
        if (playing && !stream->playing) stream->gain = stream->targetGain;
        stream->playing = playing;
    }
}

bool Mixer::IsStreamPlaying(Handle handle) const {
    std::lock_guard lock(mutex_);
    const Stream* stream = FindStream(handle);
    return stream && stream->playing;
}

void Mixer::SetStreamGain(Handle handle, double gain) {
    std::lock_guard lock(mutex_);
    if (Stream* stream = FindStream(handle)) {
        stream->targetGain = static_cast<float>(std::clamp(gain, 0.0, 1.0));
    }
}

void Mixer::SetMasterGain(double gain) {
    std::lock_guard lock(mutex_);
    masterGain_ = std::clamp(gain, 0.0, 1.0);
}

double Mixer::GetMasterGain() const {
    std::lock_guard lock(mutex_);
    return masterGain_;
}

void Mixer::Render(std::int16_t* out, int frames) {
    std::lock_guard lock(mutex_);
    while (frames > 0) {
        const int count = std::min(frames, kBlockFrames);
        RenderBlock(out, count);
        out += static_cast<std::ptrdiff_t>(count) * kChannels;
        frames -= count;
    }
}

void Mixer::RenderBlock(std::int16_t* out, int frames) {
    std::fill(accumulator_.begin(), accumulator_.end(), 0.0f);
    for (Voice& voice : *voices_) {
        if (voice.sample && (voice.playing || voice.stopping)) MixVoice(voice, frames);
    }
    for (Stream& stream : *streams_) {
        if (stream.source && stream.playing) MixStream(stream, frames);
    }
    const float master = static_cast<float>(masterGain_);
    for (int i = 0; i < frames * kChannels; ++i)
        accumulator_[static_cast<std::size_t>(i)] *= master;
    limiter_.Process(accumulator_.data(), frames);
    for (int i = 0; i < frames * kChannels; ++i) {
        out[i] = ToPcm16(accumulator_[static_cast<std::size_t>(i)]);
    }
}

void Mixer::MixVoice(Voice& voice, int frames) {
    const PcmSample& sample = *voice.sample;
    const std::uint64_t frameCount = sample.FrameCount();

    float targetLeft = 0.0f, targetRight = 0.0f;
    voice.TargetGains(targetLeft, targetRight);
    int rampFrames = std::min(frames, kRampFrames);
    if (voice.stopping) {
        targetLeft = targetRight = 0.0f;
        rampFrames = std::min(frames, voice.stopFramesLeft);
    }
    const float stepLeft = rampFrames > 0 ? (targetLeft - voice.gainLeft) / rampFrames : 0.0f;
    const float stepRight = rampFrames > 0 ? (targetRight - voice.gainRight) / rampFrames : 0.0f;

    constexpr float kToFloat = 1.0f / 32768.0f;
    constexpr float kFraction = 1.0f / 4294967296.0f;
    float* acc = accumulator_.data();
    // A stopping voice only sounds for the rest of its fade-out.
    const int renderFrames = voice.stopping ? rampFrames : frames;
    for (int i = 0; i < renderFrames; ++i) {
        std::uint64_t index = voice.position >> 32;
        if (index >= frameCount) {
            if (!voice.looping) {
                // Ran to the end: a later Play starts over, as a one-shot buffer does.
                voice.playing = voice.stopping = false;
                voice.position = 0;
                return;
            }
            // Modulo, not one subtraction: a very short sample at a high rate can
            // step past its end more than once per output frame.
            voice.position %= frameCount << 32;
            index = voice.position >> 32;
        }
        std::uint64_t next = index + 1;
        if (next >= frameCount) next = voice.looping ? 0 : index;
        const float frac = static_cast<float>(voice.position & 0xffffffffu) * kFraction;
        if (i < rampFrames) {
            voice.gainLeft += stepLeft;
            voice.gainRight += stepRight;
        }
        float left, right;
        Interpolate(sample, index, next, frac, left, right);
        acc[2 * i] += left * kToFloat * voice.gainLeft;
        acc[2 * i + 1] += right * kToFloat * voice.gainRight;
        voice.position += voice.step;
    }
    // Land exactly on the target, free of accumulated rounding.
    voice.gainLeft = targetLeft;
    voice.gainRight = targetRight;
    if (voice.stopping) {
        voice.stopFramesLeft -= rampFrames;
        if (voice.stopFramesLeft <= 0) voice.stopping = false;
    }
}

void Mixer::MixStream(Stream& stream, int frames) {
    float* scratch = streamScratch_.data();
    stream.source->Render(scratch, frames);
    const int rampFrames = std::min(frames, kRampFrames);
    const float step = (stream.targetGain - stream.gain) / static_cast<float>(rampFrames);
    float* acc = accumulator_.data();
    float gain = stream.gain;
    for (int i = 0; i < frames; ++i) {
        if (i < rampFrames) gain += step;
        acc[2 * i] += scratch[2 * i] * gain;
        acc[2 * i + 1] += scratch[2 * i + 1] * gain;
    }
    stream.gain = stream.targetGain;
}

}  // namespace Varn
