#pragma once

// The engine of one run, with its real services, in a temporary user folder
// whose resource folder is empty, and the slideshow commands on it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/model_fakes.h"
#include "support/temporary_folder.h"
#include "workspace/application.h"
#include "workspace/slideshow_commands.h"

namespace velmora::test {

class EngineFixture {
  protected:
    EngineFixture() {
        std::filesystem::create_directories(temporary_.path() / "share");
        std::string reason;
        started_ = app_.start(&reason);
    }

    // A new slideshow of the files, in order; its index.
    int addSlideshowOf(const std::vector<std::filesystem::path>& files) {
        const int index = commands_.startSlideshow();
        EXPECT_TRUE(commands_.fillNewSlideshow(index, files));
        return index;
    }
    // The pictures' file names without extension, in slideshow order.
    static std::string order(const Slideshow& slideshow) {
        std::string names;
        for (const SlideImage& picture : slideshow.pictures)
            names += picture.sourcePath.stem().string();
        return names;
    }

    TemporaryFolder temporary_;
    RecordingNotifier notifier_;
    RecordingEvents events_;
    Application app_{{temporary_.path() / "home", temporary_.path() / "share"}, notifier_, events_};
    SlideshowCommands commands_{app_, notifier_};
    bool started_ = false;
};

}  // namespace velmora::test
