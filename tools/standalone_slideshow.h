#pragma once

#include <filesystem>
#include <string>

#include "base/log.h"
#include "base/notifier.h"
#include "base/random_generator.h"
#include "image/picture_files_service.h"
#include "interfaces/video_format.h"
#include "model/model_context.h"
#include "model/slideshow.h"
#include "outside/ffmpeg_audio_converter.h"

namespace velmora::tools {

// One picture of a slideshow put together outside a project.
struct PictureEntry {
    std::filesystem::path path;
    int displaySeconds = 3;
    int transitionSeconds = 2;
    int motionEffect = 20;      // 0..20; 20 is none
    int transitionKind = 0;     // 0..17, or 18 for a random kind
    int transitionMode = 0;     // the kind's first parameter (its direction or shape)
    int transitionSecond = -1;  // its second (a count or an edge width); −1 the default
};

// A slideshow with the real picture and sound services, without a project:
// what the developer tools and the benchmarks render.
class StandaloneSlideshow final : private Notifier, private ProjectEvents {
  public:
    StandaloneSlideshow(const std::filesystem::path& workingFolder, TvStandard standard,
                        const Log& log);

    // False, with the reason, when the picture cannot be loaded.
    bool add(const PictureEntry& entry, std::string& reason);
    // Converts any sound file FFmpeg reads into the slideshow's soundtrack.
    bool prepareSoundtrack(const std::filesystem::path& music, std::string& reason);

    Slideshow& slideshow() { return slideshow_; }

  private:
    void show(std::string_view text, std::string_view title, NotifierIcon icon) override;
    NotifierAnswer ask(std::string_view text, std::string_view title,
                       NotifierButtons buttons) override;
    void thumbnailsChanged(int) override {}

    TvStandard standard_;
    RandomGenerator random_;
    PictureFilesService pictures_;
    FfmpegAudioConverter audio_;
    ProjectContext context_;
    Slideshow slideshow_;
};

}  // namespace velmora::tools
