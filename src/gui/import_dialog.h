#pragma once

#include <QDialog>
#include <QFileSystemModel>
#include <QSet>
#include <filesystem>
#include <vector>

class QPushButton;
class QTreeView;

namespace velmora {

// The folders of the file system with a check box each.
class CheckableFolderModel final : public QFileSystemModel {
    Q_OBJECT
  public:
    explicit CheckableFolderModel(QObject* parent = nullptr);

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    void setChecked(const QString& folder, bool checked);
    void clearChecks();
    // The checked folders in path order.
    std::vector<std::filesystem::path> checkedFolders() const;

  private:
    QSet<QString> checked_;
};

// "Import photos from folder": every checked folder becomes a slideshow.
class ImportDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit ImportDialog(const std::filesystem::path& startFolder, QWidget* parent = nullptr);

    CheckableFolderModel& folders() { return model_; }
    std::vector<std::filesystem::path> checkedFolders() const { return model_.checkedFolders(); }

  private:
    void showFolder(const QString& folder);
    void updateOkButton();

    CheckableFolderModel model_;
    QTreeView* tree_;
    QPushButton* okButton_ = nullptr;
};

}  // namespace velmora
