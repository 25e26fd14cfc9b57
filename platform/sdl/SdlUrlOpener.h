// The browser opener: xdg-open started through posix_spawn (never a shell), and waited for
// on a thread of its own (it may run as long as the browser), so the main loop never
// blocks and no zombie is left. The waiting thread outlives the UrlOpener safely.
#pragma once

#include <sys/types.h>

#include <functional>
#include <memory>
#include <string>

namespace Varn {

class OpenerWatch;

// Starts xdg-open with the address as its one argument: its process id, or -1.
pid_t SpawnXdgOpen(const std::string& url);

class UrlOpener {
public:
    // `spawnOpener` starts the opener (replaceable for tests); it may throw.
    explicit UrlOpener(std::function<pid_t(const std::string&)> spawnOpener = SpawnXdgOpen);

    // True when an opener was started. Without a thread to wait for it none is started,
    // and a start that fails in any way (a throw included) is a failed open.
    bool Open(const std::string& url);
    // True once the opener of the latest Open has ended in failure.
    bool LatestFailed();

private:
    std::function<pid_t(const std::string&)> spawn;
    std::shared_ptr<OpenerWatch> watch;
};

}  // namespace Varn
