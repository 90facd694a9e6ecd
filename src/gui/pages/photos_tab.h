#pragma once

#include <QHash>
#include <filesystem>
#include <vector>

#include "gui/pages/page.h"
#include "workspace/slideshow_commands.h"
#include "workspace/thumbnail_loader.h"

class QAction;
class QFrame;
class QMenu;
class QStackedWidget;
class QToolButton;

namespace velmora {

class DiscTreeView;
class PictureView;

// The photos and slideshows page: the disc overview on the left chooses
// the slideshow, its pictures fill the right side as thumbnails or a
// detail list, and the tool buttons above them run the commands.
class PhotosTab final : public Page {
    Q_OBJECT
  public:
    explicit PhotosTab(const PageParts& parts, QWidget* parent = nullptr);

    void refreshPage() override;

    // The hint of a user's first starts: where to begin.
    void showFirstStartHint();
    bool isFirstStartHintShown() const;

    DiscTreeView* discTree() const { return tree_; }
    PictureView* pictureView() const { return pictures_; }
    QToolButton* button(const char* objectName) const;
    // The commands of the picture context menu, by object name.
    QAction* pictureAction(const char* objectName) const;

    // The commands, as the buttons and menus run them.
    void importFolders();
    // Imports the folders as the import command does (one slideshow each).
    void importFolderList(const std::vector<std::filesystem::path>& folders);
    void addSlideshow();
    void deleteSlideshow();
    void moveSlideshowUp();
    void moveSlideshowDown();
    void addPictures();
    void deletePictures();
    void movePictureUp();
    void movePictureDown();
    void rotatePictures(bool left);
    void editPicture();
    void setMenuThumbnail();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildButtons(QWidget* slideshowBar, QWidget* pictureBar);
    QWidget* buildEmptyState();
    void buildPictureMenus();
    QToolButton* addButton(QWidget* bar, const char* objectName, const QString& iconName,
                           const QString& tooltip, void (PhotosTab::*command)());
    void connectViews();

    // After every command that changed pictures or slideshows: the views,
    // the tree and the window's duration and disc-usage display.
    void projectChanged(const std::vector<int>& selection = {});
    void showSlideshow(int index);
    void updateButtons();
    // A picture command may not run while the thumbnails still load.
    bool picturesReady();
    void reportAdded(const AddedPictures& added);
    void reportImport(const ImportResult& result);
    void say(const QString& text);
    void placeHint();

    void dropPictures(const std::vector<std::filesystem::path>& paths);
    void dropSlideshows(const std::vector<std::filesystem::path>& paths);
    void movePictures(const std::vector<int>& pictures, int position);
    void renameSlideshow(int index, const QString& name);
    void showPictureMenu(QPoint globalPosition);
    void setViewMode(int mode);
    void setThumbnailSizeClass(int sizeClass);

    PageParts parts_;
    SlideshowCommands commands_;
    ThumbnailLoader loader_;
    DiscTreeView* tree_;
    PictureView* pictures_;
    QStackedWidget* rightSide_;
    QFrame* hint_;
    QMenu* pictureMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QHash<QString, QToolButton*> buttons_;
};

}  // namespace velmora
