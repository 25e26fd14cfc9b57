// Faults of the system, made on purpose for tests of code that must fail cleanly. While a
// NoRoomForFiles lives no file of this process can grow, as on a full disk (root ignores
// folder permissions, not this limit); while a NoNewThreads lives no thread can be created.
#pragma once

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "platform/AtomicFile.h"

namespace Varn::test {

struct NoRoomForFiles {
    NoRoomForFiles() : previous(signal(SIGXFSZ, SIG_IGN)) {  // a write fails with EFBIG
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit none{0, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoRoomForFiles() {
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, previous);
    }
    sighandler_t previous;
    rlimit saved{};
};

// Every new thread asks for a stack no address space can hold.
struct NoNewThreads {
    NoNewThreads() {
        pthread_getattr_default_np(&saved);
        pthread_attr_t huge;
        pthread_attr_init(&huge);
        pthread_attr_setstacksize(&huge, std::size_t(1) << 46);
        pthread_setattr_default_np(&huge);
    }
    ~NoNewThreads() { pthread_setattr_default_np(&saved); }
    pthread_attr_t saved;
};

// Whether an atomic write left its temporary behind in `folder`.
inline bool HoldsTemporary(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.path().filename().string().find(kTemporaryMarker) != std::string::npos)
            return true;
    return false;
}

}  // namespace Varn::test
