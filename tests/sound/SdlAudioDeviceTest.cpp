// Tests of the SDL audio device through SDL's dummy driver (no sound card needed),
// and of the silent fallback when no driver can open a device.
#include "platform/sdl/SdlAudioDevice.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>

namespace Varn {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (old_.empty()) {
            unsetenv(name_);
        } else {
            setenv(name_, old_.c_str(), 1);
        }
    }

private:
    const char* name_;
    std::string old_;
};

TEST(SdlAudioDevice, DummyDriverCallsTheMixingCallback) {
    ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
    std::mutex mutex;
    std::condition_variable called;
    int calls = 0;
    int frames = 0;
    SdlAudioDevice device;
    ASSERT_TRUE(device.Open([&](std::int16_t* out, int count) {
        std::fill(out, out + 2 * count, 0);
        std::lock_guard lock(mutex);
        ++calls;
        frames = count;
        called.notify_all();
    }));
    EXPECT_TRUE(device.IsOpen());
    EXPECT_FALSE(device.Open([](std::int16_t*, int) {}));  // already open
    {
        std::unique_lock lock(mutex);
        // A generous bound only so that a broken driver cannot hang the run.
        called.wait_for(lock, std::chrono::seconds(20), [&] { return calls > 0; });
        EXPECT_GT(calls, 0);
        EXPECT_GT(frames, 0);
    }
    device.Close();
    EXPECT_FALSE(device.IsOpen());
    EXPECT_TRUE(device.Open([](std::int16_t*, int) {}));  // can open again after closing
}

TEST(SdlAudioDevice, NoUsableDriverMeansNoDevice) {
    ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    SdlAudioDevice device;
    EXPECT_FALSE(device.Open([](std::int16_t*, int) {}));
    EXPECT_FALSE(device.IsOpen());
    device.Close();  // harmless when closed
}

}  // namespace
}  // namespace Varn
