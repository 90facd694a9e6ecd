#include "workspace/editor_items.h"

#include <QFontMetrics>
#include <algorithm>

#include "image/image_type.h"
#include "image/picture_loader.h"
#include "image/qt_picture_reader.h"

namespace velmora {

namespace {

constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
constexpr size_t kMaxFaceNameChars = 31;
constexpr QRgb kLeftOut = 0x00000000;

int scaled(int pixels, float scale) {
    return int(float(pixels) * scale);
}

QRect scaled(QRect box, float scale) {
    return QRect(scaled(box.x(), scale), scaled(box.y(), scale), scaled(box.width(), scale),
                 scaled(box.height(), scale));
}

// Black stands for "left out" in decorations, so a black pixel is left out
// like the marked one; the rest loses its alpha.
QRgb decorationPixel(QRgb rgb, bool marked) {
    if (marked || qAlpha(rgb) == 0 || (rgb & 0x00FFFFFF) == 0) return kLeftOut;
    return rgb | 0xFF000000;
}

QImage withPaletteRule(QImage image) {
    QList<QRgb> palette = image.colorTable();
    int transparent = 0;
    for (int i = 0; i < palette.size(); ++i) {
        if (qAlpha(palette[i]) == 0) {
            transparent = i;
            break;
        }
    }
    for (int i = 0; i < palette.size(); ++i)
        palette[i] = decorationPixel(palette[i], i == transparent);
    image.setColorTable(palette);
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage withTrueColourRule(QImage image) {
    image.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] = decorationPixel(row[x], false);
    }
    return image;
}

QImage readDecorationFile(const std::filesystem::path& file, std::string* reason) {
    const ImageType type = imageTypeOf(file.filename().string());
    // Qt's readers keep the palette, which the transparency rule needs.
    if (isQtPictureType(type)) return qtReadPicture(file, type, QSize(), reason);
    return loadPicture(file, type, reason, AlphaHandling::Keep).image();
}

// Resampled with premultiplied alpha, so the edges of a left-out area fade
// instead of turning dark.
Picture decorationOfSize(const Picture& decoration, QSize size) {
    const QImage premultiplied =
        decoration.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return Picture(premultiplied.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

QRgb rgbOfColourRef(uint32_t colourRef) {
    return qRgb(int(colourRef & 0xFF), int((colourRef >> 8) & 0xFF), int((colourRef >> 16) & 0xFF));
}

Picture loadDecoration(const std::filesystem::path& file, std::string* reason) {
    const QImage read = readDecorationFile(file, reason);
    if (read.isNull()) return {};
    const bool paletted = read.format() == QImage::Format_Indexed8 && read.colorCount() > 0;
    return Picture(paletted ? withPaletteRule(read) : withTrueColourRule(read));
}

void drawOverlayItem(Picture& target, const OverlayItem& item, float scale) {
    const QRect box = scaled(item.box, scale);
    if (box.isEmpty()) return;
    if (item.kind == OverlayItem::Kind::Caption) {
        FontRecord font = item.font;
        font.pixelHeight = std::max(1, scaled(item.font.pixelHeight, scale));
        target.drawText(box, item.text, font, rgbOfColourRef(item.colour), kCaptionFlags);
        return;
    }
    if (item.image.isNull()) return;
    target.mix(decorationOfSize(item.image, box.size()), box.topLeft(), kLeftOut);
}

QSize captionTextSize(const std::string& text, const FontRecord& font, int maxWidth) {
    const QFontMetrics metrics(toQFont(font));
    const QRect bounds = metrics.boundingRect(QRect(0, 0, maxWidth, 1 << 16), kCaptionFlags,
                                              QString::fromStdString(text));
    // One pixel more each way than the ink, for the anti-aliased edge.
    return bounds.size() + QSize(2, 2);
}

PictureEdit editOfItem(const OverlayItem& item) {
    PictureEdit edit;
    edit.x = item.box.x();
    edit.y = item.box.y();
    edit.cx = item.box.width();
    edit.cy = item.box.height();
    if (item.kind == OverlayItem::Kind::Decoration) {
        edit.kind = PictureEditKind::Image;
        edit.imagePath = item.imagePath;
        return edit;
    }
    edit.kind = PictureEditKind::Text;
    edit.text = item.text;
    edit.faceName = item.font.face.substr(0, kMaxFaceNameChars);
    edit.height = item.font.pixelHeight;
    edit.weight = item.font.weight;
    edit.italic = item.font.italic ? 1 : 0;
    edit.colour = item.colour;
    return edit;
}

OverlayItem itemOfEdit(const PictureEdit& edit) {
    OverlayItem item;
    item.box = QRect(edit.x, edit.y, edit.cx, edit.cy);
    if (edit.kind == PictureEditKind::Image) {
        item.kind = OverlayItem::Kind::Decoration;
        item.imagePath = edit.imagePath;
        return item;
    }
    item.kind = OverlayItem::Kind::Caption;
    item.text = edit.text;
    item.font = FontRecord{edit.faceName, edit.height, edit.weight, edit.italic != 0};
    item.colour = edit.colour;
    return item;
}

QRect keptInside(QRect box, QSize picture) {
    box.setWidth(std::clamp(box.width(), 1, std::max(1, picture.width())));
    box.setHeight(std::clamp(box.height(), 1, std::max(1, picture.height())));
    box.moveLeft(std::clamp(box.left(), 0, std::max(0, picture.width() - box.width())));
    box.moveTop(std::clamp(box.top(), 0, std::max(0, picture.height() - box.height())));
    return box;
}

}  // namespace velmora
