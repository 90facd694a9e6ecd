#include "outside/dvdauthor_authoring.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "base/event.h"
#include "base/log.h"
#include "outside/dvd_tool_fixtures.h"
#include "outside/spumux_subpicture.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using test::ScriptElement;

// A one-page menu with one button and a 20-second title, all in a folder
// with an awkward name, so each run also shows that paths reach dvdauthor
// intact.
class DvdauthorAuthoringTest : public ::testing::Test {
  protected:
    DvdauthorAuthoringTest() {
        fs::create_directories(work_);
        test::makeProgramStream(work_ / "menuNoInteract.MPG", 1);
        test::makeProgramStream(title_, 20);
        const QRect button(100, 100, 200, 100);
        test::writeButtonMask(work_ / "highlight.png", button, Qt::red);
        test::writeButtonMask(work_ / "select.png", button, Qt::blue);
        const ScriptElement spu{
            "spu",
            {{"start", "00:00:00.0"},
             {"end", "00:00:00.0"},
             {"highlight", (work_ / "highlight.png").string()},
             {"select", (work_ / "select.png").string()}},
            {},
            {{"button",
              {{"name", "1"}, {"x0", "100"}, {"y0", "100"}, {"x1", "300"}, {"y1", "200"}},
              {},
              {}}}};
        test::writeScript(work_ / "menu.xml", {"subpictures", {}, {}, {{"stream", {}, {}, {spu}}}});
        SubpictureJob subpictures;
        subpictures.input = work_ / "menuNoInteract.MPG";
        subpictures.output = menu_;
        subpictures.script = work_ / "menu.xml";
        if (SpumuxSubpicture(log_).spumux(subpictures) != 0)
            throw std::runtime_error("no menu stream: " + test::fileText(log_.file()));
        writeAuthoringScript(script_, title_);
        fs::remove(log_.file());
    }
    void writeAuthoringScript(const fs::path& file, const fs::path& title) const {
        const ScriptElement video{"video", {{"format", "pal"}, {"aspect", "4:3"}}, {}, {}};
        const ScriptElement menuPage{"pgc",
                                     {},
                                     {},
                                     {{"button", {{"name", "1"}}, "jump title 1;", {}},
                                      {"vob", {{"file", menu_.string()}}, {}, {}},
                                      {"post", {}, "jump menu 1;", {}}}};
        const ScriptElement slideshow{"pgc",
                                      {},
                                      {},
                                      {{"vob", {{"file", title.string()}, {"pause", "1"}}, {}, {}},
                                       {"post", {}, "call vmgm menu 1;", {}}}};
        test::writeScript(file, {"dvdauthor",
                                 {},
                                 {},
                                 {{"vmgm", {}, {}, {{"menus", {}, {}, {video, menuPage}}}},
                                  {"titleset", {}, {}, {{"titles", {}, {}, {video, slideshow}}}}}});
    }
    AuthorJob job(const fs::path& script) const {
        AuthorJob made;
        made.outputFolder = output_;
        made.scriptPath = script;
        return made;
    }
    std::string logText() const { return test::fileText(log_.file()); }

    test::TemporaryFolder folder_;
    const fs::path work_ = folder_ / test::kAwkwardFolderName;
    const fs::path menu_ = work_ / "menu.MPG";
    const fs::path title_ = work_ / "0.mpg";
    const fs::path script_ = work_ / "author.xml";
    const fs::path output_ = work_ / "DVD & \"out\"";
    Log log_{work_ / "log.txt"};
    DvdauthorAuthoring authoring_{log_};
};

TEST_F(DvdauthorAuthoringTest, BuildsVideoTsWithRisingProgress) {
    std::vector<int> values;
    AuthorJob authoring = job(script_);
    authoring.progress = [&](int value) { values.push_back(value); };
    ASSERT_EQ(authoring_.dvdauthor(authoring), 0) << logText();

    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB"})
        EXPECT_TRUE(fs::exists(output_ / "VIDEO_TS" / name)) << name;
    const std::string menuStreams = test::streamList(output_ / "VIDEO_TS" / "VIDEO_TS.VOB");
    EXPECT_NE(menuStreams.find("dvd_subtitle"), std::string::npos) << menuStreams;

    ASSERT_GE(values.size(), 4u);
    EXPECT_TRUE(std::adjacent_find(values.begin(), values.end(), std::greater_equal<int>()) ==
                values.end())
        << "progress must rise";
    EXPECT_GE(values.front(), 0);
    EXPECT_EQ(values.back(), 65535);
    // The estimate spans the run: before the end it has come close to it.
    EXPECT_GT(values[values.size() - 2], 60000);
    // Progress lines drive the bars; the log keeps dvdauthor's messages.
    EXPECT_EQ(logText().find("STAT: VOBU"), std::string::npos);
    EXPECT_NE(logText().find("dvdauthor: INFO: Generating VTS"), std::string::npos) << logText();
}

TEST_F(DvdauthorAuthoringTest, FailuresLeaveNoVideoTsAndSayWhy) {
    writeAuthoringScript(work_ / "broken.xml", work_ / "no such title.mpg");
    struct Case {
        const char* what;
        std::string program;
        fs::path script;
        bool failsAsMissing;  // result 1 rather than dvdauthor's own code
        const char* logMentions;
    };
    const Case cases[] = {
        {"missing program", "/nonexistent/velmora-dvdauthor", script_, true,
         "/nonexistent/velmora-dvdauthor"},
        {"missing title stream", "dvdauthor", work_ / "broken.xml", false, "no such title.mpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(log_.file());
        const int result = DvdauthorAuthoring(log_, c.program).dvdauthor(job(c.script));
        if (c.failsAsMissing) {
            EXPECT_EQ(result, 1);
        } else {
            EXPECT_NE(result, 0);
            EXPECT_NE(result, 2);
        }
        EXPECT_NE(logText().find(c.logMentions), std::string::npos) << logText();
        EXPECT_FALSE(fs::exists(output_ / "VIDEO_TS"));
    }
}

TEST_F(DvdauthorAuthoringTest, CancelEndsDvdauthorAndLeavesNoVideoTs) {
    // A title that never delivers: dvdauthor waits for it until cancelled.
    const fs::path stalled = work_ / "stalled.mpg";
    ASSERT_EQ(mkfifo(stalled.c_str(), 0600), 0);
    writeAuthoringScript(work_ / "stalled.xml", stalled);
    Event cancel;
    AuthorJob authoring = job(work_ / "stalled.xml");
    authoring.cancelEvent = &cancel;
    int result = -1;
    std::thread run([&] { result = authoring_.dvdauthor(authoring); });
    const bool started = test::waitForText(log_.file(), "STAT: Processing");
    cancel.set();
    run.join();
    EXPECT_TRUE(started) << logText();
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(fs::exists(output_ / "VIDEO_TS"));
    EXPECT_TRUE(test::noChildProcessLeft());
}

}  // namespace
}  // namespace velmora
