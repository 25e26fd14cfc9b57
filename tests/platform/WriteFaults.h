// For tests of writers that must fail cleanly: while a NoRoomForFiles lives, no file of this
// process can grow (as on a full disk; root ignores folder permissions, not this limit).
// HoldsTemporary tells whether an atomic write left its temporary behind.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "platform/AtomicFile.h"

namespace Varn::test {

class NoRoomForFiles {
public:
    NoRoomForFiles() {
        getrlimit(RLIMIT_FSIZE, &saved);
        previous = signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails with EFBIG
        const rlimit none{0, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoRoomForFiles() {
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, previous);
    }
    NoRoomForFiles(const NoRoomForFiles&) = delete;
    NoRoomForFiles& operator=(const NoRoomForFiles&) = delete;

private:
    rlimit saved{};
    sighandler_t previous = SIG_DFL;
};

inline bool HoldsTemporary(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.path().filename().string().find(kTemporaryMarker) != std::string::npos)
            return true;
    return false;
}

}  // namespace Varn::test
