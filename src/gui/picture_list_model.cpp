#include "gui/picture_list_model.h"

#include <QDataStream>
#include <QDateTime>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLocale>
#include <QMimeData>
#include <QMimeDatabase>
#include <algorithm>
#include <cstring>

#include "model/motion_effect.h"
#include "model/slideshow.h"
#include "model/transition_kind.h"

namespace velmora {

const QString PictureListModel::kThumbnailMimeType =
    QStringLiteral("application/x-velmora-thumbnails");

PictureListModel::PictureListModel(QObject* parent) : QAbstractTableModel(parent) {}

void PictureListModel::showSlideshow(const Slideshow* slideshow) {
    beginResetModel();
    slideshow_ = slideshow;
    thumbnails_.assign(slideshow == nullptr ? 0 : slideshow->pictures.size(), QImage());
    endResetModel();
}

void PictureListModel::refreshTexts() {
    if (rowCount() == 0) return;
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1), {Qt::DisplayRole});
}

void PictureListModel::setThumbnail(int row, const QImage& thumbnail) {
    if (row < 0 || row >= int(thumbnails_.size())) return;
    thumbnails_[size_t(row)] = thumbnail;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
}

void PictureListModel::setPlaceholder(const QImage& placeholder) {
    placeholder_ = placeholder;
}

void PictureListModel::setThumbnailMode(bool thumbnails) {
    beginResetModel();
    thumbnailMode_ = thumbnails;
    endResetModel();
}

void PictureListModel::setShowNames(bool show) {
    showNames_ = show;
    refreshTexts();
}

int PictureListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || slideshow_ == nullptr) return 0;
    return int(std::min(slideshow_->pictures.size(), thumbnails_.size()));
}

int PictureListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant PictureListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int row = index.row();
    const SlideImage& picture = slideshow_->pictures[size_t(row)];
    switch (role) {
        case Qt::DisplayRole:
            if (thumbnailMode_ && index.column() == kFileName && !showNames_) return {};
            return textOf(row, index.column());
        case Qt::ToolTipRole:
        case Qt::AccessibleTextRole:
            return QString::fromStdString(picture.sourcePath.string());
        case Qt::DecorationRole:
            if (index.column() != kFileName) return {};
            if (thumbnailMode_) {
                const QImage& thumbnail = thumbnails_[size_t(row)];
                return thumbnail.isNull() ? placeholder_ : thumbnail;
            } else {
                static const QFileIconProvider icons;
                return icons.icon(QFileInfo(QString::fromStdString(picture.sourcePath.string())));
            }
        case Qt::TextAlignmentRole:
            if (index.column() == kSize || index.column() == kDuration)
                return int(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        default:
            return {};
    }
}

QVariant PictureListModel::textOf(int row, int column) const {
    const SlideImage& picture = slideshow_->pictures[size_t(row)];
    const EffectSetting& effect = picture.settings.effect;
    switch (column) {
        case kFileName:
            return QString::fromStdString(picture.sourcePath.filename().string());
        case kSize:
            return QString::fromStdString(picture.sizeText);
        case kTime:
            // "%B %d %H:%M:%S" in the user's language.
            return QLocale().toString(QDateTime::fromSecsSinceEpoch(picture.modifiedTime),
                                      QStringLiteral("MMMM dd HH:mm:ss"));
        case kType: {
            static const QMimeDatabase types;
            return types.mimeTypeForFile(QString::fromStdString(picture.sourcePath.string()))
                .comment();
        }
        case kDuration:
            return tr("%1sec.").arg(effect.displayTime);
        case kTransition:
            return effect.transition == nullptr
                       ? QString()
                       : QString::fromUtf8(transitionKindInfo(effect.transition->kind()).name);
        case kMotion: {
            const auto& names = motionEffectNames();
            const size_t id = size_t(effect.motionEffect);
            return id < names.size() ? QString::fromUtf8(names[id]) : QString();
        }
        default:
            return {};
    }
}

QVariant PictureListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[kColumnCount] = {
        "FileName", "Size", "Time", "Type", "Duration", "Transition Effect", "Image Effect"};
    return section >= 0 && section < kColumnCount ? tr(kTitles[section]) : QVariant();
}

Qt::ItemFlags PictureListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsDragEnabled;
}

Qt::DropActions PictureListModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

QStringList PictureListModel::mimeTypes() const {
    return {kThumbnailMimeType};
}

QMimeData* PictureListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<qint32> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QByteArray block;
    const qint32 count = qint32(rows.size());
    block.append(reinterpret_cast<const char*>(&count), sizeof count);
    block.append(reinterpret_cast<const char*>(rows.data()),
                 qsizetype(rows.size() * sizeof(qint32)));
    auto* data = new QMimeData;
    data->setData(kThumbnailMimeType, block);
    return data;
}

std::vector<int> PictureListModel::draggedPictures(const QMimeData* data) {
    std::vector<int> rows;
    if (data == nullptr || !data->hasFormat(kThumbnailMimeType)) return rows;
    const QByteArray block = data->data(kThumbnailMimeType);
    qint32 count = 0;
    if (block.size() < qsizetype(sizeof count)) return rows;
    std::memcpy(&count, block.constData(), sizeof count);
    // The count must match the block: a drag from elsewhere proves nothing.
    if (count < 0 || block.size() != qsizetype(sizeof count * (size_t(count) + 1))) return rows;
    for (qint32 i = 0; i < count; ++i) {
        qint32 row = 0;
        std::memcpy(&row, block.constData() + sizeof count * (size_t(i) + 1), sizeof row);
        rows.push_back(row);
    }
    return rows;
}

}  // namespace velmora
