// WinLodeApp's resources: the image, sound, font and song tables, the title
// screen's share loaded in Init, the rest loaded on the loading thread with
// its step counting, and the images derived from them.
#include <cstdio>

#include "app/ImageNeeds.h"
#include "app/TitleScreen.h"
#include "app/WinLodeApp.h"
#include "board/ImageColor.h"
#include "graphics/DDImage.h"
#include "graphics/DDInterface.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/ImageLoader.h"
#include "graphics/MemoryImage.h"
#include "sound/MusicInterface.h"
#include "sound/SoundManager.h"
#include "widgets/WidgetManager.h"

namespace Varn {

namespace {

// Folder "images", names without extension; entry 2 stays empty.
const char* const kImageNames[WinLodeApp::kImageCount] = {"zephyr-title",
                                                          "titlegreenbar2",
                                                          "",
                                                          "afont1",
                                                          "mainfont1",
                                                          "cursor1",
                                                          "pointer2",
                                                          "overhand",
                                                          "typer",
                                                          "zephyr-back",
                                                          "gemsheet6",
                                                          "target1",
                                                          "dialogbox2",
                                                          "boxbutton2",
                                                          "waitbar",
                                                          "over2-newgame-pushed1",
                                                          "over3-normal-pushed1",
                                                          "over7-normal-selected1",
                                                          "over4-timetrial-pushed1",
                                                          "over8-timetrial-selected1",
                                                          "over5-options-pushed1",
                                                          "over6-quit-pushed1",
                                                          "timerbar",
                                                          "alphadigits4",
                                                          "sparkle",
                                                          "scorefont1",
                                                          "over1-hint1",
                                                          "slider-track",
                                                          "slider-thumb",
                                                          "checkbox1",
                                                          "checkertextures2",
                                                          "overfont2",
                                                          "blackhole",
                                                          "holemask",
                                                          "elect",
                                                          "editbox",
                                                          "swapper1",
                                                          "swapper2"};

const char* const kSoundNames[WinLodeApp::kSoundCount] = {
    "gotset2", "gotsetbig2", "combo22",   "combo32",     "combo42",  "combo52",    "combo52",
    "bad2",    "gemongem2",  "explode2",  "click2",      "select",   "menuclick",  "multishot",
    "go1",     "levelup1",   "gameover1", "firecrackle", "warning1", "whirlpool1", "excellent1"};

const char* const kSongFiles[3] = {"music\\1984-network.s3m", "music\\1981-datajack.s3m",
                                   "music\\1980-autonomus.s3m"};

constexpr int kTitleSong = 2;
constexpr int kLoadingSteps = 60;

}  // namespace

void WinLodeApp::FailLoading(const std::string& what) {
    ShowFatalError("Failed to load " + what);
    exitCode = 1;
    quitRequested = true;
}

// A picture in the display's own format where the display allows it (copied
// with the device's fast surface blit, and held only there when that is exact),
// else a memory image.
std::unique_ptr<MemoryImage> WinLodeApp::MakeImage(const uint32_t* pixels, int w, int h) {
    if (auto* device = dynamic_cast<DDInterface*>(GetDisplayDevice())) {
        auto image = std::make_unique<DDImage>(device);
        image->SetBits(pixels, w, h);
        if (image->GenerateSurface()) image->ReleaseBitsToSurface();
        return image;
    }
    auto image = std::make_unique<MemoryImage>(GetImageRegistry());
    image->SetBits(pixels, w, h);
    return image;
}

std::unique_ptr<MemoryImage> WinLodeApp::KeepPicture(std::unique_ptr<MemoryImage> picture) {
    if (!dynamic_cast<DDInterface*>(GetDisplayDevice())) return picture;
    return MakeImage(picture->GetBits(), picture->GetWidth(), picture->GetHeight());
}

// A picture smaller than the drawing cuts from it fails like a missing one.
bool WinLodeApp::LoadImageAt(int index) {
    std::string name = kImageNames[index];
    auto decoded = LoadImage("images/" + name);
    if (!decoded) {
        FailLoading("images\\" + name);
        return false;
    }
    const std::string problem = ImageSizeProblem(index, decoded->width, decoded->height);
    if (!problem.empty()) {
        FailLoading("images\\" + name + " (" + problem + ")");
        return false;
    }
    images[index] = MakeImage(decoded->pixels.get(), decoded->width, decoded->height);
    return true;
}

bool WinLodeApp::CheckFontStrip(const ImageFont& font, int index, const std::string& descriptor,
                                std::string_view needs) {
    const std::string glyphs = FontGlyphProblem(font, needs);
    if (!glyphs.empty()) {
        FailLoading("data\\" + descriptor + " (" + glyphs + ")");
        return false;
    }
    const std::string problem = FontStripProblem(font);
    if (problem.empty()) return true;
    FailLoading("images\\" + std::string(kImageNames[index]) + " (" + problem + ")");
    return false;
}

void WinLodeApp::Init() {
    VarnApp::Init();
    if (!initialised) return;  // another copy runs, or no display can show the game
    for (int index = 0; index <= 8; ++index) {
        if (index == 2) continue;
        if (!LoadImageAt(index)) {
            Shutdown();
            return;
        }
    }
    titleFont = std::make_unique<ImageFont>(images[3].get(), "data/afont1.txt");
    textFont = std::make_unique<ImageFont>(images[4].get(), "data/mainfont1.txt");
    // The title's play link and the dialogs' buttons are drawn in these two.
    if (!CheckFontStrip(*titleFont, 3, "afont1.txt", "CLICK HERE TO PLAY AGAIN! PRESS START") ||
        !CheckFontStrip(*textFont, 4, "mainfont1.txt", "YES NO OK CANCEL")) {
        Shutdown();
        return;
    }
    titleScreen = std::make_unique<TitleScreen>(this);
    titleScreen->Resize(0, 0, width, height);
    GetWidgetManager()->AddWidget(titleScreen.get());
    MusicInterface* music = GetMusicInterface();
    for (int song = 0; song < 3; ++song) music->LoadMusic(song, kSongFiles[song]);
    music->PlayMusic(kTitleSong);
    for (int kind = 0; kind < 4; ++kind) SetCursorKindImage(kind, images[5 + kind].get());
}

bool WinLodeApp::LoadDifficulty() {
    // A missing, short or unusable table would leave the board without a bar
    // range or multiplier, so it is as fatal as a missing image.
    DifficultyTable table;
    if (ReadDifficultyTableFile("data/diff.txt", table) < DifficultyTable::kValueCount ||
        !table.IsPlayable()) {
        FailLoading("data\\diff.txt");
        return false;
    }
    difficultyTable = table;
    return true;
}

bool WinLodeApp::LoadSounds() {
    SoundManager* sounds = GetSoundManager();
    if (!sounds || !sounds->Initialized()) {
        loadingDone += kSoundCount;
        return true;
    }
    for (int id = 0; id < kSoundCount; ++id) {
        std::string name = kSoundNames[id];
        if (!sounds->LoadSound(unsigned(id), "sounds\\" + name)) {
            FailLoading("sounds\\" + name);
            return false;
        }
        ++loadingDone;
    }
    return true;
}

void WinLodeApp::LoadResources() {
    loadingTotal = kLoadingSteps;
    if (!LoadDifficulty()) return;
    for (int index = 9; index < kImageCount; ++index) {
        if (!LoadImageAt(index)) return;
        ++loadingDone;
    }
    if (!LoadSounds()) return;
    BuildFonts();
    if (!CheckFontStrip(*digitFont, 23, "alphadigits4.txt", "0123456789") ||
        !CheckFontStrip(*scoreFont, 25, "scorefont1.txt", "0123456789") ||
        !CheckFontStrip(*overFont, 31, "overfont2.txt", ""))
        return;
    ++loadingDone;
    BuildDerivedImages();
    BuildShrunkGems();
    PixelLayout layout;
    if (auto* device = dynamic_cast<DDInterface*>(GetDisplayDevice()))
        layout = device->GetFormat().layout;
    images[32]->GetRunLengthAdditiveData(layout.bitCount, layout.redMask, layout.greenMask,
                                         layout.blueMask);
    images[33]->GetRunLengthAlphaData();
    ++loadingDone;
}

void WinLodeApp::BuildFonts() {
    digitFont = std::make_unique<ImageFont>(images[23].get(), "data/alphadigits4.txt");
    scoreFont = std::make_unique<ImageFont>(images[25].get(), "data/scorefont1.txt");
    overFont = std::make_unique<ImageFont>(images[31].get(), "data/overfont2.txt");
}

void WinLodeApp::BuildDerivedImages() {
    for (int i = 0; i < 6; ++i) {
        Color faded(255, 255, 255, (6 - i) * 255 / 7);
        fadedDigitImages[i] = ImageColor::ColorizedCopy(*images[23], faded, GetImageRegistry());
        fadedDigitFonts[i] = std::make_unique<ImageFont>(*digitFont, fadedDigitImages[i].get());
    }
    ++loadingDone;
    for (int i = 0; i < 24; ++i)
        timerBarImages[i] = ImageColor::ColorizedCopy(
            *images[22], ImageColor::HslColor(i * 85 / 23, 255, 128), GetImageRegistry());
    whiteTimerBar =
        ImageColor::ColorizedCopy(*images[22], Color(255, 255, 255, 255), GetImageRegistry());
    ++loadingDone;
}

void WinLodeApp::BuildShrunkGems() {
    for (int kind = 0; kind < kGemKinds; ++kind) {
        for (int step = 0; step < kShrinkSteps; ++step) {
            double fraction = 1.0 - (step + 1) / 7.0;
            int size = int(fraction * 49) | 1;
            auto gem = std::make_unique<MemoryImage>(GetImageRegistry());
            gem->Create(49, 49);
            Graphics g(gem.get());
            int offset = (49 - size) / 2;
            g.DrawImage(images[10].get(), Rect(offset, offset, size, size),
                        Rect(2, 104 * kind, 49, 49));
            shrunkGems[kind][step] = std::move(gem);
        }
        ++loadingDone;
    }
}

// ---- what the board draws with ----

Image* WinLodeApp::GetImage(int index) {
    return index >= 0 && index < kImageCount ? images[index].get() : nullptr;
}

Image* WinLodeApp::ShrunkGem(int kind, int step) {
    if (kind < 0 || kind >= kGemKinds || step < 0 || step >= kShrinkSteps) return nullptr;
    return shrunkGems[kind][step].get();
}

Image* WinLodeApp::WhiteTimerBar() {
    return whiteTimerBar.get();
}

Font* WinLodeApp::DigitFont() {
    return digitFont.get();
}
Font* WinLodeApp::ScoreFont() {
    return scoreFont.get();
}
Font* WinLodeApp::OverFont() {
    return overFont.get();
}
Font* WinLodeApp::GetTitleFont() {
    return titleFont.get();
}
Font* WinLodeApp::GetTextFont() {
    return textFont.get();
}

Font* WinLodeApp::FadedDigitFont(int fade) {
    return fade >= 0 && fade < 6 ? fadedDigitFonts[fade].get() : nullptr;
}

Image* WinLodeApp::TimerBar(int colorIndex) {
    return colorIndex >= 0 && colorIndex < 24 ? timerBarImages[colorIndex].get() : nullptr;
}

int WinLodeApp::MessageTextWidth(const std::string& text) {
    return overFont ? overFont->StringWidth(text) : 0;
}
int WinLodeApp::MessageFontHeight() {
    return overFont ? overFont->GetHeight() : 0;
}
int WinLodeApp::MessageFontAscent() {
    return overFont ? overFont->GetAscent() : 0;
}
int WinLodeApp::DigitFontAscent() {
    return digitFont ? digitFont->GetAscent() : 0;
}

}  // namespace Varn
