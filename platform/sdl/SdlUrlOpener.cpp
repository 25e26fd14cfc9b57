#include "platform/sdl/SdlUrlOpener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/ThreadSignalStack.h"

extern char** environ;

namespace Varn {

// The outcome of the latest browser opener, shared with the threads that wait for openers.
class OpenerWatch {
public:
    uint64_t Started() {
        std::lock_guard guard(mutex);
        latestFailed = false;
        return ++latest;
    }
    void Ended(uint64_t opener, bool clean) {
        std::lock_guard guard(mutex);
        if (opener == latest) latestFailed = !clean;
    }
    bool LatestFailed() {
        std::lock_guard guard(mutex);
        return latestFailed;
    }

private:
    std::mutex mutex;
    uint64_t latest = 0;
    bool latestFailed = false;
};

namespace {

// Waits for a child and tells whether it exited with status 0.
bool ExitedCleanly(pid_t pid) {
    int status = 0;
    pid_t waited = 0;
    while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    return waited == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

pid_t SpawnXdgOpen(const std::string& url) {
    std::string program = "xdg-open";
    char* argv[] = {program.data(), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    return posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) == 0 ? pid : -1;
}

UrlOpener::UrlOpener(std::function<pid_t(const std::string&)> spawnOpener)
    : spawn(std::move(spawnOpener)), watch(std::make_shared<OpenerWatch>()) {}

bool UrlOpener::Open(const std::string& url) {
    std::promise<std::pair<pid_t, uint64_t>> started;  // the opener and its number
    try {
        std::thread([watch = watch, opener = started.get_future()]() mutable {
            ThreadSignalStack signalStack;
            const auto [pid, number] = opener.get();
            if (pid > 0) watch->Ended(number, ExitedCleanly(pid));
        }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    // The waiting thread runs: it gets a value whatever happens, or it would end the program.
    pid_t pid = -1;
    uint64_t number = 0;
    try {
        pid = spawn(url);
        if (pid > 0) number = watch->Started();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "The browser could not be started: %s\n", error.what());
    }
    started.set_value({pid, number});
    return pid > 0;
}

bool UrlOpener::LatestFailed() {
    return watch->LatestFailed();
}

}  // namespace Varn
