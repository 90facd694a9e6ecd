#include "workspace/application_build.h"

#include <memory>

#include "outside/ffmpeg_encoder.h"
#include "workspace/application.h"

namespace velmora {

ApplicationBuild::ApplicationBuild(Application& app, BuildDisplay& display, Notifier* notifier)
    : encoder_(std::make_unique<FfmpegEncoder>(app.log)),
      multiplexer_(app.log),
      subpictures_(app.log),
      authoring_(app.log),
      job_(BuildParts{app.project,
                      app.menu,
                      app.preferences,
                      app.resources,
                      BuildTools{encoder_, &multiplexer_, &app.audio, &subpictures_, &authoring_},
                      app.log,
                      notifier != nullptr ? *notifier : app.context.notifier,
                      display,
                      nullptr,
                      {}}) {}

}  // namespace velmora
