#include "image/picture.h"

#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QTransform>
#include <algorithm>

#include "base/path_text.h"

namespace velmora {

namespace {

QImage toPictureFormat(QImage image) {
    if (image.isNull()) return image;
    const QImage::Format wanted =
        image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (image.format() != wanted) image.convertTo(wanted);
    return image;
}

}  // namespace

Picture::Picture(QImage image) : image_(toPictureFormat(std::move(image))) {}

Picture Picture::filled(QSize size, QRgb colour) {
    QImage image(size, qAlpha(colour) == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(colour));
    Picture picture;
    picture.image_ = std::move(image);
    return picture;
}

Picture Picture::flattenedOverWhite() const {
    if (!hasAlpha()) return *this;
    Picture flat = filled(size(), 0xFFFFFFFF);
    QPainter painter(&flat.image_);
    painter.drawImage(0, 0, image_);
    return flat;
}

Picture Picture::resampled(QSize size) const {
    if (isNull() || size.isEmpty()) return {};
    if (size == this->size()) return *this;
    QImage out(size, image_.format());
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRect(QPoint(0, 0), size), image_);
    painter.end();
    return Picture(std::move(out));
}

Picture Picture::downscaled(QSize size) const {
    if (isNull() || size.isEmpty()) return {};
    if (size == this->size()) return *this;
    return Picture(image_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

Picture Picture::rotatedLeft90() const {
    return Picture(image_.transformed(QTransform().rotate(-90)));
}
Picture Picture::rotatedRight90() const {
    return Picture(image_.transformed(QTransform().rotate(90)));
}
Picture Picture::rotated180() const {
    return Picture(image_.mirrored(true, true));
}
Picture Picture::upsideDown() const {
    return Picture(image_.mirrored(false, true));
}
Picture Picture::mirrored() const {
    return Picture(image_.mirrored(true, false));
}

Picture Picture::cropped(QRect rect) const {
    const QRect inside = rect.intersected(image_.rect());
    if (inside.isEmpty()) return {};
    return Picture(image_.copy(inside));
}

void Picture::drawLine(QPoint from, QPoint to, QRgb colour, int widthPixels) {
    if (isNull()) return;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor::fromRgba(colour), std::max(1, widthPixels), Qt::SolidLine,
                        Qt::SquareCap, Qt::MiterJoin));
    painter.drawLine(from, to);
}

void Picture::fillRect(QRect rect, QRgb colour) {
    if (isNull()) return;
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect, QColor::fromRgba(colour));
}

void Picture::drawText(QRect box, std::string_view text, const FontRecord& font, QRgb colour,
                       int flags) {
    if (isNull()) return;
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(toQFont(font));
    painter.setPen(QColor::fromRgba(colour));
    painter.drawText(box, flags,
                     QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void Picture::mix(const Picture& overlay, QPoint at, QRgb transparentColour) {
    if (isNull() || overlay.isNull()) return;
    const QRect target = QRect(at, overlay.size()).intersected(image_.rect());
    if (target.isEmpty()) return;
    const QRgb key = transparentColour & 0x00FFFFFF;
    const bool opaqueTarget = !hasAlpha();
    for (int y = target.top(); y <= target.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
        const auto* source =
            reinterpret_cast<const QRgb*>(overlay.image_.constScanLine(y - at.y()));
        for (int x = target.left(); x <= target.right(); ++x) {
            const QRgb s = source[x - at.x()];
            if ((s & 0x00FFFFFF) == key) continue;
            const int a = qAlpha(s);
            if (a == 255) {
                row[x] = s;
                continue;
            }
            // Source over destination for a see-through overlay pixel.
            const QRgb d = row[x];
            auto mixChannel = [a](int sc, int dc) { return (sc * a + dc * (255 - a) + 127) / 255; };
            const int outAlpha = opaqueTarget ? 255 : a + qAlpha(d) * (255 - a) / 255;
            row[x] = qRgba(mixChannel(qRed(s), qRed(d)), mixChannel(qGreen(s), qGreen(d)),
                           mixChannel(qBlue(s), qBlue(d)), outAlpha);
        }
    }
}

bool Picture::saveBmp(const std::filesystem::path& file, std::string* reason) const {
    return save(file, "bmp", -1, flattenedOverWhite().image_, reason);
}

bool Picture::saveJpeg(const std::filesystem::path& file, int quality, std::string* reason) const {
    return save(file, "jpeg", std::clamp(quality, 0, 100), flattenedOverWhite().image_, reason);
}

bool Picture::savePng(const std::filesystem::path& file, std::string* reason) const {
    return save(file, "png", -1, image_, reason);
}

bool Picture::save(const std::filesystem::path& file, const char* format, int quality,
                   const QImage& image, std::string* reason) const {
    if (image.isNull()) {
        *reason = "Cannot write " + quotedPath(file) + ": the picture is empty";
        return false;
    }
    QFile out(QString::fromStdString(file.string()));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *reason = "Cannot write " + quotedPath(file) + ": " + out.errorString().toStdString();
        return false;
    }
    QImageWriter writer(&out, format);
    writer.setQuality(quality);
    const bool written = writer.write(image);
    out.close();
    if (!written || out.error() != QFileDevice::NoError) {
        const QString why = written ? out.errorString() : writer.errorString();
        *reason = "Cannot write " + quotedPath(file) + ": " + why.toStdString();
        out.remove();
        return false;
    }
    return true;
}

}  // namespace velmora
