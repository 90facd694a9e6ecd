#pragma once

#include <QIcon>
#include <QTimer>
#include <filesystem>
#include <vector>

#include "gui/pages/page.h"
#include "render/preview_frames.h"
#include "render/slideshow_preview.h"
#include "workspace/music_list.h"

class QLabel;
class QPushButton;

namespace velmora {

class DiscTreeView;
class MusicListView;
class PreviewPane;

// The music and preview page: the disc overview chooses the slideshow the
// preview plays; the music list is the first slideshow's tracks, the disc's
// one soundtrack, with its add, delete and move commands and a way to hear
// a track. While music or a preview plays, the commands that would change
// or start something wait; a 500 ms check gives them back once both ended.
class MusicTab final : public Page {
    Q_OBJECT
  public:
    explicit MusicTab(const PageParts& parts, QWidget* parent = nullptr);

    // Entering the page, or the settings changed: the tree, the music list
    // and the preview's canvas for the disc's aspect ratio.
    void refreshPage() override;
    // Leaving the page: the slideshow preview stops (the window stops the
    // music itself).
    void stopPreviews() override;

    // The commands, as the buttons run them.
    void addMusic();
    void addMusicFiles(const std::vector<std::filesystem::path>& paths);
    void deleteMusic();
    void moveMusicUp();
    void moveMusicDown();
    void playMusic();
    void stopMusic();
    void previewSlideshow();
    void stopSlideshowPreview();

    DiscTreeView* discTree() const { return tree_; }
    MusicListView* musicList() const { return list_; }
    PreviewPane* previewPane() const { return pane_; }
    // False while music or a preview plays.
    bool controlsEnabled() const { return controlsEnabled_; }

  private:
    QWidget* buildPreviewRow();
    QWidget* buildMusicBox();
    QPushButton* addButton(const char* objectName, const QString& text, const QString& tip,
                           void (MusicTab::*command)());
    QIcon icon(const QString& name) const;
    void chooseSlideshow(int index);
    void fillMusicList(int selected);
    void showTree();
    void showPreviewTitle();
    // The 500 ms check: both ended, the commands come back.
    void watchPlayback();
    void setControlsEnabled(bool enabled);
    void updateButtons();
    void musicChanged(int selected);
    void say(const QString& text);

    PageParts parts_;
    MusicList music_;
    SlideshowPreviewJob job_;
    SteadyPreviewClock clock_;
    QTimer playbackWatch_;
    // Counts preview starts: the end of a preview that another start
    // replaced must not stop the music of the new one.
    int previewRun_ = 0;
    bool controlsEnabled_ = true;
    bool musicRequested_ = false;  // the last start was "Play Music"
    // Where the music dialog opens: the user's music folder at first (not
    // the default music's, which is ours), then where music was last taken.
    std::filesystem::path musicFolder_;
    DiscTreeView* tree_ = nullptr;
    PreviewPane* pane_ = nullptr;
    QLabel* previewTitle_ = nullptr;
    MusicListView* list_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
    QPushButton* upButton_ = nullptr;
    QPushButton* downButton_ = nullptr;
    QPushButton* playButton_ = nullptr;
    QPushButton* stopMusicButton_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    QPushButton* stopPreviewButton_ = nullptr;
};

}  // namespace velmora
