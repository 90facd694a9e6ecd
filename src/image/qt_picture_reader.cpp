#include "image/qt_picture_reader.h"

#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "image/decode_limits.h"
#include "image/decoder_messages.h"
#include "image/picture_file.h"

namespace velmora {

namespace {

const char* qtFormatOf(ImageType type) {
    switch (type) {
        case ImageType::Bmp:
            return "bmp";
        case ImageType::Jpeg:
            return "jpeg";
        case ImageType::Gif:
            return "gif";
        case ImageType::Png:
            return "png";
        case ImageType::Ico:
            return "ico";
        case ImageType::Wbmp:
            return "wbmp";
        case ImageType::Pnm:
            return "ppm";
        default:
            return nullptr;
    }
}

// Qt refuses to allocate more than this for one picture; our own pixel limit
// is checked first wherever the header gives the size, this is the backstop
// for the decoders that do not report it.
void limitQtAllocation() {
    static std::once_flag once;
    std::call_once(once, [] {
        constexpr int kMegabytes = static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1;
        QImageReader::setAllocationLimit(kMegabytes);
    });
}

bool rotatesByQuarter(QImageIOHandler::Transformations transformation) {
    return transformation.testFlag(QImageIOHandler::TransformationRotate90);
}

// The picture file handed to Qt already open: Qt would open it by name and
// block on a FIFO. The first bytes are kept for the header checks of our own.
class OpenedPicture {
  public:
    bool open(const std::filesystem::path& file, std::string* reason) {
        FileDescriptor opened = openPictureFile(file, reason);
        if (!opened.isOpen()) return false;
        if (!device_.open(opened.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            *reason = "the file cannot be opened: " + device_.errorString().toStdString();
            return false;
        }
        opened.release();
        head_ = device_.peek(kHeadBytes);
        return true;
    }
    QFile& device() { return device_; }
    const QByteArray& head() const { return head_; }

  private:
    static constexpr qint64 kHeadBytes = 64;
    QFile device_;
    QByteArray head_;
};

// Prepares `reader` for the file: by content first, then as `type`.
bool openReader(QImageReader& reader, OpenedPicture& picture, ImageType type, std::string* reason) {
    limitQtAllocation();
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    reader.setDevice(&picture.device());
    if (reader.canRead()) return true;
    picture.device().seek(0);
    reader.setDecideFormatFromContent(false);
    reader.setFormat(qtFormatOf(type));
    reader.setDevice(&picture.device());
    if (reader.canRead()) return true;
    if (!QImageReader::supportedImageFormats().contains(qtFormatOf(type))) {
        *reason = "no decoder for " + std::string(imageTypeName(type)) + " pictures is installed";
    } else {
        *reason = "the file is not a picture this program reads (the name says " +
                  std::string(imageTypeName(type)) + ")";
    }
    return false;
}

// For an ICO file: the index of its largest image.
int largestImageIndex(QImageReader& reader) {
    int best = 0;
    qint64 bestPixels = -1;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i)) break;
        const QSize size = reader.size();
        const qint64 pixels = qint64(size.width()) * size.height();
        if (pixels > bestPixels) {
            best = i;
            bestPixels = pixels;
        }
    }
    return best;
}

uint32_t little16(const QByteArray& head, int at) {
    return uint32_t(uint8_t(head[at])) | (uint32_t(uint8_t(head[at + 1])) << 8);
}
uint32_t little32(const QByteArray& head, int at) {
    return little16(head, at) | (little16(head, at + 2) << 16);
}

bool isBmpHead(const QByteArray& head) {
    return head.size() >= 34 && head[0] == 'B' && head[1] == 'M';
}

// The size a BMP or GIF header states. Qt's readers do not report it
// when they consider it unreasonable, which would leave the reason for the
// refusal unclear; an invalid size when the header says nothing usable.
QSize statedSize(const QByteArray& head, ImageType type) {
    if (type == ImageType::Bmp && isBmpHead(head)) {
        const int64_t height = int32_t(little32(head, 22));
        return QSize(int32_t(little32(head, 18)),
                     int(std::min<int64_t>(std::abs(height), INT32_MAX)));
    }
    if (type == ImageType::Gif && head.size() >= 10 && head.startsWith("GIF")) {
        return QSize(int(little16(head, 6)), int(little16(head, 8)));
    }
    return {};
}

// Qt draws an uncompressed BMP that ends early with its missing rows left
// blank, without a word; the header says how long its pixel rows must be.
bool bmpEndsEarly(const QByteArray& head, qint64 fileBytes) {
    constexpr uint32_t kUncompressed = 0;
    constexpr uint32_t kBitFields = 3;
    if (!isBmpHead(head) || little32(head, 14) < 40) return false;
    const uint32_t compression = little32(head, 30);
    if (compression != kUncompressed && compression != kBitFields) return false;
    const int64_t width = int32_t(little32(head, 18));
    const int64_t height = std::abs(int64_t(int32_t(little32(head, 22))));
    const int64_t bitsPerPixel = little16(head, 28);
    const int64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return width > 0 && int64_t(little32(head, 10)) + rowBytes * height > fileBytes;
}

std::string damaged(const std::string& detail) {
    return "the picture data is damaged (" + detail + ")";
}

std::string readError(const QImageReader& reader) {
    if (reader.error() == QImageReader::InvalidDataError) {
        return damaged(reader.errorString().toStdString());
    }
    return reader.errorString().toStdString();
}

// Opens the file (its largest image for an icon) and refuses it when either
// the decoder or the header states a size beyond the picture limit.
bool openWithinLimits(QImageReader& reader, OpenedPicture& picture, ImageType type,
                      std::string* reason) {
    if (!openReader(reader, picture, type, reason)) return false;
    if (reader.format() == "ico") reader.jumpToImage(largestImageIndex(reader));
    for (const QSize size : {reader.size(), statedSize(picture.head(), type)}) {
        if (!size.isValid()) continue;
        if (std::string tooLarge = checkPictureSize(size.width(), size.height());
            !tooLarge.empty()) {
            *reason = std::move(tooLarge);
            return false;
        }
    }
    return true;
}

}  // namespace

bool isQtPictureType(ImageType type) {
    return qtFormatOf(type) != nullptr;
}

QSize qtPictureSize(const std::filesystem::path& file, ImageType type, std::string* reason) {
    OpenedPicture picture;
    QImageReader reader;
    if (!picture.open(file, reason) || !openWithinLimits(reader, picture, type, reason)) return {};
    QSize size = reader.size();
    if (!size.isValid()) {
        // The decoder does not report sizes: decode to find out.
        const QImage image = reader.read();
        if (image.isNull()) {
            *reason = readError(reader);
            return {};
        }
        return image.size();
    }
    if (rotatesByQuarter(reader.transformation())) size.transpose();
    return size;
}

QImage qtReadPicture(const std::filesystem::path& file, ImageType type, QSize size,
                     std::string* reason) {
    OpenedPicture picture;
    if (!picture.open(file, reason)) return {};
    // Listens from the header on: libjpeg reports only its first warning.
    const DecoderMessages messages;
    QImageReader reader;
    if (!openWithinLimits(reader, picture, type, reason)) return {};
    if (reader.format() == "bmp" && bmpEndsEarly(picture.head(), picture.device().size())) {
        *reason = damaged("the file ends before its last row of pixels");
        return {};
    }
    if (size.isValid()) {
        // The scaled size applies before the orientation is corrected.
        QSize scaled = size;
        if (rotatesByQuarter(reader.transformation())) scaled.transpose();
        reader.setScaledSize(scaled);
    }
    QImage image = reader.read();
    if (!messages.damage().empty()) {
        *reason = damaged(messages.damage());
        return {};
    }
    if (image.isNull()) {
        *reason = readError(reader);
        return {};
    }
    return image;
}

}  // namespace velmora
