// Frames per second of each transition kind's transition frames at 720 × 540
// (PAL 4:3), T = 50, next to the frame rate of the same picture's motion
// frames alone, in the same run. The incoming picture zooms in (a live
// motion under the transition), as most slideshows have. Only the frames
// are timed (from the first composed frame to the last), not the set-up of
// the segment.
//
//   transition_bench [working folder]

#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "image/headless_qt.h"
#include "model/transition_kind.h"
#include "model/transition_setting.h"
#include "render/composing_thread.h"
#include "render/discarding_encoder.h"
#include "render/frame_geometry.h"
#include "render/timeline.h"
#include "tools/standalone_slideshow.h"

namespace {

using namespace velmora;
namespace fs = std::filesystem;

constexpr int kTransitionFrames = 50;
constexpr int kRuns = 5;
constexpr int kZoomIn = 8;

class TransitionBench {
  public:
    explicit TransitionBench(const fs::path& folder)
        : log_(folder / "log.txt"), standalone_(folder, TvStandard::Pal, log_) {
        std::string reason;
        for (const char* name : {"old.jpg", "new.jpg"}) {
            if (!standalone_.add({folder / name, 1, 2, kZoomIn, 0, 0, -1}, reason)) {
                std::fprintf(stderr, "%s\n", reason.c_str());
                std::exit(1);
            }
        }
        job_.format = kPalStandard;
        job_.slideshow = &standalone_.slideshow();
        job_.composedFrame = [this](int, const QImage&) {
            const double now = bench::now();
            if (firstFrame_ < 0) firstFrame_ = now;
            lastFrame_ = now;
            ++frames_;
        };
    }

    // Transition frames per second of `kind` in `mode`, one run; kind −1
    // is the motion frames alone.
    double framesPerSecond(int kind, int mode) {
        RenderContext context(job_, encoder_, canvasSize(kPalStandard), kTransitionFrames);
        showOldPicture(context);
        context.index = 1;
        context.N = kTransitionFrames;
        context.motionFrame = 0;
        firstFrame_ = -1;
        frames_ = 0;
        if (kind < 0) {
            context.T = 0;
            context.preparePicture();
            context.renderMotionFrames(0);
        } else {
            context.T = kTransitionFrames;
            auto& transition = standalone_.slideshow().pictures[1].settings.effect.transition;
            transition = makeTransition(TransitionKind(kind));
            // Polygon's mode is its direction, with the most pieces.
            if (TransitionKind(kind) == TransitionKind::Polygon)
                transition->setParameters(9, mode);
            else
                transition->setParameters(mode, transition->secondParameter());
            renderTransitionSegment(context, *transition);
        }
        return frames_ > 1 ? (frames_ - 1) / (lastFrame_ - firstFrame_) : 0;
    }

  private:
    // The frame canvas holds the first picture's frame, as when a segment ends.
    void showOldPicture(RenderContext& context) {
        context.index = 0;
        context.N = 1;
        context.T = 0;
        context.preparePicture();
        context.renderMotionFrames(0);
    }

    Log log_;
    tools::StandaloneSlideshow standalone_;
    DiscardingEncoder encoder_;
    RenderJob job_;
    double firstFrame_ = -1, lastFrame_ = 0;
    int frames_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    prepareHeadlessQt();
    QGuiApplication application(argc, argv);
    const fs::path folder = bench::workFolder(argc, argv, "transition-bench");
    bench::writePhoto(folder / "old.jpg", 1600, 1200, 1);
    bench::writePhoto(folder / "new.jpg", 1600, 1200, 2);

    runOnComposingThread([&] {
        TransitionBench bench(folder);
        std::printf(
            "transition frames at 720 x 540, T = %d, the new picture zooming in;\n"
            "each kind alternates with the motion frames alone %d times: the best\n"
            "rates and the median ratio\n",
            kTransitionFrames, kRuns);
        double slowest = 1e9;
        for (int kind = 0; kind < kConcreteTransitionKindCount; ++kind) {
            for (int mode = 0; mode < 2; ++mode) {
                double bestKind = 0, bestMotion = 0;
                std::vector<double> ratios;
                for (int run = 0; run < kRuns; ++run) {
                    const double motion = bench.framesPerSecond(-1, 0);
                    const double rate = bench.framesPerSecond(kind, mode);
                    bestMotion = std::max(bestMotion, motion);
                    bestKind = std::max(bestKind, rate);
                    ratios.push_back(rate / motion);
                }
                std::sort(ratios.begin(), ratios.end());
                const double ratio = ratios[ratios.size() / 2];
                slowest = std::min(slowest, ratio);
                std::printf("  %-14s %d %7.1f frames/s, motion only %7.1f: %.2f x%s\n",
                            std::string(transitionNameList()[size_t(kind)]).c_str(), mode, bestKind,
                            bestMotion, ratio, ratio < 1.0 / 3 ? "  BELOW THE FLOOR" : "");
            }
        }
        std::printf("slowest kind: %.2f x motion only (floor 0.33)\n", slowest);
        return 0;
    });
    if (argc <= 1) fs::remove_all(folder);
    return 0;
}
