// gemlode_bus_peak: the master bus under a pile-up. Plays the timed song at a music
// volume, then starts `voices` effects of a big cascade all in the same frame at an
// effects volume, and prints the output's peak together with the peak the float sum
// would have had without the limiter (measured with the master gain at 1/64, where the
// limiter never acts).
//   gemlode_bus_peak <program folder> <effects volume> <music volume> <voices>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/headless/HeadlessAudioDevice.h"
#include "sound/MixerSoundManager.h"
#include "sound/MusicInterface.h"

namespace {

using namespace Varn;

// What a big cascade starts together: set, combo and multi-set chimes, landings, a blast.
const char* const kCascade[] = {"gotsetbig2", "combo52",    "multishot", "gemongem2",
                                "gemongem2",  "explode2",   "gotset2",   "combo42",
                                "gemongem2",  "excellent1", "gemongem2", "combo32"};
constexpr int kCascadeSounds = static_cast<int>(std::size(kCascade));

// The peak (full scale = 1) of two seconds after the voices start, times `scale`.
double PeakAfterPileUp(const std::string& folder, double sfx, double music, int voices,
                       double scale) {
    auto output = std::make_shared<AudioOutput>(std::make_unique<HeadlessAudioDevice>());
    auto& device = static_cast<HeadlessAudioDevice&>(*output->GetDevice());
    MixerSoundManager sounds(output);
    MusicInterface songs(output);
    sounds.SetMasterVolume(1.0 / scale);
    songs.LoadMusic(0, folder + "/music/1981-datajack.s3m");
    songs.SetVolume(music * 0.4);
    songs.PlayMusic(0);
    device.Pull(44100 * 30);  // into the full part of the song
    for (int i = 0; i < kCascadeSounds; ++i) sounds.LoadSound(i, folder + "/sounds/" + kCascade[i]);
    sounds.SetVolume(sfx);
    for (int v = 0; v < voices; ++v)
        if (SoundInstance* instance = sounds.GetSoundInstance(v % kCascadeSounds))
            instance->Play(false, true);
    int peak = 0;
    for (std::int16_t s : device.Pull(44100 * 2)) peak = std::max(peak, std::abs(int{s}));
    return peak * scale / 32768.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr,
                     "usage: %s <program folder> <effects volume> <music volume> <voices>\n",
                     argv[0]);
        return 2;
    }
    const double sfx = std::atof(argv[2]), music = std::atof(argv[3]);
    const int voices = std::atoi(argv[4]);
    const double out = PeakAfterPileUp(argv[1], sfx, music, voices, 1.0);
    const double sum = PeakAfterPileUp(argv[1], sfx, music, voices, 64.0);
    std::printf(
        "effects %.2f, music %.2f, %d voices: float sum peak %+.2f dBFS, output peak %+.2f dBFS\n",
        sfx, music, voices, 20 * std::log10(sum), 20 * std::log10(out));
    return 0;
}
