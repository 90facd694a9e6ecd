#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_descriptor.h"

namespace velmora {

// Every picture file is opened through here: only regular files are read,
// and opening never blocks, so a FIFO, a device or a socket given as a
// picture (or swapped in for one) is refused at once instead of hanging
// the program. Reasons are written to follow "Cannot load "<file>": ".

// The reason a loader gives for a file that is not a regular file
// ("it is a FIFO, not a file"); empty when it is one.
std::string checkPictureFile(const std::filesystem::path& file);

// The file opened for reading, or a closed one with *why set.
FileDescriptor openPictureFile(const std::filesystem::path& file, std::string* why);

// Reads the whole file, or with `headBytes` only its first bytes. A whole
// file larger than any picture the program reads is refused.
bool readPictureBytes(const std::filesystem::path& file, std::vector<uint8_t>* bytes,
                      std::string* why, std::uintmax_t headBytes = 0);

}  // namespace velmora
