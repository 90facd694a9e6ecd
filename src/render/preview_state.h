#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace velmora {

class Event;

// The one preview the application plays at a time: its thread, the two
// flags the pages read, and the stop hand-over. The application owns one
// and hands it to every page that starts a preview. start and stopPreview
// are called from the user-interface thread only.
class PreviewState {
  public:
    // What a preview thread runs. It tests `stopRequest` after every frame
    // (isSet) and lets it cut its frame waits short; it returns when it has
    // played to its end or has seen the request.
    using PreviewRun = std::function<void(Event& stopRequest)>;

    PreviewState();
    ~PreviewState();  // stops the preview that runs
    PreviewState(const PreviewState&) = delete;
    PreviewState& operator=(const PreviewState&) = delete;

    // From start until the run has returned.
    bool isPreviewRunning() const { return running_.load(); }
    // While stopPreview waits for the thread.
    bool isPreviewStopping() const { return stopping_.load(); }

    // Stops the preview that runs, then plays `run` on a thread of its own.
    void start(PreviewRun run);
    // Asks the running preview to stop and waits for its thread, which ends
    // after the frame it is on: a frame wait is woken at once. Returns at
    // once when nothing runs or a stop is already under way.
    void stopPreview();

  private:
    std::atomic<bool> running_{false};
    std::atomic<bool> stopping_{false};
    std::unique_ptr<Event> stopRequest_;
    std::thread thread_;
};

}  // namespace velmora
