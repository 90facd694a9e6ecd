#pragma once

#include <QByteArray>
#include <filesystem>
#include <string>

namespace velmora::resources {

// The samples of the demonstration, in R/samples: eight photographs of a
// few megapixels (JPEG, quality 90), one of them in portrait format and one
// stored turned with an EXIF orientation tag that turns it upright again,
// and a short piece of music in samples/music. False with *reason when a
// file cannot be written.
bool writeSamples(const std::filesystem::path& folder, std::string* reason);

// The JPEG file `jpeg` with an Exif segment holding nothing but the
// Orientation tag (1..8, as in the Exif standard) inserted right after its
// start-of-image marker. Empty when `jpeg` does not begin with one.
QByteArray withExifOrientation(const QByteArray& jpeg, int orientation);

}  // namespace velmora::resources
