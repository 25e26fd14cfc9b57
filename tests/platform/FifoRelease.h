// For tests of readers given a FIFO where a file should be: runs the read on another thread
// and reports whether it came back by itself. A read that waits for a writer is released
// (a writer is opened and closed until it returns), so a failing test never hangs.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace Varn::test {

inline bool ReturnsWithoutAWriter(const std::string& fifo, const std::function<void()>& read) {
    std::atomic<bool> done{false};
    std::thread reader([&] {
        read();
        done = true;
    });
    for (int i = 0; i < 300 && !done; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool returned = done;
    while (!done) {
        const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) close(writer);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    reader.join();
    return returned;
}

}  // namespace Varn::test
