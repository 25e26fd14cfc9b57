#include "graphics/DisplayDevice.h"

namespace Varn {

std::string DisplayResultName(int result) {
    static const char* const kNames[] = {"RESULT_OK",
                                         "RESULT_FAIL",
                                         "RESULT_DD_CREATE_FAIL",
                                         "RESULT_SURFACE_FAIL",
                                         "RESULT_EXCLUSIVE_FAIL",
                                         "RESULT_DISPCHANGE_FAIL",
                                         "RESULT_INVALID_COLORDEPTH"};
    if (result < 0 || result > RESULT_INVALID_COLORDEPTH) return "RESULT_UNKNOWN";
    return kNames[result];
}

}  // namespace Varn
