// LargeBlocks: heap blocks of picture size (pixel arrays, songs) get mappings of their
// own, so each goes back to the system when freed. Left to itself, the C library raises
// that threshold whenever such a block is freed and then carves later ones out of its
// heap, where freed ones stay resident between live ones: megabytes over a game. The
// game allocates blocks that large only when it loads or sets up a level, never per frame.
#pragma once

namespace Varn {

// Once, before any thread starts.
void GiveLargeBlocksOwnMappings();

}  // namespace Varn
