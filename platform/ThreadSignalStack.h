// An alternate signal stack for the calling thread. A fault handler installed with
// SA_ONSTACK runs on it, so that a thread that has overflowed its own stack can still be
// reported. Each thread the program starts makes one as its first act; the thread's
// previous alternate stack comes back when the object goes (at the thread's end).
#pragma once

#include <signal.h>

#include <cstddef>

namespace Varn {

class ThreadSignalStack {
public:
    // Room for the crash handler's stack walk.
    static constexpr size_t kSize = 256 * 1024;

    ThreadSignalStack();
    ~ThreadSignalStack();
    ThreadSignalStack(const ThreadSignalStack&) = delete;
    ThreadSignalStack& operator=(const ThreadSignalStack&) = delete;

    // False when no memory could be had or the kernel refused it: the thread then runs
    // without one.
    bool Installed() const { return installed; }

private:
    void* memory = nullptr;
    size_t mapped = 0;
    stack_t previous{};
    bool installed = false;
};

}  // namespace Varn
