// ModulePlayer: libopenmpt modules as mixer streams.
#include "sound/ModulePlayer.h"

#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <vector>

#include "platform/AudioDevice.h"
#include "platform/RegularFile.h"

namespace Varn {

namespace {

// One loaded module; rendered by the mixer on the audio thread.
class ModuleStream final : public StreamSource {
public:
    explicit ModuleStream(openmpt_module* module) : module_(module) {}
    ~ModuleStream() override { openmpt_module_destroy(module_); }
    ModuleStream(const ModuleStream&) = delete;
    ModuleStream& operator=(const ModuleStream&) = delete;

    void Render(float* out, int frames) override {
        const std::size_t count = static_cast<std::size_t>(frames);
        const std::size_t got = openmpt_module_read_interleaved_float_stereo(
            module_, AudioDevice::kSampleRate, count, out);
        // A module that cannot render (or, looping forever, never should end) gives
        // silence for the rest of the block.
        std::fill(out + 2 * std::min(got, count), out + 2 * count, 0.0f);
    }

private:
    openmpt_module* module_;
};

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
    const std::vector<char> bytes = ReadSmallFile(path);
    if (bytes.empty()) return 0;
    int error = 0;
    openmpt_module* module = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), &openmpt_log_func_silent, nullptr, &openmpt_error_func_ignore,
        nullptr, &error, nullptr, nullptr);
    if (!module) return 0;
    openmpt_module_set_repeat_count(module, -1);  // songs loop forever
    auto stream = std::make_shared<ModuleStream>(module);
    const Mixer::Handle handle = output_->GetMixer().AddStream(std::move(stream));
    if (!handle.IsValid()) return 0;
    const SongHandle song = nextHandle_++;
    songs_[song] = Song{handle, 1.0};
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
    if (it != songs_.end()) output_->GetMixer().SetStreamPlaying(it->second.stream, true);
}

void ModulePlayer::Stop(SongHandle song) {
    auto it = songs_.find(song);
    if (it != songs_.end()) output_->GetMixer().SetStreamPlaying(it->second.stream, false);
}

bool ModulePlayer::IsPlaying(SongHandle song) const {
    auto it = songs_.find(song);
    return it != songs_.end() && output_->GetMixer().IsStreamPlaying(it->second.stream);
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
