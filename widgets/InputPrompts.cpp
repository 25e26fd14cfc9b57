#include "widgets/InputPrompts.h"

#include <iterator>
#include <string_view>

namespace Varn {

namespace {

struct PromptPair {
    std::string_view pointer;
    std::string_view controller;
};

// The controller's wording is about as long as the original: the texts keep their places.
constexpr PromptPair kPrompts[] = {
    {"CLICK HERE TO PLAY!", "PRESS A TO PLAY!"},
    {"CLICK HERE TO PLAY AGAIN", "PRESS A TO PLAY AGAIN"},
    {"Click Here to Continue!", "Press START to Continue!"},
    {"TIP- Press any key to pause the game in Timetrial mode",
     "TIP- Press START to pause the game in Timetrial mode"},
    {"TIP- You can click and drag a gem instead of clicking twice",
     "TIP- After A selects a gem, a direction swaps it"},
    {"TIP- You can click and drag a gem to swap it with another",
     "TIP- Y shows a hint; LB and RB reach the buttons"},
    {"Press any key to pause the game.", "Press START to pause the game."},
    {"CONTROLS - Just click on a gem to select it, then click on another adjacent gem to swap "
     "them. You must make a set of 3 or more identical gems with each move, though! You can also "
     "swap gems by just clicking and dragging a specific stone.",
     "CONTROLS - Move the highlight with the d-pad or stick, press A on a gem, then a "
     "direction to swap it with that neighbour. You must make a set of 3 or more identical gems "
     "with each move, though! B deselects, Y shows a hint, LB and RB reach the buttons."},
};

}  // namespace

std::string InputPrompt(const std::string& text, bool controller) {
    if (!controller) return text;
    for (const PromptPair& pair : kPrompts)
        if (pair.pointer == text) return std::string(pair.controller);
    return text;
}

}  // namespace Varn
