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
        background_ = resampledTo(picture, size).convertToFormat(QImage::Format_RGB32);
    }
    redraw();
}

void MenuComposer::loadFallbackBackground(QSize size) {
    const QImage fallback = loadImage(fallbackBackground_);
    if (fallback.isNull()) {
        background_ = QImage(size, QImage::Format_RGB32);
        background_.fill(Qt::black);
        return;
    }
    background_ = resampledTo(fallback, size).convertToFormat(QImage::Format_RGB32);
}

void MenuComposer::setFramePicture(const MenuTheme& theme) {
    frame_ = QImage();
    if (theme.buttonSlots.empty()) return;
    const ThemeSlot& slot = theme.buttonSlots.front();
    const QSize size(scaleX(slot.width), scaleY(slot.height));
    const QImage picture = loadImage(slot.imagePath);
    if (picture.isNull() || size.isEmpty()) return;
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

void MenuComposer::drawText(QPainter& painter, ComposerItem& item) {
    const FontRecord& font = item.font.face.empty() ? kFallbackFont : item.font;
    const QFont qfont = toQFont(font);
    const QString text = QString::fromStdString(item.text);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(qfont);
    painter.setPen(colourOf(item.colour));
    painter.drawText(item.textRect, Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextExpandTabs, text);
    item.oneLineWidth = QFontMetrics(qfont).horizontalAdvance(text);
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
        Picture(composer.surface()).resampled(pageSize).saveBmp(page.picturePath, &reason);
    }
}

}  // namespace velmora
