#include "outside/audio_pcm_stream.h"

#include <algorithm>
#include <cstring>

#include "base/path_text.h"
#include "outside/ffmpeg_audio_decoder.h"
#include "outside/ffmpeg_handles.h"

namespace velmora {

namespace {

// The bytes the prefetcher decodes at a time: a few milliseconds of sound.
constexpr size_t kPrefetchChunkBytes = 4096;

AVSampleFormat ffmpegSampleFormat(PcmFormat::Sample sample) {
    switch (sample) {
        case PcmFormat::Sample::UInt8:
            return AV_SAMPLE_FMT_U8;
        case PcmFormat::Sample::Int16:
            return AV_SAMPLE_FMT_S16;
        case PcmFormat::Sample::Int32:
            return AV_SAMPLE_FMT_S32;
        case PcmFormat::Sample::Float:
            return AV_SAMPLE_FMT_FLT;
    }
    return AV_SAMPLE_FMT_S16;
}

AVChannelLayout defaultLayout(int channelCount) {
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channelCount);
    return layout;
}

// Files that do not say which channels they carry get the usual layout for
// their channel count, so the resampler knows how to mix them.
void giveChannelLayout(AVFrame* frame) {
    if (frame->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC) return;
    const int channels = frame->ch_layout.nb_channels;
    av_channel_layout_uninit(&frame->ch_layout);
    av_channel_layout_default(&frame->ch_layout, channels);
}

}  // namespace

// A file being decoded and resampled to the target format.
struct AudioPcmStream::Decoding {
    FfmpegAudioDecoder decoder;
    ResamplerPtr resampler;
    FramePtr decoded{av_frame_alloc()};
    FramePtr converted{av_frame_alloc()};

    bool startResampler(AVFrame* frame, const PcmFormat& target) {
        AVChannelLayout layout = defaultLayout(target.channelCount);
        SwrContext* context = nullptr;
        int result = swr_alloc_set_opts2(
            &context, &layout, ffmpegSampleFormat(target.sample), target.sampleRateHz,
            &frame->ch_layout, AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
        resampler.reset(context);
        if (result >= 0) result = swr_init(context);
        if (result < 0) resampler.reset();
        return result >= 0;
    }

    // Resamples `frame` (nullptr drains the resampler) onto `out`; false
    // when it cannot.
    bool convert(AVFrame* frame, const PcmFormat& target, std::vector<uint8_t>* out) {
        if (frame != nullptr) giveChannelLayout(frame);
        if (frame != nullptr && !resampler && !startResampler(frame, target)) return false;
        if (!resampler) return true;
        av_frame_unref(converted.get());
        converted->format = ffmpegSampleFormat(target.sample);
        converted->sample_rate = target.sampleRateHz;
        const AVChannelLayout layout = defaultLayout(target.channelCount);
        av_channel_layout_copy(&converted->ch_layout, &layout);
        int result = swr_convert_frame(resampler.get(), converted.get(), frame);
        if (result == AVERROR_INPUT_CHANGED && frame != nullptr) {
            // The decoder changed rate or channels mid-stream.
            if (!startResampler(frame, target)) return false;
            result = swr_convert_frame(resampler.get(), converted.get(), frame);
        }
        if (result < 0) return false;
        const size_t bytes = size_t(converted->nb_samples) * size_t(target.bytesPerFrame());
        const uint8_t* samples = converted->data[0];  // interleaved: one plane
        out->insert(out->end(), samples, samples + bytes);
        return true;
    }
};

AudioPcmStream::AudioPcmStream() = default;
AudioPcmStream::~AudioPcmStream() = default;

bool AudioPcmStream::open(const std::filesystem::path& file, const PcmFormat& target,
                          std::string* reason) {
    quietenFfmpeg();
    file_ = file;
    target_ = target;
    durationSeconds_ = 0;
    if (!rewind(reason)) return false;
    durationSeconds_ = std::max(decoding_->decoder.statedSeconds(), 0.0);
    return true;
}

// Opened anew rather than sought: only a fresh demuxer and decoder start
// exactly at the first sample in every format.
bool AudioPcmStream::rewind(std::string* reason) {
    decoding_.reset();
    pending_.clear();
    pendingOffset_ = 0;
    auto decoding = std::make_unique<Decoding>();
    std::string problem;
    if (!decoding->decoded || !decoding->converted) {
        problem = "not enough memory";
    } else if (decoding->decoder.open(file_, &problem) == 0) {
        decoding_ = std::move(decoding);
        return true;
    }
    *reason = "cannot play " + quotedPath(file_) + ": " + problem;
    return false;
}

size_t AudioPcmStream::read(uint8_t* buffer, size_t maxBytes) {
    const size_t frameBytes = size_t(target_.bytesPerFrame());
    const size_t wantedBytes = maxBytes - maxBytes % frameBytes;
    size_t filledBytes = 0;
    while (filledBytes < wantedBytes) {
        if (pendingOffset_ == pending_.size() && !decodeMore()) break;
        const size_t count = std::min(wantedBytes - filledBytes, pending_.size() - pendingOffset_);
        std::memcpy(buffer + filledBytes, pending_.data() + pendingOffset_, count);
        pendingOffset_ += count;
        filledBytes += count;
    }
    return filledBytes;
}

// Refills pending_ with the next converted frame; false at the end.
bool AudioPcmStream::decodeMore() {
    pending_.clear();
    pendingOffset_ = 0;
    while (decoding_ && pending_.empty()) {
        AVFrame* decoded = decoding_->decoded.get();
        if (decoding_->decoder.nextFrame(decoded) != 0) {
            // What the resampler still holds (its filter's delay) ends the sound.
            decoding_->convert(nullptr, target_, &pending_);
            decoding_.reset();
            break;
        }
        const bool converted = decoding_->convert(decoded, target_, &pending_);
        av_frame_unref(decoded);
        if (!converted) decoding_.reset();
    }
    return !pending_.empty();
}

PcmPrefetcher::PcmPrefetcher(AudioPcmStream& stream, size_t aheadBytes)
    : aheadBytes_(std::max(aheadBytes, kPrefetchChunkBytes)),
      worker_([this, &stream] { decodeAhead(stream); }) {}

PcmPrefetcher::~PcmPrefetcher() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    roomMade_.notify_all();
    worker_.join();
}

size_t PcmPrefetcher::take(uint8_t* buffer, size_t maxBytes) {
    size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        count = std::min(maxBytes, ready_.size());
        std::copy_n(ready_.begin(), count, buffer);
        ready_.erase(ready_.begin(), ready_.begin() + std::ptrdiff_t(count));
    }
    if (count > 0) roomMade_.notify_one();
    return count;
}

bool PcmPrefetcher::finished() {
    std::lock_guard lock(mutex_);
    return ended_ && ready_.empty();
}

void PcmPrefetcher::decodeAhead(AudioPcmStream& stream) {
    std::string ignored;  // a file gone since it was opened plays as silence
    const bool rewound = stream.rewind(&ignored);
    std::vector<uint8_t> chunk(kPrefetchChunkBytes);
    size_t count = rewound ? stream.read(chunk.data(), chunk.size()) : 0;
    while (count > 0) {
        std::unique_lock lock(mutex_);
        roomMade_.wait(lock, [&] { return stopping_ || ready_.size() + count <= aheadBytes_; });
        if (stopping_) return;
        ready_.insert(ready_.end(), chunk.begin(), chunk.begin() + std::ptrdiff_t(count));
        lock.unlock();
        count = stream.read(chunk.data(), chunk.size());
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
}

}  // namespace velmora
