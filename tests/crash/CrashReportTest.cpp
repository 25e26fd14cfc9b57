// Report composition from facts, with symbols a test controls.
#include "framework/crash/CrashReport.h"

#include <gtest/gtest.h>

#include <cstring>

#include "framework/VarnApp.h"
#include "platform/headless/HeadlessPlatform.h"

namespace Varn {
namespace {

class FakeSymbols : public CrashSymbols {
public:
    bool available = true;
    bool Available() const override { return available; }
    CrashLocation Locate(uint64_t address) override { return {"game", 14, address - 0x1000}; }
    CrashFrameInfo Describe(uint64_t address, bool returnAddress) override {
        CrashFrameInfo info;
        info.location = Locate(address);
        if (address == 0x1234) {
            info.function = "Varn::Board::Update()";
            info.displacement = 0x34;
            info.file = "/src/board/Board.cpp";
            info.line = 77;
        }
        lookedUpReturn.push_back(returnAddress);
        return info;
    }
    std::vector<bool> lookedUpReturn;
};

CrashFacts SomeFacts() {
    CrashFacts facts;
    facts.signal = 11;
    facts.exceptionCode = 0xC0000005;
    facts.threadId = 0x2A;
    facts.registers[kRegRip] = 0x1234;
    facts.registers[kRegRax] = 0xABCDEF;
    facts.registers[kRegFlags] = 0x246;
    facts.frameCount = 2;
    facts.framePc[0] = 0x1234;
    facts.frameSp[0] = 0x7000;
    facts.framePc[1] = 0x5678;
    facts.frameSp[1] = 0x7100;
    return facts;
}

TEST(CrashReportTest, WalkedTraceNamesFunctionsAndSourceLines) {
    FakeSymbols symbols;
    std::string report = ComposeCrashReport(SomeFacts(), symbols, "Linux 6.1");
    EXPECT_EQ(0u, report.find("Exception: Access Violation (code 0xc0000005) at address "
                              "0000000000001234 in thread 2A\n"
                              "Module: game\n"
                              "Logical Address: 000E:0000000000000234\n\n"
                              "0000000000007000 0000000000001234 Varn::Board::Update()+34\n"
                              "Source: /src/board/Board.cpp:77\n\n"
                              "0000000000007100 0000000000005678 000E:0000000000004678 game\n\n"
                              "\nRAX:0000000000ABCDEF RBX:"))
        << report;
    EXPECT_EQ((std::vector<bool>{false, true}), symbols.lookedUpReturn);
    EXPECT_NE(std::string::npos,
              report.find("\nFlags:0000000000000246\n\nKernel Ver: Linux 6.1\n"));
}

TEST(CrashReportTest, WithoutSymbolsTheTraceIsTheFrameChain) {
    FakeSymbols symbols;
    symbols.available = false;
    std::string report = ComposeCrashReport(SomeFacts(), symbols, "Linux 6.1");
    EXPECT_NE(std::string::npos,
              report.find("Logical Address: 000E:0000000000000234\n\n"
                          "0000000000001234  0000000000007000  000E:0000000000000234 game\n"
                          "0000000000005678  0000000000007100  000E:0000000000004678 game\n\n"
                          "RAX:"))
        << report;
}

TEST(CrashReportTest, UnknownCodeHasNoNameAndNoAppMeansNoDriverOrAppLines) {
    FakeSymbols symbols;
    CrashFacts facts = SomeFacts();
    facts.exceptionCode = 0xE0000006;
    std::string report = ComposeCrashReport(facts, symbols, "Linux 6.1");
    EXPECT_EQ(0u, report.find("Unknown exception: (code 0xe0000006) at address "
                              "0000000000001234 in thread 2A\n"));
    EXPECT_EQ(report.size() - std::strlen("Kernel Ver: Linux 6.1\n"),
              report.find("Kernel Ver: Linux 6.1\n"));
}

TEST(CrashReportTest, AppFactsGiveDriverLinesAndTheInformationBlock) {
    FakeSymbols symbols;
    CrashFacts facts = SomeFacts();
    facts.app.present = 1;
    facts.app.windowed = 0;
    facts.app.primaryThreadId = 0x2A;
    facts.app.loadedMs = 3723999;
    std::strcpy(facts.app.product, "Gemlode");
    std::strcpy(facts.app.version, "1.0.0");
    std::strcpy(facts.app.videoDriver, "x11");
    std::strcpy(facts.app.library, "SDL 2.26.5");
    std::string report = ComposeCrashReport(facts, symbols, "Linux 6.1");
    std::string tail =
        "Kernel Ver: Linux 6.1\nVideo Driver: x11 (SDL 2.26.5)\n"
        "Audio Driver: none (SDL 2.26.5)\n\nProduct: Gemlode\nVersion: 1.0.0\n"
        "Time Loaded: 01:02:03\nFullscreen: Yes\nPrimary ThreadId: 2A\n";
    ASSERT_GE(report.size(), tail.size());
    EXPECT_EQ(tail, report.substr(report.size() - tail.size()));
}

TEST(CrashReportTest, MapsSymbolsPlaceAnAddressInItsObject) {
    std::unique_ptr<CrashSymbols> symbols = CreateMapsSymbols(
        "55d0a000-55d0b000 r--p 00000000 08:01 1234 /usr/games/gemlode\n"
        "55d0b000-55d0c000 r-xp 00001000 08:01 1234 /usr/games/gemlode\n"
        "7ffd0000-7ffd1000 rw-p 00000000 00:00 0 [stack]\n");
    CrashLocation at = symbols->Locate(0x55d0b010);
    EXPECT_EQ("gemlode", at.module);
    EXPECT_EQ(0x1010u, at.offset);
    EXPECT_EQ("", symbols->Locate(0x10).module);
    EXPECT_FALSE(symbols->Available());
}

TEST(CrashReportTest, AppInfoTextIsTheFiveLines) {
    HeadlessPlatform platform;
    VarnApp app(&platform);
    app.productName = "Gemlode";
    app.productVersion = "1.0.0";
    app.windowed = true;
    platform.clock.now = app.startTick + 61500;
    char thread[16];
    std::snprintf(thread, sizeof(thread), "%X", app.primaryThreadOsId);
    EXPECT_EQ(std::string("Product: Gemlode\nVersion: 1.0.0\nTime Loaded: 00:01:01\n"
                          "Fullscreen: No\nPrimary ThreadId: ") +
                  thread + "\n",
              app.GetAppInfoText());
}

}  // namespace
}  // namespace Varn
