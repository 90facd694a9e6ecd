#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora {

// Interleaved PCM as a sound output takes it.
struct PcmFormat {
    enum class Sample { UInt8, Int16, Int32, Float };

    int sampleRateHz = 48000;
    int channelCount = 2;
    Sample sample = Sample::Int16;

    int bytesPerSample() const {
        return sample == Sample::UInt8 ? 1 : sample == Sample::Int16 ? 2 : 4;
    }
    int bytesPerFrame() const { return bytesPerSample() * channelCount; }
};

// A sound file decoded and resampled to one PCM format, read as a stream of
// bytes: what a sound output is fed with, and what a test can capture
// without one. One thread at a time.
class AudioPcmStream {
  public:
    AudioPcmStream();
    ~AudioPcmStream();
    AudioPcmStream(const AudioPcmStream&) = delete;
    AudioPcmStream& operator=(const AudioPcmStream&) = delete;

    // Opens `file` to be read as `target` from its start; false with
    // *reason naming the file when it holds no sound FFmpeg can decode.
    bool open(const std::filesystem::path& file, const PcmFormat& target, std::string* reason);
    // Up to `maxBytes` of whole frames into `buffer`; 0 only at the end of
    // the sound (or when nothing is open). A decoding error ends the sound.
    size_t read(uint8_t* buffer, size_t maxBytes);
    // Back to the start of the sound; false with *reason when the file can
    // no longer be read.
    bool rewind(std::string* reason);

    // As the file states it; 0 when it does not or nothing is open.
    double durationSeconds() const { return durationSeconds_; }
    const PcmFormat& format() const { return target_; }

  private:
    struct Decoding;  // FFmpeg's side, kept out of this header

    bool decodeMore();

    std::filesystem::path file_;
    PcmFormat target_;
    std::unique_ptr<Decoding> decoding_;  // null at the end of the sound
    std::vector<uint8_t> pending_;        // converted bytes not yet read
    size_t pendingOffset_ = 0;
    double durationSeconds_ = 0;
};

// Reads an AudioPcmStream from its start on a thread of its own, keeping up
// to `aheadBytes` decoded ahead, so that the thread feeding a sound output
// only copies bytes and never waits for the decoder. The stream is the
// prefetcher's alone until it is destroyed; destruction stops the thread.
class PcmPrefetcher {
  public:
    PcmPrefetcher(AudioPcmStream& stream, size_t aheadBytes);
    ~PcmPrefetcher();
    PcmPrefetcher(const PcmPrefetcher&) = delete;
    PcmPrefetcher& operator=(const PcmPrefetcher&) = delete;

    // Up to `maxBytes` of what is decoded, without waiting; 0 when nothing
    // is ready yet or the sound is over.
    size_t take(uint8_t* buffer, size_t maxBytes);
    // Whether every byte of the sound has been taken.
    bool finished();

  private:
    void decodeAhead(AudioPcmStream& stream);

    const size_t aheadBytes_;
    std::mutex mutex_;
    std::condition_variable roomMade_;
    std::deque<uint8_t> ready_;  // guarded by mutex_
    bool ended_ = false;         // guarded by mutex_: the stream has no more
    std::atomic<bool> stopping_{false};
    std::thread worker_;  // last: started when everything it uses exists
};

}  // namespace velmora
