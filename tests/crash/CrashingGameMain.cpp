// The real game with one addition for tests: once a file named "crash-now" appears in its
// working folder, it crashes (a store through null on the main thread, in the middle of an
// update). Built only with the tests and never installed: the game a player runs has no
// such path.
#include <unistd.h>

#include <memory>

#include "app/WinLodeApp.h"
#include "platform/Platform.h"

namespace {

constexpr int kTicksBetweenLooks = 10;

__attribute__((noinline)) void CrashDuringUpdate() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 7;
}

class CrashingGame : public Varn::WinLodeApp {
public:
    using WinLodeApp::WinLodeApp;

    void UpdateTick() override {
        WinLodeApp::UpdateTick();
        if (++ticks % kTicksBetweenLooks == 0 && access("crash-now", F_OK) == 0)
            CrashDuringUpdate();
    }

private:
    int ticks = 0;
};

}  // namespace

int main() {
    std::unique_ptr<Varn::Platform> platform = Varn::CreateSdlPlatform();
    auto app = std::make_unique<CrashingGame>(platform.get());
    app->Init();
    app->Run();
    app->Shutdown();
    app.reset();
    return 0;
}
