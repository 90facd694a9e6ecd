#pragma once

#include "interfaces/multiplexer_library.h"

namespace velmora {

class Log;

// The multiplexer on libavformat's DVD muxer (2048-byte packs, 10.08
// Mbit/s): the video packets copied, the soundtrack copied (PAL) or
// transcoded to AC-3 (NTSC video, 480 lines), and cut where the video ends.
// The output appears under its name only when it was written completely.
class FfmpegMultiplexer final : public MultiplexerLibrary {
  public:
    explicit FfmpegMultiplexer(const Log& log);
    int Mplex(const std::filesystem::path& video, const std::filesystem::path& audio,
              const std::filesystem::path& output) override;

  private:
    const Log& log_;
};

}  // namespace velmora
