#include "BenchNumber.h"

#include <cmath>
#include <cstdio>

std::string FormattedNumber(double v, int decimals, const char* missing)
{
    if (std::isnan(v))
        return missing;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
    return buffer;
}
