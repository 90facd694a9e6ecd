#include "gui/theme_list_view.h"

#include <QKeyEvent>
#include <QPainter>

#include "menu/theme_catalogue.h"

namespace velmora {

namespace {

const QColor kFrameGrey(192, 192, 192);

}  // namespace

ThemeListView::ThemeListView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("themeList"));
    setAccessibleName(tr("Menu themes"));
    setToolTip(tr("Click a theme to give the menu its look"));
    // Pictures without captions, in rows that wrap: the highlight of the
    // chosen one surrounds its picture.
    setViewMode(QListView::ListMode);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setIconSize(QSize(kPictureSide, kPictureSide));
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setSpacing(4);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { emit themeChosen(row(item)); });
}

QImage ThemeListView::themePicture(const QImage& preview, qreal pixelRatio) {
    const int side = qRound(kPictureSide * pixelRatio);
    QImage picture(side, side, QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (!preview.isNull() && preview.width() > 0) {
        const double tallness = double(preview.height()) / preview.width();
        QRect place;
        if (tallness > 1) {
            const int width = int(side / tallness);
            place = QRect((side - width) / 2, 0, width, side);
        } else {
            const int height = int(tallness * side);
            place = QRect(0, (side - height) / 2, side, height);
        }
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(place, preview);
    }
    QPainter painter(&picture);
    painter.setPen(QPen(kFrameGrey, qMax(1, qRound(pixelRatio))));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, side - 1, side - 1));
    picture.setDevicePixelRatio(pixelRatio);
    return picture;
}

void ThemeListView::fillList(const ThemeCatalogue& catalogue) {
    clear();
    const qreal ratio = devicePixelRatioF();
    for (int i = 0; i < catalogue.themeCount(); ++i) {
        const auto& theme = catalogue.themes()[size_t(i)];
        const QImage preview(QString::fromStdString(theme.previewPath.string()));
        // A theme without its preview ends the list: the ones after it
        // could not be told apart by their place any more.
        if (preview.isNull()) break;
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(themePicture(preview, ratio))),
                                         QString(), this);
        item->setToolTip(tr("Theme %1").arg(i + 1));
        item->setData(Qt::AccessibleTextRole, tr("Theme %1").arg(i + 1));
    }
}

void ThemeListView::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
         event->key() == Qt::Key_Space) &&
        currentRow() >= 0) {
        emit themeChosen(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace velmora
