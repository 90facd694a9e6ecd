#pragma once

#include <mutex>
#include <string>

#include "disc/build_progress.h"

namespace velmora::cli {

// The build's progress on the terminal: one line with a bar, the percent,
// the step and the time left, redrawn in place on a terminal and written
// as plain lines (one per step) when the output goes to a file.
class TerminalDisplay final : public BuildDisplay {
  public:
    explicit TerminalDisplay(bool interactive) : interactive_(interactive) {}

    void setMainLabel(std::string_view text) override;
    void setDetailLabel(std::string_view text) override;
    void setMainBar(int value) override;
    void setDetailBar(int) override {}
    void buildStarted() override {}
    void buildEnded() override;

    // Draws the line again with the time left; called from the main thread.
    void refresh(int remainingSeconds);

  private:
    std::mutex mutex_;
    bool interactive_;
    std::string step_ = "Starting";
    int mainValue_ = 0;
    int remainingSeconds_ = 0;
    size_t lastLength_ = 0;
    void drawLocked();
};

}  // namespace velmora::cli
