#include "AppHarness.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "ImageFileWriters.h"
#include "app/TitleScreen.h"
#include "board/Board.h"
#include "board/BoardGeometry.h"
#include "graphics/MemoryImage.h"
#include "widgets/ButtonWidget.h"
#include "widgets/Dialog.h"
#include "widgets/DialogButton.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/WidgetManager.h"

namespace Varn::test {

namespace fs = std::filesystem;

AppHarness::AppHarness(fs::path programFolder) : folder(std::move(programFolder)) {
    if (folder.empty()) {
        char pattern[] = "/tmp/gemlode-app-XXXXXX";
        folder = mkdtemp(pattern);
        ownsFolder = true;
        for (const char* data : {"images", "sounds", "music", "data"})
            fs::create_directory_symlink(fs::path(GEMLODE_GAME_DIR) / data, folder / data);
        fs::create_directory(folder / "config");
    }
    platform.desktop.programPath = (folder / "gemlode").string();
    platform.desktop.configRoot = (folder / "config").string();
    app = std::make_unique<RecordingApp>(&platform);
}

AppHarness::~AppHarness() {
    app.reset();
    if (ownsFolder) fs::remove_all(folder);
}

void AppHarness::Restart() {
    const auto adjustFolders = app->adjustFolders;
    app.reset();
    ownsFolder = false;  // the new harness run keeps using this folder
    app = std::make_unique<RecordingApp>(&platform);
    app->adjustFolders = adjustFolders;
    ownsFolder = true;
    Start();
}

void AppHarness::Start() {
    app->Init();
    app->loadingThreadStarted = true;
    app->LoadResources();
    app->loaded = true;
    app->running = true;
    app->updateClock = platform.clock.now;
}

void AppHarness::Tick(int ticks) {
    for (int i = 0; i < ticks; ++i) {
        platform.clock.Advance(10);
        app->PumpMessages();
        app->ProcessMessageQueue();
        app->ProcessFrame(false);
        if (afterTick) afterTick();
    }
}

bool AppHarness::TickUntil(const std::function<bool()>& done, int maxTicks) {
    for (int i = 0; i < maxTicks; ++i) {
        if (done()) return true;
        Tick();
    }
    return done();
}

void AppHarness::Click(int x, int y, bool right) {
    platform.window.PostMouse(kMsgMouseMove, x, y);
    platform.window.PostMouse(right ? kMsgRButtonDown : kMsgLButtonDown, x, y);
    platform.window.PostMouse(right ? kMsgRButtonUp : kMsgLButtonUp, x, y);
    Tick();
}

void AppHarness::ClickButton(int gameButtonId) {
    for (const auto& button : app->GetGameButtons())
        if (button->id == gameButtonId)
            return Click(button->x + button->width / 2, button->y + button->height / 2);
}

void AppHarness::ClickDialogButton(int dialogId, bool positive) {
    Dialog* dialog = app->GetDialog(dialogId);
    ASSERT_NE(dialog, nullptr) << "dialog " << dialogId;
    DialogButton* button = positive ? dialog->firstButton.get() : dialog->secondButton.get();
    ASSERT_NE(button, nullptr) << "dialog " << dialogId << " has no such button";
    Click(button->x + button->width / 2, button->y + button->height / 2);
}

void AppHarness::StartPlaying() {
    TickUntil([&] { return app->GetTitleScreen()->loadingDone; }, 100);
    HyperlinkWidget* link = app->GetTitleScreen()->GetPlayLink();
    Click(link->x + link->width / 2, link->y + link->height / 2);
    TickUntil([&] { return app->GetBoard() && app->GetBoard()->state == BoardState::Idle; });
}

bool AppHarness::MakeMove() {
    Board* board = app->GetBoard();
    if (!TickUntil([&] { return board->state == BoardState::Idle && !board->IsPaused(); }))
        return false;
    auto centre = [](int column, int row) {
        return std::pair{ColumnX(column) + kGemSize / 2, RowY(row) + kGemSize / 2};
    };
    // The first legal move whose gems the pointer can reach (the start tip
    // covers the top rows while it is up).
    WidgetManager* manager = app->GetWidgetManager();
    SwapMove move;
    int n = 0;
    for (;; ++n) {
        if (!board->FindMove(&move, n, true, true)) return false;
        auto [ax, ay] = centre(move.column, move.row);
        auto [bx, by] = centre(move.otherColumn, move.otherRow);
        if (manager->GetWidgetAt(ax, ay) == board && manager->GetWidgetAt(bx, by) == board) break;
    }
    auto [x1, y1] = centre(move.column, move.row);
    auto [x2, y2] = centre(move.otherColumn, move.otherRow);
    Click(x1, y1);
    Click(x2, y2);
    return TickUntil([&] { return board->state != BoardState::Swapping; }) && TickUntil([&] {
               return board->state == BoardState::Idle ||
                      board->state == BoardState::LevelUpWhirl ||
                      board->state == BoardState::GameOverFall;
           });
}

bool AppHarness::SaveScreen(const std::string& name) {
    auto* screen = dynamic_cast<MemoryImage*>(app->GetWidgetManager()->GetScreenImage());
    if (!screen) return false;
    int w = screen->GetWidth();
    int ht = screen->GetHeight();
    const uint32_t* bits = screen->GetBits();
    std::vector<uint32_t> pixels(bits, bits + size_t(w) * ht);
    bool varied = false;
    for (uint32_t& pixel : pixels) {
        pixel |= 0xFF000000u;
        varied = varied || pixel != pixels[0];
    }
    fs::path screens = fs::path(GEMLODE_BINARY_DIR) / "artifacts" / "screens";
    fs::create_directories(screens);
    return Testing::WritePngRgba((screens / (name + ".png")).string(), w, ht, pixels) && varied;
}

}  // namespace Varn::test
