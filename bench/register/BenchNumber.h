#pragma once
#include <string>

// v with `decimals` decimals, or `missing` when it is not a number.
std::string FormattedNumber(double v, int decimals, const char* missing);
