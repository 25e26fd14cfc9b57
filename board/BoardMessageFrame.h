// BoardMessageFrame: the images of the board's centred message ("GO!",
// "LEVEL 2", ...): the text drawn once in white on a transparent image, and a
// frame 48 pixels taller into which every draw renders the text with each
// column shifted down by a travelling sine wave and coloured by a rainbow
// fixed to the frame's rows, faded in and out over 75 ticks.
#pragma once

#include <memory>
#include <string>

namespace Varn {

class Font;
class ImageRegistry;
class MemoryImage;
struct BoardMessage;

// The message's opacity 0-255 for its duration and the ticks remaining.
int MessageAlpha(int duration, int remaining);

class BoardMessageFrame {
public:
    // The wave moves each text column down by 0 ... 48 pixels.
    static constexpr int kWaveHeight = 48;

    explicit BoardMessageFrame(ImageRegistry* registry);
    ~BoardMessageFrame();
    BoardMessageFrame(const BoardMessageFrame&) = delete;
    BoardMessageFrame& operator=(const BoardMessageFrame&) = delete;

    // Renders the message's current frame and returns it; null when the
    // message cannot be shown (no font, empty or absurd size). The text image
    // is made again only when the text or its metrics change.
    MemoryImage* Render(const BoardMessage& message, Font* font);
    // Frees both images.
    void Release();

private:
    bool Prepare(const BoardMessage& message, Font* font);

    ImageRegistry* registry;
    std::unique_ptr<MemoryImage> textImage;
    std::unique_ptr<MemoryImage> frameImage;
    std::string text;
    int width = 0;  // of the text; the images leave the font's overhang on both sides
    int pictureWidth = 0;
    int height = 0;
    int ascent = 0;
    Font* textFont = nullptr;
};

}  // namespace Varn
