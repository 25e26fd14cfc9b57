// BoardState: the board's state numbers, also stored in the saved game.
#pragma once

#include <cstdint>

namespace Varn {

enum class BoardState : std::int32_t {
    Falling = 0,        // gems fall into their cells; decision when all rest
    Idle = 1,           // waiting for the player
    Swapping = 2,       // two gems exchange places
    SwappingBack = 3,   // a swap that made no set returns
    Clearing = 4,       // sets vanish, columns close, new gems spawn
    GameOverFall = 5,   // delay, shaking, then gems fly off the bottom
    GameOverShown = 6,  // the game-over screen is showing
    LevelUpWhirl = 7,   // gems spiral into the centre and vanish
    NewLevelWipe = 8,   // the new level's background is revealed line by line
    DropAway = 9,       // timed mode without moves: gems drop off, a new board follows
};

}  // namespace Varn
