#pragma once

#include <filesystem>
#include <string>

namespace velmora::resources {

// Writes the DVD menu themes into `themeFolder` (R/theme): one folder each,
// named "NN_name" so that the folder order is the catalogue order, holding
// config.xml (picture names relative to the folder), background.jpg,
// preview.jpg, frame.png, previous.png and next.png. When `looksFolder` is
// not empty, a full-size sample page of every theme is written there too,
// for looking at while the themes are being drawn.
bool writeMenuThemes(const std::filesystem::path& themeFolder,
                     const std::filesystem::path& looksFolder, std::string* reason);

}  // namespace velmora::resources
