#pragma once

#include <QString>
#include <QTreeWidget>
#include <filesystem>
#include <vector>

#include "workspace/music_list.h"

namespace velmora {

// The music list of the music page: one row per track with its index, file
// name, start and length; whole rows are chosen, one at a time. Files and
// folders dropped from the file manager, and the Delete key, are signals
// the page runs. An empty list says what to do instead of staying blank.
class MusicListView final : public QTreeWidget {
    Q_OBJECT
  public:
    explicit MusicListView(QWidget* parent = nullptr);

    // Shows `rows` with row `selected` chosen (none for −1 or a row that is
    // not there).
    void showRows(const std::vector<MusicList::Row>& rows, int selected);
    // The chosen row, −1 when none is.
    int selectedRow() const;
    // The line an empty list shows.
    void setEmptyText(const QString& text);

  signals:
    void filesDropped(const std::vector<std::filesystem::path>& paths);
    void deleteRequested();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void fitColumns();

    QString emptyText_;
};

}  // namespace velmora
