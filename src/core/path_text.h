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

// A name made fit to be one file name inside a folder: slideshow and page
// names come from the user and from project files, and a "/" in them must
// never lead out of the folder the file belongs in.
inline std::string fileNameSafe(std::string name) {
    for (char& c : name) {
        if (c == '/' || c == '\0') c = '_';
    }
    if (name.empty() || name == "." || name == "..") name = "_" + name;
    return name;
}

}  // namespace velmora
