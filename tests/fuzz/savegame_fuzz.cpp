// Fuzz target: the saved-game reader on arbitrary bytes. A refused input must
// leave nothing behind; an accepted one must encode back to the same bytes
// (padding aside) and must run on a board for a while without a fault,
// whatever state and values it restores.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "board/SavedGame.h"
#include "tests/board/FakeBoardHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace Varn;
    SavedGame game;
    if (DecodeSavedGame(std::span<const std::uint8_t>(data, size), game) != SavedGameError::None)
        return 0;
    const std::vector<std::uint8_t> encoded = EncodeSavedGame(game);
    SavedGame again;
    if (DecodeSavedGame(encoded, again) != SavedGameError::None) std::abort();
    if (EncodeSavedGame(again) != encoded) std::abort();
    if (encoded.size() != size) std::abort();

    test::FakeBoardHost host(static_cast<std::uint32_t>(size));
    Board board(host, false);
    board.ApplySavedGame(game);
    for (int tick = 0; tick < 400; ++tick) {
        board.Update();
        if (tick % 50 == 0) board.MouseDown(300, 200, 1);
        if (tick % 50 == 1) board.MouseDown(351, 200, 1);
        if (tick == 100) board.ShowHint();
    }
    return 0;
}
