#pragma once

#include <cmath>

// Money is rounded to the cent in double precision and held as a single-precision float.
// std::rint follows the current rounding mode, which the program never changes: halves go to the
// even neighbour (0.125 gives 0.12, 0.375 gives 0.38).
inline float centsOf(double value)
{
    return static_cast<float>(std::rint(value * 100) / 100);
}
