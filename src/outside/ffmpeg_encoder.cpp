#include "outside/ffmpeg_encoder.h"

extern "C" {
#include <libavutil/buffer.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cerrno>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

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

// An AVFrame's buffer that holds a shared frame: no copy is made on our
// side; the encoder keeps the frame (B-frames wait for the frame after
// them) or copies it into a picture of its own, and lets go of the share
// through here.
void releaseSharedFrame(void* holder, uint8_t*) {
    delete static_cast<SharedVideoFrame*>(holder);
}

// Moves the time code of the group header in `data` (an MPEG-2 picture with
// its headers) on by `frames`. The time code counts hours, minutes, seconds
// and pictures at the rounded frame rate; a copied group of a still must
// not repeat the time of the group it was copied from.
void advanceGroupTimeCode(uint8_t* data, int size, int frames, int framesPerSecond) {
    for (int i = 0; i + 8 <= size; ++i) {
        if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1 || data[i + 3] != 0xB8) continue;
        uint8_t* bits = data + i + 4;
        const uint32_t word = uint32_t(bits[0]) << 24 | uint32_t(bits[1]) << 16 |
                              uint32_t(bits[2]) << 8 | uint32_t(bits[3]);
        // drop(1) hours(5) minutes(6) marker(1) seconds(6) pictures(6), then
        // the closed and broken-link flags, kept as they are.
        const int hours = int(word >> 26) & 31, minutes = int(word >> 20) & 63;
        const int seconds = int(word >> 13) & 63, pictures = int(word >> 7) & 63;
        const int64_t total =
            ((int64_t(hours) * 60 + minutes) * 60 + seconds) * framesPerSecond + pictures + frames;
        const int64_t wholeSeconds = total / framesPerSecond;
        const uint32_t code = uint32_t((wholeSeconds / 3600) % 24) << 26 |
                              uint32_t((wholeSeconds / 60) % 60) << 20 | 1u << 19 |
                              uint32_t(wholeSeconds % 60) << 13 |
                              uint32_t(total % framesPerSecond) << 7;
        const uint32_t rewritten = (word & 0x8000007Fu) | code;
        for (int b = 0; b < 4; ++b)
            bits[b] = uint8_t(rewritten >> (24 - 8 * b));
        return;
    }
}

}  // namespace

struct FfmpegEncoder::Session {
    VideoFormat videoFormat;
    bool programStream = false;
    int outHeight = 0;
    AVRational frameRate{25, 1};
    fs::path output;
    fs::path partial;
    std::string error;
    int errorCode = 0;

    OutputFormatPtr format;
    AVStream* video = nullptr;
    CodecContextPtr videoCodec;
    FramePtr frame;  // refers to the frame being handed to the encoder
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
        // Slice threads (the only kind this encoder has) on every core but
        // one: the composing thread keeps the other busy. A whole run on two
        // cores (twenty photos, 3 s + 2 s, runs alternated): 1 thread 5.29 s
        // wall and 6.7 s of processor time (medians of three), 2 threads
        // 5.33 s and 7.3 s, 3 threads 5.52 s and 7.4 s.
        c.thread_count = std::clamp(int(std::thread::hardware_concurrency()) - 1, 1, 4);
        c.thread_type = FF_THREAD_SLICE;
        // Square-pixel canvases were stretched to 720 pixels: the pixels of
        // the DVD frame are not square.
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

        frame.reset(av_frame_alloc());
        packet.reset(av_packet_alloc());
        if (!frame || !packet) return fail(AVERROR(ENOMEM), "memory");
        return true;
    }

    bool writePacket(AVPacket* p, AVRational from, AVStream* stream) {
        av_packet_rescale_ts(p, from, stream->time_base);
        p->stream_index = stream->index;
        const int result = av_interleaved_write_frame(format.get(), p);
        if (result < 0) return fail(result, "the output cannot be written");
        return true;
    }

    // A still's repeated group: its packets as they left the encoder, from
    // frame keepFrom on.
    int64_t keepFrom = -1;
    std::vector<PacketPtr> keptGroup;
    bool videoFlushed = false;

    bool drainVideo() {
        int result = 0;
        while ((result = avcodec_receive_packet(videoCodec.get(), packet.get())) >= 0) {
            if (keepFrom >= 0 && packet->pts >= keepFrom) {
                keptGroup.emplace_back(av_packet_clone(packet.get()));
                if (!keptGroup.back()) return fail(AVERROR(ENOMEM), "memory");
            }
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

    // Points `frame` at the shared frame's planes, holding it until the
    // encoder lets go.
    bool refer(const SharedVideoFrame& shared) {
        if (!shared || shared->width() != kDvdWidth || shared->height() != outHeight)
            return fail(AVERROR(EINVAL), "a frame of the wrong size");
        av_frame_unref(frame.get());
        auto* holder = new SharedVideoFrame(shared);
        frame->buf[0] = av_buffer_create(const_cast<uint8_t*>(shared->y()), shared->bytes(),
                                         releaseSharedFrame, holder, AV_BUFFER_FLAG_READONLY);
        if (frame->buf[0] == nullptr) {
            delete holder;
            return fail(AVERROR(ENOMEM), "memory");
        }
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = kDvdWidth;
        frame->height = outHeight;
        frame->data[0] = const_cast<uint8_t*>(shared->y());
        frame->data[1] = const_cast<uint8_t*>(shared->u());
        frame->data[2] = const_cast<uint8_t*>(shared->v());
        frame->linesize[0] = shared->lumaStride();
        frame->linesize[1] = frame->linesize[2] = shared->chromaStride();
        return true;
    }

    bool encode(const SharedVideoFrame& shared) {
        if (!refer(shared)) return false;
        frame->pts = frameCount++;
        // A forced intra picture opens a new closed group: where the caller
        // asks, and wherever a group would otherwise grow longer than a DVD
        // allows.
        const bool opensGroup = groupStartsHere || framesInGroup >= videoFormat.maxGroupFrames();
        framesInGroup = opensGroup ? 1 : framesInGroup + 1;
        frame->pict_type = opensGroup ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
        groupStartsHere = false;
        const int result = avcodec_send_frame(videoCodec.get(), frame.get());
        av_frame_unref(frame.get());
        if (result < 0) return fail(result, "MPEG-2 encoding");
        if (!drainVideo()) return false;
        return !programStream || sound.writeUntil(videoSeconds()) || soundFailed();
    }

    // The encoder's last packets; no frame can follow.
    bool flushVideo() {
        if (videoFlushed) return true;
        videoFlushed = true;
        const int result = avcodec_send_frame(videoCodec.get(), nullptr);
        if (result < 0) return fail(result, "MPEG-2 encoding");
        return drainVideo();
    }

    // A still video of `count` frames: a first group of count mod G frames
    // and one whole group G are encoded; the encoder's stream ends there and
    // that whole group's packets are written again for the remaining
    // groups, their times moved on. A still's groups are closed and all the
    // same, so the stream decodes to the same pictures as one encoded frame
    // by frame, at a fraction of the time (a 60 s menu: 1500 frames).
    // Stopping when carryOn says so is no failure.
    bool encodeStill(const SharedVideoFrame& still, int count,
                     const std::function<bool(int)>& carryOn) {
        const int group = videoFormat.maxGroupFrames();
        const int lead = count % group;
        keepFrom = lead;
        for (int i = 0; i < lead + group; ++i) {
            if (i == 0 || i == lead) groupStartsHere = true;
            if (!encode(still)) return false;
            if (!carryOn(i + 1)) return true;
        }
        if (!flushVideo()) return false;
        keepFrom = -1;
        const int framesPerSecond = videoFormat.framesPerSecond();
        for (int start = lead + group; start < count; start += group) {
            for (const PacketPtr& kept : keptGroup) {
                PacketPtr copy(av_packet_clone(kept.get()));
                if (!copy || av_packet_make_writable(copy.get()) < 0)
                    return fail(AVERROR(ENOMEM), "memory");
                copy->pts += start - lead;
                copy->dts += start - lead;
                advanceGroupTimeCode(copy->data, copy->size, start - lead, framesPerSecond);
                if (!writePacket(copy.get(), videoCodec->time_base, video)) return false;
            }
            frameCount += group;
            if (!carryOn(start + group)) return true;
        }
        return true;
    }

    bool finish() {
        if (!flushVideo()) return false;
        if (programStream && (!sound.writeUntil(videoSeconds()) || !sound.finish()))
            return soundFailed();
        const int result = av_write_trailer(format.get());
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

int FfmpegEncoder::EncOneFrame(SharedVideoFrame frame) {
    if (!session_) return AVERROR(EINVAL);
    if (!session_->error.empty()) return session_->errorCode != 0 ? session_->errorCode : -1;
    if (!session_->encode(frame)) return session_->errorCode != 0 ? session_->errorCode : -1;
    return 0;
}

int FfmpegEncoder::encodeStillFrames(const SharedVideoFrame& frame, int frameCount,
                                     const std::function<bool(int)>& carryOn) {
    // Too short to gain from repeating a group, or a slideshow (whose every
    // frame the encoder gets): frame by frame.
    if (!session_ || session_->programStream ||
        frameCount < 3 * session_->videoFormat.maxGroupFrames())
        return EncoderLibrary::encodeStillFrames(frame, frameCount, carryOn);
    if (!session_->error.empty()) return session_->errorCode != 0 ? session_->errorCode : -1;
    if (!session_->encodeStill(frame, frameCount, carryOn))
        return session_->errorCode != 0 ? session_->errorCode : -1;
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
