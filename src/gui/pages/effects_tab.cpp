#include "gui/pages/effects_tab.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/notifier.h"
#include "disc/disc_overview.h"
#include "gui/disc_tree_view.h"
#include "gui/page_signals.h"
#include "gui/picture_strip_widget.h"
#include "gui/preview_pane.h"
#include "gui/transition_list_view.h"
#include "gui/transition_settings_dialog.h"
#include "model/motion_effect.h"
#include "model/transition_kind.h"
#include "render/preview_state.h"
#include "workspace/application.h"

namespace velmora {

namespace {

constexpr int kStripWidthPixels = 620;
// The lists offer what the strip accepts typed in.
constexpr int kDisplayTimeListEnd = 200;
constexpr int kTransitionTimeListEnd = 10;
constexpr QSize kPreviewCanvas{224, 168};

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QComboBox* numberList(int first, int last, int chosen, const QString& name, QWidget* parent) {
    auto* list = new QComboBox(parent);
    for (int value = first; value <= last; ++value)
        list->addItem(QString::number(value));
    list->setCurrentIndex(std::clamp(chosen, first, last) - first);
    list->setAccessibleName(name);
    list->setMaxVisibleItems(12);
    return list;
}

QLabel* labelFor(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

EffectsTab::EffectsTab(const PageParts& parts, QWidget* parent)
    : Page(parent),
      parts_(parts),
      commands_(parts.app, parts.notifier),
      strip_(parts.app, commands_, kStripWidthPixels),
      ownDialogHost_(std::make_unique<QtTransitionDialogHost>(parts.app.random, this)),
      dialogHost_(ownDialogHost_.get()) {
    job_.firstPicturePath = parts_.app.resources.previewFirstPicture;
    job_.secondPicturePath = parts_.app.resources.previewSecondPicture;

    tree_ = new DiscTreeView(this);
    tree_->setCommandsOffered(false);
    tree_->setMinimumWidth(202);
    tree_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    list_ = new TransitionListView(this);
    list_->fillList(parts_.app.resources.effectCoverFolder);
    stripWidget_ = new PictureStripWidget(strip_, loader_, this);

    auto* right = new QWidget(this);
    auto* grid = new QGridLayout(right);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(buildChoiceRow(), 0, 0);
    grid->addWidget(list_, 1, 0);
    grid->addWidget(buildPreviewColumn(), 0, 1, 2, 1);
    grid->addWidget(stripWidget_, 2, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);

    auto* row = new QHBoxLayout;
    row->addWidget(tree_);
    row->addWidget(right, 1);
    pageLayout()->addLayout(row, 1);
    setTabOrder(tree_, motionCategories_);

    connectViews();
    parts_.preview.stopPreview();
    pane_->showIdlePicture(job_.firstPicturePath);
}

// The strip widget goes first: it holds the strip and the loader, which are
// members and would go before the child widgets.
EffectsTab::~EffectsTab() {
    delete stripWidget_;
}

// The motion and the duration, one above the other: side by side they would
// make the page wider than the window opens.
QWidget* EffectsTab::buildChoiceRow() {
    const EffectSetting& defaults = parts_.app.preferences.defaults.effect;
    auto* row = new QWidget(this);
    auto* layout = new QGridLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    motionCategories_ = new QComboBox(row);
    for (const std::string_view name : motionCategoryNames())
        motionCategories_->addItem(fromView(name));
    motionCategories_->setCurrentIndex(std::clamp(defaults.motionCategory, 0, 3));
    motionCategories_->setAccessibleName(tr("Motion effect"));
    motionCategories_->setToolTip(tr("How the pictures move: none, pans, zooms or rotating zooms"));
    layout->addWidget(labelFor(tr("E&ffet:"), motionCategories_, row), 0, 0);
    layout->addWidget(motionCategories_, 0, 1);
    layout->addWidget(addApplyButton("applyMotionButton", tr("Apply the motion effect"),
                                     &EffectsTab::applyMotionCategory, tr("Apply to all images")),
                      0, 2);

    displayTimes_ = numberList(1, kDisplayTimeListEnd, defaults.displayTime,
                               tr("Photo duration in seconds"), row);
    displayTimes_->setToolTip(tr("How many seconds each picture is shown"));
    layout->addWidget(labelFor(tr("Photo &Duration:"), displayTimes_, row), 1, 0);
    layout->addWidget(displayTimes_, 1, 1);
    layout->addWidget(addApplyButton("applyDisplayTimeButton", tr("Apply the photo duration"),
                                     &EffectsTab::applyDisplayTime, tr("Apply to all images")),
                      1, 2);
    layout->setColumnStretch(3, 1);
    return row;
}

QWidget* EffectsTab::buildPreviewColumn() {
    const EffectSetting& defaults = parts_.app.preferences.defaults.effect;
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* frame = new QFrame(column);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(3, 3, 3, 3);
    pane_ = new PreviewPane(kPreviewCanvas, frame);
    frameLayout->addWidget(pane_);
    layout->addWidget(frame, 0, Qt::AlignHCenter);

    auto* grid = new QGridLayout;
    auto* custom = new QPushButton(tr("Transition Effect &Custom"), column);
    custom->setObjectName(QStringLiteral("customizeTransitionButton"));
    custom->setToolTip(tr("The settings of the transition chosen in the list"));
    connect(custom, &QPushButton::clicked, this, &EffectsTab::customizeTransition);
    grid->addWidget(custom, 0, 0, 1, 2);
    grid->addWidget(addApplyButton("applyTransitionButton", tr("Apply the transition"),
                                   &EffectsTab::applyTransition, tr("Apply to all images")),
                    0, 2);

    transitionTimes_ = numberList(0, kTransitionTimeListEnd, defaults.transitionTime,
                                  tr("Effect duration in seconds"), column);
    transitionTimes_->setToolTip(tr("How many seconds each transition lasts"));
    grid->addWidget(labelFor(tr("Effect D&uration:"), transitionTimes_, column), 1, 0);
    grid->addWidget(transitionTimes_, 1, 1);
    grid->addWidget(addApplyButton("applyTransitionTimeButton", tr("Apply the effect duration"),
                                   &EffectsTab::applyTransitionTime, tr("Apply to all imges")),
                    1, 2);
    layout->addLayout(grid);
    layout->addStretch(1);
    return column;
}

// An "Apply to ..." button opening its menu below itself: all pictures or
// the selected ones.
QPushButton* EffectsTab::addApplyButton(const char* objectName, const QString& accessibleName,
                                        void (EffectsTab::*apply)(bool), const QString& allText) {
    auto* button = new QPushButton(tr("Apply to ..."), this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    auto* menu = new QMenu(button);
    QAction* all = menu->addAction(allText);
    all->setObjectName(QStringLiteral("allAction"));
    QAction* selected = menu->addAction(tr("Apply to selected images"));
    selected->setObjectName(QStringLiteral("selectedAction"));
    connect(all, &QAction::triggered, this, [this, apply] { (this->*apply)(false); });
    connect(selected, &QAction::triggered, this, [this, apply] { (this->*apply)(true); });
    button->setMenu(menu);
    return button;
}

void EffectsTab::connectViews() {
    connect(tree_, &DiscTreeView::slideshowChosen, this, &EffectsTab::chooseSlideshow);
    connect(list_, &TransitionListView::previewRequested, this, [this] { startPreview(); });
    connect(stripWidget_, &PictureStripWidget::picturesChanged, this, &EffectsTab::picturesChanged);
}

// ---- the page's life

void EffectsTab::refreshPage() {
    parts_.preview.stopPreview();
    pane_->showIdlePicture(job_.firstPicturePath);
    // The effects page always previews on the 4:3 canvas.
    job_.format = VideoFormat{parts_.app.project.videoFormat().standard, AspectRatio::Standard};
    showTree();
    const Project& project = parts_.app.project;
    if (project.currentSlideshow >= 0 && project.currentSlideshow < int(project.slideshows.size()))
        strip_.showSlideshow(project.currentSlideshow);
    else
        strip_.clearStrip();
    stripWidget_->refresh();
}

void EffectsTab::stopPreviews() {
    parts_.preview.stopPreview();
    pane_->showIdle();
    strip_.clearStrip();
    stripWidget_->refresh();
}

void EffectsTab::chooseSlideshow(int index) {
    Project& project = parts_.app.project;
    if (index < 0 || index >= int(project.slideshows.size()) || index == project.currentSlideshow)
        return;
    project.currentSlideshow = index;
    strip_.showSlideshow(index);
    stripWidget_->refresh();
}

void EffectsTab::showTree() {
    Project& project = parts_.app.project;
    tree_->showTree(rebuildDiscTree(project, parts_.app.menu), project.currentSlideshow);
}

void EffectsTab::picturesChanged() {
    parts_.app.project.estimateDiscSize();
    emit parts_.pageSignals.projectSizeChanged();
    showTree();
}

void EffectsTab::say(const QString& text) {
    emit parts_.pageSignals.statusMessage(text);
}

// ---- the preview and the catalogue

void EffectsTab::startPreview() {
    const int entry = list_->selectedEntry();
    if (entry < 0 || parts_.preview.isPreviewStopping()) return;
    previewedEntry_ = entry;
    parts_.preview.stopPreview();
    // Frames of the stopped run still on their way are dropped.
    pane_->showIdle();
    Application& app = parts_.app;
    job_.displayTime = displayTimes_->currentIndex() + 1;
    job_.transitionTime = transitionTimes_->currentIndex();
    job_.motionEffect =
        static_cast<int>(drawMotionEffect(motionCategories_->currentIndex(), app.random));
    // Random previews a kind drawn at random, never itself.
    const int shown = resolvePreviewCatalogueEntry(entry, app.random);
    job_.transition = &app.preferences.catalogue.entry(shown);
    job_.sink = pane_;
    startTransitionPreview(parts_.preview, job_, app.random, clock_);
}

void EffectsTab::customizeTransition() {
    const int entry = list_->selectedEntry();
    if (entry < 0) {
        parts_.notifier.show("No select Transtion Effect in list!", "Velmora",
                             NotifierIcon::Information);
        return;
    }
    TransitionSetting& transition = parts_.app.preferences.catalogue.entry(entry);
    if (transition.kind() == TransitionKind::Random) {
        say(tr("Random has no settings: it gives every picture a transition of its own."));
        return;
    }
    if (transition.showSettingsDialog(*dialogHost_))
        say(tr("%1 will be applied with the new settings.")
                .arg(fromView(transitionKindInfo(transition.kind()).name)));
}

// ---- the "Apply to ..." commands

void EffectsTab::applyMotionCategory(bool selectedOnly) {
    if (strip_.slideshow() == nullptr) return;
    strip_.applyMotionCategory(selectedOnly, motionCategories_->currentIndex());
    stripWidget_->refresh();
    say(tr("The motion effect \"%1\" was given to %2.")
            .arg(motionCategories_->currentText(),
                 selectedOnly ? tr("the selected pictures") : tr("every picture")));
}

void EffectsTab::applyDisplayTime(bool selectedOnly) {
    if (strip_.slideshow() == nullptr) return;
    strip_.applyDisplayTime(selectedOnly, displayTimes_->currentIndex() + 1);
    stripWidget_->refresh();
    picturesChanged();
    say(tr("%n second(s) per picture given to %1.", nullptr, displayTimes_->currentIndex() + 1)
            .arg(selectedOnly ? tr("the selected pictures") : tr("every picture")));
}

void EffectsTab::applyTransition(bool selectedOnly) {
    const int entry = list_->selectedEntry();
    if (strip_.slideshow() == nullptr || entry < 0) return;
    strip_.applyTransition(selectedOnly, entry);
    stripWidget_->refresh();
    say(tr("The transition \"%1\" was given to %2.")
            .arg(list_->selectedItems().front()->text(),
                 selectedOnly ? tr("the selected pictures") : tr("every picture")));
}

void EffectsTab::applyTransitionTime(bool selectedOnly) {
    if (strip_.slideshow() == nullptr) return;
    strip_.applyTransitionTime(selectedOnly, transitionTimes_->currentIndex());
    stripWidget_->refresh();
    picturesChanged();
    say(tr("%n second(s) of transition given to %1.", nullptr, transitionTimes_->currentIndex())
            .arg(selectedOnly ? tr("the selected pictures") : tr("every picture")));
}

}  // namespace velmora
