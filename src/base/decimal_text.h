#pragma once

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace velmora {

// Decimal text as the C library's atoi reads it: leading white space and a
// sign, digits up to the first other character, 0 when there are none. Out
// of range values stop at the ends of int instead of overflowing.
inline int decimalValue(const std::string& text) {
    errno = 0;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX || (errno == ERANGE && value > 0)) return INT_MAX;
    if (value < INT_MIN || (errno == ERANGE && value < 0)) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace velmora
