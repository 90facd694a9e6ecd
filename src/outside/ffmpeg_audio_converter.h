#pragma once

#include <string>

#include "interfaces/audio_converter.h"

namespace velmora {

class Log;

// The audio converter on FFmpeg: whatever FFmpeg decodes (MP3, MP2, WAV,
// WMA, FLAC, Ogg, AAC ...), any rate and channel count, resampled to 48 kHz
// stereo and encoded with FFmpeg's MP2 encoder. Only regular files are
// read. Failures are logged with their reason.
class FfmpegAudioConverter final : public AudioConverterLibrary {
  public:
    explicit FfmpegAudioConverter(const Log& log);

    int GetFileTimeLength(const std::filesystem::path& file) override;
    int xToMp2(const std::filesystem::path& source, const std::filesystem::path& target,
               const Event& cancel, const ConversionLimit& limit = {}) override;

  private:
    int convert(const std::filesystem::path& source, const std::filesystem::path& target,
                const Event& cancel, const ConversionLimit& limit, std::string* reason);

    const Log& log_;
};

}  // namespace velmora
