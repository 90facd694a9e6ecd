#pragma once

#include <QTreeWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "disc/disc_overview.h"

namespace velmora {

// The disc overview on the left of the photo, effects and music pages: the
// disc, its menu and one item per slideshow with its picture count and
// running time. Choosing a slideshow item makes it the current one; the
// commands of its context menus and keys are signals the page runs.
class DiscTreeView final : public QTreeWidget {
    Q_OBJECT
  public:
    explicit DiscTreeView(QWidget* parent = nullptr);

    // Shows the tree, with the current slideshow's item selected.
    void showTree(const DiscTree& tree, int currentSlideshow);
    // Whether the context menus offer the project and slideshow commands
    // (the photos page) or only the choice of slideshow.
    void setCommandsOffered(bool offered) { commandsOffered_ = offered; }
    // Starts editing slideshow `index`'s name in place.
    void editSlideshowName(int index);
    QTreeWidgetItem* slideshowItem(int index) const;

    static constexpr int kNameCharacters = 15;

  signals:
    void slideshowChosen(int index);
    void saveProjectRequested();
    void loadProjectRequested();
    void addSlideshowRequested();
    void deleteAllSlideshowsRequested();
    void editMenuRequested();
    void deleteSlideshowRequested(int index);
    void moveSlideshowUpRequested(int index);
    void moveSlideshowDownRequested(int index);
    void renameRequested(int index, const QString& name);
    // Files and folders dropped from the file manager.
    void pathsDropped(const std::vector<std::filesystem::path>& paths);

  protected:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // The slideshow an item stands for, or −1 for the disc and menu items.
    int slideshowIndexOf(const QTreeWidgetItem* item) const;
    void itemWasChosen();
    void nameWasEdited(QTreeWidgetItem* item, int column);

    bool commandsOffered_ = true;
    bool filling_ = false;
    // A tree that came while a name was being typed: shown when the typing
    // ends, so that the edit is not thrown away under the user's fingers.
    std::optional<DiscTree> pendingTree_;
    int pendingCurrent_ = -1;
};

}  // namespace velmora
