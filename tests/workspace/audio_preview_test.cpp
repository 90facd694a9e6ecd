#include "workspace/audio_preview.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/log.h"
#include "model/preferences.h"
#include "outside/audio_player.h"
#include "support/temporary_folder.h"
#include "workspace/preview_timer.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Records what the preview asks of the sound output; fails on request.
class FakeAudioPlayer final : public AudioPlayer {
  public:
    bool initialise(std::string* reason) override {
        calls.push_back("initialise");
        const bool fails = failInitialiseFromCall && initialiseCount_ >= *failInitialiseFromCall;
        ++initialiseCount_;
        if (fails) *reason = "no sound output";
        return !fails;
    }
    bool open(const fs::path& file, std::string* reason) override {
        calls.push_back("open " + file.string());
        open_ = file;
        if (file == undecodableFile) *reason = "cannot decode";
        return file != undecodableFile;
    }
    double durationSeconds() const override { return 0; }
    void playFromStart() override {
        calls.push_back("play");
        played.push_back(open_.string());
    }
    void stop() override { calls.push_back("stop"); }

    std::optional<int> failInitialiseFromCall;  // 0: the first call fails
    fs::path undecodableFile;
    std::vector<std::string> calls;
    std::vector<std::string> played;  // the files, in the order they sounded

  private:
    int initialiseCount_ = 0;
    fs::path open_;
};

// A clock that ticks when the test says so.
class FakePreviewTimer final : public PreviewTimer {
  public:
    void start(int intervalMs, std::function<void()> tick) override {
        lastIntervalMs = intervalMs;
        tick_ = std::move(tick);
    }
    void stop() override { tick_ = nullptr; }

    bool running() const { return static_cast<bool>(tick_); }
    // One interval goes by; nothing when the timer is not running.
    void elapse(int intervals = 1) {
        for (int i = 0; i < intervals && running(); ++i) {
            const std::function<void()> tick = tick_;
            tick();
        }
    }

    int lastIntervalMs = 0;

  private:
    std::function<void()> tick_;
};

// The texts of a log, without their times.
std::vector<std::string> logTexts(const Log& log) {
    std::vector<std::string> texts;
    std::ifstream in(log.file());
    for (std::string line; std::getline(in, line);)
        texts.push_back(line.substr(line.find(": ") + 2));
    return texts;
}

std::vector<AudioTrack> tracks(std::initializer_list<const char*> files) {
    std::vector<AudioTrack> result(files.size());
    auto file = files.begin();
    for (AudioTrack& track : result)
        track.sourcePath = *file++;
    return result;
}

class AudioPreviewTest : public ::testing::Test {
  protected:
    test::TemporaryFolder temporary_;
    Log log_{temporary_ / "log.txt"};
    Preferences preferences_;
    FakeAudioPlayer player_;
    FakePreviewTimer timer_;
    AudioPreview preview_{player_, timer_, log_, preferences_};
};

struct SteppingCase {
    const char* name;
    std::vector<AudioTrack> tracks;
    bool loopAudio;
    int intervals;
    std::vector<std::string> played;
    bool timerRunning;
};

TEST_F(AudioPreviewTest, PlaysOneTrackAnIntervalAndLoopsOnlyWhenAsked) {
    const std::vector<SteppingCase> cases = {
        {"without loop, silent after the last",
         tracks({"a", "b", "c"}),
         false,
         5,
         {"a", "b", "c"},
         false},
        {"with loop, from the top again",
         tracks({"a", "b", "c"}),
         true,
         4,
         {"a", "b", "c", "a", "b"},
         true},
        {"one track with loop restarts", tracks({"a"}), true, 2, {"a", "a", "a"}, true},
    };
    for (const SteppingCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAudioPlayer player;
        FakePreviewTimer timer;
        preferences_.loopAudio = c.loopAudio;
        AudioPreview preview(player, timer, log_, preferences_);

        preview.playAudioList(c.tracks);
        timer.elapse(c.intervals);

        EXPECT_EQ(player.played, c.played);
        EXPECT_EQ(timer.running(), c.timerRunning);
        EXPECT_TRUE(preview.isPlaying());
        EXPECT_EQ(timer.lastIntervalMs, 5000);
    }
}

TEST_F(AudioPreviewTest, StopsTheTrackBeforeOpeningTheNext) {
    preview_.playAudioList(tracks({"a", "b"}));
    timer_.elapse();

    const std::vector<std::string> expected = {"initialise", "open a", "play", "stop",
                                               "initialise", "open b", "play"};
    EXPECT_EQ(player_.calls, expected);
    EXPECT_EQ(logTexts(log_),
              (std::vector<std::string>{"Init audio player module ok!", "Render file ok!",
                                        "Init audio player module ok!", "Render file ok!"}));
}

TEST_F(AudioPreviewTest, SilentEndKeepsOtherListsOutUntilStopped) {
    preferences_.loopAudio = false;
    preview_.playAudioList(tracks({"a", "b", "c"}));
    timer_.elapse(3);

    preview_.playAudioList(tracks({"x"}));
    preview_.previewTick();
    EXPECT_EQ(player_.played, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(preview_.isPlaying());

    preview_.stopAudioPreview();
    preview_.playAudioList(tracks({"x"}));
    EXPECT_EQ(player_.played, (std::vector<std::string>{"a", "b", "c", "x"}));
}

struct FailureCase {
    const char* name;
    std::optional<int> failInitialiseFromCall;
    const char* undecodableFile;
    std::vector<std::string> played;
    std::vector<std::string> log;
    std::string failure;  // what the page may tell the user
};

TEST_F(AudioPreviewTest, FailureEndsThePreviewWithItsLogLine) {
    const std::string initOk = "Init audio player module ok!";
    const std::string renderOk = "Render file ok!";
    const std::string initFailed = "Init IID_IGraphBuilder failed!";
    const std::string renderFailed =
        "Render file failed, there is no need audio player module installed!";
    const std::vector<FailureCase> cases = {
        {"no sound output", 0, "", {}, {initFailed}, "no sound output"},
        {"sound output gone at the second track",
         1,
         "",
         {"a"},
         {initOk, renderOk, initFailed},
         "no sound output"},
        {"first file undecodable",
         std::nullopt,
         "a",
         {},
         {initOk, renderFailed},
         "a: cannot decode"},
        {"second file undecodable",
         std::nullopt,
         "b",
         {"a"},
         {initOk, renderOk, initOk, renderFailed},
         "b: cannot decode"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TemporaryFolder folder;
        const Log log(folder / "log.txt");
        FakeAudioPlayer player;
        player.failInitialiseFromCall = c.failInitialiseFromCall;
        player.undecodableFile = c.undecodableFile;
        FakePreviewTimer timer;
        preferences_.loopAudio = true;
        AudioPreview preview(player, timer, log, preferences_);

        preview.playAudioList(tracks({"a", "b", "c"}));
        timer.elapse(4);
        preview.previewTick();

        EXPECT_FALSE(preview.isPlaying());
        EXPECT_FALSE(timer.running());
        EXPECT_EQ(player.played, c.played);
        EXPECT_EQ(logTexts(log), c.log);
        EXPECT_EQ(preview.lastFailure(), c.failure);
        // A new list starts with a clean slate.
        player.failInitialiseFromCall.reset();
        player.undecodableFile.clear();
        preview.playAudioList(tracks({"c"}));
        EXPECT_TRUE(preview.isPlaying());
        EXPECT_EQ(preview.lastFailure(), "");
    }
}

TEST_F(AudioPreviewTest, StopIsIdempotentAndStartsTheNextListAtItsTop) {
    preview_.playAudioList(tracks({"a", "b", "c"}));
    timer_.elapse();
    ASSERT_EQ(preview_.nextIndex(), 2u);

    preview_.stopAudioPreview();
    preview_.stopAudioPreview();
    EXPECT_FALSE(preview_.isPlaying());
    EXPECT_FALSE(preview_.isStopping());
    EXPECT_FALSE(timer_.running());
    EXPECT_EQ(preview_.nextIndex(), 0u);
    EXPECT_EQ(std::count(player_.calls.begin(), player_.calls.end(), "stop"), 2);

    preview_.playAudioList(tracks({"a", "b", "c"}));
    EXPECT_EQ(player_.played, (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_EQ(preview_.nextIndex(), 1u);
}

TEST_F(AudioPreviewTest, EmptyListPlaysNothing) {
    preview_.playAudioList({});
    EXPECT_FALSE(preview_.isPlaying());
    EXPECT_TRUE(player_.calls.empty());
}

TEST_F(AudioPreviewTest, DestroyingAPlayingPreviewSilencesItAndDropsItsTimer) {
    {
        AudioPreview preview(player_, timer_, log_, preferences_);
        preview.playAudioList(tracks({"a"}));
    }
    EXPECT_EQ(player_.calls.back(), "stop");
    EXPECT_FALSE(timer_.running());
}

// The preview restarts its timer from inside the timer's own callback.
TEST(QtPreviewTimerTest, CallbackMayRestartTheTimerWithAnother) {
    QtPreviewTimer timer;
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });  // a stuck timer fails
    int firstCalls = 0;
    int secondCalls = 0;
    timer.start(0, [&] {
        ++firstCalls;
        timer.start(0, [&] {
            ++secondCalls;
            timer.stop();
            loop.exit(0);
        });
    });

    ASSERT_EQ(loop.exec(), 0);
    QEventLoop().processEvents();
    EXPECT_EQ(firstCalls, 1);
    EXPECT_EQ(secondCalls, 1);
}

TEST(QtPreviewTimerTest, StartingAgainReplacesTheCallback) {
    QtPreviewTimer timer;
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });
    int replacedCalls = 0;
    timer.start(0, [&] { ++replacedCalls; });
    timer.start(0, [&] {
        timer.stop();
        loop.exit(0);
    });

    ASSERT_EQ(loop.exec(), 0);
    EXPECT_EQ(replacedCalls, 0);
}

}  // namespace
}  // namespace velmora
