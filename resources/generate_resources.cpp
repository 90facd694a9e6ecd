// Writes the installation data of the resource folder: the default music,
// the silence clip that pads soundtracks, the default picture, the DVD menu
// themes, the other menu and interface pictures, the transition preview's
// two pictures and the transitions' covers, the samples of the
// demonstration, the tips and the fallback icons (the manual is written by
// hand in manual/). Nothing is copied from anywhere;
// everything is made here.
//
//   velmora-resources OUTPUT_FOLDER [LOOKS_FOLDER]
//
// LOOKS_FOLDER, when given, receives a full-size sample page of every theme.

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "base/event.h"
#include "base/log.h"
#include "decorations.h"
#include "effect_covers.h"
#include "help_texts.h"
#include "icons.h"
#include "image/headless_qt.h"
#include "image/picture.h"
#include "interface_pictures.h"
#include "menu_themes.h"
#include "mp3_writer.h"
#include "music_synthesis.h"
#include "outside/ffmpeg_audio_converter.h"
#include "sample_pictures.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

constexpr int kMusicSeconds = 60;
constexpr int kSilenceSeconds = 10;

// The silence clip must be in exactly the converter's MP2 format, so it is
// made by the converter itself from a silent WAV file.
bool writeSilence(const fs::path& file, std::string* reason) {
    resources::StereoSound silence;
    silence.sampleRate = 48000;
    silence.samples.assign(size_t(silence.sampleRate) * kSilenceSeconds * 2, 0.0f);
    const fs::path wav = fs::path(file).replace_extension(".wav");
    if (!resources::writeWav(wav, silence, reason)) return false;
    const Log log(fs::path(file).replace_extension(".log"));
    FfmpegAudioConverter converter(log);
    const Event cancel;
    const int result = converter.xToMp2(wav, file, cancel);
    fs::remove(wav);
    fs::remove(log.file());
    if (result != 0) *reason = "the MP2 conversion failed with " + std::to_string(result);
    return result == 0;
}

// The picture shown for a picture that cannot be loaded: a landscape symbol
// on a soft grey-blue ground.
bool writeDefaultPicture(const fs::path& file, std::string* reason) {
    QImage image(320, 240, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, 240);
    ground.setColorAt(0, QColor(0xC9, 0xD6, 0xE3));
    ground.setColorAt(1, QColor(0x8E, 0xA4, 0xB8));
    painter.fillRect(image.rect(), ground);
    painter.setPen(QPen(QColor(0xF4, 0xF6, 0xF8), 6));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(80, 60, 160, 120), 10, 10);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF4, 0xF6, 0xF8));
    painter.drawEllipse(QPointF(200, 95), 14, 14);
    QPainterPath hills;
    hills.moveTo(86, 174);
    hills.lineTo(130, 118);
    hills.lineTo(160, 150);
    hills.lineTo(185, 128);
    hills.lineTo(234, 174);
    hills.closeSubpath();
    painter.drawPath(hills);
    painter.end();
    return Picture(image).saveBmp(file, reason);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: velmora-resources OUTPUT_FOLDER [LOOKS_FOLDER]\n");
        return 1;
    }
    prepareHeadlessQt();
    QGuiApplication application(argc, argv);
    const fs::path out = argv[1];
    fs::create_directories(out / "menu_pic");
    fs::create_directories(out / "res");

    // The samples are the largest part; they are made on a thread of their
    // own meanwhile (each thread paints its own pictures).
    std::string sampleReason;
    bool samplesWritten = false;
    std::thread samples(
        [&] { samplesWritten = resources::writeSamples(out / "samples", &sampleReason); });

    std::string reason;
    const bool written =
        resources::writeMp3(out / "menu_pic" / "default.mp3",
                            resources::synthesiseDefaultMusic(kMusicSeconds), &reason) &&
        writeSilence(out / "menu_pic" / "silent.mp2", &reason) &&
        writeDefaultPicture(out / "res" / "defaultImage.bmp", &reason) &&
        resources::writeInterfacePictures(out, &reason) &&
        resources::writePreviewSamples(out / "menu_pic", &reason) &&
        resources::writeEffectCovers(out / "EffectCover", out / "menu_pic", &reason) &&
        resources::writeHelpTexts(out, &reason) &&
        resources::writeDecorations(out / "decorate_pics", &reason) &&
        resources::writeIcons(out / "icons", &reason) &&
        resources::writeMenuThemes(out / "theme", argc == 3 ? fs::path(argv[2]) : fs::path(),
                                   &reason);
    samples.join();
    if (!written || !samplesWritten) {
        std::fprintf(stderr, "velmora-resources: %s\n", (written ? sampleReason : reason).c_str());
        return 1;
    }
    return 0;
}
