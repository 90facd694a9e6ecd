#include "outside/ffmpeg_multiplexer.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>

#include "base/log.h"
#include "base/path_text.h"
#include "outside/ffmpeg_handles.h"
#include "outside/ffmpeg_soundtrack.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// One multiplexing run; the first failure is kept with its reason.
class MuxRun {
  public:
    explicit MuxRun(const fs::path& output) : partial_(output.string() + ".partial") {}

    bool run(const fs::path& videoPath, const fs::path& audioPath) {
        return openVideo(videoPath) && openOutput(audioPath) && copyVideo() && finish();
    }
    const fs::path& partial() const { return partial_; }
    const std::string& error() const { return error_; }
    int errorCode() const { return errorCode_; }
    void close() { output_.reset(); }

  private:
    bool fail(int code, const std::string& what) {
        if (error_.empty()) {
            error_ = what + " (" + ffmpegError(code) + ")";
            errorCode_ = code;
        }
        return false;
    }
    bool soundFailed() {
        if (error_.empty()) {
            error_ = sound_.error();
            errorCode_ = sound_.errorCode();
        }
        return false;
    }

    bool openVideo(const fs::path& videoPath) {
        AVDictionary* options = nullptr;
        av_dict_set(&options, "fflags", "+genpts", 0);  // a bare stream carries few timestamps
        AVFormatContext* input = nullptr;
        int result = avformat_open_input(&input, videoPath.c_str(), nullptr, &options);
        av_dict_free(&options);
        if (result < 0)
            return fail(result, "the menu video " + quotedPath(videoPath) + " cannot be read");
        input_.reset(input);
        result = avformat_find_stream_info(input, nullptr);
        if (result < 0) return fail(result, "the menu video cannot be read");
        videoStream_ = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (videoStream_ < 0)
            return fail(AVERROR_STREAM_NOT_FOUND, quotedPath(videoPath) + " holds no video");
        return true;
    }

    bool openOutput(const fs::path& audioPath) {
        AVFormatContext* raw = nullptr;
        int result = avformat_alloc_output_context2(&raw, nullptr, "dvd", partial_.c_str());
        if (result < 0) return fail(result, "no dvd muxer");
        output_.reset(raw);
        setDvdPacking(raw);
        const AVStream* source = input_->streams[videoStream_];
        video_ = avformat_new_stream(raw, nullptr);
        if (video_ == nullptr) return fail(AVERROR(ENOMEM), "memory");
        result = avcodec_parameters_copy(video_->codecpar, source->codecpar);
        if (result < 0) return fail(result, "video stream");
        video_->codecpar->codec_tag = 0;
        video_->time_base = source->time_base;
        // NTSC menus carry AC-3, as the NTSC slideshows do.
        const bool ntsc = source->codecpar->height == 480;
        if (!sound_.open(raw, audioPath, ntsc)) return soundFailed();
        result = avio_open(&raw->pb, partial_.c_str(), AVIO_FLAG_WRITE);
        if (result < 0) return fail(result, "cannot create " + quotedPath(partial_));
        result = avformat_write_header(raw, nullptr);
        if (result < 0) return fail(result, "the stream header cannot be written");
        return true;
    }

    bool copyVideo() {
        const AVStream* source = input_->streams[videoStream_];
        const int64_t start = source->start_time == AV_NOPTS_VALUE ? 0 : source->start_time;
        PacketPtr packet(av_packet_alloc());
        if (!packet) return fail(AVERROR(ENOMEM), "memory");
        while (av_read_frame(input_.get(), packet.get()) >= 0) {
            if (packet->stream_index != videoStream_) {
                av_packet_unref(packet.get());
                continue;
            }
            if (packet->pts != AV_NOPTS_VALUE) {
                const double end =
                    double(packet->pts - start + packet->duration) * av_q2d(source->time_base);
                videoSeconds_ = std::max(videoSeconds_, end);
            }
            av_packet_rescale_ts(packet.get(), source->time_base, video_->time_base);
            packet->stream_index = video_->index;
            const int result = av_interleaved_write_frame(output_.get(), packet.get());
            av_packet_unref(packet.get());
            if (result < 0) return fail(result, "the output cannot be written");
            if (!sound_.writeUntil(videoSeconds_)) return soundFailed();
        }
        return true;
    }

    bool finish() {
        if (!sound_.writeUntil(videoSeconds_) || !sound_.finish()) return soundFailed();
        const int result = av_write_trailer(output_.get());
        if (result < 0) return fail(result, "the output cannot be finished");
        return true;
    }

    fs::path partial_;
    InputFormatPtr input_;
    int videoStream_ = -1;
    OutputFormatPtr output_;
    AVStream* video_ = nullptr;
    FfmpegSoundtrack sound_;
    double videoSeconds_ = 0;
    std::string error_;
    int errorCode_ = 0;
};

}  // namespace

FfmpegMultiplexer::FfmpegMultiplexer(const Log& log) : log_(log) {
    quietenFfmpeg();
}

int FfmpegMultiplexer::Mplex(const fs::path& video, const fs::path& audio, const fs::path& output) {
    MuxRun run(output);
    bool ok = run.run(video, audio);
    run.close();  // the file is complete only once closed
    std::error_code error;
    if (ok) {
        fs::rename(run.partial(), output, error);
        if (!error) return 0;
    }
    fs::remove(run.partial(), error);
    log_.writeLog("Multiplexing " + quotedPath(output) + " failed: " +
                  (run.error().empty() ? "it cannot be renamed into place" : run.error()));
    return run.errorCode() != 0 ? run.errorCode() : -1;
}

}  // namespace velmora
