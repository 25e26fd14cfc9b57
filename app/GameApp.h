// The game's application object, as the entry point sees it.
#pragma once

#include <memory>

#include "framework/VarnApp.h"

namespace Varn {

std::unique_ptr<VarnApp> CreateGameApp(Platform* platform);

}  // namespace Varn
