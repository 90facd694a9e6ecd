#include "image/qt_picture_reader.h"

#include <QImageReader>
#include <array>
#include <fstream>
#include <mutex>

#include "image/decode_limits.h"

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

// Prepares `reader` for the file: by content first, then as `type`.
bool openReader(QImageReader& reader, const std::filesystem::path& file, ImageType type,
                std::string* reason) {
    limitQtAllocation();
    const QString name = QString::fromStdString(file.string());
    reader.setFileName(name);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (reader.canRead()) return true;
    if (reader.error() == QImageReader::FileNotFoundError) {
        *reason = reader.errorString().toStdString();
        return false;
    }
    reader.setFileName(name);
    reader.setDecideFormatFromContent(false);
    reader.setFormat(qtFormatOf(type));
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

// The size a BMP or GIF header states. Qt's readers do not report it
// when they consider it unreasonable, which would leave the reason for the
// refusal unclear; an invalid size when the header says nothing usable.
QSize statedSize(const std::filesystem::path& file, ImageType type) {
    std::array<unsigned char, 26> head{};
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), head.size());
    if (in.gcount() < std::streamsize(head.size())) return {};
    auto little16 = [&](size_t at) { return int(head[at] | (head[at + 1] << 8)); };
    auto little32 = [&](size_t at) {
        return int32_t(uint32_t(head[at]) | (uint32_t(head[at + 1]) << 8) |
                       (uint32_t(head[at + 2]) << 16) | (uint32_t(head[at + 3]) << 24));
    };
    if (type == ImageType::Bmp && head[0] == 'B' && head[1] == 'M') {
        const int64_t height = little32(22);
        return QSize(little32(18), int(std::min<int64_t>(std::abs(height), INT32_MAX)));
    }
    if (type == ImageType::Gif && head[0] == 'G' && head[1] == 'I' && head[2] == 'F') {
        return QSize(little16(6), little16(8));
    }
    return {};
}

std::string readError(const QImageReader& reader) {
    if (reader.error() == QImageReader::InvalidDataError) {
        return "the picture data is damaged (" + reader.errorString().toStdString() + ")";
    }
    return reader.errorString().toStdString();
}

// Opens the file (its largest image for an icon) and refuses it when either
// the decoder or the header states a size beyond the picture limit.
bool openWithinLimits(QImageReader& reader, const std::filesystem::path& file, ImageType type,
                      std::string* reason) {
    if (!openReader(reader, file, type, reason)) return false;
    if (reader.format() == "ico") reader.jumpToImage(largestImageIndex(reader));
    for (const QSize size : {reader.size(), statedSize(file, type)}) {
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
    QImageReader reader;
    if (!openWithinLimits(reader, file, type, reason)) return {};
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
    QImageReader reader;
    if (!openWithinLimits(reader, file, type, reason)) return {};
    if (size.isValid()) {
        // The scaled size applies before the orientation is corrected.
        QSize scaled = size;
        if (rotatesByQuarter(reader.transformation())) scaled.transpose();
        reader.setScaledSize(scaled);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *reason = readError(reader);
        return {};
    }
    return image;
}

}  // namespace velmora
