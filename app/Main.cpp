// The program's entry point: one application object, Init, Run, Shutdown.
#include <memory>

#include "app/GameApp.h"
#include "platform/Platform.h"

int main() {
    std::unique_ptr<Varn::Platform> platform = Varn::CreateSdlPlatform();
    auto app = Varn::CreateGameApp(platform.get());
    app->Init();
    app->Run();
    app->Shutdown();
    app.reset();
    return 0;
}
