// The update check through the game on the headless platform, against a
// loopback server: Options -> "Check for Updates" -> dialog 18 with its moving
// bar -> the answer's dialog beside it -> YES, NO, OK and CANCEL.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/OptionsDialog.h"
#include "board/GameRandom.h"
#include "framework/internet/InternetManager.h"
#include "framework/internet/UpdateCheckDialog.h"
#include "tests/app/AppHarness.h"
#include "tests/http/LoopbackServer.h"
#include "widgets/DialogButton.h"

namespace Varn::test {
namespace {

constexpr int kUpdateDialog = 18;
constexpr int kNewVersion = 10018;
constexpr int kUpToDate = 20018;
const char* const kNewVersionAnswer = "HTTP/1.0 200 OK\r\n\r\n0\r\nhttp://zandrel.example/new\r\n";

class UpdateCheckFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("no_proxy", "127.0.0.1,localhost", 1);
        harness.Start();
        harness.StartPlaying();
    }

    UpdateCheckDialog* CheckForUpdates(LoopbackServer& server) {
        return CheckForUpdates(server.Url(""));
    }

    UpdateCheckDialog* CheckForUpdates(const std::string& serverUrl) {
        app().updateServer = serverUrl;
        harness.ClickButton(13);  // Options
        auto* options = dynamic_cast<OptionsDialog*>(app().GetDialog(OptionsDialog::kDialogId));
        if (!options) return nullptr;
        ClickCentre(options->updateButton.get());
        return dynamic_cast<UpdateCheckDialog*>(app().GetDialog(kUpdateDialog));
    }

    void ClickCentre(Widget* widget) {
        harness.Click(widget->x + widget->width / 2, widget->y + widget->height / 2);
    }

    // The transfer runs in real time while the loop's clock is fake.
    bool TickUntilDialog(int id) {
        return harness.TickUntil(
            [&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                return app().GetDialog(id) != nullptr;
            },
            3000);
    }

    WinLodeApp& app() { return *harness.app; }

    AppHarness harness;
};

TEST_F(UpdateCheckFlowTest, OptionsOpenTheCheckWithItsQuery) {
    LoopbackServer server({{kNewVersionAnswer, false, 200}});
    app().referId = "a&b c";
    UpdateCheckDialog* dialog = CheckForUpdates(server);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetRect(), Rect(146, 50, 348, dialog->Dialog::GetPreferredHeight(348) + 32));
    EXPECT_EQ(dialog->header, "Update Check");
    EXPECT_EQ(dialog->firstButton->label, "CANCEL");
    // The window test clicks these places.
    EXPECT_EQ(dialog->firstButton->GetRect(), Rect(170, 190, 300, 36));
    ASSERT_TRUE(TickUntilDialog(kNewVersion));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].rfind(
                  "GET /win32updatecheck.php?prod=Prismora&ver=" + app().productVersion +
                      "&referid=a%26b%20c HTTP/1.0\r\n",
                  0),
              0u)
        << server.Requests()[0];
}

// A slow answer is no failure: the bar moves and the text stays.
TEST_F(UpdateCheckFlowTest, BarMovesEveryThirdUpdateWhileWaiting) {
    LoopbackServer server({{"", true}});
    UpdateCheckDialog* dialog = CheckForUpdates(server);
    ASSERT_NE(dialog, nullptr);
    const std::string contacting = dialog->body;
    for (int i = 0; i < 40; ++i) {
        int before = dialog->barOffset;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        harness.Tick();
        int expected = dialog->updateCount % 3 == 0 ? (before + 1) % 32 : before;
        ASSERT_EQ(dialog->barOffset, expected) << "update " << dialog->updateCount;
    }
    EXPECT_FALSE(dialog->done);
    EXPECT_EQ(dialog->body, contacting);
}

TEST_F(UpdateCheckFlowTest, NewVersionYesOpensThePageAndQuitsOnceTheBrowserIsUp) {
    LoopbackServer server({{kNewVersionAnswer}});
    app().settings.lastUpdateCheck = 0;
    UpdateCheckDialog* dialog = CheckForUpdates(server);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(TickUntilDialog(kNewVersion));
    Dialog* answer = app().GetDialog(kNewVersion);
    EXPECT_EQ(answer->header, "New Version");
    EXPECT_EQ(answer->x, 146 + 32);
    EXPECT_EQ(answer->y, 50 - 32);
    EXPECT_NE(app().settings.lastUpdateCheck, 0);
    EXPECT_EQ(answer->firstButton->GetRect(),
              Rect(202, 126, 130, 36));      // the window test clicks YES
    ClickCentre(answer->firstButton.get());  // YES
    EXPECT_EQ(app().GetDialog(kNewVersion), nullptr);
    EXPECT_EQ(app().GetDialog(kUpdateDialog), nullptr);
    ASSERT_EQ(harness.platform.desktop.openedUrls.size(), 1u);
    EXPECT_EQ(harness.platform.desktop.openedUrls[0], "http://zandrel.example/new");
    EXPECT_FALSE(app().closing);
    harness.platform.window.Post({kMainWindow, kMsgActivateApp, 0, 0});  // the browser came up
    harness.Tick();
    EXPECT_TRUE(app().closing);
    EXPECT_TRUE(app().exitWasUrlDriven);
}

// YES on a page that is never opened tells the player why, where failed opens are told.
TEST_F(UpdateCheckFlowTest, NewVersionYesOnAnUnopenablePageSaysWhy) {
    const std::pair<std::string, const char*> pages[] = {
        {"http://zandrel.example/" + std::string(2030, 'x'), "longer than 2048 bytes"},
        {"file:///etc/passwd", "no web address"}};
    for (const auto& [page, reason] : pages) {
        LoopbackServer server({{"HTTP/1.0 200 OK\r\n\r\n0\r\n" + page + "\r\n"}});
        ASSERT_NE(CheckForUpdates(server), nullptr);
        ASSERT_TRUE(TickUntilDialog(kNewVersion));
        ClickCentre(app().GetDialog(kNewVersion)->firstButton.get());  // YES
        Dialog* told = app().GetDialog(11);
        ASSERT_NE(told, nullptr) << reason;
        EXPECT_EQ(told->header, "OPEN BROWSER");
        EXPECT_NE(told->body.find(reason), std::string::npos) << told->body;
        EXPECT_TRUE(harness.platform.desktop.openedUrls.empty());
        for (int open : {11, OptionsDialog::kDialogId}) app().CloseDialog(open);
    }
}

TEST_F(UpdateCheckFlowTest, NewVersionNoClosesBothDialogs) {
    LoopbackServer server({{kNewVersionAnswer}});
    ASSERT_NE(CheckForUpdates(server), nullptr);
    ASSERT_TRUE(TickUntilDialog(kNewVersion));
    ClickCentre(app().GetDialog(kNewVersion)->secondButton.get());  // NO
    EXPECT_EQ(app().GetDialog(kNewVersion), nullptr);
    EXPECT_EQ(app().GetDialog(kUpdateDialog), nullptr);
    EXPECT_TRUE(harness.platform.desktop.openedUrls.empty());
}

// Like every dialog of the game (the others are opened in
// tests/app/DialogFlowTest.cpp), the update dialogs and their buttons lie
// wholly on the 640 x 480 screen.
TEST_F(UpdateCheckFlowTest, UpdateDialogsAndTheirButtonsLieOnTheScreen) {
    auto expectOnScreen = [](Dialog* dialog) {
        ASSERT_NE(dialog, nullptr);
        for (Widget* w :
             {static_cast<Widget*>(dialog), static_cast<Widget*>(dialog->firstButton.get()),
              static_cast<Widget*>(dialog->secondButton.get())}) {
            if (!w) continue;
            EXPECT_TRUE(Rect(0, 0, 640, 480).Intersection(w->GetRect()) == w->GetRect())
                << dialog->id << ": (" << w->x << ", " << w->y << ", " << w->width << ", "
                << w->height << ")";
        }
    };
    const std::pair<const char*, int> answers[] = {{kNewVersionAnswer, kNewVersion},
                                                   {"HTTP/1.0 200 OK\r\n\r\n1\r\n", kUpToDate}};
    for (const auto& [answer, id] : answers) {
        LoopbackServer server({{answer}});
        expectOnScreen(CheckForUpdates(server));
        ASSERT_TRUE(TickUntilDialog(id));
        expectOnScreen(app().GetDialog(id));
        for (int open : {id, kUpdateDialog, OptionsDialog::kDialogId}) app().CloseDialog(open);
        harness.Tick();
    }
}

TEST_F(UpdateCheckFlowTest, UpToDateOkClosesBothDialogs) {
    LoopbackServer server({{"HTTP/1.0 200 OK\r\n\r\n1\r\n"}});
    ASSERT_NE(CheckForUpdates(server), nullptr);
    ASSERT_TRUE(TickUntilDialog(kUpToDate));
    Dialog* answer = app().GetDialog(kUpToDate);
    EXPECT_EQ(answer->header, "Up to Date");
    EXPECT_EQ(answer->body, "There are no updates available for this product at this time.");
    EXPECT_EQ(answer->x, 146 + 32);
    EXPECT_EQ(answer->y, 50 - 32);
    ClickCentre(answer->firstButton.get());  // OK
    EXPECT_EQ(app().GetDialog(kUpToDate), nullptr);
    EXPECT_EQ(app().GetDialog(kUpdateDialog), nullptr);
    EXPECT_NE(app().GetDialog(OptionsDialog::kDialogId), nullptr);
}

TEST_F(UpdateCheckFlowTest, CancelClosesTheCheckAndTheLateAnswerShowsNothing) {
    LoopbackServer server({{kNewVersionAnswer, false, 300}});
    UpdateCheckDialog* dialog = CheckForUpdates(server);
    ASSERT_NE(dialog, nullptr);
    ClickCentre(dialog->firstButton.get());  // CANCEL
    EXPECT_EQ(app().GetDialog(kUpdateDialog), nullptr);
    InternetManager* internet = app().GetInternetManager();
    ASSERT_TRUE(harness.TickUntil([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return internet->UpdateCheckStatus() == InternetManager::kDone;
    }));
    harness.Tick(10);
    EXPECT_EQ(app().GetDialog(kNewVersion), nullptr);
    EXPECT_EQ(app().GetDialogCount(), 1);  // the options dialog only
}

TEST_F(UpdateCheckFlowTest, RefusedCheckStopsTheBarAndSaysItFailedUntilCancel) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort());
    UpdateCheckDialog* dialog = CheckForUpdates(closed);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(harness.TickUntil([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return dialog->done;
    }));
    const int stoppedAt = dialog->barOffset;
    harness.Tick(10);
    EXPECT_EQ(dialog->barOffset, stoppedAt);
    EXPECT_EQ(dialog->body, UpdateCheckDialog::kFailedText);
    EXPECT_EQ(app().GetDialogCount(), 2);    // no answer dialog beside it
    ClickCentre(dialog->firstButton.get());  // CANCEL
    EXPECT_EQ(app().GetDialog(kUpdateDialog), nullptr);
}

// A seed whose first draw is even (shows) or odd (does not).
std::uint32_t SeedWithFirstDraw(bool even) {
    for (std::uint32_t seed = 1;; ++seed)
        if ((GameRandom(seed).Next() % 2 == 0) == even) return seed;
}

class AdvertisementAtExitTest : public UpdateCheckFlowTest {
protected:
    // A completed check naming one advertisement, downloaded.
    void CheckWithAdvertisement() {
        server = std::make_unique<LoopbackServer>(std::map<std::string, ScriptedReply>{
            {"/win32updatecheck.php",
             {"HTTP/1.0 200 OK\r\n\r\n1\r\nhttp://z.example/\r\n400 300 | page.html | 1\r\n"}},
            {"/page.html", {"HTTP/1.0 200 OK\r\n\r\n<p>ad</p>"}}});
        ASSERT_NE(CheckForUpdates(*server), nullptr);
        ASSERT_TRUE(TickUntilDialog(kUpToDate));
        InternetManager* internet = app().GetInternetManager();
        for (int i = 0; i < 500 && internet->DownloadsRunning(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(internet->HasPendingAdvertisement());
    }
    std::unique_ptr<LoopbackServer> server;
};

TEST_F(AdvertisementAtExitTest, QuittingOpensThePendingPageWhenTheDrawIsEven) {
    CheckWithAdvertisement();
    app().random.Seed(SeedWithFirstDraw(true));
    app().Shutdown();
    app().HandOverAtExit();
    ASSERT_EQ(harness.platform.desktop.openedUrls.size(), 1u);
    const std::string& url = harness.platform.desktop.openedUrls[0];
    EXPECT_EQ(url.rfind("file:///", 0), 0u) << url;
    EXPECT_NE(url.find("/ads/page.html"), std::string::npos) << url;
}

TEST_F(AdvertisementAtExitTest, OddDrawOrUrlDrivenExitShowsNothing) {
    CheckWithAdvertisement();
    app().random.Seed(SeedWithFirstDraw(false));
    app().HandOverAtExit();
    EXPECT_TRUE(harness.platform.desktop.openedUrls.empty());
    app().random.Seed(SeedWithFirstDraw(true));
    app().exitWasUrlDriven = true;
    app().HandOverAtExit();
    EXPECT_TRUE(harness.platform.desktop.openedUrls.empty());
}

}  // namespace
}  // namespace Varn::test
