// A VarnApp on the headless platform, with hooks the loop tests read.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/VarnApp.h"
#include "platform/headless/HeadlessPlatform.h"
#include "tests/framework/PrivateProgramFolder.h"
#include "widgets/Dialog.h"

namespace Varn::test {

// The folder is the first base so that it outlives everything the application writes.
class TestApp : private PrivateProgramFolder, public VarnApp {
public:
    explicit TestApp(HeadlessPlatform* headless) : VarnApp(headless), fake(headless) {}

    FolderInputs ReadFolderInputs() override { return Apply(VarnApp::ReadFolderInputs()); }

    void UpdateTick() override {
        VarnApp::UpdateTick();
        ++updates;
        if (onUpdate) onUpdate(*this);
    }
    void DrawTick() override {
        ++drawPasses;
        updatesAtDraw.push_back(updates);
        VarnApp::DrawTick();
    }
    void ExitProcess(int code) override { exitCodes.push_back(code); }

    int Presents() const { return fake->window.presentCount; }

    HeadlessPlatform* fake;
    int updates = 0;
    int drawPasses = 0;
    std::vector<int> updatesAtDraw;
    std::vector<int> exitCodes;
    std::function<void(TestApp&)> onUpdate;
};

// A dialog that counts its own deletion.
class CountingDialog : public Dialog {
public:
    CountingDialog(bool isModal, int* deletions)
        : Dialog(nullptr, nullptr, 0, isModal, "", "", "", 0), deleted(deletions) {}
    ~CountingDialog() override { ++*deleted; }
    int* deleted;
};

}  // namespace Varn::test
