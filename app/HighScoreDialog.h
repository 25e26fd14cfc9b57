// HighScoreDialog: dialog 13, "HIGH SCORES": both modes' tables side by side,
// with one "DONE" button. It keeps a private HighScoreWidget only as the
// holder of the tables: read from disk at construction, or, while the
// game-over screen is up, copied from that screen (which writes the file only
// when it goes), so a score just entered is shown. The holder never writes
// the file, since the dialog changes nothing.
#pragma once

#include <memory>

#include "widgets/Dialog.h"

namespace Varn {

class HighScoreWidget;
class WinLodeApp;

class HighScoreDialog : public Dialog {
public:
    static constexpr int kDialogId = 13;
    static constexpr int kPreferredHeight = 326;

    explicit HighScoreDialog(WinLodeApp* application);
    ~HighScoreDialog() override;

    void Draw(Graphics* g) override;
    int GetPreferredHeight(int layoutWidth) override;

    HighScoreWidget* GetTables() { return holder.get(); }

private:
    void DrawModeTable(Graphics* g, int mode, int centreX);

    WinLodeApp* app;
    std::unique_ptr<HighScoreWidget> holder;
};

}  // namespace Varn
