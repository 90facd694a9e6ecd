#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include <QEventLoop>
#include <QTimer>

#include "image/picture_fixtures.h"
#include "outside/audio_pcm_stream.h"
#include "outside/ffmpeg_audio_player.h"
#include "support/temporary_folder.h"
#include "support/tone_files.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Sample = PcmFormat::Sample;

constexpr double kToneHz = 440;

std::vector<uint8_t> readAll(AudioPcmStream& stream) {
    std::vector<uint8_t> pcm;
    uint8_t buffer[3000];  // not a multiple of every frame size: reads stop at whole frames
    while (const size_t count = stream.read(buffer, sizeof buffer))
        pcm.insert(pcm.end(), buffer, buffer + count);
    return pcm;
}

// The first channel's sample of frame `index`, as a signed value.
double firstChannel(const std::vector<uint8_t>& pcm, const PcmFormat& format, size_t index) {
    const uint8_t* at = pcm.data() + index * size_t(format.bytesPerFrame());
    if (format.sample == Sample::Float) {
        float value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    int16_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// The tone's frequency as the PCM's rate says it sounds: its rising zero
// crossings over its length. A wrong rate, channel count or sample type
// in the bytes moves it far from 440 Hz.
double toneFrequencyHz(const std::vector<uint8_t>& pcm, const PcmFormat& format) {
    const size_t frames = pcm.size() / size_t(format.bytesPerFrame());
    int rising = 0;
    for (size_t i = 1; i < frames; ++i)
        rising += firstChannel(pcm, format, i - 1) < 0 && firstChannel(pcm, format, i) >= 0;
    return rising * double(format.sampleRateHz) / double(frames);
}

struct DecodeCase {
    std::string name;
    double seconds;
    int sourceRateHz;
    std::string channels;
    std::vector<std::string> encoding;
    int codecFrameSamples;  // at the source's rate: how far the end may stray
    PcmFormat target;
};

const DecodeCase kDecodeCases[] = {
    {"tone.mp3",
     3.0,
     44100,
     "stereo",
     {"-c:a", "libmp3lame", "-b:a", "128k"},
     1152,
     {48000, 2, Sample::Int16}},
    {"deep.wav", 2.0, 96000, "stereo", {"-c:a", "pcm_s24le"}, 1, {48000, 2, Sample::Int16}},
    {"tone.wma",
     2.5,
     44100,
     "stereo",
     {"-c:a", "wmav2", "-b:a", "128k"},
     2048,
     {44100, 1, Sample::Float}},
};

TEST(AudioPcmStreamTest, DecodesEveryKindIntoTheTargetFormatAtItsFullLength) {
    test::TemporaryFolder folder;
    for (const DecodeCase& sound : kDecodeCases) {
        SCOPED_TRACE(sound.name);
        const fs::path file = folder / sound.name;
        test::makeTone(file, sound.seconds, sound.encoding, sound.channels, sound.sourceRateHz);
        AudioPcmStream stream;
        std::string reason;
        ASSERT_TRUE(stream.open(file, sound.target, &reason)) << reason;
        EXPECT_NEAR(stream.durationSeconds(), sound.seconds, 0.1);

        const std::vector<uint8_t> pcm = readAll(stream);
        const PcmFormat& format = stream.format();
        const double frameBytes = format.bytesPerFrame();
        const double expectedBytes = sound.seconds * format.sampleRateHz * frameBytes;
        const double slackBytes =
            std::ceil(double(sound.codecFrameSamples) * format.sampleRateHz / sound.sourceRateHz) *
            frameBytes;
        EXPECT_NEAR(double(pcm.size()), expectedBytes, slackBytes);
        EXPECT_EQ(pcm.size() % size_t(frameBytes), 0u);
        EXPECT_NEAR(toneFrequencyHz(pcm, format), kToneHz, 2);

        // From the start again: the same sound, byte for byte.
        ASSERT_TRUE(stream.rewind(&reason)) << reason;
        EXPECT_EQ(readAll(stream), pcm);
    }
}

TEST(AudioPcmStreamTest, WhatCannotBeDecodedIsRefusedWithTheFileNamed) {
    test::TemporaryFolder folder;
    test::writeBytes(folder / "text.mp3", {'n', 'o', 't', ' ', 's', 'o', 'u', 'n', 'd'});
    for (const fs::path& file : {folder / "text.mp3", folder / "absent.wav", folder.path()}) {
        SCOPED_TRACE(file.string());
        std::string reason;
        AudioPcmStream stream;
        EXPECT_FALSE(stream.open(file, PcmFormat{}, &reason));
        EXPECT_NE(reason.find(file.string()), std::string::npos) << reason;
        uint8_t buffer[64];
        EXPECT_EQ(stream.read(buffer, sizeof buffer), 0u);

        FfmpegAudioPlayer player;
        reason.clear();
        EXPECT_FALSE(player.open(file, &reason));
        EXPECT_NE(reason.find(file.string()), std::string::npos) << reason;
        EXPECT_EQ(player.durationSeconds(), 0);
    }
}

// Taken in pieces while the decoder runs ahead on its thread, the sound
// arrives whole and in order; dropped half-way, with the decoder held up
// by a full buffer, the prefetcher lets go at once.
TEST(PcmPrefetcherTest, HandsOverTheWholeSoundAndStopsWhenDropped) {
    test::TemporaryFolder folder;
    const fs::path file = folder / "tone.wav";
    test::makeTone(file, 4.0, {"-c:a", "pcm_s16le"});
    AudioPcmStream stream;
    std::string reason;
    ASSERT_TRUE(stream.open(file, PcmFormat{}, &reason)) << reason;
    const std::vector<uint8_t> direct = readAll(stream);

    std::vector<uint8_t> prefetched;
    {
        PcmPrefetcher prefetcher(stream, 16384);
        uint8_t buffer[5000];
        while (!prefetcher.finished()) {
            const size_t count = prefetcher.take(buffer, sizeof buffer);
            if (count == 0) std::this_thread::yield();
            prefetched.insert(prefetched.end(), buffer, buffer + count);
        }
    }
    EXPECT_EQ(prefetched, direct);

    const auto start = std::chrono::steady_clock::now();
    {
        PcmPrefetcher prefetcher(stream, 16384);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        uint8_t buffer[100];
        EXPECT_GT(prefetcher.take(buffer, sizeof buffer), 0u);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Build machines and CI have no sound output: initialising says so, at
// once. Where there is one, a one-second tone is heard, fed by the event
// loop as in the program, and stops without trouble.
TEST(FfmpegAudioPlayerTest, InitialisesOrSaysWhyWithoutWaiting) {
    FfmpegAudioPlayer player;
    std::string reason;
    const auto start = std::chrono::steady_clock::now();
    const bool ready = player.initialise(&reason);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    if (!ready) {
        EXPECT_FALSE(reason.empty());
        return;
    }
    test::TemporaryFolder folder;
    test::makeTone(folder / "tone.mp3", 1.0, {"-c:a", "libmp3lame"});
    ASSERT_TRUE(player.open(folder / "tone.mp3", &reason)) << reason;
    EXPECT_NEAR(player.durationSeconds(), 1.0, 0.1);
    player.playFromStart();
    QEventLoop loop;
    QTimer::singleShot(1200, &loop, &QEventLoop::quit);
    loop.exec();
    player.stop();
    EXPECT_EQ(player.durationSeconds(), 0);
}

}  // namespace
}  // namespace velmora
