#include "platform/CpuFeatures.h"

namespace Varn {

#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
bool CpuHasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}

bool CpuHasAvx512() {
    static const bool has = __builtin_cpu_supports("avx512f");
    return has;
}

bool CpuHasAvx512Bw() {
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return has;
}
#else
bool CpuHasAvx2() {
    return false;
}

bool CpuHasAvx512() {
    return false;
}

bool CpuHasAvx512Bw() {
    return false;
}
#endif

}  // namespace Varn
