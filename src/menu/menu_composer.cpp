#include "menu/menu_composer.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "base/notifier.h"
#include "image/picture_loader.h"
#include "menu/menu_set.h"
#include "menu/menu_theme.h"
#include "model/project.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// The font drawn when a text's own cannot be made.
const FontRecord kFallbackFont{"Arial", 24, 400, false};

QImage loadImage(const fs::path& file) {
    std::string reason;
    return loadPicture(file, &reason, AlphaHandling::Keep).image();
}

// Bilinear, or averaging for a large reduction.
QImage resampledTo(const QImage& image, QSize size) {
    if (image.size() == size) return image;
    return Picture(image).downscaled(size).image();
}

// A background at `size`, whatever transparency its file has.
QImage opaqueAt(const QImage& picture, QSize size) {
    return resampledTo(picture, size).convertToFormat(QImage::Format_RGB32);
}

QColor colourOf(uint32_t colourRef) {
    return QColor(int(colourRef & 0xFF), int((colourRef >> 8) & 0xFF),
                  int((colourRef >> 16) & 0xFF));
}

// The cover of a slideshow button: the picture fitted into the window,
// keeping its proportions, and where it goes.
void fitCover(const fs::path& coverPath, ComposerItem& item) {
    if (coverPath.empty()) return;
    const ImageType type = imageTypeOf(coverPath.filename().string());
    std::string reason;
    const QSize picture = pictureSize(coverPath, type, &reason);
    if (!picture.isValid() || picture.isEmpty()) return;
    const int c = item.window.width();
    const int d = item.window.height();
    QSize fitted;
    QPoint at = item.window.topLeft();
    if (double(c) / d < double(picture.width()) / picture.height()) {
        fitted = QSize(c, int(int64_t(picture.height()) * c / picture.width()));
        at.ry() += (d - fitted.height()) / 2;
    } else {
        fitted = QSize(int(int64_t(picture.width()) * d / picture.height()), d);
        at.rx() += (c - fitted.width()) / 2;
    }
    if (fitted.isEmpty()) return;
    item.cover = loadPictureScaled(coverPath, type, fitted, &reason).image();
    item.coverAt = at;
    item.source = coverPath;
}

void drawText(QPainter& painter, const ComposerItem& item) {
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(toQFont(item.font.face.empty() ? kFallbackFont : item.font));
    painter.setPen(colourOf(item.colour));
    painter.drawText(item.textRect, Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextExpandTabs,
                     QString::fromStdString(item.text));
}

int oneLineWidthOf(const ComposerItem& item) {
    const QFont font = toQFont(item.font.face.empty() ? kFallbackFont : item.font);
    return QFontMetrics(font).horizontalAdvance(QString::fromStdString(item.text));
}

// Surface pixels to page pixels.
struct PageScale {
    double x = 1.0;
    double y = 1.0;

    // Each edge goes to the nearest page pixel, so that rectangles meeting
    // on the surface still meet on the page.
    QRect onPage(QRect surfaceRect) const {
        const int left = qRound(surfaceRect.x() * x);
        const int top = qRound(surfaceRect.y() * y);
        const int right = qRound((surfaceRect.x() + surfaceRect.width()) * x);
        const int bottom = qRound((surfaceRect.y() + surfaceRect.height()) * y);
        return QRect(left, top, right - left, bottom - top);
    }
};

// A picture drawn into `pageRect` from its source at that size; when the
// source is gone, the small picture enlarged, so the page never lacks what
// the surface shows.
void drawAtSize(QPainter& painter, const QImage& source, const QImage& small, QRect pageRect) {
    if (pageRect.isEmpty()) return;
    if (source.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(pageRect, small);
        painter.restore();
        return;
    }
    painter.drawImage(pageRect.topLeft(), resampledTo(source, pageRect.size()));
}

QImage coverAtSize(const fs::path& coverPath, QSize size) {
    if (size.isEmpty()) return {};
    std::string reason;
    return loadPictureScaled(coverPath, imageTypeOf(coverPath.filename().string()), size, &reason)
        .image();
}

}  // namespace

MenuComposer::MenuComposer(Notifier& notifier, fs::path fallbackBackground)
    : notifier_(notifier), fallbackBackground_(std::move(fallbackBackground)) {}

void MenuComposer::setBackground(const fs::path& path, bool wide) {
    const QSize size(kSurfaceWidth, wide ? kWideSurfaceHeight : kSurfaceHeight);
    if (surface_.size() != size) surface_ = QImage(size, QImage::Format_RGB32);
    const QImage picture = loadImage(path);
    if (picture.isNull()) {
        notifier_.show("Can not load file " + path.string(), "Velmora", NotifierIcon::Information);
        loadFallbackBackground(size);
    } else {
        sx_ = static_cast<float>(double(size.width()) / picture.width());
        sy_ = static_cast<float>(double(size.height()) / picture.height());
        backgroundSource_ = picture;
        background_ = opaqueAt(picture, size);
    }
    redraw();
}

void MenuComposer::loadFallbackBackground(QSize size) {
    const QImage fallback = loadImage(fallbackBackground_);
    backgroundSource_ = fallback;
    if (fallback.isNull()) {
        background_ = QImage(size, QImage::Format_RGB32);
        background_.fill(Qt::black);
        return;
    }
    background_ = opaqueAt(fallback, size);
}

void MenuComposer::setFramePicture(const MenuTheme& theme) {
    frame_ = QImage();
    frameSource_ = QImage();
    if (theme.buttonSlots.empty()) return;
    const ThemeSlot& slot = theme.buttonSlots.front();
    const QSize size(scaleX(slot.width), scaleY(slot.height));
    const QImage picture = loadImage(slot.imagePath);
    if (picture.isNull() || size.isEmpty()) return;
    frameSource_ = picture;
    frame_ = resampledTo(picture, size);
}

void MenuComposer::addText(const MenuText& text) {
    ComposerItem item;
    item.kind = ComposerItem::Text;
    const int left = scaleX(text.x), top = scaleY(text.y);
    const int right = scaleX(text.x + text.width), bottom = scaleY(text.y + text.height);
    item.textRect = QRect(left, top, right - left, bottom - top);
    item.box = item.textRect;
    item.text = text.text;
    item.font = text.font;
    item.font.pixelHeight = scaleY(text.fontHeight);
    item.font.weight = text.weight;
    item.font.italic = text.italic != 0;
    item.colour = text.colour;
    items_.push_back(std::move(item));
}

void MenuComposer::addButton(const fs::path& coverPath, const MenuButton& button) {
    ComposerItem item;
    item.kind = ComposerItem::SlideshowButton;
    item.box =
        QRect(scaleX(button.x), scaleY(button.y), scaleX(button.width), scaleY(button.height));
    // A window too tall or too wide for the button takes the small size.
    int c = scaled(187, sx_), d = scaled(146, sy_);
    if (double(sx_) * 192 > item.box.width() || double(sy_) * 151 > item.box.height()) {
        c = scaled(147, sx_);
        d = scaled(110, sy_);
    }
    item.window = QRect(item.box.x() + (item.box.width() - c) / 2,
                        item.box.y() + (item.box.height() - d) / 2, c, d);
    fitCover(coverPath, item);
    items_.push_back(std::move(item));
}

void MenuComposer::addNavigation(const MenuControlButton& button) {
    ComposerItem item;
    item.kind = ComposerItem::Navigation;
    item.box =
        QRect(scaleX(button.x), scaleY(button.y), scaleX(button.width), scaleY(button.height));
    const QImage picture = loadImage(button.imagePath);
    if (picture.isNull() || item.box.isEmpty()) return;
    item.picture = resampledTo(picture, item.box.size());
    item.source = button.imagePath;
    items_.push_back(std::move(item));
}

void MenuComposer::redraw() {
    if (surface_.isNull()) return;
    QPainter painter(&surface_);
    painter.drawImage(0, 0, background_);
    for (ComposerItem& item : items_) {
        switch (item.kind) {
            case ComposerItem::Text:
                drawText(painter, item);
                item.oneLineWidth = oneLineWidthOf(item);
                break;
            case ComposerItem::SlideshowButton:
                if (!frame_.isNull()) painter.drawImage(item.box.topLeft(), frame_);
                painter.fillRect(item.window, Qt::black);
                if (!item.cover.isNull()) painter.drawImage(item.coverAt, item.cover);
                break;
            case ComposerItem::Navigation:
                painter.drawImage(item.box.topLeft(), item.picture);
                break;
        }
    }
}

QImage MenuComposer::composePage(QSize pageSize) const {
    if (surface_.isNull() || pageSize.isEmpty()) return {};
    const PageScale scale{double(pageSize.width()) / surface_.width(),
                          double(pageSize.height()) / surface_.height()};
    QImage page(pageSize, QImage::Format_RGB32);
    QPainter painter(&page);
    drawAtSize(painter, opaqueAt(backgroundSource_, pageSize), background_, page.rect());
    for (const ComposerItem& item : items_) {
        switch (item.kind) {
            case ComposerItem::Text:
                // Laid out in surface pixels, as on the surface, so the
                // lines break at the same words; the glyphs are drawn at
                // the page's size.
                painter.save();
                painter.scale(scale.x, scale.y);
                drawText(painter, item);
                painter.restore();
                break;
            case ComposerItem::SlideshowButton: {
                if (!frame_.isNull()) {
                    drawAtSize(painter, frameSource_, frame_,
                               scale.onPage(QRect(item.box.topLeft(), frame_.size())));
                }
                painter.fillRect(scale.onPage(item.window), Qt::black);
                if (item.cover.isNull()) break;
                const QRect cover = scale.onPage(QRect(item.coverAt, item.cover.size()));
                drawAtSize(painter, coverAtSize(item.source, cover.size()), item.cover, cover);
                break;
            }
            case ComposerItem::Navigation:
                drawAtSize(painter, loadImage(item.source), item.picture, scale.onPage(item.box));
                break;
        }
    }
    return page;
}

std::vector<fs::path> slideshowCoverPictures(const Project& project) {
    std::vector<fs::path> covers;
    for (const auto& slideshow : project.slideshows) {
        const SlideImage* cover = slideshow->coverPicture();
        covers.push_back(cover != nullptr ? cover->workingPath : fs::path());
    }
    return covers;
}

void renderPagePictures(MenuComposer& composer, const MenuSet& menu,
                        const std::vector<fs::path>& coverPictures, QSize pageSize) {
    for (const MenuPage& page : menu.pages) {
        composer.clearItems();
        for (const MenuText& text : page.texts)
            composer.addText(text);
        for (const MenuButton& button : page.buttons) {
            const bool known =
                button.slideshowIndex >= 0 && button.slideshowIndex < int(coverPictures.size());
            composer.addButton(known ? coverPictures[size_t(button.slideshowIndex)] : fs::path(),
                               button);
        }
        for (const MenuControlButton& button : page.controlButtons)
            composer.addNavigation(button);
        composer.redraw();
        std::string reason;
        Picture(composer.composePage(pageSize)).saveBmp(page.picturePath, &reason);
    }
}

}  // namespace velmora
