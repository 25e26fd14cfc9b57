// The game's application object, as the entry point sees it.
#pragma once

#include <memory>

#include "app/CommandLine.h"
#include "framework/VarnApp.h"

namespace Varn {

// The game with the command line's choices for this run.
std::unique_ptr<VarnApp> CreateGameApp(Platform* platform, const CommandLine& line = {});

}  // namespace Varn
