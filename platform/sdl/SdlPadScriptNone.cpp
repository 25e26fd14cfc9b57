// The scripted controller in a build without it (GEMLODE_TEST_PAD off, as for
// players): the environment variable is not read and no controller is attached.
#include "platform/sdl/SdlPadScript.h"

namespace Varn {

SdlPadScript* SdlPadScript::FromEnvironment() {
    return nullptr;
}

// Never reached: no script is ever made here.
SdlPadScript::~SdlPadScript() = default;
void SdlPadScript::Feed() {}

}  // namespace Varn
