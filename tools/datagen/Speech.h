// Speech: words spoken by the espeak-ng program (run directly, no shell) and
// returned as float samples at the requested rate. espeak-ng's output is the
// same for the same arguments, so the generated sounds stay deterministic.
#pragma once

#include <string>

#include "tools/datagen/Dsp.h"

namespace Varn::DataGen {

// Throws std::runtime_error when espeak-ng cannot be run or answers nonsense.
Buffer Speak(const std::string& words, int rate, int pitch, int wordsPerMinute);

}  // namespace Varn::DataGen
