#pragma once

#include <filesystem>
#include <vector>

namespace velmora {

class Project;

struct ImportResult {
    int slideshowsAdded = 0;
    bool discLimitReached = false;  // the later folders were not imported
};

// The picture files of a folder that an import takes, in name order: its
// own files (not its subfolders') with a picture extension.
std::vector<std::filesystem::path> importablePictures(const std::filesystem::path& folder);

// One slideshow per folder, named after the folder ("+" added until the
// name is free), with its pictures and the default music. A picture that
// would take the disc over its limit is taken back and the import stops
// after that folder, with the user told. A folder without pictures is
// passed over.
ImportResult importFolders(Project& project, const std::vector<std::filesystem::path>& folders);

}  // namespace velmora
