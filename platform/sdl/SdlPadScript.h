// SdlPadScript: FOR TESTS ONLY. When the environment names a FIFO in GEMLODE_TEST_PAD_FIFO,
// the SDL backend attaches one virtual game controller and plays on it the lines a test
// writes into that FIFO, so a real game under a virtual X server can be driven by
// controller events alone. Lines (names as SDL's controller mappings spell them):
//   down BUTTON        up BUTTON         tap BUTTON (down now, up at the next pump)
//   axis AXIS VALUE    (VALUE -32768 .. 32767)
// e.g. "tap a", "down dpleft", "axis leftx -32768". Unknown lines are logged and skipped.
// The FIFO is read without blocking; without the variable nothing of this exists.
// Built only with GEMLODE_TEST_PAD (on with the tests); other builds, those for
// players, take SdlPadScriptNone.cpp, where FromEnvironment always gives null.
#pragma once

#include <string>
#include <vector>

namespace Varn {

class SdlPadScript {
public:
    static constexpr const char* kVariable = "GEMLODE_TEST_PAD_FIFO";

    // Null unless the variable is set and both the FIFO and the virtual controller open.
    static SdlPadScript* FromEnvironment();
    ~SdlPadScript();
    SdlPadScript(const SdlPadScript&) = delete;
    SdlPadScript& operator=(const SdlPadScript&) = delete;

    // Before SDL's events are polled: releases last pump's taps, then plays the new lines.
    void Feed();

private:
    SdlPadScript(int fifo, int deviceIndex);
    void PlayLine(const std::string& line);
    bool SetButton(const std::string& name, bool down);

    int fifo;
    int deviceIndex;
    std::string partialLine;
    std::vector<std::string> tapped;
};

}  // namespace Varn
