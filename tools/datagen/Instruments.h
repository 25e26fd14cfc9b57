// Instruments: the synthesised samples the songs play. Melodic samples hold a
// waveform whose period is exactly 64 samples (or a loop of whole periods of
// two detuned oscillators), with a C2 speed that makes note C-4 sound at
// middle C; loops therefore join without clicks. Drums are one-shots.
#pragma once

#include "tools/datagen/S3mWriter.h"

namespace Varn::DataGen {

enum Instrument : uint8_t {  // 1-based instrument numbers in every song
    kKick = 1,
    kSnare,
    kHat,
    kOpenHat,
    kBass,
    kPad,
    kLead,
    kBell,
    kInstrumentCount = kBell
};

std::vector<S3mSample> MakeInstruments();

}  // namespace Varn::DataGen
