#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "interfaces/encoder_library.h"

namespace velmora {

class Log;

// The MPEG-2 encoder on FFmpeg. Frames arrive at the size of the DVD frame
// (720 × 576 PAL at 25 frames a second, 720 × 480 NTSC at 30000/1001) and
// are encoded with the display aspect 4:3 or 16:9.
// A slideshow encode writes a DVD program stream (muxer "dvd", 2048-byte
// packs, mux rate 10.08 Mbit/s) with its soundtrack: the MP2 frames copied
// for PAL, transcoded to AC-3 at 192 kbit/s for NTSC (DVD-Video players
// expect AC-3 or LPCM there), cut at the end of the video. A still encode
// writes a bare MPEG-2 video stream. GOPs are closed, 15 (PAL) or 18 (NTSC)
// frames long. The file is written under a temporary name and appears under
// its own name only when closeEncoder succeeds.
class FfmpegEncoder final : public EncoderLibrary {
  public:
    explicit FfmpegEncoder(const Log& log);
    ~FfmpegEncoder() override;

    int initVobEncoder(const std::filesystem::path& soundtrack, const std::filesystem::path& output,
                       VideoFormat format) override;
    int initEncoder(const std::filesystem::path& output, VideoFormat format) override;
    int EncOneFrame(SharedVideoFrame frame) override;
    int encodeStillFrames(const SharedVideoFrame& frame, int frameCount,
                          const std::function<bool(int framesDone)>& carryOn) override;
    void startGroupAtNextFrame() override;
    int closeEncoder() override;

    // The average video bit rate: what the disc estimate allows per frame
    // (0.0208 MB PAL, 0.024 MB NTSC) less the sound of a program stream.
    static int64_t videoBitRate(TvStandard standard, bool withSound);

  private:
    struct Session;
    const Log& log_;
    std::unique_ptr<Session> session_;
};

}  // namespace velmora
