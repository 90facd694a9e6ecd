#include "disc/menu_streams.h"

#include <algorithm>
#include <string>

#include "audio/multiplexing.h"
#include "base/log.h"
#include "disc/stage_files.h"
#include "interfaces/subpicture_library.h"
#include "menu/menu_masks.h"
#include "menu/menu_set.h"
#include "render/still_video.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

// The menu plays its music once per loop and every page's video lasts as
// long as the music: a long song would make hours of menu video and sound.
// The loop stops at two minutes, the music faded out before the cut.
constexpr int kMenuLoopMaxSeconds = 120;
constexpr int kMenuFadeOutSeconds = 3;

// The length of the menu loop: the first menu track's, at most the cap.
int menuLoopSeconds(const MenuSet& menu) {
    const int musicSeconds = menu.menuTracks.empty() ? 0 : menu.menuTracks[0].durationSeconds;
    return std::clamp(musicSeconds, 0, kMenuLoopMaxSeconds);
}

// The stream between the two subpicture passes of a 16:9 page.
fs::path widescreenOnlyFile(const MenuPage& page) {
    return page.menuStreamPath.parent_path() / (page.videoName + "Widescreen.MPG");
}

class MenuStreamMaker {
  public:
    MenuStreamMaker(const MenuStreamJob& job, MenuStreamTools& tools)
        : job_(job), tools_(tools), menu_(*job.menu), loopSeconds_(menuLoopSeconds(menu_)) {}

    int run() {
        int result = makeSoundtrack();
        if (result == 0) result = makeStillVideos();
        if (result == 0) result = multiplexPages();
        if (result != 0) return result;
        removeStageFile(menu_.menuSoundtrackPath);
        return addSubpictures();
    }

  private:
    void label(std::string_view text) {
        if (job_.report.label) job_.report.label(text);
    }
    void stage(MenuBuildStage stage, int index) {
        if (job_.report.stage) job_.report.stage(stage, index, menu_.pageCount());
    }
    void progress(int value) {
        if (job_.report.progress) job_.report.progress(value);
    }
    void log(const std::string& text) { tools_.log.writeLog(text); }

    int makeSoundtrack() {
        label("Making Menu Audio");
        progress(0);
        stage(MenuBuildStage::Soundtrack, 0);
        log("Begin make menu audio");
        if (!menu_.menuTracks.empty() && menu_.menuTracks[0].durationSeconds > loopSeconds_) {
            log("Menu music is longer than " + std::to_string(kMenuLoopMaxSeconds) +
                " seconds; the menu loop is cut at " + std::to_string(kMenuLoopMaxSeconds) +
                " seconds with the music faded out");
        }
        SoundtrackJob soundtrack;
        soundtrack.tracks = &menu_.menuTracks;
        soundtrack.outputPath = menu_.menuSoundtrackPath;
        soundtrack.cancelEvent = job_.cancelEvent;
        soundtrack.musicLimit = {kMenuLoopMaxSeconds, kMenuFadeOutSeconds};
        soundtrack.earlierConversions = job_.earlierConversions;
        // The sound has to cover the menu loop, not the slideshows: the
        // multiplexer cuts it where the page's video ends.
        SoundtrackCover cover = job_.soundtrackCover;
        const int fps = cover.framesPerSecond > 0 ? cover.framesPerSecond : 25;
        cover.longestSlideshowFrames = cover.projectFrames = loopSeconds_ * fps;
        const int result = buildSoundtrack(soundtrack, cover, tools_.converter, tools_.log);
        log(withReturnValue("End make menu audio return value:", result));
        return result;
    }

    int makeStillVideos() {
        for (int i = 0; i < menu_.pageCount(); ++i) {
            const MenuPage& page = menu_.pages[size_t(i)];
            label("Making Menu Video");
            removeStageFile(page.videoPath);
            stage(MenuBuildStage::StillVideo, i);
            log("Begin make menu video m2v file Path:" + page.videoPath.string());
            StillVideoJob still;
            still.stillPath = page.picturePath;
            still.outputPath = page.videoPath;
            still.format = job_.format;
            still.seconds = loopSeconds_;
            still.cancelEvent = job_.cancelEvent;
            still.progress = job_.report.progress;
            const int result = encodeStillVideo(still, tools_.encoder);
            log(withReturnValue("End make menu video return value: ", result));
            if (result != 0) return result;
            progress(0);
        }
        return 0;
    }

    int multiplexPages() {
        for (int i = 0; i < menu_.pageCount(); ++i) {
            const MenuPage& page = menu_.pages[size_t(i)];
            label("Combine Menu Video And Audio");
            removeStageFile(page.plainStreamPath);
            stage(MenuBuildStage::Multiplexing, i);
            log("Begin combine menu video and audio mpg path:" + page.plainStreamPath.string());
            MuxJob mux;
            mux.videoPath = page.videoPath;
            mux.audioPath = menu_.menuSoundtrackPath;
            mux.outputPath = page.plainStreamPath;
            mux.cancelEvent = job_.cancelEvent;
            const int result = multiplexStream(mux, tools_.multiplexer);
            log(withReturnValue("End combine menu video and audio return value:", result));
            if (result != 0) return result;
            progress(0);
            removeStageFile(page.videoPath);
        }
        return 0;
    }

    int addSubpictures() {
        log("Begin spumux");
        for (const MenuPage& page : menu_.pages) {
            removeStageFile(page.menuStreamPath);
            if (tools_.subpictures == nullptr) {
                log("No subpicture program: " + page.menuStreamPath.string() + " is not made");
                continue;
            }
            log("Load spumux module success, begin spmux mpg path:" + page.menuStreamPath.string());
            const int result = subpicturesOf(page);
            log(withReturnValue("End spmux return value:", result));
            if (result != 0) return result;
            removeStageFile(page.plainStreamPath);
        }
        log("End spumux");
        return 0;
    }

    // One pass for a 4:3 page; a 16:9 page gets its widescreen stream and
    // then its letterbox stream.
    int subpicturesOf(const MenuPage& page) {
        SubpictureJob pass;
        pass.input = page.plainStreamPath;
        pass.output = page.menuStreamPath;
        pass.script = page.subpictureScriptPath;
        pass.standard = job_.format.standard;
        pass.cancelEvent = job_.cancelEvent;
        if (!job_.format.isWide()) return tools_.subpictures->spumux(pass);

        pass.output = widescreenOnlyFile(page);
        int result = tools_.subpictures->spumux(pass);
        if (result == 0) {
            pass.input = pass.output;
            pass.output = page.menuStreamPath;
            pass.script = letterboxFile(page.subpictureScriptPath);
            pass.streamId = 1;
            result = tools_.subpictures->spumux(pass);
        }
        removeStageFile(widescreenOnlyFile(page));
        return result;
    }

    const MenuStreamJob& job_;
    MenuStreamTools& tools_;
    const MenuSet& menu_;
    const int loopSeconds_;  // of every page's video
};

}  // namespace

int makeMenuStreams(const MenuStreamJob& job, MenuStreamTools& tools) {
    if (job.menu == nullptr) return 1;
    return MenuStreamMaker(job, tools).run();
}

}  // namespace velmora
