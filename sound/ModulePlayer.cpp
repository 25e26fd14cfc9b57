// ModulePlayer: libopenmpt modules as mixer streams.
#include "sound/ModulePlayer.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <atomic>
#include <optional>
#include <vector>

#include "platform/AudioDevice.h"
#include "platform/RegularFile.h"

namespace Varn {

// One song; rendered by the mixer on the audio thread. A paused song keeps only its file
// and where it stopped: the module (a megabyte or more once libopenmpt has set it up)
// is made again when the song goes on.
class ModuleStream final : public StreamSource {
public:
    explicit ModuleStream(std::vector<char> bytes) : bytes_(std::move(bytes)) {}
    ~ModuleStream() override { Park(); }
    ModuleStream(const ModuleStream&) = delete;
    ModuleStream& operator=(const ModuleStream&) = delete;

    // False for a file that is not a module.
    bool Wake() {
        if (module_) return true;
        int error = 0;
        module_ = openmpt_module_create_from_memory2(
            bytes_.data(), bytes_.size(), &openmpt_log_func_silent, nullptr,
            &openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
        if (!module_) return false;
        openmpt_module_set_repeat_count(module_, -1);  // songs loop forever
        // Notes struck before that row sound on from where they were, not from silence.
        openmpt_module_ctl_set_boolean(module_, "seek.sync_samples", 1);
        if (position_ > 0.0) openmpt_module_set_position_seconds(module_, position_);
        rendered_ = openmpt_module_get_position_seconds(module_);
        return true;
    }

    // Only while the mixer does not render this stream.
    void Park() {
        if (!module_) return;
        position_ = openmpt_module_get_position_seconds(module_);
        openmpt_module_destroy(module_);
        module_ = nullptr;
    }

    // Safe from any thread: the audio thread publishes where it has got to.
    double Position() const { return module_ ? rendered_.load() : position_; }
    bool Awake() const { return module_ != nullptr; }

    void Render(float* out, int frames) override {
        const std::size_t count = static_cast<std::size_t>(frames);
        const std::size_t got = module_ ? openmpt_module_read_interleaved_float_stereo(
                                              module_, AudioDevice::kSampleRate, count, out)
                                        : 0;
        if (module_) rendered_ = openmpt_module_get_position_seconds(module_);
        // A module that cannot render (or, looping forever, never should end) gives
        // silence for the rest of the block.
        std::fill(out + 2 * std::min(got, count), out + 2 * count, 0.0f);
    }

private:
    std::vector<char> bytes_;
    openmpt_module* module_ = nullptr;
    double position_ = 0.0;  // seconds into the song where it was parked
    std::atomic<double> rendered_{0.0};
};

namespace {

// NaN and out-of-range volumes are clamped into 0 ... 1 (NaN to silence).
double ClampVolume(double volume) {
    return volume > 0.0 ? std::min(volume, 1.0) : 0.0;
}

std::vector<char> ReadSmallFile(const std::string& path) {
    std::string text;
    if (ReadRegularFile(path, kMaxModuleFileBytes, text) != FileRead::Ok) return {};
    return std::vector<char>(text.begin(), text.end());
}

}  // namespace

ModulePlayer::ModulePlayer(std::shared_ptr<AudioOutput> output) : output_(std::move(output)) {
    if (!output_) output_ = std::make_shared<AudioOutput>(nullptr);
}

ModulePlayer::~ModulePlayer() {
    for (auto& [handle, song] : songs_) output_->GetMixer().RemoveStream(song.stream);
}

MusicPlayer::SongHandle ModulePlayer::Load(const std::string& path) {
    std::vector<char> bytes = ReadSmallFile(path);
    if (bytes.empty()) return 0;
    auto stream = std::make_shared<ModuleStream>(std::move(bytes));
    if (!stream->Wake()) return 0;
    stream->Park();  // a loaded song is stopped
    const Mixer::Handle handle = output_->GetMixer().AddStream(stream);
    if (!handle.IsValid()) return 0;
    const SongHandle song = nextHandle_++;
    songs_[song] = Song{handle, std::move(stream), 1.0};
    ApplyGain(songs_[song]);
    return song;
}

void ModulePlayer::Free(SongHandle song) {
    auto it = songs_.find(song);
    if (it == songs_.end()) return;
    output_->GetMixer().RemoveStream(it->second.stream);
    songs_.erase(it);
}

void ModulePlayer::Play(SongHandle song) {
    auto it = songs_.find(song);
    if (it == songs_.end()) return;
    // Woken before it plays, so the audio thread never meets it half made.
    it->second.source->Wake();
    output_->GetMixer().SetStreamPlaying(it->second.stream, true);
}

void ModulePlayer::Stop(SongHandle song) {
    auto it = songs_.find(song);
    if (it == songs_.end()) return;
    // Once the mixer has let go of it (under its lock), the audio thread no longer renders it.
    output_->GetMixer().SetStreamPlaying(it->second.stream, false);
    it->second.source->Park();
}

bool ModulePlayer::IsPlaying(SongHandle song) const {
    auto it = songs_.find(song);
    return it != songs_.end() && output_->GetMixer().IsStreamPlaying(it->second.stream);
}

std::optional<double> ModulePlayer::GetPosition(SongHandle song) const {
    auto it = songs_.find(song);
    if (it == songs_.end()) return std::nullopt;
    return it->second.source->Position();
}

bool ModulePlayer::HoldsModule(SongHandle song) const {
    auto it = songs_.find(song);
    return it != songs_.end() && it->second.source->Awake();
}

void ModulePlayer::SetChannelVolume(SongHandle song, double volume) {
    auto it = songs_.find(song);
    if (it == songs_.end()) return;
    it->second.channelVolume = ClampVolume(volume);
    ApplyGain(it->second);
}

void ModulePlayer::SetGlobalVolume(double volume) {
    globalVolume_ = ClampVolume(volume);
    for (auto& [handle, song] : songs_) ApplyGain(song);
}

void ModulePlayer::ApplyGain(const Song& song) {
    output_->GetMixer().SetStreamGain(song.stream, song.channelVolume * globalVolume_);
}

}  // namespace Varn
