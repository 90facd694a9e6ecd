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
// never lead out of the folder the file belongs in. "/", "%" and a zero
// character are written as %2F, %25 and %00, so two names never give one
// file name.
inline std::string fileNameSafe(const std::string& name) {
    std::string safe;
    for (char c : name) {
        if (c == '/') {
            safe += "%2F";
        } else if (c == '%') {
            safe += "%25";
        } else if (c == '\0') {
            safe += "%00";
        } else {
            safe += c;
        }
    }
    if (safe == "." || safe == "..") safe = "%2E" + safe.substr(1);
    return safe;
}

}  // namespace velmora
