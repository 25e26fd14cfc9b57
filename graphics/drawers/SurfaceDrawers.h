// The software drawers that write straight into a locked display surface: fills, blits and
// lines, each in a normal (alpha blending) and an additive (saturating add) variant, exact
// to the integer arithmetic of the display format in 16 and 32 bits.
//
// Sources are premultiplied display-format values (alpha in bits 24-31) with their run-length
// tables, as MemoryImage caches them, so whole transparent or black runs are skipped with one
// lookup and opaque runs are straight copies. Clamping comes from the saturation tables.
//
// Every drawer clips to the target (and a blit also to its source), so a bad rectangle draws
// less rather than writing outside memory. Layouts of any other depth draw nothing.
#pragma once

#include <cstdint>

#include "graphics/Color.h"
#include "graphics/DDSurface.h"
#include "graphics/Rect.h"
#include "graphics/drawers/DisplayFormat.h"

namespace Varn::SurfaceDraw {

struct Target {
    uint8_t* pixels = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    const DisplayFormat* format = nullptr;  // layout, shifts, bit counts, saturation tables
};

// A premultiplied source picture: native values, one run-length byte per pixel.
struct Source {
    const uint32_t* native = nullptr;
    const uint8_t* runs = nullptr;
    int width = 0;
    int height = 0;
};

// The blits use SSE2 where the processor has it. Off, they take plain scalar loops that
// give the same bytes (the tests compare the two); the setting is process-wide.
void UseVectorCode(bool on);

void NormalFillRect(const Target& t, const Rect& rect, const Color& color);
void AdditiveFillRect(const Target& t, const Rect& rect, const Color& color);

// Blended path: per-pixel alpha over, optional tint (white is untinted); runs from the
// run-length alpha table.
void NormalBltBlended(const Target& t, int x, int y, const Source& s, const Rect& sourceRect,
                      const Color& tint);
// Copy path for pictures without partial alpha: every pixel, or (keyed) only those whose
// alpha byte is not zero.
void NormalBltCopy(const Target& t, int x, int y, const Source& s, const Rect& sourceRect,
                   bool skipTransparent);
// Saturating add of the premultiplied source; runs from the run-length additive table.
void AdditiveBlt(const Target& t, int x, int y, const Source& s, const Rect& sourceRect,
                 const Color& tint);

// Midpoint lines between the truncated endpoints, one pixel written per step.
void NormalDrawLine(const Target& t, double x1, double y1, double x2, double y2,
                    const Color& color);
void AdditiveDrawLine(const Target& t, double x1, double y1, double x2, double y2,
                      const Color& color);

// A coverage mask (0-255 per pixel, row stride in bytes, e.g. an anti-aliased glyph) in one
// colour given as a display value: full coverage writes the colour, partial coverage moves
// each channel towards it by coverage / 255. Only pixels inside clip are written.
void CoverageBlend(const Target& t, int x, int y, const uint8_t* coverage, int width, int height,
                   int stride, uint32_t displayColour, const Rect& clip);

}  // namespace Varn::SurfaceDraw
