#include "effect_covers.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <map>
#include <memory>

#include "art_tools.h"
#include "base/event.h"
#include "image/picture.h"
#include "model/transition_kind.h"
#include "model/transition_setting.h"
#include "render/preview_frames.h"
#include "render/transition_preview.h"
#include "sample_scenes.h"

namespace velmora::resources {

namespace {

namespace fs = std::filesystem;

constexpr int kJpegQuality = 90;
const QSize kSampleSize(640, 480);
const QSize kCoverSize(160, 120);

// The incoming picture's time after its transition: the run stops at the
// cover's frame long before, so the shortest there is.
constexpr int kDisplaySeconds = 1;
constexpr int kTransitionSeconds = 2;
constexpr int kTransitionFrames = kTransitionSeconds * kPalStandard.framesPerSecond();

// The frame of the preview that becomes the cover of `kind`. The preview
// shows the first picture as frame 0 and the transition's frames from frame
// 1 on. Halfway most kinds show something of both pictures at once; Flip and
// Spin turn the old picture away before they turn the new one in, so their
// middle is empty and their covers show the new picture on its way in
// (Spin's at a frame where it stands tilted, not square).
int coverFrame(TransitionKind kind) {
    switch (kind) {
        case TransitionKind::Flip:
            return 1 + kTransitionFrames * 3 / 4;
        case TransitionKind::Spin:
            return 2 + kTransitionFrames * 3 / 4;
        default:
            return 1 + kTransitionFrames / 2;
    }
}

fs::path firstSample(const fs::path& samplesFolder) {
    return samplesFolder / "0.jpg";
}

fs::path secondSample(const fs::path& samplesFolder) {
    return samplesFolder / "1.jpg";
}

// Keeps a copy of one frame the preview shows and stops the run there: the
// frames after it are not needed.
class FrameKeeper final : public FrameSink {
  public:
    FrameKeeper(int frameNumber, Event& stopRequest)
        : frameNumber_(frameNumber), stopRequest_(stopRequest) {}

    void showFrame(const QImage& frame) override {
        if (shown_++ != frameNumber_) return;
        kept_ = frame.copy();
        stopRequest_.set();
    }
    const QImage& kept() const { return kept_; }

  private:
    int frameNumber_;
    Event& stopRequest_;
    int shown_ = 0;
    QImage kept_;
};

// Time that never has to be waited for: the covers are made as fast as the
// frames can be composed.
class ImmediateClock final : public PreviewClock {
  public:
    TimePoint now() override { return TimePoint(); }
    void sleepUntil(TimePoint, Event&) override {}
};

// The cover frame of `kind` at its defaults as the preview plays it on its
// 4:3 PAL canvas; null when the preview showed no such frame.
QImage transitionUnderWay(TransitionKind kind, const fs::path& samplesFolder) {
    const std::unique_ptr<TransitionSetting> transition = makeTransition(kind);
    Event stopRequest;
    FrameKeeper keeper(coverFrame(kind), stopRequest);
    TransitionPreviewJob job;
    job.format = kPalStandard;
    job.firstPicturePath = firstSample(samplesFolder);
    job.secondPicturePath = secondSample(samplesFolder);
    job.motionEffect = kMotionEffectNone;
    job.displayTime = kDisplaySeconds;
    job.transition = transition.get();
    job.transitionTime = kTransitionSeconds;
    job.sink = &keeper;
    ImmediateClock clock;
    runTransitionPreview(job, clock, stopRequest);
    return keeper.kept();
}

QImage coverSized(const QImage& picture) {
    return picture.scaled(kCoverSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

// A question mark about 90 pixels high around the middle of the cover,
// drawn as strokes so that it looks the same whatever fonts are installed.
QPainterPath questionMark() {
    const QPointF centre(80, 40);
    const double radius = 19;
    QPainterPath hook;
    const QRectF circle(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    hook.arcMoveTo(circle, 165);
    hook.arcTo(circle, 165, -225);
    hook.quadTo(QPointF(80, 62), QPointF(80, 76));
    return hook;
}

void paintQuestionMark(QPainter& painter, const QColor& colour, QPointF offset) {
    painter.save();
    painter.translate(offset);
    painter.setPen(QPen(colour, 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(questionMark());
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(80, 96), 7.5, 7.5);
    painter.restore();
}

// Four covers of other kinds as tiles in a two-by-two grid, rounded and
// veiled so that the question mark stands out over them.
void paintHintTiles(QPainter& painter, const std::map<TransitionKind, QImage>& covers) {
    const TransitionKind hinted[] = {TransitionKind::Blinds, TransitionKind::Circle,
                                     TransitionKind::Clock, TransitionKind::Door};
    const QSizeF tile(70, 52.5);
    const double gap = 6;
    const QPointF origin((kCoverSize.width() - 2 * tile.width() - gap) / 2,
                         (kCoverSize.height() - 2 * tile.height() - gap) / 2);
    for (int k = 0; k < 4; ++k) {
        const QRectF place(
            origin + QPointF((k % 2) * (tile.width() + gap), (k / 2) * (tile.height() + gap)),
            tile);
        QPainterPath rounded;
        rounded.addRoundedRect(place, 6, 6);
        painter.save();
        painter.setClipPath(rounded);
        painter.drawImage(place, covers.at(hinted[k]));
        painter.fillRect(place, QColor(16, 20, 48, 120));
        painter.restore();
        painter.setPen(QPen(QColor(255, 255, 255, 90), 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(rounded);
    }
}

// Random's cover: a soft violet-to-teal ground, tiles of a few of the
// transitions it may pick, and a large question mark over them.
QImage randomCover(const std::map<TransitionKind, QImage>& covers) {
    QImage cover(kCoverSize, QImage::Format_RGB32);
    QPainter painter(&cover);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    QLinearGradient ground(0, 0, kCoverSize.width(), kCoverSize.height());
    ground.setColorAt(0, QColor(84, 62, 140));
    ground.setColorAt(1, QColor(28, 110, 130));
    painter.fillRect(cover.rect(), ground);
    QRadialGradient glow(QPointF(80, 55), 80);
    glow.setColorAt(0, QColor(255, 255, 255, 70));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(cover.rect(), glow);
    paintHintTiles(painter, covers);
    paintBlurred(painter, QPointF(0, 0), kCoverSize, 3, [](QPainter& shadow) {
        paintQuestionMark(shadow, QColor(0, 0, 20, 200), QPointF(2, 3));
    });
    paintQuestionMark(painter, QColor(255, 250, 236), QPointF(0, 0));
    painter.end();
    return cover;
}

bool writeJpeg(const QImage& picture, const fs::path& file, std::string* reason) {
    return Picture(picture).saveJpeg(file, kJpegQuality, reason);
}

}  // namespace

bool writePreviewSamples(const fs::path& menuPicFolder, std::string* reason) {
    std::error_code error;
    fs::create_directories(menuPicFolder, error);
    if (error) {
        *reason = "cannot make " + menuPicFolder.string() + ": " + error.message();
        return false;
    }
    return writeJpeg(paintMountainLake(kSampleSize), firstSample(menuPicFolder), reason) &&
           writeJpeg(paintSeaSunset(kSampleSize), secondSample(menuPicFolder), reason);
}

bool writeEffectCovers(const fs::path& folder, const fs::path& samplesFolder, std::string* reason) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        *reason = "cannot make " + folder.string() + ": " + error.message();
        return false;
    }
    std::map<TransitionKind, QImage> covers;
    for (int id = 0; id < kConcreteTransitionKindCount; ++id) {
        const auto kind = static_cast<TransitionKind>(id);
        const QImage frame = transitionUnderWay(kind, samplesFolder);
        const std::string name(transitionKindInfo(kind).coverFile);
        if (frame.isNull()) {
            *reason = "the preview showed no frame for the cover " + name;
            return false;
        }
        covers[kind] = coverSized(frame);
        if (!writeJpeg(covers[kind], folder / name, reason)) return false;
    }
    const std::string randomName(transitionKindInfo(TransitionKind::Random).coverFile);
    return writeJpeg(randomCover(covers), folder / randomName, reason);
}

}  // namespace velmora::resources
