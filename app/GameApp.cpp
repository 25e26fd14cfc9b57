#include "app/GameApp.h"

#include "app/WinLodeApp.h"

namespace Varn {

std::unique_ptr<VarnApp> CreateGameApp(Platform* platform) {
    return std::make_unique<WinLodeApp>(platform);
}

}  // namespace Varn
