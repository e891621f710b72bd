#include "core/progress.h"

namespace qw {

int progressStepSize(int steps) {
    if (steps < 1)
        steps = 1;
    const int whole = 1000 / steps;
    const int rest2 = (1000 % steps) * 2;
    if (rest2 > steps || (rest2 == steps && whole % 2 == 1))
        return whole + 1;
    return whole;
}

} // namespace qw
