#pragma once

#include <string>
#include <string_view>

namespace velmora {

// UTF-16 little-endian bytes (without the byte-order mark) to UTF-8. The text
// ends at the first zero code unit, as a C string would; an odd last byte is
// ignored and an unpaired surrogate becomes U+FFFD.
std::string utf16leToUtf8(std::string_view bytes);

// The first `maxCharacters` characters of UTF-8 text, never cutting into a
// multi-byte sequence (names of at most 15 characters, face names of 31,
// tooltips of 80). Bytes that are not valid UTF-8 count one each.
std::string firstCharacters(std::string_view text, size_t maxCharacters);

}  // namespace velmora
