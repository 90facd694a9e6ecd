#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace velmora {

// The stages of a build, numbered as the progress display knows them.
enum class BuildStage : int {
    MenuSoundtrack = 0,
    MenuStillVideo = 1,
    MenuMultiplexing = 2,
    SlideshowSoundtrack = 4,
    SlideshowVideo = 5,
    DvdFileSystem = 7,
};

// Where the build is: its stage, the number of items in it and the current
// one.
struct BuildProgress {
    BuildStage stage = BuildStage::MenuSoundtrack;
    int count = 1;
    int index = 0;
};

// The main bar (0..65535) for a stage's own progress p: the menu pictures
// fill about 5900, the slideshows 9830 to 62258, the authoring the rest.
// −1 for the stages that move only the detail bar.
int mainProgressValue(const BuildProgress& progress, int p);

// The main bar's value once the menu is made.
inline constexpr int kMenuDoneProgress = 6553;

// What a build shows while it runs. Called from the build's own thread;
// a display that paints must hand the values to its own thread.
class BuildDisplay {
  public:
    virtual ~BuildDisplay() = default;
    virtual void setMainLabel(std::string_view text) = 0;
    virtual void setDetailLabel(std::string_view text) = 0;
    virtual void setMainBar(int value) = 0;    // 0..65535
    virtual void setDetailBar(int value) = 0;  // 0..65535
    // The project commands are locked while a build runs.
    virtual void buildStarted() = 0;
    virtual void buildEnded() = 0;
};

// The time a build still needs, from a first estimate that is replaced by
// a projection from the progress once a good part of the work is done.
class RemainingTime {
  public:
    using Clock = std::chrono::steady_clock;

    // The first estimate: 3.2 seconds per second of video, at least 100.
    static int estimateSeconds(int videoSeconds);

    void start(int estimateSeconds, Clock::time_point now);
    // Takes the main bar's value; between 30 % and 85 % the projection
    // replaces the estimate when they differ by more than 5 seconds.
    void update(int mainValue, Clock::time_point now);
    int remainingSeconds(Clock::time_point now) const;
    int estimate() const { return estimate_; }

  private:
    int elapsedSeconds(Clock::time_point now) const;

    Clock::time_point start_{};
    int estimate_ = 0;
};

// "%02d:%02d:%02d", with whole days in front when there are any.
std::string remainingTimeText(int seconds);

}  // namespace velmora
