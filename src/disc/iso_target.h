#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// Whether `iso` may receive an ISO image: empty when it may, else a one-line
// reason that names the path. Asked before a build starts, so a bad --iso is
// found before hours of encoding, and again before the image is written.
//
// A missing file is fine when its folder exists and is writable (the image
// is made beside it and renamed into place). An existing ISO image (an
// ISO 9660 primary volume descriptor, "CD001" at byte 32769) is fine; any
// other existing file only with `force`. A folder, FIFO, device or socket is
// never fine. Links are followed for these checks.
std::string isoTargetProblem(const std::filesystem::path& iso, bool force);

}  // namespace velmora
