#include "image/qt_picture_reader.h"

#include <QImageReader>

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
        case ImageType::Tiff:
            return "tiff";
        case ImageType::Tga:
            return "tga";
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
    constexpr int kMegabytes = static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)) + 1;
    if (QImageReader::allocationLimit() != kMegabytes)
        QImageReader::setAllocationLimit(kMegabytes);
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
    if (reader.canRead())
        return true;
    if (reader.error() == QImageReader::FileNotFoundError) {
        *reason = reader.errorString().toStdString();
        return false;
    }
    reader.setFileName(name);
    reader.setDecideFormatFromContent(false);
    reader.setFormat(qtFormatOf(type));
    if (reader.canRead())
        return true;
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
        if (!reader.jumpToImage(i))
            break;
        const QSize size = reader.size();
        const qint64 pixels = qint64(size.width()) * size.height();
        if (pixels > bestPixels) {
            best = i;
            bestPixels = pixels;
        }
    }
    return best;
}

std::string readError(const QImageReader& reader) {
    if (reader.error() == QImageReader::InvalidDataError) {
        return "the picture data is damaged (" + reader.errorString().toStdString() + ")";
    }
    return reader.errorString().toStdString();
}

}  // namespace

bool isQtPictureType(ImageType type) {
    return qtFormatOf(type) != nullptr;
}

QSize qtPictureSize(const std::filesystem::path& file, ImageType type, std::string* reason) {
    QImageReader reader;
    if (!openReader(reader, file, type, reason))
        return {};
    if (reader.format() == "ico")
        reader.jumpToImage(largestImageIndex(reader));
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
    if (const std::string tooLarge = checkPictureSize(size.width(), size.height());
        !tooLarge.empty()) {
        *reason = tooLarge;
        return {};
    }
    if (rotatesByQuarter(reader.transformation()))
        size.transpose();
    return size;
}

QImage qtReadPicture(const std::filesystem::path& file, ImageType type, QSize size,
                     std::string* reason) {
    QImageReader reader;
    if (!openReader(reader, file, type, reason))
        return {};
    if (reader.format() == "ico")
        reader.jumpToImage(largestImageIndex(reader));
    if (const QSize stored = reader.size(); stored.isValid()) {
        if (const std::string tooLarge = checkPictureSize(stored.width(), stored.height());
            !tooLarge.empty()) {
            *reason = tooLarge;
            return {};
        }
    }
    if (size.isValid()) {
        // The scaled size applies before the orientation is corrected.
        QSize stored = size;
        if (rotatesByQuarter(reader.transformation()))
            stored.transpose();
        reader.setScaledSize(stored);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *reason = readError(reader);
        return {};
    }
    return image;
}

}  // namespace velmora
