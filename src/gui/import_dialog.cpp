#include "gui/import_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace velmora {

CheckableFolderModel::CheckableFolderModel(QObject* parent) : QFileSystemModel(parent) {
    setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    setReadOnly(true);
}

Qt::ItemFlags CheckableFolderModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QFileSystemModel::flags(index);
    if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant CheckableFolderModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::CheckStateRole && index.column() == 0)
        return checked_.contains(filePath(index)) ? Qt::Checked : Qt::Unchecked;
    return QFileSystemModel::data(index, role);
}

bool CheckableFolderModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != 0)
        return QFileSystemModel::setData(index, value, role);
    setChecked(filePath(index), value.toInt() == Qt::Checked);
    return true;
}

void CheckableFolderModel::setChecked(const QString& folder, bool checked) {
    const QString path = QDir::cleanPath(folder);
    if (checked) {
        checked_.insert(path);
    } else {
        checked_.remove(path);
    }
    const QModelIndex shown = index(path);
    if (shown.isValid()) emit dataChanged(shown, shown, {Qt::CheckStateRole});
}

void CheckableFolderModel::clearChecks() {
    const QSet<QString> cleared = std::exchange(checked_, {});
    for (const QString& path : cleared) {
        const QModelIndex shown = index(path);
        if (shown.isValid()) emit dataChanged(shown, shown, {Qt::CheckStateRole});
    }
}

std::vector<std::filesystem::path> CheckableFolderModel::checkedFolders() const {
    QStringList paths(checked_.begin(), checked_.end());
    paths.sort();
    std::vector<std::filesystem::path> folders;
    for (const QString& path : paths)
        folders.emplace_back(path.toStdString());
    return folders;
}

ImportDialog::ImportDialog(const std::filesystem::path& startFolder, QWidget* parent)
    : QDialog(parent), tree_(new QTreeView(this)) {
    setWindowTitle(tr("Import photos from folder"));
    setObjectName(QStringLiteral("importDialog"));
    auto* hint = new QLabel(
        tr("Tick the folders to import. Each one becomes a slideshow of its pictures."), this);
    hint->setWordWrap(true);

    model_.setRootPath(QDir::rootPath());
    tree_->setObjectName(QStringLiteral("folderTree"));
    tree_->setModel(&model_);
    tree_->setAccessibleName(tr("Folders"));
    for (int column = 1; column < model_.columnCount(); ++column)
        tree_->hideColumn(column);
    tree_->header()->hide();
    tree_->setRootIndex(model_.index(QDir::rootPath()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    okButton_->setText(tr("Import"));
    okButton_->setObjectName(QStringLiteral("okButton"));
    QPushButton* clear = buttons->addButton(tr("Clear All Select"), QDialogButtonBox::ResetRole);
    clear->setObjectName(QStringLiteral("clearAllButton"));
    clear->setToolTip(tr("Untick every folder"));
    connect(clear, &QPushButton::clicked, &model_, &CheckableFolderModel::clearChecks);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &ImportDialog::updateOkButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
    resize(460, 420);
    updateOkButton();
    showFolder(QString::fromStdString(startFolder.string()));
}

void ImportDialog::showFolder(const QString& folder) {
    const QString start = folder.isEmpty() || !QDir(folder).exists() ? QDir::homePath() : folder;
    const QModelIndex index = model_.index(start);
    tree_->setCurrentIndex(index);
    tree_->expand(index);
    tree_->scrollTo(index, QAbstractItemView::PositionAtTop);
    // The folders are read in the background: scroll again once the start
    // folder's parents are in, or it ends up somewhere below the view.
    connect(&model_, &QFileSystemModel::directoryLoaded, tree_, [this, start] {
        tree_->scrollTo(model_.index(start), QAbstractItemView::PositionAtTop);
    });
}

void ImportDialog::updateOkButton() {
    okButton_->setEnabled(!model_.checkedFolders().empty());
}

}  // namespace velmora
