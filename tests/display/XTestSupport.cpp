#include "XTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace Varn::XTest {

namespace {

void Nap() {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// One line from a pipe, without its newline; empty at the deadline or end of input.
std::string ReadLine(int fd, int timeoutMs) {
    std::string line;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char c = 0;
        if (read(fd, &c, 1) != 1) return std::string();
        if (c == '\n') return line;
        line += c;
    }
    return std::string();
}

// The current environment with the given "NAME=value" entries replacing or adding.
std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> merged;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& x : extra) replaced |= x.substr(0, x.find('=')) == name;
        if (!replaced) merged.push_back(entry);
    }
    merged.insert(merged.end(), extra.begin(), extra.end());
    return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

uint32_t BigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        std::string full = dir + "/" + name;
        if (access(full.c_str(), X_OK) == 0) return full;
    }
    return std::string();
}

Process::Process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                 const std::string& output)
    : outputPath(output) {
    std::vector<std::string> args = argv;
    std::vector<std::string> environment = MergedEnvironment(env);
    std::vector<char*> argp = Pointers(args);
    std::vector<char*> envp = Pointers(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawn(&pid, argp[0], &actions, nullptr, argp.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
}

Process::~Process() {
    if (pid > 0) Terminate(5000);
}

std::string Process::Output() const {
    return ReadFile(outputPath);
}

bool Process::WaitForOutput(const std::string& text, int timeoutMs) const {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (Output().find(text) != std::string::npos) return true;
        Nap();
    }
    return Output().find(text) != std::string::npos;
}

bool Process::Running() {
    if (pid <= 0) return false;
    int st = 0;
    if (waitpid(pid, &st, WNOHANG) == pid) {
        status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        pid = -1;
        return false;
    }
    return true;
}

int Process::Terminate(int timeoutMs) {
    if (pid > 0) kill(pid, SIGTERM);
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Running()) {
        if (std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            pid = -1;
            return -1;
        }
        Nap();
    }
    return status;
}

std::pair<int, std::string> Run(const std::vector<std::string>& argv,
                                const std::vector<std::string>& env, int timeoutMs) {
    static const std::string folder = MakeTempFolder("run");
    static int count = 0;
    std::string output = folder + "/output" + std::to_string(++count) + ".txt";
    Process p(argv, env, output);
    if (!p.Started()) return {-1, std::string()};
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (p.Running() && std::chrono::steady_clock::now() < end) Nap();
    int status = p.Running() ? p.Terminate(1000) : p.Terminate(0);
    return {status, p.Output()};
}

VirtualScreen::VirtualScreen(int width, int height, int depth) {
    std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) return;
    // The server picks a free display itself and writes its number to this pipe once it
    // accepts clients: no guessing at numbers another server may hold.
    int fds[2];
    if (pipe(fds) != 0) return;
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    std::string screen =
        std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    server = std::make_unique<Process>(
        std::vector<std::string>{xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                 "-nolisten", "tcp", "-noreset"},
        std::vector<std::string>{}, MakeTempFolder("xvfb") + "/xvfb.log");
    close(fds[1]);
    std::string text = ReadLine(fds[0], 10000);
    close(fds[0]);
    if (server->Started() && !text.empty() &&
        text.find_first_not_of("0123456789") == std::string::npos) {
        number = std::stoi(text);
        ready = true;
    } else {
        server.reset();
    }
}

VirtualScreen::~VirtualScreen() {
    server.reset();
}

bool ReadXwd(const std::string& path, Screenshot& shot) {
    std::string data = ReadFile(path);
    if (data.size() < 100) return false;
    const auto* h = reinterpret_cast<const unsigned char*>(data.data());
    auto field = [h](int i) { return BigEndian32(h + 4 * i); };
    uint32_t headerSize = field(0);
    uint32_t format = field(2);
    int width = int(field(4));
    int height = int(field(5));
    uint32_t byteOrder = field(7);
    int bpp = int(field(11));
    uint32_t bytesPerLine = field(12);
    uint32_t colours = field(19);
    if (field(1) != 7 || format != 2 || (bpp != 16 && bpp != 32) || width <= 0 || height <= 0)
        return false;
    std::size_t offset = std::size_t(headerSize) + std::size_t(colours) * 12;
    if (data.size() < offset + std::size_t(bytesPerLine) * height) return false;
    shot.width = width;
    shot.height = height;
    shot.bitsPerPixel = bpp;
    shot.redMask = field(16);
    shot.greenMask = field(17);
    shot.blueMask = field(18);
    shot.pixels.resize(std::size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = h + offset + std::size_t(y) * bytesPerLine;
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = row + std::size_t(x) * (bpp / 8);
            uint32_t v = 0;
            int n = bpp / 8;
            for (int i = 0; i < n; ++i) {
                int shift = byteOrder == 0 ? 8 * i : 8 * (n - 1 - i);
                v |= uint32_t(p[i]) << shift;
            }
            shot.pixels[std::size_t(y) * width + x] = v;
        }
    }
    return true;
}

std::string MakeTempFolder(const std::string& prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base ? base : "/tmp") + "/gemlode-" + prefix + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    return made ? std::string(made) : std::string("/tmp");
}

}  // namespace Varn::XTest
