#include "image/picture_fit.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "image/picture_loader.h"

namespace velmora {

QSize fitInside(QSize picture, QSize box) {
    if (picture.isEmpty() || box.isEmpty()) return {};
    const double scale =
        std::min(double(box.width()) / picture.width(), double(box.height()) / picture.height());
    return QSize(std::clamp(int(std::lround(picture.width() * scale)), 1, box.width()),
                 std::clamp(int(std::lround(picture.height() * scale)), 1, box.height()));
}

Picture renderFittedOnWhite(const std::filesystem::path& file, QSize box, std::string* reason) {
    const ImageType type = imageTypeOf(file.filename().string());
    const QSize size = pictureSize(file, type, reason);
    if (!size.isValid()) return {};
    const QSize fitted = fitInside(size, box);
    const Picture picture = loadPictureScaled(file, type, fitted, reason);
    if (picture.isNull()) return {};
    QImage canvas(box, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawImage(
        QPoint((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2),
        picture.image());
    painter.end();
    return Picture(std::move(canvas));
}

bool renderCover(const std::filesystem::path& pictureFile, const std::filesystem::path& coverFile,
                 std::string* reason) {
    const Picture cover = renderFittedOnWhite(pictureFile, kCoverSize, reason);
    return !cover.isNull() && cover.saveBmp(coverFile, reason);
}

}  // namespace velmora
