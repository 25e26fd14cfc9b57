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

// Without art nothing is drawn from these fields; the whole widget is marked all the same.
void Board::MarkArrowsDirty(int offsetBefore) {
    if (renderer)
        MarkAreaDirty(renderer->MovingArrowArea(offsetBefore, arrowOffset));
    else
        MarkDirty();
}

void Board::MarkHintFlashDirty() {
    MarkRendererAreaDirty(&BoardRenderer::HintFlashArea);
}

void Board::MarkRendererAreaDirty(Rect (BoardRenderer::*area)() const) {
    if (renderer)
        MarkAreaDirty((*renderer.*area)());
    else
        MarkDirty();
}

void Board::MarkGemDirty(const Gem& gem) {
    if (renderer)
        MarkAreaDirty(renderer->GemArea(gem.x, gem.y));
    else
        MarkDirty();
}

void Board::MarkPopupDirty(const ScorePopup& popup) {
    if (renderer)
        MarkAreaDirty(renderer->PopupArea(popup));
    else
        MarkDirty();
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
