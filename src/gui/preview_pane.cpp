#include "gui/preview_pane.h"

#include <QMetaObject>
#include <QPainter>

namespace velmora {

namespace {

constexpr QRgb kIdleGround = 0xFFD3D3D3;

// The picture covering the whole area, its overhang cut off on the sides
// or at the top and bottom, centred.
QRectF coveringPlace(QSizeF picture, QSizeF area) {
    if (area.width() / area.height() < picture.width() / picture.height()) {
        const double width = picture.width() * area.height() / picture.height();
        return {(area.width() - width) * 0.5, 0.0, width, area.height()};
    }
    const double height = picture.height() * area.width() / picture.width();
    return {0.0, (area.height() - height) * 0.5, area.width(), height};
}

}  // namespace

PreviewPane::PreviewPane(QSize canvasSize, QWidget* parent)
    : QWidget(parent), canvasSize_(canvasSize) {
    setFixedSize(canvasSize_);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setToolTip(tr("Click left list to preview Transition Effect!"));
    setAccessibleName(tr("Transition preview"));
    idle_ = QImage(canvasSize_, QImage::Format_RGB32);
    idle_.fill(kIdleGround);
}

void PreviewPane::showIdlePicture(const std::filesystem::path& samplePicture) {
    idleSample_ = QImage(QString::fromStdString(samplePicture.string()));
    drawIdlePicture();
    showIdle();
}

void PreviewPane::drawIdlePicture() {
    idle_ = QImage(canvasSize_, QImage::Format_RGB32);
    idle_.fill(kIdleGround);
    if (idleSample_.isNull()) return;
    QPainter painter(&idle_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(idle_.rect());
    painter.drawImage(coveringPlace(idleSample_.size(), canvasSize_), idleSample_);
}

void PreviewPane::setCanvasSize(QSize canvasSize) {
    if (canvasSize == canvasSize_) return;
    canvasSize_ = canvasSize;
    setFixedSize(canvasSize_);
    drawIdlePicture();
    showIdle();
}

void PreviewPane::showIdle() {
    ++generation_;
    frameShown_ = false;
    update();
}

void PreviewPane::showFrame(const QImage& frame) {
    // The renderer reuses its canvas for the next frame: keep a copy.
    const QImage copy = frame.copy();
    const int generation = generation_.load();
    QMetaObject::invokeMethod(
        this,
        [this, copy, generation] {
            if (generation == generation_.load()) takeFrame(copy);
        },
        Qt::QueuedConnection);
}

void PreviewPane::takeFrame(const QImage& frame) {
    frame_ = frame;
    frameShown_ = true;
    ++framesShown_;
    update();
}

void PreviewPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), shownImage());
}

}  // namespace velmora
