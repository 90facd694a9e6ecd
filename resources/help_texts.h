#pragma once

#include <filesystem>
#include <string>

namespace velmora::resources {

// The tips the program shows at start and from the Help menu (Tips.txt: a
// few ";" comment lines, then one tip a line with its tab-separated fields),
// UTF-8. The manual is written by hand in resources/manual/.
bool writeHelpTexts(const std::filesystem::path& resourceFolder, std::string* reason);

}  // namespace velmora::resources
