#include "outside/ffmpeg_soundtrack.h"

#include <algorithm>
#include <cerrno>

#include "base/path_text.h"

namespace velmora {

namespace {
constexpr int kAc3BitRate = 192000;
}

bool FfmpegSoundtrack::fail(int code, const std::string& what) {
    if (error_.empty()) {
        error_ = what + " (" + ffmpegError(code) + ")";
        errorCode_ = code;
    }
    return false;
}

bool FfmpegSoundtrack::open(AVFormatContext* output, const std::filesystem::path& soundtrack,
                            bool toAc3) {
    output_ = output;
    toAc3_ = toAc3;
    std::string reason;
    int result = input_.open(soundtrack, &reason);
    if (result == 1) {
        error_ = "the soundtrack " + quotedPath(soundtrack) + " cannot be read: " + reason;
        errorCode_ = 1;
        return false;
    }
    if (result < 0)
        return fail(result, "the soundtrack " + quotedPath(soundtrack) + " cannot be read");
    AVFormatContext* input = input_.format();
    result = avformat_find_stream_info(input, nullptr);
    if (result < 0) return fail(result, "the soundtrack cannot be read");
    const AVCodec* decoder = nullptr;
    inputStream_ = av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (inputStream_ < 0 || decoder == nullptr)
        return fail(AVERROR_STREAM_NOT_FOUND, "the soundtrack holds no sound");
    stream_ = avformat_new_stream(output, nullptr);
    packet_.reset(av_packet_alloc());
    if (stream_ == nullptr || !packet_) return fail(AVERROR(ENOMEM), "memory");
    const AVStream* source = input->streams[inputStream_];
    if (!toAc3) {
        // The MP2 frames go in as they are.
        result = avcodec_parameters_copy(stream_->codecpar, source->codecpar);
        if (result < 0) return fail(result, "sound stream");
        stream_->codecpar->codec_tag = 0;
        stream_->time_base = source->time_base;
        return true;
    }
    decoder_.reset(avcodec_alloc_context3(decoder));
    result = avcodec_parameters_to_context(decoder_.get(), source->codecpar);
    if (result >= 0) result = avcodec_open2(decoder_.get(), decoder, nullptr);
    if (result < 0) return fail(result, "the soundtrack cannot be decoded");
    const AVCodec* ac3 = avcodec_find_encoder(AV_CODEC_ID_AC3);
    if (ac3 == nullptr) return fail(AVERROR_ENCODER_NOT_FOUND, "no AC-3 encoder");
    encoder_.reset(avcodec_alloc_context3(ac3));
    AVCodecContext& c = *encoder_;
    c.sample_rate = 48000;
    c.sample_fmt = AV_SAMPLE_FMT_FLTP;
    c.bit_rate = kAc3BitRate;
    av_channel_layout_default(&c.ch_layout, 2);
    c.time_base = AVRational{1, 48000};
    result = avcodec_open2(&c, ac3, nullptr);
    if (result < 0) return fail(result, "the AC-3 encoder cannot be started");
    result = avcodec_parameters_from_context(stream_->codecpar, &c);
    if (result < 0) return fail(result, "sound stream");
    stream_->time_base = c.time_base;
    fifo_.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, 2, c.frame_size * 4));
    decoded_.reset(av_frame_alloc());
    ac3Frame_.reset(av_frame_alloc());
    encoded_.reset(av_packet_alloc());
    if (!fifo_ || !decoded_ || !ac3Frame_ || !encoded_) return fail(AVERROR(ENOMEM), "memory");
    ac3Frame_->nb_samples = c.frame_size;
    ac3Frame_->format = c.sample_fmt;
    ac3Frame_->sample_rate = c.sample_rate;
    av_channel_layout_copy(&ac3Frame_->ch_layout, &c.ch_layout);
    result = av_frame_get_buffer(ac3Frame_.get(), 0);
    if (result < 0) return fail(result, "memory");
    return true;
}

bool FfmpegSoundtrack::write(AVPacket* packet, AVRational from) {
    av_packet_rescale_ts(packet, from, stream_->time_base);
    packet->stream_index = stream_->index;
    const int result = av_interleaved_write_frame(output_, packet);
    if (result < 0) return fail(result, "the output cannot be written");
    return true;
}

// AC-3 frames from the fifo; the last one padded with silence when `flush`.
bool FfmpegSoundtrack::encodeAc3(bool flush) {
    const int size = encoder_->frame_size;
    while (av_audio_fifo_size(fifo_.get()) >= size ||
           (flush && av_audio_fifo_size(fifo_.get()) > 0)) {
        av_frame_make_writable(ac3Frame_.get());
        const int count = std::min(size, av_audio_fifo_size(fifo_.get()));
        av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(ac3Frame_->data), count);
        if (count < size)
            av_samples_set_silence(ac3Frame_->data, count, size - count, 2, AV_SAMPLE_FMT_FLTP);
        ac3Frame_->pts = ac3Samples_;
        ac3Samples_ += size;
        if (!sendAc3(ac3Frame_.get())) return false;
    }
    return true;
}

bool FfmpegSoundtrack::sendAc3(const AVFrame* frame) {
    int result = avcodec_send_frame(encoder_.get(), frame);
    if (result < 0) return fail(result, "AC-3 encoding");
    while ((result = avcodec_receive_packet(encoder_.get(), encoded_.get())) >= 0) {
        if (!write(encoded_.get(), encoder_->time_base)) return false;
    }
    return result == AVERROR(EAGAIN) || result == AVERROR_EOF || fail(result, "AC-3 encoding");
}

bool FfmpegSoundtrack::transcode(AVPacket* packet) {
    if (avcodec_send_packet(decoder_.get(), packet) < 0) return true;  // a damaged frame is skipped
    while (avcodec_receive_frame(decoder_.get(), decoded_.get()) >= 0) {
        if (!resampler_) {
            SwrContext* swr = nullptr;
            int result = swr_alloc_set_opts2(&swr, &encoder_->ch_layout, AV_SAMPLE_FMT_FLTP, 48000,
                                             &decoded_->ch_layout, AVSampleFormat(decoded_->format),
                                             decoded_->sample_rate, 0, nullptr);
            resampler_.reset(swr);
            if (result >= 0) result = swr_init(swr);
            if (result < 0) return fail(result, "the soundtrack cannot be resampled");
        }
        uint8_t* planes[2] = {nullptr, nullptr};
        const int wanted = swr_get_out_samples(resampler_.get(), decoded_->nb_samples);
        if (av_samples_alloc(planes, nullptr, 2, wanted, AV_SAMPLE_FMT_FLTP, 0) < 0)
            return fail(AVERROR(ENOMEM), "memory");
        const int got =
            swr_convert(resampler_.get(), planes, wanted,
                        const_cast<const uint8_t**>(decoded_->extended_data), decoded_->nb_samples);
        if (got > 0) av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(planes), got);
        av_freep(&planes[0]);
        av_frame_unref(decoded_.get());
        if (!encodeAc3(false)) return false;
    }
    return true;
}

bool FfmpegSoundtrack::writeUntil(double seconds) {
    if (stream_ == nullptr) return true;
    const AVStream* source = input_.format()->streams[inputStream_];
    while (!ended_) {
        if (!pending_) {
            if (av_read_frame(input_.format(), packet_.get()) < 0) {
                ended_ = true;
                break;
            }
            if (packet_->stream_index != inputStream_) {
                av_packet_unref(packet_.get());
                continue;
            }
            pending_ = true;
        }
        const double start =
            packet_->pts == AV_NOPTS_VALUE ? 0 : double(packet_->pts) * av_q2d(source->time_base);
        if (start >= seconds) break;
        const bool ok = toAc3_ ? transcode(packet_.get()) : write(packet_.get(), source->time_base);
        av_packet_unref(packet_.get());
        pending_ = false;
        if (!ok) return false;
    }
    return true;
}

bool FfmpegSoundtrack::finish() {
    if (!encoder_) return true;
    return encodeAc3(true) && sendAc3(nullptr);
}

}  // namespace velmora
