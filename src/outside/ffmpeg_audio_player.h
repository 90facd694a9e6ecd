#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "outside/audio_pcm_stream.h"
#include "outside/audio_player.h"

class QAudioSink;
class QIODevice;
class QTimer;

namespace velmora {

// The audio player on FFmpeg and Qt Multimedia: whatever FFmpeg decodes,
// resampled to the format of the default sound output and played through a
// QAudioSink. A thread of its own decodes ahead; the user-interface thread,
// on a timer of its event loop, only copies decoded bytes into the sink.
class FfmpegAudioPlayer final : public AudioPlayer {
  public:
    FfmpegAudioPlayer();
    ~FfmpegAudioPlayer() override;
    FfmpegAudioPlayer(const FfmpegAudioPlayer&) = delete;
    FfmpegAudioPlayer& operator=(const FfmpegAudioPlayer&) = delete;

    bool initialise(std::string* reason) override;
    bool open(const std::filesystem::path& file, std::string* reason) override;
    double durationSeconds() const override;
    void playFromStart() override;
    void stop() override;

  private:
    void stopSound();
    void feedSink();

    PcmFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* sinkInput_ = nullptr;  // the sink's while it plays
    std::unique_ptr<QTimer> feedTimer_;
    std::unique_ptr<AudioPcmStream> stream_;
    std::unique_ptr<PcmPrefetcher> prefetcher_;  // while it plays; uses stream_
    std::vector<uint8_t> unsent_;                // taken, not yet accepted by the sink
};

}  // namespace velmora
