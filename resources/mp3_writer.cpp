#include "mp3_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>

#include "outside/ffmpeg_handles.h"

namespace velmora::resources {

namespace {

struct OutputFormatDeleter {
    void operator()(AVFormatContext* context) const {
        if (context->pb != nullptr) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};

bool failed(int code, const char* what, std::string* reason) {
    if (code >= 0) return false;
    *reason = std::string(what) + ": " + ffmpegError(code);
    return true;
}

}  // namespace

bool writeMp3(const std::filesystem::path& file, const StereoSound& sound, std::string* reason) {
    AVFormatContext* rawFormat = nullptr;
    if (failed(avformat_alloc_output_context2(&rawFormat, nullptr, "mp3", file.c_str()),
               "no MP3 muxer", reason)) {
        return false;
    }
    std::unique_ptr<AVFormatContext, OutputFormatDeleter> format(rawFormat);
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MP3);
    if (encoder == nullptr) {
        *reason = "FFmpeg has no MP3 encoder";
        return false;
    }
    CodecContextPtr codec(avcodec_alloc_context3(encoder));
    codec->sample_rate = sound.sampleRate;
    codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    codec->bit_rate = 192000;
    av_channel_layout_default(&codec->ch_layout, 2);
    if (format->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (failed(avcodec_open2(codec.get(), encoder, nullptr), "the MP3 encoder", reason))
        return false;
    AVStream* stream = avformat_new_stream(format.get(), nullptr);
    if (stream == nullptr ||
        failed(avcodec_parameters_from_context(stream->codecpar, codec.get()), "stream", reason) ||
        failed(avio_open(&format->pb, file.c_str(), AVIO_FLAG_WRITE), "cannot create the file",
               reason) ||
        failed(avformat_write_header(format.get(), nullptr), "header", reason)) {
        return false;
    }
    stream->time_base = AVRational{1, sound.sampleRate};

    FramePtr frame(av_frame_alloc());
    PacketPtr packet(av_packet_alloc());
    frame->nb_samples = codec->frame_size;
    frame->format = codec->sample_fmt;
    frame->sample_rate = codec->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    if (failed(av_frame_get_buffer(frame.get(), 0), "frame", reason)) return false;

    auto drain = [&]() -> bool {
        int result = 0;
        while ((result = avcodec_receive_packet(codec.get(), packet.get())) >= 0) {
            av_packet_rescale_ts(packet.get(), codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (failed(av_interleaved_write_frame(format.get(), packet.get()), "write", reason))
                return false;
        }
        return result == AVERROR(EAGAIN) || result == AVERROR_EOF ||
               !failed(result, "encode", reason);
    };

    const int64_t frames = int64_t(sound.samples.size() / 2);
    for (int64_t start = 0; start < frames; start += codec->frame_size) {
        if (failed(av_frame_make_writable(frame.get()), "frame", reason)) return false;
        auto* left = reinterpret_cast<float*>(frame->data[0]);
        auto* right = reinterpret_cast<float*>(frame->data[1]);
        for (int i = 0; i < codec->frame_size; ++i) {
            const int64_t at = start + i;
            left[i] = at < frames ? sound.samples[size_t(at) * 2] : 0.0f;
            right[i] = at < frames ? sound.samples[size_t(at) * 2 + 1] : 0.0f;
        }
        frame->pts = start;
        if (failed(avcodec_send_frame(codec.get(), frame.get()), "encode", reason) || !drain())
            return false;
    }
    if (failed(avcodec_send_frame(codec.get(), nullptr), "encode", reason) || !drain())
        return false;
    return !failed(av_write_trailer(format.get()), "trailer", reason);
}

bool writeWav(const std::filesystem::path& file, const StereoSound& sound, std::string* reason) {
    std::ofstream out(file, std::ios::binary);
    auto put = [&](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.put(char((value >> (8 * i)) & 0xFF));
    };
    const uint32_t dataBytes = uint32_t(sound.samples.size() * 2);
    out.write("RIFF", 4);
    put(36 + dataBytes, 4);
    out.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);  // PCM
    put(2, 2);
    put(uint32_t(sound.sampleRate), 4);
    put(uint32_t(sound.sampleRate) * 4, 4);
    put(4, 2);
    put(16, 2);
    out.write("data", 4);
    put(dataBytes, 4);
    for (float sample : sound.samples) {
        put(uint32_t(uint16_t(int16_t(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767)))), 2);
    }
    if (!out) *reason = "cannot write " + file.string();
    return bool(out);
}

}  // namespace velmora::resources
