// BoardRenderer: the order of one draw, the background and screen images,
// and the board area: black hole, gems, sparkles and cursors.
#include "board/BoardRenderer.h"

#include <algorithm>
#include <cstdint>

#include "board/Board.h"
#include "board/BoardArt.h"
#include "board/BoardBackground.h"
#include "board/BoardRenderMath.h"
#include "graphics/Graphics.h"

namespace Varn {

namespace {

constexpr Rect kGemClip(194, 12, 428, 416);
constexpr int kSheetPitch = 52;  // spin and glow frames on the gem sheet
constexpr int kKindPitch = 104;  // a row of spin frames and a row of glow frames per kind
constexpr int kSheetFrames = 15;
constexpr int kSparkleCell = 40;
constexpr int kSparkleCells = 14;
constexpr int kCursorCell = 52;
constexpr int kCursorFrames = 6;
constexpr int kBlackHoleCell = 256;
constexpr int kBlackHoleFrames = 9;

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

std::uint32_t CrossFade(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t ca = a >> shift & 0xFF;
        const std::uint32_t cb = b >> shift & 0xFF;
        out |= ((ca * (256 - w) + cb * w) / 256) << shift;
    }
    return out;
}

}  // namespace

Color FadedWhite(double strength) {
    return Color(255, 255, 255, std::clamp(TruncToInt(strength * 255.0), 0, 255));
}

BoardRenderer::BoardRenderer(Board& target, BoardArt& boardArt)
    : board(target),
      art(boardArt),
      backgroundLevel(target.level),
      messageFrame(boardArt.Registry()),
      glowImage(boardArt.Registry()) {
    shownBackground = BuildBackground(backgroundLevel);
    lastState = target.state;
}

BoardRenderer::~BoardRenderer() = default;

std::unique_ptr<MemoryImage> BoardRenderer::BuildBackground(int level) {
    auto background = std::make_unique<MemoryImage>(art.Registry());
    BuildLevelBackground(*background, level, art);
    return art.KeepPicture(std::move(background));
}

// A level set up by the level-up whirl shows as a new level during (or, when
// no draw fell in it, just after) the wipe; only then is the background
// rebuilt. A loaded game's level differs from the background's all along, so
// the whirl itself, which has not set up a level yet, must not count.
void BoardRenderer::FollowBackground() {
    const bool wiping = board.state == BoardState::NewLevelWipe;
    const bool leftWhirl =
        lastState == BoardState::LevelUpWhirl && board.state != BoardState::LevelUpWhirl;
    const bool levelingUp = wiping || leftWhirl || lastState == BoardState::NewLevelWipe;
    if (board.level != backgroundLevel && levelingUp) {
        backgroundLevel = board.level;
        nextBackground = BuildBackground(backgroundLevel);
        revealedRows = 0;
    }
    if (nextBackground) {
        const int height = nextBackground->GetHeight();
        RevealRows(wiping ? std::clamp(board.wipeLine, 0, height) : height);
    }
    lastState = board.state;
}

// The wipe shows the new background over the old one a band at a time; once it
// covers all rows it is the only one.
void BoardRenderer::RevealRows(int rows) {
    revealedRows = std::max(revealedRows, rows);
    if (revealedRows < nextBackground->GetHeight()) return;
    shownBackground = std::move(nextBackground);
}

void BoardRenderer::DrawBackground(Graphics& g) {
    if (!nextBackground) {
        g.DrawImage(shownBackground.get(), 0, 0);
        return;
    }
    Graphics shown(g);
    shown.ClipRect(0, revealedRows, shownBackground->GetWidth(), shownBackground->GetHeight());
    shown.DrawImage(shownBackground.get(), 0, 0);
    Graphics next(g);
    next.ClipRect(0, 0, nextBackground->GetWidth(), revealedRows);
    next.DrawImage(nextBackground.get(), 0, 0);
}

void BoardRenderer::Draw(Graphics* target) {
    FollowBackground();
    // Whatever the caller left set, the board starts from plain drawing.
    Graphics g(*target);
    g.SetColorizeImages(false);
    g.SetDrawMode(DrawMode::Normal);
    DrawBackground(g);
    DrawBlackHole(g);
    if (board.playerPauseCount <= 0) {
        DrawGems(g);
        DrawSparkles(g);
        DrawCursors(g);
        DrawScorePopups(g);
        DrawTutorialArrows(g);
        DrawWipe(g);
        DrawMessage(g);
        DrawHoleMask(g);
    } else if (board.hasFocus) {
        DrawPauseTexts(g);
    }
    if (!board.message.active) messageFrame.Release();
    DrawScore(g);
    DrawBonusBar(g);
    DrawLevelNumber(g);
    DrawMoveBonus(g);
    DrawHintFlash(g);
}

void BoardRenderer::DrawBlackHole(Graphics& g) {
    if (!(board.whirlpoolVolume > 0.0)) return;
    if (!InRange(board.blackHoleFrame, 0, kBlackHoleFrames - 1)) return;
    Graphics hole(g);
    hole.SetColorizeImages(true);
    hole.SetColor(FadedWhite(board.whirlpoolVolume));
    hole.SetDrawMode(DrawMode::Additive);
    hole.DrawImage(art.GetImage(BoardImage::kBlackHole), kBoardCenterX - kBlackHoleCell / 2,
                   kBoardCenterY - kBlackHoleCell / 2,
                   Rect(kBlackHoleCell * board.blackHoleFrame, 0, kBlackHoleCell, kBlackHoleCell));
}

void BoardRenderer::DrawGems(Graphics& g) {
    Graphics clipped(g);
    clipped.ClipRect(kGemClip);
    board.grid.ForEachGem([&](const Gem& gem) { DrawGem(clipped, gem); });
}

void BoardRenderer::DrawGem(Graphics& g, const Gem& gem) {
    if (!InRange(gem.kind, 0, kGemKinds - 1)) return;
    const int gx = ScreenCoord(gem.x);
    const int gy = ScreenCoord(gem.y);
    if (gem.vanishing) {
        if (InRange(gem.vanishFrame, 0, BoardArt::kShrunkSteps - 1))
            g.DrawImage(art.ShrunkGem(gem.kind, gem.vanishFrame), gx, gy);
        return;
    }
    if (!InRange(gem.spinFrame, 0, kSheetFrames - 1)) return;
    if (gem.glowing && gem.spinFrame == 0 && DrawGlowingGem(g, gem, gx, gy)) return;
    const int x0 = 2 + kSheetPitch * gem.spinFrame;
    const int y0 = kKindPitch * gem.kind;
    g.DrawImage(art.GetImage(BoardImage::kGemSheet), gx, gy, Rect(x0, y0, kGemSize, kGemSize));
}

// The plain frame and the glow frame below it, mixed by the glow strength.
// False when the sheet cannot be read pixel by pixel (the caller then draws
// the plain frame).
bool BoardRenderer::DrawGlowingGem(Graphics& g, const Gem& gem, int gx, int gy) {
    auto* sheet = dynamic_cast<MemoryImage*>(art.GetImage(BoardImage::kGemSheet));
    if (!sheet) return false;
    // Mixing the frames costs more than drawing them: not for a redraw that misses the gem.
    const Rect onScreen(gx + g.GetTranslateX(), gy + g.GetTranslateY(), kGemSize, kGemSize);
    if (!onScreen.Intersects(g.GetClipRect())) return true;
    if (!InRange(gem.glowFrame, 0, kSheetFrames - 1)) return true;
    const int ax = 2;
    const int ay = kKindPitch * gem.kind;
    const int bx = ax + kSheetPitch * gem.glowFrame;
    const int by = ay + kSheetPitch;
    if (bx + kGemSize > sheet->GetWidth() || by + kGemSize > sheet->GetHeight()) return true;
    const auto w = static_cast<std::uint32_t>(std::clamp(TruncToInt(gem.glow * 256.0), 0, 256));
    if (glowImage.GetWidth() != kGemSize || glowImage.GetHeight() != kGemSize)
        glowImage.Create(kGemSize, kGemSize);
    const std::uint32_t* bits = sheet->GetBits();
    const std::size_t stride = static_cast<std::size_t>(sheet->GetWidth());
    std::uint32_t* out = glowImage.GetBits();
    for (int row = 0; row < kGemSize; ++row) {
        const std::uint32_t* a = bits + (ay + row) * stride + ax;
        const std::uint32_t* b = bits + (by + row) * stride + bx;
        for (int column = 0; column < kGemSize; ++column)
            out[row * kGemSize + column] = CrossFade(a[column], b[column], w);
    }
    glowImage.BitsChanged();
    g.DrawImage(&glowImage, gx, gy);
    return true;
}

// The sparkles reach furthest: 10 left, 7 up, and a sparkle cell beyond the
// last offsets (13 across, 19 down).
Rect BoardRenderer::GemArea(double x, double y) const {
    return Rect(ScreenCoord(x) - 10, ScreenCoord(y) - 7, 23 + kSparkleCell, 26 + kSparkleCell);
}

void BoardRenderer::DrawSparkles(Graphics& g) {
    Image* sparkle = art.GetImage(BoardImage::kSparkle);
    Graphics additive(g);
    additive.SetDrawMode(DrawMode::Additive);
    auto cell = [](int n) {
        return Rect(kSparkleCell * PositiveMod(n, kSparkleCells), 0, kSparkleCell, kSparkleCell);
    };
    board.grid.ForEachGem([&](const Gem& gem) {
        if (gem.sparkleCountdown <= 0) return;
        const int gx = ScreenCoord(gem.x);
        const int gy = ScreenCoord(gem.y);
        const int f = gem.sparkleFrame;
        if (gem.sparkleCountdown > 15) additive.DrawImage(sparkle, gx + 13, gy - 7, cell(f));
        if (gem.sparkleCountdown > 7 && f >= 8)
            additive.DrawImage(sparkle, gx - 10, gy + 3, cell(f - 8));
        if (f >= 16) additive.DrawImage(sparkle, gx + 5, gy + 19, cell(f - 16));
    });
}

void BoardRenderer::DrawCursors(Graphics& g) {
    Image* target = art.GetImage(BoardImage::kTarget);
    const Rect source(kCursorCell * PositiveMod(board.selectionCounter, kCursorFrames), 0,
                      kCursorCell, kCursorCell);
    for (const Gem* gem : {board.selected, board.swapA, board.swapB}) {
        if (gem) g.DrawImage(target, ScreenCoord(gem->x) - 2, ScreenCoord(gem->y) - 2, source);
    }
    // The controller's highlighted cell: the same art, standing still.
    if (board.PadCursorShown())
        g.DrawImage(target, ColumnX(board.padColumn) - 2, RowY(board.padRow) - 2,
                    Rect(0, 0, kCursorCell, kCursorCell));
}

}  // namespace Varn
