// TitleScreen: the first screen. It shows the title picture, a bar that
// follows the resource loading, the version, and the play link once every
// resource has loaded. It uses only what Init loaded (images 0-8, the title
// and text fonts).
#pragma once

#include <memory>

#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Varn {

class HyperlinkWidget;
class WinLodeApp;

class TitleScreen : public Widget, public ButtonListener {
public:
    explicit TitleScreen(WinLodeApp* application);
    ~TitleScreen() override;

    void AddedToManager(WidgetManager* widgetManager) override;
    void RemovedFromManager(WidgetManager* widgetManager) override;
    void Draw(Graphics* g) override;
    void Update() override;
    void ButtonClicked(int id) override;

    HyperlinkWidget* GetPlayLink() { return playLink.get(); }

    WinLodeApp* app;
    double progress = 0;
    bool loadingDone = false;

private:
    std::unique_ptr<HyperlinkWidget> playLink;
};

}  // namespace Varn
