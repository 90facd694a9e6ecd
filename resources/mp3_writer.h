#pragma once

#include <filesystem>
#include <string>

#include "music_synthesis.h"

namespace velmora::resources {

// Encodes the sound as an MP3 file (LAME through FFmpeg, 192 kbit/s).
// False with *reason when it cannot.
bool writeMp3(const std::filesystem::path& file, const StereoSound& sound, std::string* reason);

// Writes the sound as a 16-bit PCM WAV file.
bool writeWav(const std::filesystem::path& file, const StereoSound& sound, std::string* reason);

}  // namespace velmora::resources
