#pragma once

#include <cerrno>
#include <filesystem>
#include <string>

#include "outside/ffmpeg_file_input.h"
#include "outside/ffmpeg_handles.h"

namespace velmora {

// The audio stream of a file with its decoder, handing out decoded frames.
class FfmpegAudioDecoder {
  public:
    // 0 when the file has a decodable audio stream; otherwise 1 (not a
    // regular file, or no audio) or FFmpeg's error code, with *reason set in
    // words that follow a file's name and a colon.
    int open(const std::filesystem::path& file, std::string* reason) {
        int result = input_.open(file, reason);
        if (result == 1) return 1;
        if (result < 0) {
            *reason = "not an audio file FFmpeg can read (" + ffmpegError(result) + ")";
            return result;
        }
        AVFormatContext* format = input_.format();
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
            if (av_read_frame(input_.format(), packet_.get()) < 0) {
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
        const AVFormatContext* format = input_.format();
        const AVStream* stream = format->streams[stream_];
        if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
            return double(stream->duration) * av_q2d(stream->time_base);
        }
        if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
            return double(format->duration) / AV_TIME_BASE;
        }
        return -1;
    }

  private:
    FileInput input_;
    CodecContextPtr codec_;
    PacketPtr packet_;
    int stream_ = -1;
    bool flushing_ = false;
};

}  // namespace velmora
