// InputPrompts: the texts that ask the player for a click or a key, as a game-controller
// player reads them: the same request naming the controller's button (Xbox names). Every
// other text, and every text for a mouse or keyboard player, stays as written.
#pragma once

#include <string>

namespace Varn {

// The text as the player with the given input reads it: the controller's wording when
// controller is true and the text asks for a click or a key, else the text itself.
std::string InputPrompt(const std::string& text, bool controller);

}  // namespace Varn
