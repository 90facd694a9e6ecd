#pragma once

#include <string_view>

namespace velmora {

// Whether a file name is one a DVD-Video folder holds: VIDEO_TS.IFO/BUP/VOB
// and VTS_nn_n.IFO/BUP/VOB. Only such files are ever removed from a user's
// VIDEO_TS folder.
inline bool isDvdFileName(std::string_view name) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (name.size() != 12 || name[8] != '.') return false;
    const std::string_view extension = name.substr(9);
    if (extension != "IFO" && extension != "BUP" && extension != "VOB") return false;
    if (name.starts_with("VIDEO_TS")) return true;
    return name.starts_with("VTS_") && isDigit(name[4]) && isDigit(name[5]) && name[6] == '_' &&
           isDigit(name[7]);
}

}  // namespace velmora
