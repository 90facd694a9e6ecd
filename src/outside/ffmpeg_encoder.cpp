#include "outside/ffmpeg_encoder.h"

extern "C" {
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>

#include "base/log.h"
#include "base/path_text.h"
#include "interfaces/video_format.h"
#include "outside/ffmpeg_handles.h"
#include "outside/ffmpeg_soundtrack.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr int kDvdWidth = 720;
constexpr int kVbvBufferBits = 1835008;
constexpr int64_t kMaxVideoBitRate = 8000000;
constexpr int kAc3BitRate = 192000;
// What the disc estimate allows per frame, sound included: 0.0208 MB (PAL)
// and 0.024 MB (NTSC); a little goes to the pack and stream headers.
constexpr double kMegabyte = 1024.0 * 1024.0;
constexpr double kMuxOverhead = 0.96;

struct ScalerDeleter {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
using ScalerPtr = std::unique_ptr<SwsContext, ScalerDeleter>;

}  // namespace

struct FfmpegEncoder::Session {
    VideoFormat videoFormat;
    bool programStream = false;
    int inWidth = 0;
    int inHeight = 0;
    int outHeight = 0;
    AVRational frameRate{25, 1};
    fs::path output;
    fs::path partial;
    std::string error;
    int errorCode = 0;

    OutputFormatPtr format;
    AVStream* video = nullptr;
    CodecContextPtr videoCodec;
    ScalerPtr scaler;
    FramePtr inFrame;
    FramePtr outFrame;
    PacketPtr packet;
    int64_t frameCount = 0;

    FfmpegSoundtrack sound;  // the soundtrack of a program stream

    bool fail(int code, const std::string& what) {
        if (error.empty()) {
            error = what + " (" + ffmpegError(code) + ")";
            errorCode = code;
        }
        return false;
    }

    double videoSeconds() const { return double(frameCount) / av_q2d(frameRate); }

    bool openVideo() {
        const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
        if (encoder == nullptr) return fail(AVERROR_ENCODER_NOT_FOUND, "no MPEG-2 encoder");
        videoCodec.reset(avcodec_alloc_context3(encoder));
        AVCodecContext& c = *videoCodec;
        c.width = kDvdWidth;
        c.height = outHeight;
        c.pix_fmt = AV_PIX_FMT_YUV420P;
        c.time_base = av_inv_q(frameRate);
        c.framerate = frameRate;
        // The groups are cut by encode() (see there); the library's own
        // count, which with two B-frames and closed groups cuts at 3k + 1
        // frames (16 where 18 are allowed), is kept out of the way.
        c.gop_size = videoFormat.maxGroupFrames() + 1;
        c.max_b_frames = 2;
        c.flags |= AV_CODEC_FLAG_CLOSED_GOP;
        c.bit_rate = FfmpegEncoder::videoBitRate(videoFormat.standard, programStream);
        c.rc_max_rate = kMaxVideoBitRate;
        c.rc_buffer_size = kVbvBufferBits;
        // A slideshow takes exactly its share of the disc as estimated
        // (constant rate): one pass over a short slideshow cannot hold an
        // average, and calm pictures came out at 0.6 of the estimate while
        // a floor alone let busy ones run 1.3 over it, which could overfill
        // a full disc. Menu stills need little and are left variable.
        if (programStream) c.rc_min_rate = c.rc_max_rate = c.bit_rate;
        c.thread_count = 2;
        // Square-pixel canvases stretched to 720 pixels: the pixels of the
        // DVD frame are not square.
        const AVRational display = videoFormat.isWide() ? AVRational{16, 9} : AVRational{4, 3};
        c.sample_aspect_ratio = av_div_q(display, AVRational{kDvdWidth, outHeight});
        if (format->oformat->flags & AVFMT_GLOBALHEADER) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        // Closed GOPs of a fixed length: no extra I-frames at scene changes.
        av_opt_set_int(c.priv_data, "sc_threshold", 1000000000, 0);
        int result = avcodec_open2(&c, encoder, nullptr);
        if (result < 0) return fail(result, "the MPEG-2 encoder cannot be started");
        video = avformat_new_stream(format.get(), nullptr);
        if (video == nullptr) return fail(AVERROR(ENOMEM), "no video stream");
        video->time_base = c.time_base;
        video->sample_aspect_ratio = c.sample_aspect_ratio;
        result = avcodec_parameters_from_context(video->codecpar, &c);
        if (result < 0) return fail(result, "video stream");

        scaler.reset(sws_getContext(inWidth, inHeight, AV_PIX_FMT_YUV420P, kDvdWidth, outHeight,
                                    AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
        inFrame.reset(av_frame_alloc());
        outFrame.reset(av_frame_alloc());
        packet.reset(av_packet_alloc());
        if (!scaler || !inFrame || !outFrame || !packet) return fail(AVERROR(ENOMEM), "memory");
        outFrame->format = AV_PIX_FMT_YUV420P;
        outFrame->width = kDvdWidth;
        outFrame->height = outHeight;
        result = av_frame_get_buffer(outFrame.get(), 0);
        if (result < 0) return fail(result, "memory");
        return true;
    }

    bool writePacket(AVPacket* p, AVRational from, AVStream* stream) {
        av_packet_rescale_ts(p, from, stream->time_base);
        p->stream_index = stream->index;
        const int result = av_interleaved_write_frame(format.get(), p);
        if (result < 0) return fail(result, "the output cannot be written");
        return true;
    }

    bool drainVideo() {
        int result = 0;
        while ((result = avcodec_receive_packet(videoCodec.get(), packet.get())) >= 0) {
            if (!writePacket(packet.get(), videoCodec->time_base, video)) return false;
        }
        return result == AVERROR(EAGAIN) || result == AVERROR_EOF ||
               fail(result, "MPEG-2 encoding");
    }

    // Takes over the soundtrack's error.
    bool soundFailed() {
        if (error.empty()) {
            error = sound.error();
            errorCode = sound.errorCode();
        }
        return false;
    }

    bool headerWritten = false;
    bool groupStartsHere = false;
    int framesInGroup = 0;  // the frames sent since the last group began

    void configure(const fs::path& target, VideoFormat formatOfVideo, bool withSound) {
        videoFormat = formatOfVideo;
        programStream = withSound;
        const ComposedFrameSize canvas = videoFormat.composedFrameSize();
        inWidth = canvas.width;
        inHeight = canvas.height;
        outHeight = videoFormat.dvdFrameHeight();
        frameRate = videoFormat.isPal() ? AVRational{25, 1} : AVRational{30000, 1001};
        output = target;
        partial = target;
        partial += ".partial";
    }

    bool open(const char* muxer, const fs::path& soundtrack) {
        AVFormatContext* raw = nullptr;
        int result = avformat_alloc_output_context2(&raw, nullptr, muxer, partial.c_str());
        if (result < 0) return fail(result, "no " + std::string(muxer) + " muxer");
        format.reset(raw);
        if (programStream) {
            setDvdPacking(raw);
        }
        if (!openVideo()) return false;
        if (programStream && !sound.open(raw, soundtrack, !videoFormat.isPal()))
            return soundFailed();
        result = avio_open(&raw->pb, partial.c_str(), AVIO_FLAG_WRITE);
        if (result < 0) return fail(result, "cannot create " + quotedPath(partial));
        result = avformat_write_header(raw, nullptr);
        if (result < 0) return fail(result, "the stream header cannot be written");
        headerWritten = true;
        return true;
    }

    bool encode(const uint8_t* planar) {
        const uint8_t* source[3] = {planar, planar + inWidth * inHeight,
                                    planar + inWidth * inHeight * 5 / 4};
        const int strides[3] = {inWidth, inWidth / 2, inWidth / 2};
        int result = av_frame_make_writable(outFrame.get());
        if (result < 0) return fail(result, "memory");
        sws_scale(scaler.get(), source, strides, 0, inHeight, outFrame->data, outFrame->linesize);
        outFrame->pts = frameCount++;
        // A forced intra picture opens a new closed group: where the caller
        // asks, and wherever a group would otherwise grow longer than a DVD
        // allows.
        const bool opensGroup = groupStartsHere || framesInGroup >= videoFormat.maxGroupFrames();
        framesInGroup = opensGroup ? 1 : framesInGroup + 1;
        outFrame->pict_type = opensGroup ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
        groupStartsHere = false;
        result = avcodec_send_frame(videoCodec.get(), outFrame.get());
        if (result < 0) return fail(result, "MPEG-2 encoding");
        if (!drainVideo()) return false;
        return !programStream || sound.writeUntil(videoSeconds()) || soundFailed();
    }

    bool finish() {
        int result = avcodec_send_frame(videoCodec.get(), nullptr);
        if (result < 0) return fail(result, "MPEG-2 encoding");
        if (!drainVideo()) return false;
        if (programStream && (!sound.writeUntil(videoSeconds()) || !sound.finish()))
            return soundFailed();
        result = av_write_trailer(format.get());
        if (result < 0) return fail(result, "the output cannot be finished");
        return true;
    }
};

int64_t FfmpegEncoder::videoBitRate(TvStandard standard, bool withSound) {
    const bool isPal = standard == TvStandard::Pal;
    const double framesPerSecond = isPal ? 25.0 : 30000.0 / 1001.0;
    const double frameBytes = (isPal ? 0.0208 : 0.024) * kMegabyte;
    const double totalBits = frameBytes * 8 * framesPerSecond * kMuxOverhead;
    const double soundBits = isPal ? 224000 : kAc3BitRate;
    return withSound ? int64_t(totalBits - soundBits) : int64_t(totalBits);
}

FfmpegEncoder::FfmpegEncoder(const Log& log) : log_(log) {
    quietenFfmpeg();
}
FfmpegEncoder::~FfmpegEncoder() {
    // An encode never closed is not finished: its partial file goes.
    if (!session_) return;
    const fs::path partial = session_->partial;
    session_.reset();
    std::error_code ignored;
    fs::remove(partial, ignored);
}

int FfmpegEncoder::initVobEncoder(const fs::path& soundtrack, const fs::path& output,
                                  VideoFormat format) {
    closeEncoder();
    session_ = std::make_unique<Session>();
    session_->configure(output, format, true);
    if (!session_->open("dvd", soundtrack)) {
        session_->errorCode = session_->errorCode != 0 ? session_->errorCode : -1;
        return session_->errorCode;
    }
    return 0;
}

int FfmpegEncoder::initEncoder(const fs::path& output, VideoFormat format) {
    closeEncoder();
    session_ = std::make_unique<Session>();
    session_->configure(output, format, false);
    if (!session_->open("mpeg2video", {})) {
        session_->errorCode = session_->errorCode != 0 ? session_->errorCode : -1;
        return session_->errorCode;
    }
    return 0;
}

void FfmpegEncoder::startGroupAtNextFrame() {
    if (session_) session_->groupStartsHere = true;
}

int FfmpegEncoder::EncOneFrame(const uint8_t* planarFrame) {
    if (!session_) return AVERROR(EINVAL);
    if (!session_->error.empty()) return session_->errorCode != 0 ? session_->errorCode : -1;
    if (!session_->encode(planarFrame)) return session_->errorCode != 0 ? session_->errorCode : -1;
    return 0;
}

int FfmpegEncoder::closeEncoder() {
    if (!session_) return 0;
    Session& session = *session_;
    bool ok = session.error.empty() && session.headerWritten && session.finish();
    session.format.reset();  // closes the file
    std::error_code error;
    if (ok) {
        fs::rename(session.partial, session.output, error);
        if (error) ok = session.fail(AVERROR(EIO), "cannot write " + quotedPath(session.output));
    }
    int result = 0;
    if (!ok) {
        fs::remove(session.partial, error);
        log_.writeLog("Encoding " + quotedPath(session.output) + " failed: " + session.error);
        result = session.errorCode != 0 ? session.errorCode : -1;
    }
    session_.reset();
    return result;
}

}  // namespace velmora
