#include "render/preview_state.h"

#include <exception>
#include <utility>

#include "base/event.h"

namespace velmora {

PreviewState::PreviewState() : stopRequest_(std::make_unique<Event>()) {}

PreviewState::~PreviewState() {
    stopPreview();
}

void PreviewState::start(PreviewRun run) {
    stopPreview();
    stopRequest_->reset();
    running_ = true;
    thread_ = std::thread([this, run = std::move(run)] {
        // A preview has no one to report a failure to (a picture that cannot
        // be decoded is simply not drawn): whatever goes wrong ends the run,
        // never the application.
        try {
            run(*stopRequest_);
        } catch (const std::exception&) {
        }
        running_ = false;
    });
}

void PreviewState::stopPreview() {
    // A thread that finished by itself is still joined here, so its
    // resources go before the next one starts.
    if (stopping_ || !thread_.joinable()) return;
    stopping_ = true;
    stopRequest_->set();
    thread_.join();
    stopRequest_->reset();
    stopping_ = false;
}

}  // namespace velmora
