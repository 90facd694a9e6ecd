#include "disc/build_progress.h"

#include <cstdio>
#include <cstdlib>

namespace velmora {

int mainProgressValue(const BuildProgress& progress, int p) {
    const int count = progress.count > 0 ? progress.count : 1;
    const int index = progress.index;
    switch (progress.stage) {
        case BuildStage::MenuStillVideo: {
            const int start = static_cast<int>(index * 4589 / count + 1310.7);
            return static_cast<int>(start + p * 0.0700280112044818 / count);
        }
        case BuildStage::SlideshowVideo:
            return static_cast<int>((index * 52428 / count + 9830) + p * 0.8 / count);
        case BuildStage::DvdFileSystem:
            return static_cast<int>(p * 0.05 + 62258);
        default:
            return -1;
    }
}

int RemainingTime::estimateSeconds(int videoSeconds) {
    const int estimate = static_cast<int>(videoSeconds * 3.2);
    return estimate < 60 ? estimate + 100 : estimate;
}

void RemainingTime::start(int estimateSeconds, Clock::time_point now) {
    start_ = now;
    estimate_ = estimateSeconds;
}

int RemainingTime::elapsedSeconds(Clock::time_point now) const {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::seconds>(now - start_).count());
}

void RemainingTime::update(int mainValue, Clock::time_point now) {
    if (!(mainValue > 19660.5 && mainValue < 55704.75)) return;
    const int projected = static_cast<int>(int64_t(elapsedSeconds(now)) * 65535 / mainValue);
    if (std::abs(projected - estimate_) > 5) estimate_ = projected;
}

int RemainingTime::remainingSeconds(Clock::time_point now) const {
    const int remaining = estimate_ - elapsedSeconds(now);
    return remaining > 0 ? remaining : 0;
}

std::string remainingTimeText(int seconds) {
    const int days = seconds / 86400;
    seconds %= 86400;
    char text[48];
    if (days > 0) {
        std::snprintf(text, sizeof text, "%dd %02d:%02d:%02d", days, seconds / 3600,
                      seconds / 60 % 60, seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    }
    return text;
}

}  // namespace velmora
