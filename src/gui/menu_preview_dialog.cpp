#include "gui/menu_preview_dialog.h"

#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>
#include <functional>
#include <utility>

#include "gui/preview_pane.h"
#include "menu/menu_composer.h"
#include "render/preview_state.h"
#include "workspace/application.h"
#include "workspace/audio_preview.h"

namespace velmora {

namespace {

// The preview's screen is the menu editor's surface: the page pictures
// scale to it as they do there.
constexpr int kViewWidth = MenuComposer::kSurfaceWidth;
constexpr int kViewHeight = MenuComposer::kSurfaceHeight;
constexpr int kWideViewHeight = MenuComposer::kWideSurfaceHeight;
constexpr int kMarginPixels = 10;

QSize viewSizeFor(const Application& app) {
    return {kViewWidth, app.project.videoFormat().isWide() ? kWideViewHeight : kViewHeight};
}

int buttonSlotsOf(const Application& app) {
    const MenuTheme* theme = app.catalogue.selectedTheme();
    return theme ? int(theme->buttonSlots.size()) : 0;
}

// View pixels per background pixel of the selected theme, in single
// precision as the page pictures were drawn; 1 without a readable
// background.
std::pair<float, float> scaleFactors(const Application& app, QSize view) {
    const MenuTheme* theme = app.catalogue.selectedTheme();
    if (!theme) return {1.0f, 1.0f};
    const QSize background =
        QImageReader(QString::fromStdString(theme->backgroundPath.string())).size();
    if (background.isEmpty()) return {1.0f, 1.0f};
    return {static_cast<float>(double(view.width()) / background.width()),
            static_cast<float>(double(view.height()) / background.height())};
}

MenuPreviewNavigator makeNavigator(const Application& app, QSize view) {
    const auto [scaleX, scaleY] = scaleFactors(app, view);
    return MenuPreviewNavigator(app.menu.pages, buttonSlotsOf(app), scaleX, scaleY,
                                int(app.project.slideshows.size()));
}

// Every pixel on the border of `rect`, both edges included.
void drawOutline(QPainter& painter, const QRect& rect, const QColor& colour) {
    if (!rect.isValid()) return;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

}  // namespace

// The menu screen: the page picture at the view's size with the focused
// button's outlines over it. Mouse and keys go to the navigator; what they
// make happen goes to the dialog.
class MenuPreviewView final : public QWidget {
  public:
    using StepHandler = std::function<void(const MenuPreviewStep&)>;

    MenuPreviewView(MenuPreviewNavigator& navigator, QSize size, StepHandler onStep)
        : navigator_(navigator), onStep_(std::move(onStep)) {
        setFixedSize(size);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
        setAccessibleName(tr("Menu"));
    }

    void setPicture(QImage picture) {
        picture_ = std::move(picture);
        update();
    }
    const QImage& picture() const { return picture_; }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, picture_);
        for (const MenuPreviewFrame& frame : navigator_.frames())
            drawOutline(painter, frame.rect, frame.colour);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        navigator_.mouseMoved(event->position().toPoint());
        update();
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        navigator_.mousePressed(event->position().toPoint());
        update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const MenuPreviewStep step = navigator_.mouseReleased();
        update();
        onStep_(step);
    }
    void keyPressEvent(QKeyEvent* event) override {
        switch (event->key()) {
            case Qt::Key_Right:
            case Qt::Key_Down:
                navigator_.focusForward();
                break;
            case Qt::Key_Left:
            case Qt::Key_Up:
                navigator_.focusBack();
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                onStep_(navigator_.activateFocus());
                break;
            default:
                QWidget::keyPressEvent(event);  // Escape closes the dialog
                return;
        }
        update();
    }

  private:
    MenuPreviewNavigator& navigator_;
    StepHandler onStep_;
    QImage picture_;
};

MenuPreviewDialog::MenuPreviewDialog(const MenuPreviewParts& parts, QWidget* parent)
    : QDialog(parent),
      parts_(parts),
      viewSize_(viewSizeFor(parts.app)),
      navigator_(makeNavigator(parts.app, viewSize_)) {
    setWindowTitle(tr("Preview Slideshow"));
    menuView_ = new MenuPreviewView(navigator_, viewSize_,
                                    [this](const MenuPreviewStep& step) { apply(step); });
    videoView_ = new PreviewPane(viewSize_);
    videoView_->setFixedSize(viewSize_);
    auto* screen = new QWidget;
    screens_ = new QStackedLayout(screen);
    screens_->addWidget(menuView_);
    screens_->addWidget(videoView_);

    menuButton_ = new QPushButton(tr("Menu"));
    menuButton_->setObjectName("menuButton");
    menuButton_->setAutoDefault(false);
    menuButton_->setToolTip(tr("Stop the slideshow and go back to the menu"));
    connect(menuButton_, &QPushButton::clicked, this, [this] { backToMenuNow(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(menuButton_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMarginPixels, kMarginPixels, kMarginPixels, kMarginPixels);
    layout->addWidget(screen, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    resize(418, viewSize_.height() == kWideViewHeight ? 297 : 366);

    job_.canvasSize = viewSize_;
    job_.sink = videoView_;
    showPagePicture();
    showMenu();
    parts_.audioPreview.playAudioList(parts_.app.menu.menuTracks);
}

MenuPreviewDialog::~MenuPreviewDialog() {
    stopEverything();
}

QWidget* MenuPreviewDialog::menuView() const {
    return menuView_;
}

void MenuPreviewDialog::done(int result) {
    stopEverything();
    QDialog::done(result);
}

void MenuPreviewDialog::stopEverything() {
    ++slideshowRun_;
    if (parts_.preview.isPreviewRunning()) parts_.preview.stopPreview();
    parts_.audioPreview.stopAudioPreview();
}

void MenuPreviewDialog::apply(const MenuPreviewStep& step) {
    switch (step.kind) {
        case MenuPreviewStep::None:
            return;
        case MenuPreviewStep::PlaySlideshow:
            playSlideshow(step.slideshowIndex);
            return;
        case MenuPreviewStep::ShowPage:
            showPagePicture();
            restartMenuMusic();
            return;
        case MenuPreviewStep::BackToMenu:
            showMenu();
            restartMenuMusic();
            return;
    }
}

void MenuPreviewDialog::playSlideshow(int index) {
    const Project& project = parts_.app.project;
    job_.format = project.videoFormat();
    job_.slideshow = project.slideshows[size_t(index)].get();
    const int run = ++slideshowRun_;
    // Called on the preview's thread; the next slideshow starts on the
    // window's, unless this run was stopped or replaced meanwhile.
    job_.onPlayedToEnd = [this, run] {
        QMetaObject::invokeMethod(
            this,
            [this, run] {
                if (run == slideshowRun_) apply(navigator_.slideshowEnded());
            },
            Qt::QueuedConnection);
    };
    AudioPreview& music = parts_.audioPreview;
    const std::vector<AudioTrack>* discMusic =
        project.slideshows.empty() ? nullptr : &project.slideshows.front()->audioTracks;
    const PreviewMusic previewMusic{[&music] { music.stopAudioPreview(); },
                                    [&music, discMusic] {
                                        if (discMusic) music.playAudioList(*discMusic);
                                    }};
    videoView_->showIdle();
    screens_->setCurrentWidget(videoView_);
    if (startSlideshowPreview(parts_.preview, job_, clock_, previewMusic) != 0) {
        // A stop is still under way: stay on the menu.
        navigator_.returnToMenu();
        showMenu();
    }
}

void MenuPreviewDialog::backToMenuNow() {
    ++slideshowRun_;
    if (parts_.preview.isPreviewRunning()) parts_.preview.stopPreview();
    apply(navigator_.returnToMenu());
}

void MenuPreviewDialog::showMenu() {
    videoView_->showIdle();
    screens_->setCurrentWidget(menuView_);
    menuView_->setFocus();
    menuView_->update();
}

void MenuPreviewDialog::showPagePicture() {
    Application& app = parts_.app;
    const std::vector<MenuPage>& pages = app.menu.pages;
    const int page = navigator_.shownPage();
    std::filesystem::path path;
    if (page >= 0 && page < int(pages.size())) path = pages[size_t(page)].picturePath;
    QImage picture(QString::fromStdString(path.string()));
    if (picture.isNull()) {
        app.log.writeLog("Can not load file " + path.string());
        picture = QImage(QString::fromStdString(app.resources.background1.string()));
    }
    if (picture.isNull()) {
        picture = QImage(viewSize_, QImage::Format_RGB32);
        picture.fill(Qt::black);
    }
    menuView_->setPicture(picture.convertToFormat(QImage::Format_RGB32)
                              .scaled(viewSize_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void MenuPreviewDialog::restartMenuMusic() {
    parts_.audioPreview.stopAudioPreview();
    parts_.audioPreview.playAudioList(parts_.app.menu.menuTracks);
}

}  // namespace velmora
