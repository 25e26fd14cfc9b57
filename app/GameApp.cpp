#include "app/GameApp.h"

#include "app/WinLodeApp.h"

namespace Varn {

std::unique_ptr<VarnApp> CreateGameApp(Platform* platform, const CommandLine& line) {
    auto app = std::make_unique<WinLodeApp>(platform);
    app->windowedThisRun = line.windowed;
    app->commandSeed = line.seed;
    app->windowScaleThisRun = line.scale;
    return app;
}

}  // namespace Varn
