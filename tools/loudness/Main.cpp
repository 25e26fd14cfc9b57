// gemlode_loudness: prints the EBU R128 loudness and true peak of every song and
// effect in a program folder, and each effect class's mean loudness.
//   gemlode_loudness <program folder>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "tools/datagen/MixTargets.h"
#include "tools/loudness/Loudness.h"

namespace {

using namespace Varn;

const char* const kSongs[] = {"1980-autonomus.s3m", "1984-network.s3m", "1981-datajack.s3m"};

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Print(const std::string& name, const char* kind, const Loudness::Figures& f) {
    std::printf("%-22s %-10s %7.2f LUFS%s  %6.2f dBTP\n", name.c_str(), kind, f.lufs,
                f.windowed ? " (whole-clip window)" : "", f.truePeakDb);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (const char* song : kSongs) {
        const auto pcm = Loudness::RenderModuleOnce(ReadBytes(folder + "/music/" + song));
        const auto figures = Loudness::Measure(pcm, 2, Loudness::kGameRate);
        ok = ok && figures.valid;
        Print(song, "song", figures);
    }
    std::map<std::string, std::pair<double, int>> classes;
    for (const auto& entry : DataGen::kEffectClasses) {
        const std::string name(entry.effect);
        int channels = 1, rate = 0;
        const auto pcm = Loudness::DecodeEffect(folder + "/sounds/" + name, channels, rate);
        const auto figures = Loudness::Measure(pcm, channels, rate);
        const char* className = DataGen::TargetOf(entry.effectClass).name;
        ok = ok && figures.valid;
        Print(name, className, figures);
        classes[className].first += figures.lufs;
        classes[className].second += 1;
    }
    for (const auto& [name, sum] : classes)
        std::printf("class %-16s mean %7.2f LUFS over %d effects\n", name.c_str(),
                    sum.first / sum.second, sum.second);
    return ok ? 0 : 1;
}
