#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace velmora {

// Deletes a file a build stage makes or has consumed; a file that is not
// there (a stage that did not get to it) is no failure.
inline void removeStageFile(const std::filesystem::path& file) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

// A stage's closing log line: its text followed by the stage's result.
inline std::string withReturnValue(const char* text, int result) {
    return std::string(text) + std::to_string(result);
}

}  // namespace velmora
