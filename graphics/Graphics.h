// Graphics: the drawing context every widget, screen and the board draws through.
// Binds a destination image to a translation, a clip rectangle, a colour, a font, a draw
// mode and a colourise flag; translates and clips caller coordinates, then calls the
// image's operations. Nested state is a copy of the context: there is no push/pop.
// Limits: owns nothing; the destination image and the font must outlive it.
#pragma once

#include <string>

#include "graphics/Color.h"
#include "graphics/Image.h"
#include "graphics/Rect.h"

namespace Varn {

class Font;

class Graphics {
public:
    // A null destination draws into a shared empty image, so every operation is safe.
    explicit Graphics(Image* destination = nullptr);
    Graphics(const Graphics& other) = default;
    Graphics& operator=(const Graphics& other) = default;
    virtual ~Graphics();

    void SetColor(const Color& newColor) { color = newColor; }
    const Color& GetColor() const { return color; }
    void SetFont(Font* newFont) { font = newFont; }
    Font* GetFont() const { return font; }
    void SetDrawMode(int mode) { drawMode = mode; }
    int GetDrawMode() const { return drawMode; }
    void SetColorizeImages(bool on) { colorizeImages = on; }
    bool GetColorizeImages() const { return colorizeImages; }

    void Translate(int dx, int dy);
    // The clip only ever shrinks: it becomes its intersection with the translated rectangle.
    void ClipRect(int x, int y, int w, int h);
    void ClipRect(const Rect& rect);

    Image* GetDestImage() const { return destination; }
    int GetTranslateX() const { return translateX; }
    int GetTranslateY() const { return translateY; }
    const Rect& GetClipRect() const { return clip; }

    void FillRect(int x, int y, int w, int h);
    void FillRect(const Rect& rect) { FillRect(rect.x, rect.y, rect.width, rect.height); }
    // Outlines the (w + 1) x (h + 1) rectangle from (x, y) to (x + w, y + h).
    void DrawRect(int x, int y, int w, int h);
    void DrawRect(const Rect& rect) { DrawRect(rect.x, rect.y, rect.width, rect.height); }
    void DrawLine(int x1, int y1, int x2, int y2);
    // y is the baseline; needs a font, else draws nothing.
    void DrawString(const std::string& text, int x, int y);

    void DrawImage(Image* image, int x, int y);
    void DrawImage(Image* image, int x, int y, const Rect& source);
    void DrawImage(Image* image, const Rect& dest, const Rect& source);
    // A frame from the image cut into a 3 x 3 grid: corners fixed, edges and centre tiled.
    void DrawImageBox(const Rect& dest, Image* image);

private:
    Color ImageTint() const { return colorizeImages ? color : Color::White; }

    Image* destination;
    int translateX = 0;
    int translateY = 0;
    Rect clip;
    Color color = Color::Black;
    Font* font = nullptr;
    int drawMode = DrawMode::Normal;
    bool colorizeImages = false;
};

}  // namespace Varn
