// Speech: see Speech.h.
#include "tools/datagen/Speech.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <vector>

extern char** environ;

namespace Varn::DataGen {

namespace {

std::vector<uint8_t> RunAndCapture(std::vector<std::string> args) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    std::vector<uint8_t> out;
    if (rc == 0) {
        uint8_t chunk[65536];
        ssize_t n;
        while ((n = ::read(pipeFds[0], chunk, sizeof chunk)) > 0)
            out.insert(out.end(), chunk, chunk + n);
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (rc == 0) ::waitpid(pid, &status, 0);
    if (rc != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("cannot run " + args[0] + " (is espeak-ng installed?)");
    return out;
}

uint32_t Read32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

Buffer Speak(const std::string& words, int rate, int pitch, int wordsPerMinute) {
    std::vector<uint8_t> wav =
        RunAndCapture({"espeak-ng", "-v", "en-us", "-p", std::to_string(pitch), "-s",
                       std::to_string(wordsPerMinute), "--stdout", words});
    // Streamed WAV: the sizes in the header are placeholders, so read to the end.
    if (wav.size() < 44 || std::memcmp(wav.data(), "RIFF", 4) != 0)
        throw std::runtime_error("espeak-ng gave no WAV");
    uint32_t sourceRate = Read32(wav.data() + 24);
    size_t pos = 12;
    while (pos + 8 <= wav.size() && std::memcmp(wav.data() + pos, "data", 4) != 0)
        pos += 8 + Read32(wav.data() + pos + 4);
    if (pos + 8 > wav.size() || sourceRate == 0)
        throw std::runtime_error("espeak-ng WAV has no data");
    Buffer samples;
    for (size_t i = pos + 8; i + 1 < wav.size(); i += 2)
        samples.push_back(static_cast<int16_t>(wav[i] | wav[i + 1] << 8) / 32768.0f);
    return Resampled(samples, static_cast<double>(rate) / sourceRate);
}

}  // namespace Varn::DataGen
