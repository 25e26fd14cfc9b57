#include "app/GameOverScreen.h"

#include <string>

#include "app/WinLodeApp.h"
#include "board/Board.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kPlayAgainId = 0;
const char* const kPlayAgainText = "CLICK HERE TO PLAY AGAIN";
}  // namespace

GameOverScreen::GameOverScreen(WinLodeApp* application)
    : app(application), playAgainLink(std::make_unique<HyperlinkWidget>(kPlayAgainId, this)) {
    playAgainLink->SetFont(app->GetTitleFont());
    playAgainLink->label = kPlayAgainText;
    playAgainLink->color = Color(0, 0, 0);
    playAgainLink->overColor = Color(255, 255, 255);
    playAgainLink->underline = false;
    Font* font = app->GetTitleFont();
    int textWidth = font ? font->StringWidth(kPlayAgainText) : 0;
    playAgainLink->Resize(265, 389, textWidth, 24);
}

GameOverScreen::~GameOverScreen() = default;

void GameOverScreen::AddedToManager(WidgetManager* widgetManager) {
    Widget::AddedToManager(widgetManager);
    widgetManager->AddWidget(playAgainLink.get());
}

void GameOverScreen::RemovedFromManager(WidgetManager* widgetManager) {
    Widget::RemovedFromManager(widgetManager);
    widgetManager->RemoveWidget(playAgainLink.get());
}

// The picture of the final board is taken once, at the first sizing, while
// the board still stands as it ended.
void GameOverScreen::Resize(int newX, int newY, int newWidth, int newHeight) {
    Widget::Resize(newX, newY, newWidth, newHeight);
    Board* board = app->GetBoard();
    if (boardPicture || !board || newWidth <= 0 || newHeight <= 0) return;
    boardPicture = std::make_unique<MemoryImage>(app->GetImageRegistry());
    boardPicture->Create(newWidth, newHeight);
    Graphics g(boardPicture.get());
    board->Draw(&g);
}

void GameOverScreen::Draw(Graphics* g) {
    if (boardPicture) g->DrawImage(boardPicture.get(), 0, 0);
    Font* font = app->GetTitleFont();
    Board* board = app->GetBoard();
    if (!font) return;
    g->SetFont(font);
    g->SetColor(Color(0, 0, 0, 160));
    g->FillRect(202, 150, 408, 120);
    DrawCenteredTextShadowed(g, 195, "GAME OVER", Color(255, 255, 255), Color(0, 0, 0));
    if (board) {
        g->SetFont(app->GetTextFont());
        DrawCenteredTextShadowed(g, 240, "Final score: " + std::to_string(board->score),
                                 Color(255, 255, 0), Color(0, 0, 0));
    }
}

void GameOverScreen::ButtonClicked(int id) {
    if (id == kPlayAgainId) app->NewBoard();
}

}  // namespace Varn
