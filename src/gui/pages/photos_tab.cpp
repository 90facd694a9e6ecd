#include "gui/pages/photos_tab.h"

#include <QAction>
#include <QActionGroup>
#include <QDragEnterEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "base/notifier.h"
#include "disc/disc_overview.h"
#include "gui/disc_tree_view.h"
#include "gui/file_dialogs.h"
#include "gui/page_signals.h"
#include "gui/picture_editor_dialog.h"
#include "gui/picture_view.h"
#include "gui/theme_icons.h"
#include "workspace/application.h"

namespace velmora {

namespace {

// The empty page takes photos and folders from the file manager too.
class DropArea final : public QFrame {
  public:
    explicit DropArea(std::function<void(std::vector<std::filesystem::path>)> dropped,
                      QWidget* parent)
        : QFrame(parent), dropped_(std::move(dropped)) {
        setAcceptDrops(true);
    }

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasUrls()) event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override {
        std::vector<std::filesystem::path> paths;
        for (const QUrl& url : event->mimeData()->urls())
            if (url.isLocalFile()) paths.emplace_back(url.toLocalFile().toStdString());
        if (paths.empty()) return;
        event->acceptProposedAction();
        dropped_(paths);
    }

  private:
    std::function<void(std::vector<std::filesystem::path>)> dropped_;
};

QString fileNameOf(const std::filesystem::path& file) {
    return QString::fromStdString(file.filename().string());
}

}  // namespace

PhotosTab::PhotosTab(const PageParts& parts, QWidget* parent)
    : Page(parent),
      parts_(parts),
      commands_(parts.app, parts.notifier),
      tree_(new DiscTreeView(this)),
      pictures_(new PictureView(loader_, this)),
      rightSide_(new QStackedWidget(this)),
      hint_(new QFrame(this)) {
    auto* slideshowBar = new QWidget(this);
    auto* pictureBar = new QWidget(this);
    buildButtons(slideshowBar, pictureBar);
    buildPictureMenus();

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(slideshowBar);
    leftLayout->addWidget(tree_, 1);

    rightSide_->addWidget(buildEmptyState());
    rightSide_->addWidget(pictures_);
    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(pictureBar);
    rightLayout->addWidget(rightSide_, 1);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("photosSplitter"));
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 620});
    pageLayout()->setContentsMargins(4, 4, 4, 4);
    pageLayout()->addWidget(splitter);

    // The first-start balloon, over the page, pointing at "Add Slideshow".
    hint_->setObjectName(QStringLiteral("firstStartHint"));
    hint_->setFrameShape(QFrame::StyledPanel);
    hint_->setAutoFillBackground(true);
    hint_->setBackgroundRole(QPalette::ToolTipBase);
    auto* hintText = new QLabel(tr("Please add slideshow here!"), hint_);
    QFont hintFont(QStringLiteral("Arial"));
    hintFont.setPixelSize(16);
    hintFont.setWeight(QFont::Bold);
    hintText->setFont(hintFont);
    hintText->setForegroundRole(QPalette::ToolTipText);
    auto* hintLayout = new QHBoxLayout(hint_);
    hintLayout->addWidget(hintText);
    hint_->hide();
    hint_->setToolTip(tr("Click to hide"));
    hint_->installEventFilter(this);

    connectViews();
    refreshPage();
}

// ---- building

QToolButton* PhotosTab::addButton(QWidget* bar, const char* objectName, const QString& iconName,
                                  const QString& tooltip, void (PhotosTab::*command)()) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setIcon(themeIcon(iconName, parts_.app.folders.resourceFolder));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setToolTip(tooltip);
    button->setAccessibleName(tooltip);
    if (command != nullptr) connect(button, &QToolButton::clicked, this, command);
    bar->layout()->addWidget(button);
    buttons_.insert(button->objectName(), button);
    return button;
}

void PhotosTab::buildButtons(QWidget* slideshowBar, QWidget* pictureBar) {
    for (QWidget* bar : {slideshowBar, pictureBar}) {
        auto* layout = new QHBoxLayout(bar);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(2);
    }
    addButton(slideshowBar, "importButton", QStringLiteral("folder-open"),
              tr("Add Slideshow, Import Images From Folder"), &PhotosTab::importFolders);
    addButton(slideshowBar, "addSlideshowButton", QStringLiteral("list-add"),
              tr("Add Slideshow, Add picture file"), &PhotosTab::addSlideshow);
    addButton(slideshowBar, "deleteSlideshowButton", QStringLiteral("list-remove"),
              tr("Delete Slideshow"), &PhotosTab::deleteSlideshow);
    addButton(slideshowBar, "moveSlideshowUpButton", QStringLiteral("go-up"),
              tr("Move Up Slideshow"), &PhotosTab::moveSlideshowUp);
    addButton(slideshowBar, "moveSlideshowDownButton", QStringLiteral("go-down"),
              tr("Move Down Slideshow"), &PhotosTab::moveSlideshowDown);
    static_cast<QHBoxLayout*>(slideshowBar->layout())->addStretch();

    addButton(pictureBar, "addPictureButton", QStringLiteral("insert-image"), tr("Add Picture"),
              &PhotosTab::addPictures);
    addButton(pictureBar, "deletePictureButton", QStringLiteral("edit-delete"),
              tr("Delete Picture"), &PhotosTab::deletePictures);
    addButton(pictureBar, "movePictureUpButton", QStringLiteral("go-up"), tr("Move Up Picture"),
              &PhotosTab::movePictureUp);
    addButton(pictureBar, "movePictureDownButton", QStringLiteral("go-down"),
              tr("Move Down Picture"), &PhotosTab::movePictureDown);
    addButton(pictureBar, "arrangeButton", QStringLiteral("view-sort-ascending"),
              tr("Arrange Picture"), nullptr);
    connect(addButton(pictureBar, "rotateLeftButton", QStringLiteral("object-rotate-left"),
                      tr("Rotate left Picture"), nullptr),
            &QToolButton::clicked, this, [this] { rotatePictures(true); });
    connect(addButton(pictureBar, "rotateRightButton", QStringLiteral("object-rotate-right"),
                      tr("Rotate right Picture"), nullptr),
            &QToolButton::clicked, this, [this] { rotatePictures(false); });
    addButton(pictureBar, "editPictureButton", QStringLiteral("document-edit"), tr("Edit Picture"),
              &PhotosTab::editPicture);
    static_cast<QHBoxLayout*>(pictureBar->layout())->addStretch();
    addButton(pictureBar, "displayModeButton", QStringLiteral("view-list-icons"),
              tr("Look up mode"), nullptr);
    QToolButton* names = addButton(pictureBar, "fileNamesButton", QStringLiteral("insert-text"),
                                   tr("Hide file name or not"), nullptr);
    names->setCheckable(true);
    names->setChecked(true);
    connect(names, &QToolButton::toggled, pictures_, &PictureView::setShowNames);
}

QWidget* PhotosTab::buildEmptyState() {
    auto* empty = new DropArea(
        [this](std::vector<std::filesystem::path> paths) { dropSlideshows(paths); }, this);
    empty->setObjectName(QStringLiteral("emptyPhotos"));
    empty->setFrameShape(QFrame::StyledPanel);
    auto* title = new QLabel(tr("No slideshow yet"), empty);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    title->setFont(titleFont);
    auto* text = new QLabel(tr("Add photos to make your first slideshow, import whole folders "
                               "(one slideshow each), or drop photos and folders here."),
                            empty);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    auto* addPhotos = new QPushButton(
        themeIcon(QStringLiteral("insert-image"), parts_.app.folders.resourceFolder),
        tr("Add Photos..."), empty);
    addPhotos->setObjectName(QStringLiteral("emptyAddButton"));
    connect(addPhotos, &QPushButton::clicked, this, &PhotosTab::addSlideshow);
    auto* import =
        new QPushButton(themeIcon(QStringLiteral("folder-open"), parts_.app.folders.resourceFolder),
                        tr("Import Folders..."), empty);
    import->setObjectName(QStringLiteral("emptyImportButton"));
    connect(import, &QPushButton::clicked, this, &PhotosTab::importFolders);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(addPhotos);
    buttons->addWidget(import);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(empty);
    layout->addStretch();
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(text);
    layout->addLayout(buttons);
    layout->addStretch();
    return empty;
}

void PhotosTab::buildPictureMenus() {
    auto* arrange = new QMenu(tr("Picture Rearrange"), this);
    arrange->setObjectName(QStringLiteral("arrangeMenu"));
    const auto sortBy = [this](Slideshow::SortKey key, Slideshow::SortOrder order) {
        if (!picturesReady()) return;
        commands_.sortPictures(key, order);
        projectChanged();
    };
    using Key = Slideshow::SortKey;
    using Order = Slideshow::SortOrder;
    arrange->addAction(tr("Ascending by Name"), this,
                       [=] { sortBy(Key::FileName, Order::Ascending); });
    arrange->addAction(tr("Descending by Name"), this,
                       [=] { sortBy(Key::FileName, Order::Descending); });
    arrange->addAction(tr("Ascending by Date"), this,
                       [=] { sortBy(Key::ModifiedTime, Order::Ascending); });
    arrange->addAction(tr("Descending by Date"), this,
                       [=] { sortBy(Key::ModifiedTime, Order::Descending); });
    button("arrangeButton")->setMenu(arrange);
    button("arrangeButton")->setPopupMode(QToolButton::InstantPopup);

    viewMenu_ = new QMenu(tr("Display Mode"), this);
    viewMenu_->setObjectName(QStringLiteral("displayModeMenu"));
    auto* modes = new QActionGroup(viewMenu_);
    const QString modeNames[] = {tr("Big thumbnail"), tr("Detail list")};
    for (int mode = 0; mode < 2; ++mode) {
        QAction* action =
            viewMenu_->addAction(modeNames[mode], this, [this, mode] { setViewMode(mode); });
        action->setObjectName(mode == 0 ? QStringLiteral("thumbnailModeAction")
                                        : QStringLiteral("detailModeAction"));
        action->setCheckable(true);
        action->setChecked(mode == 0);
        modes->addAction(action);
    }
    QMenu* sizes = viewMenu_->addMenu(tr("Thumbnail Size"));
    sizes->setObjectName(QStringLiteral("thumbnailSizeMenu"));
    auto* sizeGroup = new QActionGroup(sizes);
    const char* const sizeNames[] = {"40X30", "80X60", "160X120", "320X240"};
    for (int sizeClass = 0; sizeClass < 4; ++sizeClass) {
        QAction* action = sizes->addAction(QString::fromLatin1(sizeNames[sizeClass]), this,
                                           [this, sizeClass] { setThumbnailSizeClass(sizeClass); });
        action->setCheckable(true);
        action->setChecked(sizeClass == pictures_->thumbnailSizeClass());
        sizeGroup->addAction(action);
    }
    button("displayModeButton")->setMenu(viewMenu_);
    button("displayModeButton")->setPopupMode(QToolButton::InstantPopup);

    pictureMenu_ = new QMenu(this);
    pictureMenu_->setObjectName(QStringLiteral("pictureMenu"));
    const auto addItem = [this](const char* objectName, const QString& text, auto command) {
        QAction* action = pictureMenu_->addAction(text, this, command);
        action->setObjectName(QString::fromLatin1(objectName));
        return action;
    };
    addItem("modifyAction", tr("Modify pic"), [this] { editPicture(); });
    addItem("deleteAction", tr("Delete"), [this] { deletePictures(); });
    pictureMenu_->addSeparator();
    const auto onSelection = [this](void (SlideshowCommands::*command)(const std::vector<int>&)) {
        if (!picturesReady()) return;
        const std::vector<int> selected = pictures_->selectedPictures();
        (commands_.*command)(selected);
        pictures_->refreshTexts();
        emit parts_.pageSignals.projectSizeChanged();
    };
    addItem("resetMotionAction", tr("Reset image effect(No Pan/Zoom/Rotate)"),
            [=] { onSelection(&SlideshowCommands::resetMotionEffects); });
    addItem("randomMotionAction", tr("Randomize image effect (Pan/Zoom/Rotate)"),
            [=] { onSelection(&SlideshowCommands::randomizeMotionEffects); });
    addItem("randomTransitionAction", tr("Randomize transition effect"),
            [=] { onSelection(&SlideshowCommands::randomizeTransitions); });
    pictureMenu_->addSeparator();
    addItem("menuThumbnailAction", tr("Set as menu thumbnail"), [this] { setMenuThumbnail(); });

    // Keys of the picture view: Delete, and [ ] to turn pictures.
    const auto addKey = [this](QKeySequence key, auto command) {
        auto* action = new QAction(pictures_);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(action, &QAction::triggered, this, command);
        pictures_->addAction(action);
    };
    addKey(QKeySequence::Delete, [this] { deletePictures(); });
    addKey(QKeySequence(Qt::Key_BracketLeft), [this] { rotatePictures(true); });
    addKey(QKeySequence(Qt::Key_BracketRight), [this] { rotatePictures(false); });
}

void PhotosTab::connectViews() {
    connect(tree_, &DiscTreeView::slideshowChosen, this, &PhotosTab::showSlideshow);
    connect(tree_, &DiscTreeView::saveProjectRequested, &parts_.pageSignals,
            &PageSignals::saveRequested);
    connect(tree_, &DiscTreeView::loadProjectRequested, &parts_.pageSignals,
            &PageSignals::openRequested);
    connect(tree_, &DiscTreeView::addSlideshowRequested, this, &PhotosTab::addSlideshow);
    connect(tree_, &DiscTreeView::deleteAllSlideshowsRequested, this, [this] {
        if (commands_.deleteAllSlideshows()) projectChanged();
    });
    connect(tree_, &DiscTreeView::editMenuRequested, &parts_.pageSignals,
            &PageSignals::menuPageRequested);
    connect(tree_, &DiscTreeView::deleteSlideshowRequested, this, [this](int index) {
        if (commands_.deleteSlideshow(index)) projectChanged();
    });
    connect(tree_, &DiscTreeView::moveSlideshowUpRequested, this, [this](int index) {
        commands_.moveSlideshowUp(index);
        projectChanged();
    });
    connect(tree_, &DiscTreeView::moveSlideshowDownRequested, this, [this](int index) {
        commands_.moveSlideshowDown(index);
        projectChanged();
    });
    connect(tree_, &DiscTreeView::renameRequested, this, &PhotosTab::renameSlideshow);
    connect(tree_, &DiscTreeView::pathsDropped, this, &PhotosTab::dropSlideshows);

    connect(pictures_, &PictureView::busyChanged, this, &PhotosTab::updateButtons);
    connect(pictures_, &PictureView::selectionChanged, this, &PhotosTab::updateButtons);
    connect(pictures_, &PictureView::pictureActivated, this, [this] { editPicture(); });
    connect(pictures_, &PictureView::contextMenuRequested, this, &PhotosTab::showPictureMenu);
    connect(pictures_, &PictureView::picturesMoved, this, &PhotosTab::movePictures);
    connect(pictures_, &PictureView::pathsDropped, this, &PhotosTab::dropPictures);
}

QToolButton* PhotosTab::button(const char* objectName) const {
    return buttons_.value(QString::fromLatin1(objectName));
}

QAction* PhotosTab::pictureAction(const char* objectName) const {
    return pictureMenu_->findChild<QAction*>(QString::fromLatin1(objectName));
}

// ---- showing

void PhotosTab::refreshPage() {
    projectChanged(pictures_->selectedPictures());
}

void PhotosTab::projectChanged(const std::vector<int>& selection) {
    Project& project = parts_.app.project;
    tree_->showTree(rebuildDiscTree(project, parts_.app.menu), project.currentSlideshow);
    Slideshow* slideshow = commands_.currentSlideshow();
    rightSide_->setCurrentIndex(project.slideshows.empty() ? 0 : 1);
    pictures_->showSlideshow(slideshow, selection);
    updateButtons();
    emit parts_.pageSignals.projectSizeChanged();
}

void PhotosTab::showSlideshow(int index) {
    Project& project = parts_.app.project;
    if (index == project.currentSlideshow) return;
    project.setCurrentSlideshow(index);
    pictures_->showSlideshow(commands_.currentSlideshow());
    updateButtons();
}

void PhotosTab::updateButtons() {
    const Project& project = parts_.app.project;
    const bool hasSlideshow = project.currentSlideshow >= 0 && !project.slideshows.empty();
    const bool ready = hasSlideshow && !pictures_->isBusy();
    const size_t selected = pictures_->selectedPictures().size();
    button("deleteSlideshowButton")->setEnabled(hasSlideshow);
    button("moveSlideshowUpButton")->setEnabled(hasSlideshow && project.currentSlideshow > 0);
    button("moveSlideshowDownButton")
        ->setEnabled(hasSlideshow && project.currentSlideshow + 1 < int(project.slideshows.size()));
    button("addPictureButton")->setEnabled(ready);
    button("deletePictureButton")->setEnabled(ready && selected > 0);
    button("movePictureUpButton")->setEnabled(ready && selected > 0);
    button("movePictureDownButton")->setEnabled(ready && selected == 1);
    button("arrangeButton")->setEnabled(ready);
    button("rotateLeftButton")->setEnabled(ready && selected > 0);
    button("rotateRightButton")->setEnabled(ready && selected > 0);
    button("editPictureButton")->setEnabled(ready && selected == 1);
    pictureAction("modifyAction")->setEnabled(ready && selected == 1);
    pictureAction("menuThumbnailAction")->setEnabled(ready && selected == 1);
    for (const char* name :
         {"deleteAction", "resetMotionAction", "randomMotionAction", "randomTransitionAction"})
        pictureAction(name)->setEnabled(ready && selected > 0);
}

bool PhotosTab::picturesReady() {
    if (commands_.currentSlideshow() == nullptr) return false;
    if (!pictures_->isBusy()) return true;
    say(tr("The thumbnails are still loading; try again in a moment."));
    return false;
}

void PhotosTab::say(const QString& text) {
    emit parts_.pageSignals.statusMessage(text);
}

void PhotosTab::reportAdded(const AddedPictures& added) {
    QString text =
        added.added == 1 ? tr("1 picture added.") : tr("%1 pictures added.").arg(added.added);
    if (!added.refused.empty()) {
        const RefusedPicture& first = added.refused.front();
        text += QLatin1Char(' ') +
                tr("%1 not added: %2 %3")
                    .arg(added.refused.size())
                    .arg(fileNameOf(first.file), QString::fromStdString(first.reason));
        if (added.refused.size() > 1) text += tr(" (the log names every one)");
        text += QLatin1Char('.');
    }
    say(text);
}

void PhotosTab::reportImport(const ImportResult& result) {
    QString text = result.slideshowsAdded == 1
                       ? tr("1 slideshow imported.")
                       : tr("%1 slideshows imported.").arg(result.slideshowsAdded);
    if (!result.refusedPictures.empty())
        text += QLatin1Char(' ') + tr("%1 of the pictures not taken (the log says why).")
                                       .arg(result.refusedPictures.size());
    say(text);
}

void PhotosTab::showFirstStartHint() {
    hint_->show();
    hint_->raise();
    placeHint();
}

bool PhotosTab::isFirstStartHintShown() const {
    return !hint_->isHidden();
}

void PhotosTab::placeHint() {
    QToolButton* target = button("addSlideshowButton");
    hint_->adjustSize();
    const QPoint below = target->mapTo(this, QPoint(target->width() / 2, target->height() + 4));
    hint_->move(std::max(0, below.x() - hint_->width() / 4), below.y());
}

bool PhotosTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched == hint_ && event->type() == QEvent::MouseButtonPress) hint_->hide();
    return Page::eventFilter(watched, event);
}

void PhotosTab::resizeEvent(QResizeEvent* event) {
    Page::resizeEvent(event);
    if (!hint_->isHidden()) placeHint();
}

// ---- slideshow commands

void PhotosTab::importFolders() {
    hint_->hide();
    const std::vector<std::filesystem::path> folders =
        parts_.fileDialogs.chooseImportFolders(parts_.app.preferences.pictureFolder);
    importFolderList(folders);
}

void PhotosTab::importFolderList(const std::vector<std::filesystem::path>& folders) {
    hint_->hide();
    if (folders.empty()) return;
    const ImportResult result = commands_.importFolders(folders);
    if (result.slideshowsAdded > 0) projectChanged();
    reportImport(result);
}

void PhotosTab::addSlideshow() {
    hint_->hide();
    const int index = commands_.startSlideshow();
    if (index < 0) return;
    const std::vector<std::filesystem::path> files =
        parts_.fileDialogs.openPictureFiles(parts_.app.preferences.pictureFolder);
    AddedPictures added;
    commands_.fillNewSlideshow(index, files, &added);
    projectChanged();
    if (!files.empty()) reportAdded(added);
}

void PhotosTab::deleteSlideshow() {
    if (commands_.deleteSlideshow(parts_.app.project.currentSlideshow)) projectChanged();
}

void PhotosTab::moveSlideshowUp() {
    commands_.moveSlideshowUp(parts_.app.project.currentSlideshow);
    projectChanged();
}

void PhotosTab::moveSlideshowDown() {
    commands_.moveSlideshowDown(parts_.app.project.currentSlideshow);
    projectChanged();
}

void PhotosTab::renameSlideshow(int index, const QString& name) {
    if (!commands_.renameSlideshow(index, name.toStdString()))
        say(tr("The slideshow keeps its name: another one is called \"%1\".").arg(name));
    // Shown again either way: the model's name is the one that holds.
    QMetaObject::invokeMethod(
        this, [this] { projectChanged(pictures_->selectedPictures()); }, Qt::QueuedConnection);
}

void PhotosTab::dropSlideshows(const std::vector<std::filesystem::path>& paths) {
    hint_->hide();
    const ImportResult result = commands_.dropSlideshows(paths);
    projectChanged();
    reportImport(result);
}

// ---- picture commands

void PhotosTab::addPictures() {
    if (!picturesReady()) return;
    const std::vector<std::filesystem::path> files =
        parts_.fileDialogs.openPictureFiles(parts_.app.preferences.pictureFolder);
    if (files.empty()) return;
    const int before = int(commands_.currentSlideshow()->pictures.size());
    const AddedPictures added = commands_.addPictures(files);
    std::vector<int> selection;
    for (int i = 0; i < added.added; ++i)
        selection.push_back(before + i);
    projectChanged(selection);
    reportAdded(added);
}

void PhotosTab::dropPictures(const std::vector<std::filesystem::path>& paths) {
    if (pictures_->isBusy()) {
        say(tr("The thumbnails are still loading; drop again in a moment."));
        return;
    }
    const AddedPictures added = commands_.dropPictures(paths);
    projectChanged();
    reportAdded(added);
}

void PhotosTab::deletePictures() {
    if (!picturesReady()) return;
    const std::vector<int> selected = pictures_->selectedPictures();
    if (selected.empty()) return;
    const bool slideshowWent = commands_.deletePictures(selected);
    // The picture that took the first deleted one's place, or the new last.
    const Slideshow* slideshow = commands_.currentSlideshow();
    const int count = slideshow == nullptr ? 0 : int(slideshow->pictures.size());
    projectChanged({std::min(selected.front(), count - 1)});
    if (slideshowWent) say(tr("The slideshow had no picture left and was removed."));
}

void PhotosTab::movePictureUp() {
    if (!picturesReady()) return;
    const int moved = commands_.movePictureUp(pictures_->selectedPictures());
    if (moved >= 0) projectChanged({moved});
}

void PhotosTab::movePictureDown() {
    if (!picturesReady()) return;
    const int moved = commands_.movePictureDown(pictures_->selectedPictures());
    if (moved >= 0) projectChanged({moved});
}

void PhotosTab::movePictures(const std::vector<int>& pictures, int position) {
    if (!picturesReady()) return;
    const int first = commands_.movePicturesTo(pictures, position);
    if (first < 0) return;
    std::vector<int> selection;
    for (int i = 0; i < int(pictures.size()); ++i)
        selection.push_back(first + i);
    projectChanged(selection);
}

void PhotosTab::rotatePictures(bool left) {
    if (!picturesReady()) return;
    const std::vector<int> selected = pictures_->selectedPictures();
    if (selected.empty()) return;
    std::string failure;
    const std::vector<std::filesystem::path> rewritten =
        commands_.rotatePictures(selected, left, &failure);
    pictures_->forgetThumbnails(rewritten);
    projectChanged(selected);
    if (!failure.empty()) {
        parts_.notifier.show(failure, "Velmora", NotifierIcon::Warning);
    } else if (left && pictures_->mode() == PictureView::kDetails) {
        parts_.notifier.show("Rotate successful!", "", NotifierIcon::Information);
    }
}

void PhotosTab::editPicture() {
    if (!picturesReady()) return;
    const std::vector<int> selected = pictures_->selectedPictures();
    if (selected.size() != 1) return;
    Slideshow& slideshow = *commands_.currentSlideshow();
    Application& app = parts_.app;
    PictureEditorDialog dialog({.slideshow = slideshow,
                                .index = selected.front(),
                                .workingFolder = app.project.folders().working,
                                .wideScreen = app.project.videoFormat().aspect == AspectRatio::Wide,
                                .decorationFolder = app.resources.decorationFolder,
                                .notifier = parts_.notifier,
                                .flags = app.project.flags()},
                               parts_.fileDialogs, this);
    std::vector<std::filesystem::path> rewritten;
    dialog.editor().onSaved = [&](int index) {
        rewritten.push_back(slideshow.pictures[size_t(index)].workingPath);
    };
    dialog.exec();
    pictures_->forgetThumbnails(rewritten);
    projectChanged({dialog.editor().index()});
}

void PhotosTab::setMenuThumbnail() {
    if (!picturesReady()) return;
    const std::vector<int> selected = pictures_->selectedPictures();
    if (selected.size() != 1) return;
    commands_.setMenuThumbnail(selected.front());
    projectChanged(selected);
    say(tr("The menu shows this picture for the slideshow."));
}

void PhotosTab::showPictureMenu(QPoint globalPosition) {
    if (commands_.currentSlideshow() == nullptr) return;
    updateButtons();
    if (pictures_->selectedPictures().empty()) {
        viewMenu_->exec(globalPosition);
    } else {
        pictureMenu_->exec(globalPosition);
    }
}

void PhotosTab::setViewMode(int mode) {
    pictures_->setMode(PictureView::Mode(mode));
    button("displayModeButton")
        ->setIcon(themeIcon(
            mode == 0 ? QStringLiteral("view-list-icons") : QStringLiteral("view-list-details"),
            parts_.app.folders.resourceFolder));
    button("fileNamesButton")->setEnabled(mode == 0);
    updateButtons();
}

void PhotosTab::setThumbnailSizeClass(int sizeClass) {
    pictures_->setThumbnailSizeClass(sizeClass);
    if (pictures_->mode() != PictureView::kThumbnails) {
        viewMenu_->findChild<QAction*>(QStringLiteral("thumbnailModeAction"))->setChecked(true);
        setViewMode(PictureView::kThumbnails);
    }
}

}  // namespace velmora
