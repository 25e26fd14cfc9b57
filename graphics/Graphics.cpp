// Graphics: translation, clipping and the image-drawing forms of the drawing context.
#include "graphics/Graphics.h"

#include "graphics/Font.h"

namespace Varn {

namespace {

Image* SharedEmptyImage() {
    static Image empty;
    return &empty;
}

}  // namespace

Graphics::Graphics(Image* dest) : destination(dest ? dest : SharedEmptyImage()) {
    clip = Rect(0, 0, destination->GetWidth(), destination->GetHeight());
}

Graphics::~Graphics() = default;

void Graphics::Translate(int dx, int dy) {
    translateX += dx;
    translateY += dy;
}

void Graphics::ClipRect(int x, int y, int w, int h) {
    clip = clip.Intersection(Rect(x + translateX, y + translateY, w, h));
}

void Graphics::ClipRect(const Rect& rect) {
    ClipRect(rect.x, rect.y, rect.width, rect.height);
}

void Graphics::FillRect(int x, int y, int w, int h) {
    if (color.alpha == 0) return;
    Rect r = Rect(x + translateX, y + translateY, w, h).Intersection(clip);
    if (r.width <= 0 || r.height <= 0) return;
    destination->FillRect(r, color, drawMode);
}

void Graphics::DrawRect(int x, int y, int w, int h) {
    if (color.alpha == 0) return;
    Rect r(x + translateX, y + translateY, w + 1, h + 1);
    if (!r.Intersects(clip)) return;
    Rect k = r.Intersection(clip);
    if (k.x == r.x) destination->FillRect(Rect(k.x, k.y, 1, k.height), color, drawMode);
    if (k.y == r.y) destination->FillRect(Rect(k.x, k.y, k.width, 1), color, drawMode);
    if (k.x + k.width == r.x + r.width)
        destination->FillRect(Rect(k.x + k.width - 1, k.y, 1, k.height), color, drawMode);
    if (k.y + k.height == r.y + r.height)
        destination->FillRect(Rect(k.x, k.y + k.height - 1, k.width, 1), color, drawMode);
}

namespace {

// Clips the segment against lo <= u <= hi, where u is the clipped coordinate and v the
// other one, moved along the line. Returns false when both ends lie beyond the same edge.
bool ClipAxis(double& u1, double& v1, double& u2, double& v2, double lo, double hi) {
    if ((u1 < lo && u2 < lo) || (u1 > hi && u2 > hi)) return false;
    const double startU = u1, startV = v1, endU = u2, endV = v2;
    auto vAt = [&](double u) { return startV + (endV - startV) * (u - startU) / (endU - startU); };
    auto clampEnd = [&](double& u, double& v) {
        double edge = u < lo ? lo : u > hi ? hi : u;
        if (edge == u) return;
        v = vAt(edge);
        u = edge;
    };
    clampEnd(u1, v1);
    clampEnd(u2, v2);
    return true;
}

}  // namespace

void Graphics::DrawLine(int x1, int y1, int x2, int y2) {
    double ax = x1 + translateX, ay = y1 + translateY;
    double bx = x2 + translateX, by = y2 + translateY;
    if (!ClipAxis(ax, ay, bx, by, clip.x, clip.x + clip.width - 1)) return;
    if (!ClipAxis(ay, ax, by, bx, clip.y, clip.y + clip.height - 1)) return;
    destination->DrawLine(ax, ay, bx, by, color, drawMode);
}

void Graphics::DrawString(const std::string& text, int x, int y) {
    if (font) font->DrawString(this, x, y, text, color, clip);
}

void Graphics::DrawImage(Image* image, int x, int y) {
    if (!image) return;
    DrawImage(image, x, y, Rect(0, 0, image->GetWidth(), image->GetHeight()));
}

void Graphics::DrawImage(Image* image, int x, int y, const Rect& source) {
    if (!image) return;
    if (source.x + source.width > image->GetWidth() ||
        source.y + source.height > image->GetHeight())
        return;
    Rect d = Rect(x + translateX, y + translateY, source.width, source.height).Intersection(clip);
    if (d.width < 1 || d.height < 1) return;
    Rect shifted(source.x + d.x - x - translateX, source.y + d.y - y - translateY, d.width,
                 d.height);
    destination->Blt(image, d.x, d.y, shifted, ImageTint(), drawMode);
}

void Graphics::DrawImage(Image* image, const Rect& dest, const Rect& source) {
    if (!image || dest.width == 0 || dest.height == 0) return;
    Rect d =
        Rect(dest.x + translateX, dest.y + translateY, dest.width, dest.height).Intersection(clip);
    double sx = double(source.width) / dest.width;
    double sy = double(source.height) / dest.height;
    FRect f{source.x + (d.x - dest.x - translateX) * sx,
            source.y + (d.y - dest.y - translateY) * sy, source.width + sx * (d.width - dest.width),
            source.height + sy * (d.height - dest.height)};
    if (f.width > 0 && f.height > 0) destination->StretchBlt(image, d, f, ImageTint(), drawMode);
}

void Graphics::DrawImageBox(const Rect& r, Image* image) {
    if (!image) return;
    int cw = image->GetWidth() / 3;
    int ch = image->GetHeight() / 3;
    // A picture smaller than 3 x 3 has no cells; tiling by zero would never end.
    if (cw < 1 || ch < 1) return;
    DrawImage(image, r.x, r.y, Rect(0, 0, cw, ch));
    DrawImage(image, r.x + r.width - cw, r.y, Rect(2 * cw, 0, cw, ch));
    DrawImage(image, r.x, r.y + r.height - ch, Rect(0, 2 * ch, cw, ch));
    DrawImage(image, r.x + r.width - cw, r.y + r.height - ch, Rect(2 * cw, 2 * ch, cw, ch));
    int columns = (r.width - cw - 1) / cw;
    int rows = (r.height - ch - 1) / ch;
    Graphics horizontal(*this);
    horizontal.ClipRect(r.x + cw, r.y, r.width - 2 * cw, r.height);
    for (int i = 0; i < columns; ++i) {
        horizontal.DrawImage(image, r.x + cw + i * cw, r.y, Rect(cw, 0, cw, ch));
        horizontal.DrawImage(image, r.x + cw + i * cw, r.y + r.height - ch,
                             Rect(cw, 2 * ch, cw, ch));
    }
    Graphics vertical(*this);
    vertical.ClipRect(r.x, r.y + ch, r.width, r.height - 2 * ch);
    for (int j = 0; j < rows; ++j) {
        vertical.DrawImage(image, r.x, r.y + ch + j * ch, Rect(0, ch, cw, ch));
        vertical.DrawImage(image, r.x + r.width - cw, r.y + ch + j * ch, Rect(2 * cw, ch, cw, ch));
    }
    Graphics centre(*this);
    centre.ClipRect(r.x + cw, r.y + ch, r.width - 2 * cw, r.height - 2 * ch);
    for (int i = 0; i < columns; ++i)
        for (int j = 0; j < rows; ++j)
            centre.DrawImage(image, r.x + cw + i * cw, r.y + ch + j * ch, Rect(cw, ch, cw, ch));
}

}  // namespace Varn
