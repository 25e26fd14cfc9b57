// GemRenderer: a small software renderer for the seven faceted gems. Each gem
// is a closed solid (an outline ring, a faceted crown with a table on the
// front, a pavilion behind) turned about the vertical axis, drawn with a
// z-buffer at 4x supersampling and flat-shaded facets (diffuse, specular and a
// studio-style reflection). Limits: orthographic view, convex-ish outlines only.
#pragma once

#include "tools/datagen/Canvas.h"

namespace Varn::DataGen {

constexpr int kGemKinds = 7;
constexpr int kGemFrames = 15;
constexpr int kGemCell = 49;

// Spin frame s (0 = resting, facing the viewer) of gem kind k, 49x49.
Canvas RenderGemSpin(int kind, int frame);
// Glow frame g of gem kind k: the resting gem lit from inside with a travelling shine.
Canvas RenderGemGlow(int kind, int frame);
// The full 780x728 sheet: per kind a row of spin frames and a row of glow frames.
Canvas RenderGemSheet();
// The base colour of a kind (for other art that echoes the gems).
Rgba GemColour(int kind);

}  // namespace Varn::DataGen
