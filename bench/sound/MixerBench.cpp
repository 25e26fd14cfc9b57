// Cost of the sound output: 10 ms of mixing (441 frames) with 32 effect voices and one
// eight-channel module playing, as a share of one core ("core_%"; the goal is under 2).
// Run: build-sound/.../bench/sound/sound_bench
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/headless/HeadlessAudioDevice.h"
#include "sound/Mixer.h"
#include "sound/MusicInterface.h"
#include "tests/sound/SoundTestFiles.h"

namespace {

constexpr int kFramesPer10Ms = 441;

std::shared_ptr<const Varn::PcmSample> Noise(int rate, int channels, std::size_t frames,
                                             unsigned seed) {
    auto sample = std::make_shared<Varn::PcmSample>();
    sample->sampleRate = rate;
    sample->channels = channels;
    sample->data.resize(frames * static_cast<std::size_t>(channels));
    unsigned state = seed;  // fixed seed: the same data every run
    for (auto& value : sample->data) {
        state = state * 1664525u + 1013904223u;
        value = static_cast<std::int16_t>(state >> 20) - 2048;
    }
    return sample;
}

// Voices of every kind the game has: 22050 and 44100 Hz, mono and stereo, panned.
void StartVoices(Varn::Mixer& mixer, int count) {
    const int rates[] = {22050, 44100, 11025, 48000};
    for (int i = 0; i < count; ++i) {
        const auto voice =
            mixer.CreateVoice(Noise(rates[i % 4], 1 + i % 2, 30000, static_cast<unsigned>(i + 1)));
        mixer.SetVoiceVolume(voice, -300 * (i % 5));
        mixer.SetVoicePan(voice, (i % 17 - 8) * 100);
        mixer.PlayVoice(voice, true);
    }
}

void BM_Mix10ms(benchmark::State& state) {
    const int voices = static_cast<int>(state.range(0));
    const bool withMusic = state.range(1) != 0;
    auto output =
        std::make_shared<Varn::AudioOutput>(std::make_unique<Varn::HeadlessAudioDevice>());
    Varn::test::ScratchFolder folder;
    Varn::test::WriteFile(folder.File("song.s3m"), Varn::test::TinyS3m(8));
    Varn::MusicInterface music(output);
    if (withMusic) {
        music.LoadMusic(0, folder.File("song.s3m"));
        music.SetVolume(0.2);
        music.PlayMusic(0);
    }
    StartVoices(output->GetMixer(), voices);
    std::vector<std::int16_t> out(kFramesPer10Ms * 2);
    for (auto _ : state) {
        output->GetMixer().Render(out.data(), kFramesPer10Ms);
        benchmark::DoNotOptimize(out.data());
    }
    // CPU time per iteration / 10 ms, in percent.
    state.counters["core_%"] = benchmark::Counter(
        1e-4, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Mix10ms)->Args({32, 1})->Args({32, 0})->Args({0, 1})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
