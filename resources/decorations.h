#pragma once

#include <filesystem>
#include <string>

namespace velmora::resources {

// The pictures the picture editor lays over a photo: one folder per
// category (Animal, Dress, Face, Mark, Other) of 120 × 120 cartoon shapes
// with a near-black outline. Each is an 8-bit palette PNG whose index 0 is
// the transparent ground. The editor also leaves out every pure black pixel,
// so the shapes use none.
//
// Writes <folder>/<category>/<name>.png for every decoration (the names are
// listed in resources/CMakeLists.txt too) and reads each back as the editor
// will.
bool writeDecorations(const std::filesystem::path& folder, std::string* reason);

}  // namespace velmora::resources
