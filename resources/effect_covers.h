#pragma once

#include <filesystem>
#include <string>

namespace velmora::resources {

// The two pictures the transition preview plays between, in menu_pic:
// 0.jpg (outgoing, a mountain lake) and 1.jpg (incoming, a sunset over the
// sea), 640 × 480, JPEG quality 90. False with *reason when one cannot be
// written.
bool writePreviewSamples(const std::filesystem::path& menuPicFolder, std::string* reason);

// The cover of every transition catalogue entry, 160 × 120, into `folder`
// under the entry's cover file name. A transition's cover is a frame of
// that transition under way (mostly its middle), played by the preview
// itself between the two preview samples in `samplesFolder` (written first
// by writePreviewSamples), so the covers show what the preview will play;
// Random's cover is a question mark over a few of the other covers. False
// with *reason on any failure.
bool writeEffectCovers(const std::filesystem::path& folder,
                       const std::filesystem::path& samplesFolder, std::string* reason);

}  // namespace velmora::resources
