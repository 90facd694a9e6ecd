#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

class Log;
class Project;

// A picture file an import did not take, and why, in a fragment that
// follows the file's name ("is a FIFO, not a file", "cannot be loaded: the
// picture data is damaged (...)").
struct RefusedPicture {
    std::filesystem::path file;
    std::string reason;
};

struct ImportResult {
    int slideshowsAdded = 0;
    bool discLimitReached = false;  // the later folders were not imported
    std::vector<RefusedPicture> refusedPictures;
    // Folders passed over because the project holds as many slideshows as
    // it may, the disc is full, or no free slideshow name was left.
    std::vector<std::filesystem::path> foldersNotImported;
};

// The picture files of a folder that an import offers to its slideshow, in
// name order: its own entries (not its subfolders') with a picture
// extension, whatever they are; the slideshow refuses what is no picture.
std::vector<std::filesystem::path> importablePictures(const std::filesystem::path& folder);

// One slideshow per folder, named after the folder ("+" added until the
// name is free), with its pictures and the default music. A picture that
// would take the disc over its limit is taken back and the import stops
// after that folder, with the user told. A folder without pictures is
// passed over. Every picture not taken and every folder not imported is
// in the result and, with `log`, written to the log with the reason.
ImportResult importFolders(Project& project, const std::vector<std::filesystem::path>& folders,
                           const Log* log = nullptr);

}  // namespace velmora
