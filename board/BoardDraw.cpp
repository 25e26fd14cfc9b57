// Board::Draw and the board's art: the widget's drawing is done by its
// BoardRenderer, made when the application hands the board its art.
#include "board/Board.h"
#include "board/BoardRenderer.h"

namespace Varn {

void BoardRendererDeleter::operator()(BoardRenderer* renderer) const {
    delete renderer;
}

void Board::SetArt(BoardArt* art) {
    renderer.reset(art ? new BoardRenderer(*this, *art) : nullptr);
    MarkDirty();
}

void Board::MarkArrowsDirty(int offsetBefore) {
    MarkRendererAreaDirty(
        [&](const BoardRenderer& r) { return r.MovingArrowArea(offsetBefore, arrowOffset); });
}

void Board::MarkGemDirty(const Gem& gem) {
    MarkRendererAreaDirty([&](const BoardRenderer& r) { return r.GemArea(gem.x, gem.y); });
}

void Board::MarkPopupDirty(const ScorePopup& popup) {
    MarkRendererAreaDirty([&](const BoardRenderer& r) { return r.PopupArea(popup); });
}

// The swapped gems travel between their two cells, so both cells' areas hold them.
void Board::MarkSwapDirty() {
    if (!renderer || !swapA || !swapB) {
        MarkDirty();
        return;
    }
    for (const Gem* gem : {swapA, swapB})
        MarkAreaDirty(renderer->GemArea(ColumnX(gem->column), RowY(gem->row)));
}

void Board::Draw(Graphics* g) {
    if (renderer && g) renderer->Draw(g);
}

}  // namespace Varn
