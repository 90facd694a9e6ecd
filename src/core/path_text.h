#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// A path in double quotes, as messages name files.
inline std::string quotedPath(const std::filesystem::path& file) {
    std::string text = "\"";
    text += file.string();
    text += '"';
    return text;
}

}  // namespace velmora
