#include "sample_pictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTransform>
#include <fstream>
#include <iterator>

#include "mp3_writer.h"
#include "music_synthesis.h"
#include "sample_scenes.h"

namespace velmora::resources {

namespace {

namespace fs = std::filesystem;

constexpr int kJpegQuality = 90;
constexpr int kMusicSeconds = 40;

struct Sample {
    const char* file;
    QImage (*paint)(QSize);
    QSize size;
    // Stored turned a quarter left, with Orientation 6 ("turn a quarter
    // right to show") to bring it upright again.
    bool turned = false;
};

const Sample kSamples[] = {
    {"01_mountain_lake.jpg", paintMountainLake, {3000, 2000}},
    {"02_sea_sunset.jpg", paintSeaSunset, {3000, 2000}},
    {"03_city_night.jpg", paintCityNight, {3000, 2000}},
    {"04_forest_light.jpg", paintForestLight, {3000, 2000}},
    {"05_poppies.jpg", paintPoppies, {3000, 2000}},
    {"06_alpine_dawn.jpg", paintAlpineDawn, {3000, 2000}},
    {"07_beach.jpg", paintBeach, {3000, 2000}, true},
    {"08_lighthouse.jpg", paintLighthouse, {2000, 3000}},
};

// Exif orientation 6: the stored rows are the picture's right-hand column
// read downwards, so a viewer turns it a quarter clockwise.
constexpr int kTurnQuarterRight = 6;

bool writeSample(const fs::path& folder, const Sample& sample, std::string* reason) {
    QImage picture = sample.paint(sample.size);
    if (sample.turned) picture = picture.transformed(QTransform().rotate(-90));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(kJpegQuality);
    const fs::path file = folder / sample.file;
    if (!writer.write(picture)) {
        *reason = "cannot encode " + file.string() + ": " + writer.errorString().toStdString();
        return false;
    }
    if (sample.turned) jpeg = withExifOrientation(jpeg, kTurnQuarterRight);
    std::ofstream out(file, std::ios::binary);
    out.write(jpeg.constData(), jpeg.size());
    if (jpeg.isEmpty() || !out.flush()) {
        *reason = "cannot write " + file.string();
        return false;
    }
    return true;
}

}  // namespace

QByteArray withExifOrientation(const QByteArray& jpeg, int orientation) {
    if (jpeg.size() < 2 || uint8_t(jpeg[0]) != 0xFF || uint8_t(jpeg[1]) != 0xD8) return {};
    // An APP1 segment as the Exif standard lays it out, big-endian ("MM")
    // throughout. Offsets inside the TIFF structure count from its "MM".
    const char segment[] = {
        '\xFF', '\xE1',  // APP1 marker
        0x00,   0x22,    // segment length: these 2 bytes and the 32 below
        'E',    'x',
        'i',    'f',
        0x00,   0x00,  // Exif identifier
        'M',    'M',
        0x00,   0x2A,  // TIFF header: big-endian, magic 42
        0x00,   0x00,
        0x00,   0x08,  // IFD0 right after the header
        0x00,   0x01,  // IFD0 holds one entry:
        0x01,   0x12,  //   tag 0x0112 Orientation
        0x00,   0x03,  //   type SHORT
        0x00,   0x00,
        0x00,   0x01,  //   one value
        0x00,   char(orientation),
        0x00,   0x00,  //   the value, left-justified in 4 bytes
        0x00,   0x00,
        0x00,   0x00,  // no IFD1
    };
    QByteArray result = jpeg.left(2);
    result.append(segment, qsizetype(std::size(segment)));
    result.append(jpeg.mid(2));
    return result;
}

bool writeSamples(const fs::path& folder, std::string* reason) {
    std::error_code error;
    fs::create_directories(folder / "music", error);
    if (error) {
        *reason = "cannot make " + (folder / "music").string() + ": " + error.message();
        return false;
    }
    for (const Sample& sample : kSamples) {
        if (!writeSample(folder, sample, reason)) return false;
    }
    return writeMp3(folder / "music" / "sunny_stroll.mp3", synthesiseSampleMusic(kMusicSeconds),
                    reason);
}

}  // namespace velmora::resources
