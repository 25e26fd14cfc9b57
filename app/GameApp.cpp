#include "app/GameApp.h"

namespace Varn {

std::unique_ptr<VarnApp> CreateGameApp(Platform* platform) {
    auto app = std::make_unique<VarnApp>(platform);
    app->productName = "Prismora";
    app->title = "Gemlode " + app->productVersion;
    return app;
}

}  // namespace Varn
