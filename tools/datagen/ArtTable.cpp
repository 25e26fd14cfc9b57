// ArtTable: gathers every picture of the game's image table in table order.
#include "tools/datagen/Artwork.h"
#include "tools/datagen/GemRenderer.h"

namespace Varn::DataGen {

namespace {

const BitmapFont& FontNamed(const std::vector<BitmapFont>& fonts, const std::string& name) {
    for (const BitmapFont& f : fonts)
        if (f.name == name) return f;
    return fonts.front();
}

Canvas Piece(const std::vector<Picture>& pieces, const std::string& name) {
    for (const Picture& p : pieces)
        if (p.name == name) return p.image;
    return Canvas(1, 1);
}

}  // namespace

std::vector<Picture> DrawAllPictures(const std::vector<BitmapFont>& fonts) {
    std::vector<Picture> small = DrawSmallPieces();
    auto piece = [&](const char* name, StoreAs store = StoreAs::Png) {
        for (const Picture& p : small)
            if (p.name == name) return Picture{name, p.image, p.store};
        return Picture{name, Piece(small, name), store};
    };
    auto font = [&](const char* name) {
        return Picture{name, FontNamed(fonts, name).strip, StoreAs::Png};
    };
    const std::vector<PanelButton>& b = PanelButtons();  // New Game, Normal, Timed, Options, Quit
    auto button = [&](const char* name, int index, ButtonLook look) {
        return Picture{name, DrawPanelButton(b[index].w, b[index].h, b[index].label, look),
                       StoreAs::Png};
    };
    std::vector<Picture> all;
    all.push_back({"zephyr-title", DrawTitleScreen(), StoreAs::Jpeg});
    all.push_back(piece("titlegreenbar2"));
    all.push_back(font("afont1"));
    all.push_back(font("mainfont1"));
    all.push_back(piece("cursor1"));
    all.push_back(piece("pointer2"));
    all.push_back(piece("overhand"));
    all.push_back(piece("typer"));
    all.push_back({"zephyr-back", DrawGameScreen(), StoreAs::JpegWithMask});
    all.push_back({"gemsheet6", RenderGemSheet(), StoreAs::Png});
    all.push_back(piece("target1"));
    all.push_back(piece("dialogbox2"));
    all.push_back(piece("boxbutton2"));
    all.push_back(piece("waitbar"));
    all.push_back(button("over2-newgame-pushed1", 0, ButtonLook::Pushed));
    all.push_back(button("over3-normal-pushed1", 1, ButtonLook::Pushed));
    all.push_back(button("over7-normal-selected1", 1, ButtonLook::Selected));
    all.push_back(button("over4-timetrial-pushed1", 2, ButtonLook::Pushed));
    all.push_back(button("over8-timetrial-selected1", 2, ButtonLook::Selected));
    all.push_back(button("over5-options-pushed1", 3, ButtonLook::Pushed));
    all.push_back(button("over6-quit-pushed1", 4, ButtonLook::Pushed));
    all.push_back(piece("timerbar"));
    all.push_back(font("alphadigits4"));
    all.push_back(piece("sparkle"));
    all.push_back(font("scorefont1"));
    all.push_back({"over1-hint1", DrawHintBadge(true), StoreAs::Png});
    all.push_back(piece("slider-track"));
    all.push_back(piece("slider-thumb"));
    all.push_back(piece("checkbox1"));
    all.push_back({"checkertextures2", DrawCheckerTextures(), StoreAs::Png});
    all.push_back(font("overfont2"));
    all.push_back(piece("blackhole"));
    all.push_back(piece("holemask", StoreAs::GifWithMask));
    all.push_back(piece("elect"));
    all.push_back(piece("editbox"));
    all.push_back(piece("swapper1"));
    all.push_back(piece("swapper2"));
    return all;
}

}  // namespace Varn::DataGen
