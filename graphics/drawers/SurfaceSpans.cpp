// The switch between the vector forms and the plain loops.
#include "graphics/drawers/SurfaceSpans.h"

#include <atomic>

#include "graphics/drawers/SurfaceDrawers.h"

namespace Varn::SurfaceDraw {

namespace {
std::atomic<bool> vectorCode{true};
}

void UseVectorCode(bool on) {
    vectorCode.store(on, std::memory_order_relaxed);
}

namespace detail {

bool VectorCodeOn() {
    return vectorCode.load(std::memory_order_relaxed);
}

}  // namespace detail
}  // namespace Varn::SurfaceDraw
