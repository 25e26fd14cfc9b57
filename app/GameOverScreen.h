// GameOverScreen: what the player sees when a game has ended: the final board
// as it stood, "GAME OVER" with the final score, and the link to play again.
// The six game-screen buttons stay above it and keep working.
#pragma once

#include <memory>

#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Varn {

class HyperlinkWidget;
class MemoryImage;
class WinLodeApp;

class GameOverScreen : public Widget, public ButtonListener {
public:
    explicit GameOverScreen(WinLodeApp* application);
    ~GameOverScreen() override;

    void AddedToManager(WidgetManager* widgetManager) override;
    void RemovedFromManager(WidgetManager* widgetManager) override;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void Draw(Graphics* g) override;
    void ButtonClicked(int id) override;

    HyperlinkWidget* GetPlayAgainLink() { return playAgainLink.get(); }

private:
    WinLodeApp* app;
    std::unique_ptr<HyperlinkWidget> playAgainLink;
    std::unique_ptr<MemoryImage> boardPicture;
};

}  // namespace Varn
