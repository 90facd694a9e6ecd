#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

#include "menu/menu_preview_navigator.h"
#include "render/preview_frames.h"
#include "render/slideshow_preview.h"

class QPushButton;
class QStackedLayout;

namespace velmora {

class Application;
class AudioPreview;
class MenuPreviewView;
class PreviewPane;
class PreviewState;

// What the menu preview plays with; all outlive the dialog.
struct MenuPreviewParts {
    Application& app;
    PreviewState& preview;
    AudioPreview& audioPreview;
};

// Plays the menu as a DVD player would: the page picture with the focused
// button outlined, paging by the navigation buttons with the menu music
// starting again, and a slideshow button playing its slideshow and every
// one after it on the same screen, then the menu again. Mouse, arrow keys
// and Enter drive it. The page pictures must have been made before.
class MenuPreviewDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit MenuPreviewDialog(const MenuPreviewParts& parts, QWidget* parent = nullptr);
    ~MenuPreviewDialog() override;

    int shownPage() const { return navigator_.shownPage(); }
    bool isPlayingSlideshow() const { return navigator_.playedSlideshow() >= 0; }
    // The slideshow that plays, −1 while the menu shows.
    int playedSlideshow() const { return navigator_.playedSlideshow(); }
    QWidget* menuView() const;
    PreviewPane* videoView() const { return videoView_; }
    QPushButton* menuButton() const { return menuButton_; }
    const MenuPreviewNavigator& navigator() const { return navigator_; }
    // The screen's size in pixels: 368 × 276, or 368 × 207 for a wide disc.
    QSize viewSize() const { return viewSize_; }

    // Every way of closing ends here: the slideshow and the music stop.
    void done(int result) override;

  private:
    void apply(const MenuPreviewStep& step);
    void playSlideshow(int index);
    void showMenu();
    void showPagePicture();
    void restartMenuMusic();
    void backToMenuNow();
    void stopEverything();

    MenuPreviewParts parts_;
    QSize viewSize_;
    MenuPreviewNavigator navigator_;
    MenuPreviewView* menuView_ = nullptr;
    PreviewPane* videoView_ = nullptr;
    QStackedLayout* screens_ = nullptr;
    QPushButton* menuButton_ = nullptr;
    SlideshowPreviewJob job_;
    SteadyPreviewClock clock_;
    // Counts the slideshow runs started: the end notice of a run that was
    // stopped, or replaced, arrives late and must not move the preview on.
    int slideshowRun_ = 0;
};

}  // namespace velmora
