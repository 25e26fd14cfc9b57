#include "app/TitleScreen.h"

#include <string>

#include "app/WinLodeApp.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/InputPrompts.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {
constexpr int kPlayLinkId = 1;
constexpr int kBarX = 143;
constexpr int kBarY = 314;
constexpr int kBarWidth = 340;
constexpr int kBarHeight = 24;
constexpr int kLinkY = 386;
constexpr int kVersionCentreX = 537;
constexpr int kVersionBaseline = 221;
const char* const kPlayText = "CLICK HERE TO PLAY!";
}  // namespace

TitleScreen::TitleScreen(WinLodeApp* application)
    : app(application), playLink(std::make_unique<HyperlinkWidget>(kPlayLinkId, this)) {
    playLink->SetFont(app->GetTitleFont());
    playLink->color = Color(32, 255, 32);
    playLink->overColor = Color(255, 255, 255);
    playLink->underline = true;
    playLink->visible = false;
    Update();
}

TitleScreen::~TitleScreen() = default;

void TitleScreen::AddedToManager(WidgetManager* widgetManager) {
    Widget::AddedToManager(widgetManager);
    widgetManager->AddWidget(playLink.get());
}

void TitleScreen::RemovedFromManager(WidgetManager* widgetManager) {
    Widget::RemovedFromManager(widgetManager);
    widgetManager->RemoveWidget(playLink.get());
}

void TitleScreen::Update() {
    Widget::Update();
    Font* font = app->GetTitleFont();
    const std::string label = InputPrompt(kPlayText, app->PadInUse());
    int textWidth = font ? font->StringWidth(label) : 0;
    if (playLink->label != label) playLink->MarkRegionDirty();  // the old text's place too
    playLink->label = label;
    playLink->Resize((app->width - textWidth) / 2, kLinkY, textWidth, 24);
    if (loadingDone || updateCount % 4 != 0) return;
    progress = app->GetLoadingProgress();
    if (progress == 1.0 && app->loaded) {
        playLink->SetVisible(true);
        loadingDone = true;
        progress = 1.0;
    }
    MarkDirty();
}

void TitleScreen::Draw(Graphics* g) {
    g->DrawImage(app->GetImage(0), 0, 0);
    int barWidth = int(progress * kBarWidth);
    if (barWidth > 0)
        g->DrawImage(app->GetImage(1), kBarX, kBarY, Rect(0, 0, barWidth, kBarHeight));
    Font* font = app->GetTextFont();
    if (!font) return;
    std::string version = "Version " + app->productVersion;
    g->SetFont(font);
    g->SetColor(Color(128, 128, 128));
    g->DrawString(version, kVersionCentreX - font->StringWidth(version) / 2, kVersionBaseline);
}

void TitleScreen::ButtonClicked(int id) {
    if (id == kPlayLinkId) app->StartGame();
}

}  // namespace Varn
