#include "base/text_encoding.h"

#include <cstdint>

namespace velmora {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

std::string utf16leToUtf8(std::string_view bytes) {
    constexpr char32_t kReplacement = 0xFFFD;
    const size_t unitCount = bytes.size() / 2;
    auto unitAt = [&](size_t i) -> char32_t {
        return static_cast<uint8_t>(bytes[2 * i]) |
               (static_cast<char32_t>(static_cast<uint8_t>(bytes[2 * i + 1])) << 8);
    };
    std::string out;
    out.reserve(unitCount);
    for (size_t i = 0; i < unitCount; ++i) {
        const char32_t unit = unitAt(i);
        if (unit == 0) break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < unitCount) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        appendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    return out;
}

std::string firstCharacters(std::string_view text, size_t maxCharacters) {
    size_t at = 0;
    for (size_t count = 0; count < maxCharacters && at < text.size(); ++count) {
        const auto lead = static_cast<uint8_t>(text[at]);
        size_t length = lead < 0x80    ? 1
                        : lead >= 0xF0 ? 4
                        : lead >= 0xE0 ? 3
                        : lead >= 0xC0 ? 2
                                       : 1;
        // A sequence cut short or broken counts as single bytes.
        for (size_t i = 1; i < length; ++i) {
            if (at + i >= text.size() || (static_cast<uint8_t>(text[at + i]) & 0xC0) != 0x80) {
                length = 1;
                break;
            }
        }
        at += length;
    }
    return std::string(text.substr(0, at));
}

}  // namespace velmora
