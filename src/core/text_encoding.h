#pragma once

#include <string>
#include <string_view>

namespace velmora {

// UTF-16 little-endian bytes (without the byte-order mark) to UTF-8. The text
// ends at the first zero code unit, as a C string would; an odd last byte is
// ignored and an unpaired surrogate becomes U+FFFD.
std::string utf16leToUtf8(std::string_view bytes);

}  // namespace velmora
