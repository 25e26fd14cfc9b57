// Support for the tests that run real programs under a virtual X server: starting Xvfb on a
// display number the server picks (-displayfd), child processes with their output in a file,
// one-shot commands (xdotool, xwd), and reading xwd screenshots. Everything is waited for by
// polling with a generous deadline; a deadline passing is a failure, never a measurement.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Varn::XTest {

// Full path of a program found on PATH, or empty.
std::string FindProgram(const std::string& name);

class Process {
public:
    // Starts argv[0] (a path) with extra "NAME=value" environment entries; stdout and stderr
    // go to outputPath.
    Process(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const std::string& outputPath);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return pid > 0; }
    pid_t Pid() const { return pid; }
    std::string Output() const;
    // Polls the output until it contains text; false at the deadline.
    bool WaitForOutput(const std::string& text, int timeoutMs) const;
    // Sends SIGTERM and waits; the exit status, or -1 if it had to be killed.
    int Terminate(int timeoutMs);
    bool Running();

private:
    pid_t pid = -1;
    std::string outputPath;
    int status = -1;
};

// Runs a command to its end (at most timeoutMs), returning exit status and output.
std::pair<int, std::string> Run(const std::vector<std::string>& argv,
                                const std::vector<std::string>& env, int timeoutMs = 20000);

class VirtualScreen {
public:
    // Starts Xvfb with one screen of width x height x depth on a display the server picks.
    VirtualScreen(int width, int height, int depth);
    ~VirtualScreen();
    bool Ready() const { return ready; }
    std::string Display() const { return ":" + std::to_string(number); }
    std::string DisplayEnv() const { return "DISPLAY=" + Display(); }

private:
    int number = -1;
    bool ready = false;
    std::unique_ptr<Process> server;
};

struct Screenshot {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    std::vector<uint32_t> pixels;  // raw pixel values, row by row
    uint32_t At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

// Parses an X window dump (ZPixmap, 16 or 32 bits per pixel); false if it is anything else.
bool ReadXwd(const std::string& path, Screenshot& shot);

// A fresh private folder under the test's temporary directory.
std::string MakeTempFolder(const std::string& prefix);

}  // namespace Varn::XTest
