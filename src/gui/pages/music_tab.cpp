#include "gui/pages/music_tab.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "disc/disc_overview.h"
#include "gui/disc_tree_view.h"
#include "gui/file_dialogs.h"
#include "gui/music_list_view.h"
#include "gui/page_signals.h"
#include "gui/preview_pane.h"
#include "gui/theme_icons.h"
#include "render/preview_state.h"
#include "workspace/application.h"
#include "workspace/audio_preview.h"

namespace velmora {

namespace {

constexpr int kPlaybackWatchMs = 500;

}  // namespace

MusicTab::MusicTab(const PageParts& parts, QWidget* parent)
    : Page(parent), parts_(parts), music_(parts.app, parts.notifier) {
    tree_ = new DiscTreeView(this);
    tree_->setCommandsOffered(false);
    tree_->setMinimumWidth(202);
    tree_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    auto* right = new QVBoxLayout;
    right->addWidget(buildPreviewRow());
    right->addWidget(buildMusicBox(), 1);
    auto* row = new QHBoxLayout;
    row->addWidget(tree_);
    row->addLayout(right, 1);
    pageLayout()->addLayout(row, 1);

    connect(tree_, &DiscTreeView::slideshowChosen, this, &MusicTab::chooseSlideshow);
    connect(list_, &MusicListView::itemSelectionChanged, this, &MusicTab::updateButtons);
    connect(list_, &MusicListView::filesDropped, this, &MusicTab::addMusicFiles);
    connect(list_, &MusicListView::deleteRequested, this, &MusicTab::deleteMusic);
    connect(list_, &MusicListView::itemActivated, this, [this] { playMusic(); });
    playbackWatch_.setInterval(kPlaybackWatchMs);
    connect(&playbackWatch_, &QTimer::timeout, this, &MusicTab::watchPlayback);

    job_.sink = pane_;
    pane_->showIdlePicture(parts_.app.resources.previewFirstPicture);
    updateButtons();
}

QWidget* MusicTab::buildPreviewRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* frame = new QFrame(row);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(3, 3, 3, 3);
    pane_ = new PreviewPane(slideshowPreviewCanvasSize(job_), frame);
    pane_->setToolTip(tr("The slideshow chosen on the left plays here with the disc's music"));
    pane_->setAccessibleName(tr("Slideshow preview"));
    frameLayout->addWidget(pane_);

    auto* commands = new QVBoxLayout;
    previewTitle_ = new QLabel(row);
    previewTitle_->setObjectName(QStringLiteral("previewTitle"));
    commands->addWidget(previewTitle_);
    previewButton_ =
        addButton("previewSlideshowButton", tr("&Preview Slideshow"),
                  tr("Play the chosen slideshow as the disc will show it, with the disc's music"),
                  &MusicTab::previewSlideshow);
    previewButton_->setIcon(icon(QStringLiteral("media-playback-start")));
    commands->addWidget(previewButton_);
    stopPreviewButton_ =
        addButton("stopPreviewButton", tr("&Stop Preview"), tr("Stop the slideshow preview"),
                  &MusicTab::stopSlideshowPreview);
    stopPreviewButton_->setIcon(icon(QStringLiteral("media-playback-stop")));
    commands->addWidget(stopPreviewButton_);
    commands->addStretch(1);

    layout->addWidget(frame, 0, Qt::AlignTop);
    layout->addLayout(commands);
    layout->addStretch(1);
    return row;
}

QWidget* MusicTab::buildMusicBox() {
    auto* box = new QGroupBox(tr("Disc music"), this);
    auto* layout = new QHBoxLayout(box);
    list_ = new MusicListView(box);
    layout->addWidget(list_, 1);

    auto* buttons = new QVBoxLayout;
    addButton_ = addButton("addMusicButton", tr("&Add"),
                           tr("Add music files to the end of the list"), &MusicTab::addMusic);
    deleteButton_ = addButton("deleteMusicButton", tr("&Del"), tr("Remove the chosen track"),
                              &MusicTab::deleteMusic);
    upButton_ = addButton("musicUpButton", tr("&Up"), tr("Play the chosen track earlier"),
                          &MusicTab::moveMusicUp);
    downButton_ = addButton("musicDownButton", tr("Dow&n"), tr("Play the chosen track later"),
                            &MusicTab::moveMusicDown);
    playButton_ = addButton("playMusicButton", tr("Play &Music"),
                            tr("Hear the chosen track (its first five seconds, then silence)"),
                            &MusicTab::playMusic);
    stopMusicButton_ = addButton("stopMusicButton", tr("S&top Music Play"), tr("Stop the music"),
                                 &MusicTab::stopMusic);
    addButton_->setIcon(icon(QStringLiteral("list-add")));
    deleteButton_->setIcon(icon(QStringLiteral("list-remove")));
    upButton_->setIcon(icon(QStringLiteral("go-up")));
    downButton_->setIcon(icon(QStringLiteral("go-down")));
    playButton_->setIcon(icon(QStringLiteral("media-playback-start")));
    stopMusicButton_->setIcon(icon(QStringLiteral("media-playback-stop")));
    for (QPushButton* button : {addButton_, deleteButton_, upButton_, downButton_})
        buttons->addWidget(button);
    buttons->addSpacing(12);
    buttons->addWidget(playButton_);
    buttons->addWidget(stopMusicButton_);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return box;
}

QPushButton* MusicTab::addButton(const char* objectName, const QString& text, const QString& tip,
                                 void (MusicTab::*command)()) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setToolTip(tip);
    button->setAccessibleDescription(tip);
    connect(button, &QPushButton::clicked, this, command);
    return button;
}

// ---- the page's life

QIcon MusicTab::icon(const QString& name) const {
    return themeIcon(name, parts_.app.folders.resourceFolder);
}

void MusicTab::refreshPage() {
    job_.format = parts_.app.project.videoFormat();
    if (!parts_.preview.isPreviewRunning()) pane_->setCanvasSize(slideshowPreviewCanvasSize(job_));
    showTree();
    fillMusicList(list_->selectedRow());
}

void MusicTab::stopPreviews() {
    parts_.preview.stopPreview();
    pane_->showIdle();
    setControlsEnabled(true);
}

void MusicTab::chooseSlideshow(int index) {
    Project& project = parts_.app.project;
    if (index < 0 || index >= int(project.slideshows.size())) return;
    project.currentSlideshow = index;
    showPreviewTitle();
}

void MusicTab::showTree() {
    Project& project = parts_.app.project;
    tree_->showTree(rebuildDiscTree(project, parts_.app.menu), project.currentSlideshow);
    showPreviewTitle();
}

void MusicTab::showPreviewTitle() {
    const Project& project = parts_.app.project;
    const int index = project.currentSlideshow;
    if (index < 0 || index >= int(project.slideshows.size())) {
        previewTitle_->setText(tr("No slideshow to preview yet."));
        return;
    }
    previewTitle_->setText(
        tr("Preview of %1").arg(QString::fromStdString(project.slideshows[size_t(index)]->name)));
}

// Refilling stops the music: the list it played from may have changed.
void MusicTab::fillMusicList(int selected) {
    parts_.audioPreview.stopAudioPreview();
    list_->setEmptyText(music_.hasSlideshow()
                            ? tr("No music yet: click Add, or drop music files here.")
                            : tr("Add a slideshow first: the disc's music belongs to its first "
                                 "slideshow and plays under every slideshow."));
    list_->showRows(music_.rows(), selected);
    updateButtons();
}

void MusicTab::musicChanged(int selected) {
    fillMusicList(selected);
    emit parts_.pageSignals.projectSizeChanged();
    showTree();
}

void MusicTab::say(const QString& text) {
    emit parts_.pageSignals.statusMessage(text);
}

// ---- the enable rules

void MusicTab::setControlsEnabled(bool enabled) {
    controlsEnabled_ = enabled;
    if (enabled) playbackWatch_.stop();
    updateButtons();
}

void MusicTab::updateButtons() {
    const bool slideshow = music_.hasSlideshow();
    const bool idle = controlsEnabled_;
    const bool chosen = list_->selectedRow() >= 0;
    tree_->setEnabled(idle);
    list_->setEnabled(idle);
    addButton_->setEnabled(idle && slideshow);
    deleteButton_->setEnabled(idle && chosen);
    upButton_->setEnabled(idle && chosen);
    downButton_->setEnabled(idle && chosen);
    playButton_->setEnabled(idle && chosen);
    previewButton_->setEnabled(idle && slideshow);
    stopMusicButton_->setEnabled(!idle);
    stopPreviewButton_->setEnabled(!idle);
}

void MusicTab::watchPlayback() {
    if (parts_.preview.isPreviewRunning() || parts_.audioPreview.isPlaying()) return;
    setControlsEnabled(true);
    const std::string& failure = parts_.audioPreview.lastFailure();
    if (musicRequested_ && !failure.empty())
        say(tr("The music cannot be played: %1").arg(QString::fromStdString(failure)));
}

// ---- the music list's commands

void MusicTab::addMusic() {
    stopSlideshowPreview();
    if (!music_.hasSlideshow()) return;
    parts_.audioPreview.stopAudioPreview();
    const std::vector<std::filesystem::path> files =
        parts_.fileDialogs.openAudioFiles(musicFolder_);
    if (!files.empty()) musicFolder_ = files.front().parent_path();
    addMusicFiles(files);
}

void MusicTab::addMusicFiles(const std::vector<std::filesystem::path>& paths) {
    if (paths.empty() || !controlsEnabled_) return;
    if (!music_.hasSlideshow()) {
        say(tr("Add a slideshow first: the music belongs to the disc's slideshows."));
        return;
    }
    const int before = int(music_.rows().size());
    const int added = music_.addTracks(paths);
    musicChanged(added > 0 ? before : list_->selectedRow());
    say(added > 0 ? tr("%n track(s) added to the disc's music.", nullptr, added)
                  : tr("No music was added: audio files already in the list, or none among "
                       "the files."));
}

void MusicTab::deleteMusic() {
    stopSlideshowPreview();
    const int row = list_->selectedRow();
    if (music_.deleteTrack(row)) {
        musicChanged(std::min(row, int(music_.rows().size()) - 1));
        say(tr("The track was removed from the disc's music."));
        return;
    }
    fillMusicList(row);
}

void MusicTab::moveMusicUp() {
    stopSlideshowPreview();
    parts_.audioPreview.stopAudioPreview();
    const int row = list_->selectedRow();
    const int moved = music_.moveTrackUp(row);
    if (moved != row) musicChanged(moved);
}

void MusicTab::moveMusicDown() {
    stopSlideshowPreview();
    parts_.audioPreview.stopAudioPreview();
    const int row = list_->selectedRow();
    const int moved = music_.moveTrackDown(row);
    if (moved != row) musicChanged(moved);
}

// ---- hearing and seeing

void MusicTab::playMusic() {
    stopSlideshowPreview();
    parts_.audioPreview.stopAudioPreview();
    const int row = list_->selectedRow();
    const std::vector<AudioTrack> tracks = music_.tracks();
    if (row < 0 || row >= int(tracks.size())) return;
    musicRequested_ = true;
    parts_.audioPreview.playAudioList({tracks[size_t(row)]});
    setControlsEnabled(false);
    playbackWatch_.start();
}

void MusicTab::stopMusic() {
    stopSlideshowPreview();
    parts_.audioPreview.stopAudioPreview();
}

void MusicTab::previewSlideshow() {
    const Project& project = parts_.app.project;
    const int index = project.currentSlideshow;
    if (index < 0 || index >= int(project.slideshows.size())) return;
    job_.format = project.videoFormat();
    pane_->setCanvasSize(slideshowPreviewCanvasSize(job_));
    job_.slideshow = project.slideshows[size_t(index)].get();
    const int run = ++previewRun_;
    // Called on the preview's thread: the music stops on the window's.
    job_.onEnded = [this, run] {
        QMetaObject::invokeMethod(
            this,
            [this, run] {
                if (run == previewRun_) parts_.audioPreview.stopAudioPreview();
            },
            Qt::QueuedConnection);
    };
    AudioPreview& music = parts_.audioPreview;
    const PreviewMusic previewMusic{[&music] { music.stopAudioPreview(); },
                                    [this, &music] { music.playAudioList(music_.tracks()); }};
    if (startSlideshowPreview(parts_.preview, job_, clock_, previewMusic) != 0) return;
    musicRequested_ = false;
    setControlsEnabled(false);
    playbackWatch_.start();
    say(tr("Previewing %1.").arg(QString::fromStdString(job_.slideshow->name)));
}

void MusicTab::stopSlideshowPreview() {
    if (parts_.preview.isPreviewRunning()) {
        parts_.preview.stopPreview();
        parts_.audioPreview.stopAudioPreview();
    }
    setControlsEnabled(true);
}

}  // namespace velmora
