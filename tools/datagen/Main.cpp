// gemlode_datagen: renders all of the game's data into a program folder.
//   gemlode_datagen OUTDIR                       images/, sounds/, music/, data/, resources/
//   gemlode_datagen --contact-sheet FILE OUTDIR  the same, plus one PNG showing every picture
//   gemlode_datagen --desktop-icons DIR NAME     the program's icon for the desktop:
//                                                DIR/<size>x<size>/apps/NAME.png
// Same bytes on every run: nothing depends on time, locale or thread timing.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "tools/datagen/Artwork.h"
#include "tools/datagen/ContactSheet.h"
#include "tools/datagen/DifficultyTable.h"
#include "tools/datagen/ImageFiles.h"
#include "tools/datagen/Levelling.h"
#include "tools/datagen/Output.h"
#include "tools/datagen/Songs.h"
#include "tools/datagen/SoundEffects.h"
#include "tools/datagen/Text.h"

namespace {

using namespace Varn::DataGen;

bool Fail(const std::string& what) {
    std::fprintf(stderr, "gemlode_datagen: cannot write %s\n", what.c_str());
    return false;
}

bool WriteImagesAndFonts(const std::string& out, const std::vector<BitmapFont>& fonts,
                         const std::vector<Picture>& pictures) {
    for (const Picture& p : pictures)
        if (!WritePicture(out + "/images", p)) return Fail("images/" + p.name);
    for (const BitmapFont& f : fonts)
        if (!WriteFontDescriptor(out + "/data", f)) return Fail("data/" + f.name + ".txt");
    for (const Picture& p : DrawResourcePictures())
        if (!WritePng(out + "/resources/" + p.name + ".png", p.image))
            return Fail("resources/" + p.name);
    return WriteTextFile(out + "/resources/cursors.txt", CursorHotSpots()) ||
           Fail("resources/cursors.txt");
}

bool Refuse(const std::string& problem) {
    std::fprintf(stderr, "gemlode_datagen: off the loudness target: %s\n", problem.c_str());
    return false;
}

bool WriteSounds(const std::string& out) {
    std::string problem;
    for (SoundEffect& s : MakeSoundEffects()) {
        if (!LevelEffect(s.name, s.samples, problem)) return Refuse(problem);
        if (!WriteSoundEffect(out + "/sounds", s)) return Fail("sounds/" + s.name);
    }
    for (const Song& s : MakeSongs()) {
        if (!s.problem.empty()) return Refuse(s.problem);
        if (!WriteBinaryFile(out + "/music/" + s.fileName, s.bytes))
            return Fail("music/" + s.fileName);
    }
    return WriteTextFile(out + "/data/diff.txt", DifficultyTableText()) || Fail("data/diff.txt");
}

int Generate(int argc, char** argv);

int Run(int argc, char** argv) {
    int rc = Generate(argc, argv);
    ReleaseFontLibraries();
    return rc;
}

// Each pixel of the picture as a square of factor x factor: the pixel art stays sharp.
Canvas Enlarged(const Canvas& picture, int factor) {
    Canvas large(picture.Width() * factor, picture.Height() * factor);
    for (int y = 0; y < large.Height(); ++y)
        for (int x = 0; x < large.Width(); ++x) large.At(x, y) = picture.At(x / factor, y / factor);
    return large;
}

// The window icon at 256, 128, 64, 32 and 16 pixels, for the desktop's icon
// theme and software centres (which want 128 and more).
int WriteDesktopIcons(const std::string& dir, const std::string& name) {
    for (const Picture& p : DrawResourcePictures()) {
        if (p.name != "IDI_MAIN_ICON") continue;
        for (int factor : {-4, -2, 1, 2, 4}) {
            const Canvas icon = factor == 1  ? p.image
                                : factor < 0 ? Enlarged(p.image, -factor)
                                             : p.image.Downsample(factor);
            const std::string size = std::to_string(icon.Width());
            const std::string folder = dir + "/" + size + "x" + size + "/apps";
            if (!MakeFolder(dir) || !MakeFolder(dir + "/" + size + "x" + size) ||
                !MakeFolder(folder) || !WritePng(folder + "/" + name + ".png", icon))
                return Fail(folder), 1;
        }
        return 0;
    }
    return Fail("the window icon"), 1;
}

int Generate(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--desktop-icons")
        return WriteDesktopIcons(argv[2], argv[3]);
    std::string sheet, out;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--contact-sheet" && i + 1 < argc)
            sheet = argv[++i];
        else
            out = arg;
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: gemlode_datagen [--contact-sheet FILE] OUTDIR\n");
        return 2;
    }
    for (const char* sub : {"", "/images", "/sounds", "/music", "/data", "/resources"})
        if (!MakeFolder(out + sub)) return Fail(out + sub), 1;
    auto start = std::chrono::steady_clock::now();
    std::vector<BitmapFont> fonts = RenderFontStrips();
    std::vector<Picture> pictures = DrawAllPictures(fonts);
    if (!WriteImagesAndFonts(out, fonts, pictures) || !WriteSounds(out)) return 1;
    if (!sheet.empty() && !WritePng(sheet, MakeContactSheet(pictures, fonts)))
        return Fail(sheet), 1;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "gemlode_datagen: wrote %s in %.2f s\n", out.c_str(), seconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gemlode_datagen: %s\n", e.what());
        return 1;
    }
}
