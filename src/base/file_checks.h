#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora {

// Whether `file` names a regular file once links are followed. FIFOs,
// devices and sockets would block or never end when read, and folders are
// not files: for those (and for a file that is not there) the answer is
// false and *reason says why in a sentence fragment that follows the file's
// name in a message: "is a FIFO, not a file", "does not exist", "cannot be
// read: Permission denied". The functions below give the same fragments.
bool isRegularFile(const std::filesystem::path& file, std::string* reason);

// Opens `file` for reading without ever blocking in open() (a FIFO swapped
// in after a check would otherwise hang the program) and checks that what
// was opened is a regular file. The descriptor is blocking again on return.
// -1 with *reason set when it is not a regular file or cannot be opened.
int openRegularFile(const std::filesystem::path& file, std::string* reason);

// The size of a regular file in bytes; -1 with *reason set otherwise.
std::int64_t regularFileSize(const std::filesystem::path& file, std::string* reason);

}  // namespace velmora
