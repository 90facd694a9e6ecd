#include "outside/ffmpeg_audio_converter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>

#include "core/event.h"
#include "core/log.h"
#include "core/path_text.h"
#include "outside/ffmpeg_handles.h"

namespace velmora {

namespace {

constexpr int kOutputRate = 48000;
constexpr int kOutputBitRate = 224000;
constexpr AVSampleFormat kOutputFormat = AV_SAMPLE_FMT_S16;

// The audio stream of a file with its decoder, handing out decoded frames.
class AudioDecoder {
  public:
    // 0 when the file has a decodable audio stream; otherwise 1 (no audio)
    // or FFmpeg's error code, with *reason set.
    int open(const std::filesystem::path& file, std::string* reason) {
        AVFormatContext* format = nullptr;
        int result = avformat_open_input(&format, file.c_str(), nullptr, nullptr);
        if (result < 0) {
            *reason = "not an audio file FFmpeg can read (" + ffmpegError(result) + ")";
            return result;
        }
        format_.reset(format);
        result = avformat_find_stream_info(format, nullptr);
        if (result < 0) {
            *reason = "the file's streams cannot be read (" + ffmpegError(result) + ")";
            return result;
        }
        const AVCodec* decoder = nullptr;
        stream_ = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
        if (stream_ < 0 || decoder == nullptr) {
            *reason = stream_ == AVERROR_DECODER_NOT_FOUND ? "there is no decoder for its sound"
                                                           : "the file holds no sound";
            return 1;
        }
        codec_.reset(avcodec_alloc_context3(decoder));
        packet_.reset(av_packet_alloc());
        if (!codec_ || !packet_) {
            *reason = "not enough memory";
            return AVERROR(ENOMEM);
        }
        result = avcodec_parameters_to_context(codec_.get(), format->streams[stream_]->codecpar);
        if (result >= 0) result = avcodec_open2(codec_.get(), decoder, nullptr);
        if (result < 0) {
            *reason = "the sound decoder cannot be started (" + ffmpegError(result) + ")";
            return result;
        }
        return 0;
    }

    // The next decoded frame: 0 when `frame` holds one, AVERROR_EOF at the
    // end. Damaged packets are skipped; a read error ends the input, so a
    // truncated file gives what it holds.
    int nextFrame(AVFrame* frame) {
        while (true) {
            const int received = avcodec_receive_frame(codec_.get(), frame);
            if (received != AVERROR(EAGAIN)) return received;
            if (flushing_) return AVERROR_EOF;
            if (av_read_frame(format_.get(), packet_.get()) < 0) {
                avcodec_send_packet(codec_.get(), nullptr);
                flushing_ = true;
                continue;
            }
            if (packet_->stream_index == stream_) avcodec_send_packet(codec_.get(), packet_.get());
            av_packet_unref(packet_.get());
        }
    }

    // Duration in seconds from the stream or the container; negative when
    // neither knows it.
    double statedSeconds() const {
        const AVStream* stream = format_->streams[stream_];
        if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
            return double(stream->duration) * av_q2d(stream->time_base);
        }
        if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
            return double(format_->duration) / AV_TIME_BASE;
        }
        return -1;
    }

  private:
    InputFormatPtr format_;
    CodecContextPtr codec_;
    PacketPtr packet_;
    int stream_ = -1;
    bool flushing_ = false;
};

// Files that do not say which channels they carry get the usual layout for
// their channel count, so the resampler knows how to mix them.
void giveChannelLayout(AVFrame* frame) {
    if (frame->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC) return;
    const int channels = frame->ch_layout.nb_channels;
    av_channel_layout_uninit(&frame->ch_layout);
    av_channel_layout_default(&frame->ch_layout, channels);
}

AVChannelLayout stereoLayout() {
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, 2);
    return layout;
}

// Resamples decoded audio to 48 kHz stereo 16-bit, encodes it as MPEG-1
// Layer II in frames of 1152 samples and writes the packets, bare, to a file.
class Mp2Encoder {
  public:
    int open(FILE* out, std::string* reason) {
        out_ = out;
        const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MP2);
        if (encoder == nullptr) {
            *reason = "FFmpeg has no MP2 encoder";
            return AVERROR_ENCODER_NOT_FOUND;
        }
        codec_.reset(avcodec_alloc_context3(encoder));
        packet_.reset(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        converted_.reset(av_frame_alloc());
        if (!codec_ || !packet_ || !frame_ || !converted_) {
            *reason = "not enough memory";
            return AVERROR(ENOMEM);
        }
        codec_->sample_rate = kOutputRate;
        codec_->sample_fmt = kOutputFormat;
        codec_->bit_rate = kOutputBitRate;
        av_channel_layout_copy(&codec_->ch_layout, &stereo_);
        int result = avcodec_open2(codec_.get(), encoder, nullptr);
        if (result < 0) {
            *reason = "the MP2 encoder cannot be started (" + ffmpegError(result) + ")";
            return result;
        }
        frame_->nb_samples = codec_->frame_size;
        frame_->format = kOutputFormat;
        frame_->sample_rate = kOutputRate;
        av_channel_layout_copy(&frame_->ch_layout, &stereo_);
        result = av_frame_get_buffer(frame_.get(), 0);
        fifo_.reset(av_audio_fifo_alloc(kOutputFormat, 2, codec_->frame_size * 4));
        if (result < 0 || !fifo_) {
            *reason = "not enough memory";
            return result < 0 ? result : AVERROR(ENOMEM);
        }
        return 0;
    }

    // Takes one decoded frame (or nullptr to drain the resampler).
    int add(AVFrame* decoded, std::string* reason) {
        if (decoded != nullptr) giveChannelLayout(decoded);
        if (decoded != nullptr && !resampler_) {
            const int result = startResampler(decoded, reason);
            if (result < 0) return result;
        }
        if (!resampler_) return 0;
        resetConverted();
        int result = swr_convert_frame(resampler_.get(), converted_.get(), decoded);
        if (result == AVERROR_INPUT_CHANGED && decoded != nullptr) {
            // The decoder changed rate or channels mid-stream.
            resampler_.reset();
            result = startResampler(decoded, reason);
            if (result < 0) return result;
            resetConverted();
            result = swr_convert_frame(resampler_.get(), converted_.get(), decoded);
        }
        if (result < 0) {
            *reason = "the sound cannot be resampled (" + ffmpegError(result) + ")";
            return result;
        }
        if (converted_->nb_samples > 0 &&
            av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(converted_->extended_data),
                                converted_->nb_samples) < converted_->nb_samples) {
            *reason = "not enough memory";
            return AVERROR(ENOMEM);
        }
        return encodeWhile(codec_->frame_size, reason);
    }

    // Encodes what is left, the last frame padded with silence, and drains
    // the encoder.
    int finish(std::string* reason) {
        int result = add(nullptr, reason);
        if (result < 0) return result;
        result = encodeWhile(1, reason);
        if (result < 0) return result;
        return sendFrame(nullptr, reason);
    }

    int64_t samplesWritten() const { return samplesWritten_; }

  private:
    int startResampler(AVFrame* decoded, std::string* reason) {
        SwrContext* resampler = nullptr;
        int result = swr_alloc_set_opts2(&resampler, &stereo_, kOutputFormat, kOutputRate,
                                         &decoded->ch_layout, AVSampleFormat(decoded->format),
                                         decoded->sample_rate, 0, nullptr);
        resampler_.reset(resampler);
        if (result >= 0) result = swr_init(resampler);
        if (result < 0) {
            *reason = "the sound cannot be resampled (" + ffmpegError(result) + ")";
            resampler_.reset();
        }
        return result;
    }

    void resetConverted() {
        av_frame_unref(converted_.get());
        converted_->format = kOutputFormat;
        converted_->sample_rate = kOutputRate;
        av_channel_layout_copy(&converted_->ch_layout, &stereo_);
    }

    // Encodes full frames while at least `minimum` samples wait; a short
    // last frame is padded with silence.
    int encodeWhile(int minimum, std::string* reason) {
        while (av_audio_fifo_size(fifo_.get()) >= minimum && av_audio_fifo_size(fifo_.get()) > 0) {
            int result = av_frame_make_writable(frame_.get());
            if (result < 0) return result;
            const int count = std::min(av_audio_fifo_size(fifo_.get()), codec_->frame_size);
            av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), count);
            if (count < codec_->frame_size) {
                av_samples_set_silence(frame_->data, count, codec_->frame_size - count, 2,
                                       kOutputFormat);
            }
            frame_->pts = samplesWritten_;
            samplesWritten_ += codec_->frame_size;
            result = sendFrame(frame_.get(), reason);
            if (result < 0) return result;
        }
        return 0;
    }

    int sendFrame(const AVFrame* frame, std::string* reason) {
        int result = avcodec_send_frame(codec_.get(), frame);
        if (result < 0) {
            *reason = "the MP2 encoder failed (" + ffmpegError(result) + ")";
            return result;
        }
        while ((result = avcodec_receive_packet(codec_.get(), packet_.get())) >= 0) {
            const size_t size = size_t(packet_->size);
            const bool written = std::fwrite(packet_->data, 1, size, out_) == size;
            av_packet_unref(packet_.get());
            if (!written) {
                *reason =
                    std::string("the target cannot be written (") + std::strerror(errno) + ")";
                return -1;
            }
        }
        return result == AVERROR(EAGAIN) || result == AVERROR_EOF ? 0 : result;
    }

    AVChannelLayout stereo_ = stereoLayout();
    FILE* out_ = nullptr;
    CodecContextPtr codec_;
    PacketPtr packet_;
    FramePtr frame_;
    FramePtr converted_;
    ResamplerPtr resampler_;
    AudioFifoPtr fifo_;
    int64_t samplesWritten_ = 0;
};

}  // namespace

FfmpegAudioConverter::FfmpegAudioConverter(const Log& log) : log_(log) {
    quietenFfmpeg();
}

int FfmpegAudioConverter::GetFileTimeLength(const std::filesystem::path& file) {
    AudioDecoder decoder;
    std::string reason;
    if (decoder.open(file, &reason) != 0) return 0;
    FramePtr frame(av_frame_alloc());
    if (!frame || decoder.nextFrame(frame.get()) != 0) return 0;  // nothing decodes
    double seconds = decoder.statedSeconds();
    if (seconds < 0) {
        // Neither stream nor container states it: count the samples.
        int64_t samples = frame->nb_samples;
        const int rate = frame->sample_rate;
        while (decoder.nextFrame(frame.get()) == 0)
            samples += frame->nb_samples;
        seconds = rate > 0 ? double(samples) / rate : 0;
    }
    return int(std::clamp(std::floor(seconds), 0.0, double(INT_MAX)));
}

int FfmpegAudioConverter::xToMp2(const std::filesystem::path& source,
                                 const std::filesystem::path& target, const Event& cancel) {
    std::string reason;
    const int result = convert(source, target, cancel, &reason);
    if (result != 0 && result != 2) {
        log_.writeLog("Cannot convert " + quotedPath(source) + " to MP2: " + reason);
    }
    return result;
}

int FfmpegAudioConverter::convert(const std::filesystem::path& source,
                                  const std::filesystem::path& target, const Event& cancel,
                                  std::string* reason) {
    AudioDecoder decoder;
    int result = decoder.open(source, reason);
    if (result != 0) return result;

    // Written under a temporary name and renamed when complete, so a failed
    // or cancelled conversion never leaves a file that looks finished.
    std::filesystem::path partial = target;
    partial += ".partial";
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(partial.c_str(), "wb"), &std::fclose);
    if (!out) {
        *reason = "cannot create " + quotedPath(partial) + " (" + std::strerror(errno) + ")";
        return -1;
    }
    auto discard = [&](int code) {
        out.reset();
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return code;
    };

    Mp2Encoder encoder;
    result = encoder.open(out.get(), reason);
    if (result < 0) return discard(result);
    FramePtr frame(av_frame_alloc());
    if (!frame) return discard(AVERROR(ENOMEM));
    while (true) {
        if (cancel.isSet()) return discard(2);
        result = decoder.nextFrame(frame.get());
        if (result == AVERROR_EOF) break;
        if (result < 0) {
            *reason = "the sound cannot be decoded (" + ffmpegError(result) + ")";
            return discard(result);
        }
        result = encoder.add(frame.get(), reason);
        av_frame_unref(frame.get());
        if (result < 0) return discard(result);
    }
    result = encoder.finish(reason);
    if (result < 0) return discard(result);
    if (encoder.samplesWritten() == 0) {
        *reason = "no sound could be decoded from it";
        return discard(1);
    }
    if (std::fflush(out.get()) != 0 || std::ferror(out.get()) != 0 ||
        std::fclose(out.release()) != 0) {
        *reason = std::string("the target cannot be written (") + std::strerror(errno) + ")";
        return discard(-1);
    }
    std::error_code error;
    std::filesystem::rename(partial, target, error);
    if (error) {
        *reason = "cannot write " + quotedPath(target) + " (" + error.message() + ")";
        return discard(-1);
    }
    return 0;
}

}  // namespace velmora
