#pragma once

#include <memory>

#include "gui/pages/page.h"
#include "render/preview_frames.h"
#include "render/transition_preview.h"
#include "workspace/picture_strip.h"
#include "workspace/slideshow_commands.h"
#include "workspace/thumbnail_loader.h"

class QComboBox;
class QMenu;
class QPushButton;

namespace velmora {

class DiscTreeView;
class PictureStripWidget;
class PreviewPane;
class TransitionDialogHost;
class TransitionListView;

// The effects page: the disc overview chooses the slideshow, the picture
// strip shows its pictures with their times and transitions, the list
// offers the transition catalogue with a preview of each entry, and the
// "Apply to ..." menus give a motion category, a display time, a
// transition or a transition time to all pictures or the selected ones.
class EffectsTab final : public Page {
    Q_OBJECT
  public:
    explicit EffectsTab(const PageParts& parts, QWidget* parent = nullptr);
    ~EffectsTab() override;

    // Entering the page, or the settings changed: the tree, the strip on
    // the current slideshow and the preview's format.
    void refreshPage() override;
    // Leaving the page: the preview stops and the strip lets go.
    void stopPreviews() override;

    // The settings dialogs open through `host` (tests answer them).
    void setDialogHost(TransitionDialogHost& host) { dialogHost_ = &host; }

    // The commands, as the buttons, the list and the menus run them.
    void startPreview();
    void customizeTransition();
    void applyMotionCategory(bool selectedOnly);
    void applyDisplayTime(bool selectedOnly);
    void applyTransition(bool selectedOnly);
    void applyTransitionTime(bool selectedOnly);

    DiscTreeView* discTree() const { return tree_; }
    TransitionListView* transitionList() const { return list_; }
    PreviewPane* previewPane() const { return pane_; }
    PictureStripWidget* stripWidget() const { return stripWidget_; }
    PictureStrip& strip() { return strip_; }
    QComboBox* motionCategoryList() const { return motionCategories_; }
    QComboBox* displayTimeList() const { return displayTimes_; }
    QComboBox* transitionTimeList() const { return transitionTimes_; }
    bool thumbnailsLoading() const { return loader_.isLoading(); }
    // The catalogue entry the last preview was asked for (−1: none yet).
    int previewedEntry() const { return previewedEntry_; }

  private:
    QWidget* buildChoiceRow();
    QWidget* buildPreviewColumn();
    QPushButton* addApplyButton(const char* objectName, const QString& accessibleName,
                                void (EffectsTab::*apply)(bool), const QString& allText);
    void connectViews();
    void chooseSlideshow(int index);
    // After pictures or times changed: the disc estimate, the window's
    // duration and disc-usage display, and the tree.
    void picturesChanged();
    void showTree();
    void say(const QString& text);

    PageParts parts_;
    SlideshowCommands commands_;
    PictureStrip strip_;
    ThumbnailLoader loader_;
    SteadyPreviewClock clock_;
    TransitionPreviewJob job_;
    std::unique_ptr<TransitionDialogHost> ownDialogHost_;
    TransitionDialogHost* dialogHost_ = nullptr;
    DiscTreeView* tree_ = nullptr;
    QComboBox* motionCategories_ = nullptr;
    QComboBox* displayTimes_ = nullptr;
    QComboBox* transitionTimes_ = nullptr;
    TransitionListView* list_ = nullptr;
    PreviewPane* pane_ = nullptr;
    PictureStripWidget* stripWidget_ = nullptr;
    int previewedEntry_ = -1;
};

}  // namespace velmora
