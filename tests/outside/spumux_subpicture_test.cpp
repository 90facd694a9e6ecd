#include "outside/spumux_subpicture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <thread>

#include "base/event.h"
#include "base/log.h"
#include "outside/dvd_tool_fixtures.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::ScriptElement;

// Every file of these tests lives in a folder with an awkward name, so each
// run also shows that paths reach spumux intact.
class SpumuxSubpictureTest : public ::testing::Test {
  protected:
    SpumuxSubpictureTest() {
        fs::create_directories(work_);
        test::makeProgramStream(plain_, 1);
        const QRect button(100, 100, 200, 100);
        test::writeButtonMask(work_ / "highlight.png", button, Qt::red);
        test::writeButtonMask(work_ / "select.png", button, Qt::blue);
        writeSubpictureScript(script_, work_ / "highlight.png");
    }
    static void writeSubpictureScript(const fs::path& file, const fs::path& highlight) {
        const ScriptElement button{
            "button",
            {{"name", "1"}, {"x0", "100"}, {"y0", "100"}, {"x1", "300"}, {"y1", "200"}},
            {},
            {}};
        const ScriptElement spu{"spu",
                                {{"start", "00:00:00.0"},
                                 {"end", "00:00:00.0"},
                                 {"highlight", highlight.string()},
                                 {"select", (highlight.parent_path() / "select.png").string()}},
                                {},
                                {button}};
        test::writeScript(file, {"subpictures", {}, {}, {{"stream", {}, {}, {spu}}}});
    }
    SubpictureJob job(const fs::path& input) const {
        SubpictureJob made;
        made.input = input;
        made.output = output_;
        made.script = script_;
        return made;
    }
    static void writeText(const fs::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    bool leftNoOutput() const {
        return !fs::exists(output_) && !fs::exists(fs::path(output_.string() + ".partial"));
    }

    test::TemporaryFolder folder_;
    const fs::path work_ = folder_ / test::kAwkwardFolderName;
    const fs::path plain_ = work_ / "page0NoInteract.MPG";
    const fs::path output_ = work_ / "page0.MPG";
    const fs::path script_ = work_ / "page0.xml";
    Log log_{work_ / "log.txt"};
    SpumuxSubpicture spumux_{log_};
};

TEST_F(SpumuxSubpictureTest, AddsTheButtonsAsTheChosenSubpictureStream) {
    struct Case {
        int streamId;
        bool isPal;
        const char* streamEntry;  // ffprobe: DVD subpicture streams are 0x20 + number
        const char* standardSeen;
    };
    const Case cases[] = {
        {0, true, "dvd_subtitle,0x20", "default video format is PAL"},
        {1, false, "dvd_subtitle,0x21", "default video format is NTSC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.streamId);
        fs::remove(log_.file());
        SubpictureJob subpictures = job(plain_);
        subpictures.streamId = c.streamId;
        subpictures.standard = c.isPal ? TvStandard::Pal : TvStandard::Ntsc;
        ASSERT_EQ(spumux_.spumux(subpictures), 0) << test::fileText(log_.file());
        const std::string streams = test::streamList(output_);
        EXPECT_NE(streams.find(c.streamEntry), std::string::npos) << streams;
        EXPECT_NE(streams.find("mpeg2video"), std::string::npos) << streams;
        EXPECT_FALSE(fs::exists(output_.string() + ".partial"));
        // The TV standard reaches spumux through its environment, not ours.
        EXPECT_NE(test::fileText(log_.file()).find(c.standardSeen), std::string::npos)
            << test::fileText(log_.file());
    }
    EXPECT_EQ(std::getenv("VIDEO_FORMAT"), nullptr);
}

TEST_F(SpumuxSubpictureTest, FailuresLeaveNoOutputAndSayWhy) {
    writeSubpictureScript(work_ / "no mask.xml", work_ / "no such mask.png");
    writeText(work_ / "broken.xml", "<subpictures><stream><spu");
    struct Case {
        const char* what;
        std::string program;
        fs::path input, script;
        int result;
        const char* logMentions;
    };
    const Case cases[] = {
        {"missing program", "/nonexistent/velmora-spumux", plain_, script_, 1,
         "/nonexistent/velmora-spumux"},
        {"missing input", "spumux", work_ / "absent.MPG", script_, 1, "absent.MPG"},
        // spumux skips the picture, writes the stream without it and reports success
        {"missing mask", "spumux", plain_, work_ / "no mask.xml", 1, "no such mask.png"},
        {"broken script", "spumux", plain_, work_ / "broken.xml", 255, "Error in parsing XML"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(log_.file());
        SubpictureJob subpictures = job(c.input);
        subpictures.script = c.script;
        EXPECT_EQ(SpumuxSubpicture(log_, c.program).spumux(subpictures), c.result);
        EXPECT_NE(test::fileText(log_.file()).find(c.logMentions), std::string::npos)
            << test::fileText(log_.file());
        EXPECT_TRUE(leftNoOutput());
    }
}

TEST_F(SpumuxSubpictureTest, CancelEndsSpumuxAndLeavesNoOutput) {
    // An input that never delivers: spumux waits for it until cancelled.
    const fs::path stalled = work_ / "stalled.MPG";
    ASSERT_EQ(mkfifo(stalled.c_str(), 0600), 0);
    const int writer = open(stalled.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    Event cancel;
    SubpictureJob subpictures = job(stalled);
    subpictures.cancelEvent = &cancel;
    int result = -1;
    std::thread run([&] { result = spumux_.spumux(subpictures); });
    const bool started = test::waitForText(log_.file(), "spumux: DVDAuthor::spumux");
    cancel.set();
    run.join();
    close(writer);
    EXPECT_TRUE(started) << test::fileText(log_.file());
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(leftNoOutput());
    EXPECT_TRUE(test::noChildProcessLeft());
}

}  // namespace
}  // namespace velmora
