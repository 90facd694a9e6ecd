#include "cli/terminal_display.h"

#include <cstdio>

namespace velmora::cli {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

void TerminalDisplay::setMainLabel(std::string_view) {}

void TerminalDisplay::setDetailLabel(std::string_view text) {
    std::lock_guard lock(mutex_);
    // The labels that end a step ("Detail progress:", "No Title") are not steps.
    if (text == "Detail progress:" || text == "No Title" || text == step_) return;
    step_ = text;
    if (!interactive_) std::fprintf(stderr, "%s\n", step_.c_str());
    drawLocked();
}

void TerminalDisplay::setMainBar(int value) {
    std::lock_guard lock(mutex_);
    if (value > 0) mainValue_ = value;
}

void TerminalDisplay::refresh(int remainingSeconds) {
    std::lock_guard lock(mutex_);
    remainingSeconds_ = remainingSeconds;
    drawLocked();
}

void TerminalDisplay::buildEnded() {
    std::lock_guard lock(mutex_);
    if (interactive_) std::fputc('\n', stderr);
}

void TerminalDisplay::drawLocked() {
    if (!interactive_) return;
    const int percent = mainValue_ * 100 / 65535;
    const int filled = mainValue_ * kBarWidth / 65535;
    std::string line = "\r[" + std::string(size_t(filled), '#') +
                       std::string(size_t(kBarWidth - filled), '.') + "] " +
                       std::to_string(percent) + "%  " + step_ + "  " +
                       remainingTimeText(remainingSeconds_) + " left";
    const size_t length = line.size();
    if (length < lastLength_) line.append(lastLength_ - length, ' ');
    lastLength_ = length;
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace velmora::cli
