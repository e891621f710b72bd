#include "core/byte_scan.h"

namespace qw {

bool cpuHasAvx2() {
#if defined(QW_AVX2_BLOCKS)
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

} // namespace qw
