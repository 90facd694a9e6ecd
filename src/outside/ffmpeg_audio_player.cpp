#include "outside/ffmpeg_audio_player.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace velmora {

namespace {

// How often the sink is topped up, and how much sound is decoded ahead of
// it: enough to ride out slow decoding. What rides out a slow turn of the
// event loop is the sink's own buffer, below.
constexpr int kFeedIntervalMilliseconds = 20;
constexpr int kDecodedAheadMilliseconds = 500;
// Asked of the sound server at every start. Qt keeps the size the server
// granted last time and asks for that again, and the server grants less each
// time: without asking afresh, the buffer shrank with every track played
// (145 ms, 92, 66 ... 5 ms at the twelfth) and the sound broke up by the
// sixth. 500 ms rides out a 150 ms stall of the event loop without a gap;
// 250 ms did not.
constexpr int kSinkBufferMilliseconds = 500;

std::optional<PcmFormat> pcmFormatOf(const QAudioFormat& format) {
    PcmFormat pcm;
    pcm.sampleRateHz = format.sampleRate();
    pcm.channelCount = format.channelCount();
    switch (format.sampleFormat()) {
        case QAudioFormat::UInt8:
            pcm.sample = PcmFormat::Sample::UInt8;
            break;
        case QAudioFormat::Int16:
            pcm.sample = PcmFormat::Sample::Int16;
            break;
        case QAudioFormat::Int32:
            pcm.sample = PcmFormat::Sample::Int32;
            break;
        case QAudioFormat::Float:
            pcm.sample = PcmFormat::Sample::Float;
            break;
        default:
            return std::nullopt;
    }
    if (pcm.sampleRateHz <= 0 || pcm.channelCount <= 0) return std::nullopt;
    return pcm;
}

// 48 kHz stereo 16-bit when the device takes it, else what it prefers.
QAudioFormat outputFormatFor(const QAudioDevice& device) {
    QAudioFormat format;
    format.setSampleRate(48000);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    return device.isFormatSupported(format) ? format : device.preferredFormat();
}

}  // namespace

FfmpegAudioPlayer::FfmpegAudioPlayer() = default;

FfmpegAudioPlayer::~FfmpegAudioPlayer() {
    stop();
}

bool FfmpegAudioPlayer::initialise(std::string* reason) {
    stop();
    sink_.reset();
    if (QMediaDevices::audioOutputs().isEmpty()) {
        *reason = "there is no sound output device (is a sound server running?)";
        return false;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    const QAudioFormat format = outputFormatFor(device);
    const std::optional<PcmFormat> pcm = pcmFormatOf(format);
    if (device.isNull() || !pcm) {
        *reason = "the sound output \"" + device.description().toStdString() +
                  "\" offers no format that can be played";
        return false;
    }
    auto sink = std::make_unique<QAudioSink>(device, format);
    // Started once now, so that an output that refuses to play is reported
    // here rather than heard as silence at the first track.
    const bool started = sink->start() != nullptr && sink->error() == QAudio::NoError;
    const int error = int(sink->error());
    sink->stop();
    if (!started) {
        *reason = "the sound output \"" + device.description().toStdString() +
                  "\" cannot be started (Qt audio error " + std::to_string(error) + ")";
        return false;
    }
    sink_ = std::move(sink);
    format_ = *pcm;
    feedTimer_ = std::make_unique<QTimer>();
    feedTimer_->setInterval(kFeedIntervalMilliseconds);
    QObject::connect(feedTimer_.get(), &QTimer::timeout, [this] { feedSink(); });
    return true;
}

bool FfmpegAudioPlayer::open(const std::filesystem::path& file, std::string* reason) {
    stop();
    auto stream = std::make_unique<AudioPcmStream>();
    if (!stream->open(file, format_, reason)) return false;
    stream_ = std::move(stream);
    return true;
}

double FfmpegAudioPlayer::durationSeconds() const {
    return stream_ ? stream_->durationSeconds() : 0;
}

void FfmpegAudioPlayer::playFromStart() {
    stopSound();
    if (!stream_ || !sink_) return;
    const size_t aheadBytes = size_t(format_.sampleRateHz) * size_t(format_.bytesPerFrame()) *
                              kDecodedAheadMilliseconds / 1000;
    prefetcher_ = std::make_unique<PcmPrefetcher>(*stream_, aheadBytes);
    sink_->setBufferSize(qsizetype(format_.sampleRateHz) * format_.bytesPerFrame() *
                         kSinkBufferMilliseconds / 1000);
    sinkInput_ = sink_->start();
    if (sinkInput_ == nullptr) {
        prefetcher_.reset();
        return;
    }
    feedTimer_->start();
}

void FfmpegAudioPlayer::stop() {
    stopSound();
    stream_.reset();
}

void FfmpegAudioPlayer::stopSound() {
    if (feedTimer_) feedTimer_->stop();
    if (sink_) sink_->stop();
    sinkInput_ = nullptr;
    prefetcher_.reset();
    unsent_.clear();
}

// Hands the sink what it has room for; once the whole sound is handed over
// the sink plays out its buffer and falls idle.
void FfmpegAudioPlayer::feedSink() {
    if (sinkInput_ == nullptr || !prefetcher_) return;
    qsizetype roomBytes = sink_->bytesFree();
    while (roomBytes > 0) {
        if (unsent_.empty()) {
            unsent_.resize(size_t(roomBytes));
            unsent_.resize(prefetcher_->take(unsent_.data(), unsent_.size()));
            if (unsent_.empty()) break;
        }
        const qint64 written = sinkInput_->write(reinterpret_cast<const char*>(unsent_.data()),
                                                 qint64(unsent_.size()));
        if (written <= 0) break;
        unsent_.erase(unsent_.begin(), unsent_.begin() + std::ptrdiff_t(written));
        roomBytes -= written;
    }
    if (unsent_.empty() && prefetcher_->finished()) feedTimer_->stop();
}

}  // namespace velmora
