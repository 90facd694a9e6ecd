#pragma once

#include "disc/build_job.h"
#include "outside/dvdauthor_authoring.h"
#include "outside/ffmpeg_multiplexer.h"
#include "outside/queued_encoder.h"
#include "outside/spumux_subpicture.h"

namespace velmora {

class Application;
class Notifier;

// A build of the application's project with the real tools: FFmpeg's
// encoder on its own thread, the multiplexer, spumux and dvdauthor.
class ApplicationBuild {
  public:
    // Messages go to `notifier` (the run's when none is given); the build
    // calls it from its own thread.
    ApplicationBuild(Application& app, BuildDisplay& display, Notifier* notifier = nullptr);

    BuildJob& job() { return job_; }

  private:
    QueuedEncoder encoder_;
    FfmpegMultiplexer multiplexer_;
    SpumuxSubpicture subpictures_;
    DvdauthorAuthoring authoring_;
    BuildJob job_;
};

}  // namespace velmora
