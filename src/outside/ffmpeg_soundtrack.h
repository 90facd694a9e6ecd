#pragma once

#include <filesystem>
#include <string>

#include "outside/ffmpeg_file_input.h"
#include "outside/ffmpeg_handles.h"

namespace velmora {

// The soundtrack stream of a DVD program stream being written: the MP2
// frames of a soundtrack file copied as they are (PAL) or transcoded to
// AC-3 at 192 kbit/s (NTSC, where players expect AC-3 or LPCM), written
// interleaved with the video and cut where the video ends.
class FfmpegSoundtrack {
  public:
    // Adds the sound stream to `output` (before its header is written).
    // False with error() set when the soundtrack cannot be read (errorCode()
    // 1 when it is not a regular file).
    bool open(AVFormatContext* output, const std::filesystem::path& soundtrack, bool toAc3);
    // Writes the sound that starts before `seconds`; a packet read beyond
    // waits for the next call, and what lies beyond the end of the video is
    // never written.
    bool writeUntil(double seconds);
    // Flushes the AC-3 encoder (before the trailer is written).
    bool finish();

    const std::string& error() const { return error_; }
    int errorCode() const { return errorCode_; }

  private:
    bool fail(int code, const std::string& what);
    bool write(AVPacket* packet, AVRational from);
    bool encodeAc3(bool flush);
    bool sendAc3(const AVFrame* frame);
    bool transcode(AVPacket* packet);

    AVFormatContext* output_ = nullptr;
    AVStream* stream_ = nullptr;
    FileInput input_;
    int inputStream_ = -1;
    bool toAc3_ = false;
    CodecContextPtr decoder_;  // AC-3: the MP2 decoded ...
    CodecContextPtr encoder_;  // ... and encoded again
    ResamplerPtr resampler_;
    AudioFifoPtr fifo_;
    FramePtr decoded_;
    FramePtr ac3Frame_;
    PacketPtr packet_;   // read from the soundtrack
    PacketPtr encoded_;  // AC-3 out
    int64_t ac3Samples_ = 0;
    bool pending_ = false;  // packet_ holds a packet read but not yet written
    bool ended_ = false;
    std::string error_;
    int errorCode_ = 0;
};

}  // namespace velmora
