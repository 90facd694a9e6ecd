#include "workspace/music_list.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <fstream>
#include <string>
#include <vector>

#include "support/tone_files.h"
#include "workspace/engine_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Two slideshows; the disc's music is the first one's list.
class MusicListTest : public ::testing::Test, protected test::EngineFixture {
  protected:
    MusicListTest() {
        const fs::path photos = temporary_.path() / "photos";
        fs::create_directories(photos);
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor(30, 90, 160));
        image.save(QString::fromStdString((photos / "a.png").string()));
        addSlideshowOf({photos / "a.png"});
        addSlideshowOf({photos / "a.png"});
        // The empty resource folder has no default music to start with.
        notifier_.messages.clear();
    }
    fs::path tone(const std::string& name, double seconds = 2) {
        const fs::path file = music() / name;
        fs::create_directories(file.parent_path());
        const std::string extension = file.extension().string();
        test::makeTone(file, seconds,
                       extension == ".mp3"    ? std::vector<std::string>{"-c:a", "libmp3lame"}
                       : extension == ".flac" ? std::vector<std::string>{"-c:a", "flac"}
                                              : std::vector<std::string>{"-c:a", "pcm_s16le"});
        return file;
    }
    fs::path music() const { return temporary_.path() / "music"; }
    std::string names() const {
        std::string text;
        for (const MusicList::Row& row : list_.rows())
            text += row.index + ":" + row.fileName + " ";
        return text;
    }

    MusicList list_{app_, notifier_};
};

TEST_F(MusicListTest, AddsAudioFilesAndFoldersToTheFirstSlideshowOnly) {
    ASSERT_TRUE(started_);
    const fs::path single = tone("single.flac");
    tone("album/b.mp3", 3);
    tone("album/a.wav", 1);
    std::ofstream(music() / "album" / "cover.jpg") << "not music";
    const fs::path broken = music() / "broken.mp3";
    std::ofstream(broken) << "no frames here";
    const fs::path notes = music() / "notes.txt";
    std::ofstream(notes) << "text";
    app_.project.currentSlideshow = 1;  // the page shows the second slideshow

    const int added = list_.addTracks({single, music() / "album", broken, notes});

    EXPECT_EQ(added, 3);
    EXPECT_EQ(names(), "0:single.flac 1:a.wav 2:b.mp3 ");
    EXPECT_TRUE(app_.project.slideshows[1]->audioTracks.empty());
    // The file that is not music by its name is passed over in silence; the
    // one that claims to be and is not is refused by name.
    ASSERT_EQ(notifier_.messages.size(), 1u);
    EXPECT_EQ(notifier_.messages[0],
              "file:'" + broken.string() + "' is not a legal mp3 file, so it will not be added!");
    const std::vector<MusicList::Row> rows = list_.rows();
    EXPECT_EQ(rows[2].startText, "00:00:03");  // after 2 s and 1 s
    EXPECT_EQ(rows[2].durationText, "00:00:03");
}

TEST_F(MusicListTest, DeletesAndMovesWithinTheListAndKeepsTheLastTrack) {
    ASSERT_TRUE(started_);
    list_.addTracks({tone("a.wav"), tone("b.wav"), tone("c.wav")});
    ASSERT_EQ(names(), "0:a.wav 1:b.wav 2:c.wav ");

    struct Move {
        const char* what;
        int (MusicList::*move)(int);
        int row;
        int rowAfter;
        const char* order;
    };
    const Move moves[] = {
        {"up from the top", &MusicList::moveTrackUp, 0, 0, "abc"},
        {"down from the bottom", &MusicList::moveTrackDown, 2, 2, "abc"},
        {"outside the list", &MusicList::moveTrackDown, 7, 7, "abc"},
        {"up", &MusicList::moveTrackUp, 2, 1, "acb"},
        {"down", &MusicList::moveTrackDown, 0, 1, "cab"},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.what);
        EXPECT_EQ((list_.*move.move)(move.row), move.rowAfter);
        std::string order;
        for (const AudioTrack& track : list_.tracks())
            order += track.fileName.front();
        EXPECT_EQ(order, move.order);
    }

    EXPECT_FALSE(list_.deleteTrack(-1));
    EXPECT_TRUE(list_.deleteTrack(1));
    EXPECT_TRUE(list_.deleteTrack(0));
    EXPECT_TRUE(notifier_.messages.empty());
    EXPECT_FALSE(list_.deleteTrack(0));
    EXPECT_EQ(notifier_.messages,
              (std::vector<std::string>{"This is last audio, you can not delete it!"}));
    EXPECT_EQ(names(), "0:b.wav ");
}

TEST_F(MusicListTest, WithoutSlideshowsThereIsNoListToChange) {
    ASSERT_TRUE(started_);
    app_.project.slideshows.clear();
    EXPECT_FALSE(list_.hasSlideshow());
    EXPECT_EQ(list_.addTracks({tone("a.wav")}), 0);
    EXPECT_TRUE(list_.rows().empty());
    EXPECT_FALSE(list_.deleteTrack(0));
    EXPECT_EQ(list_.moveTrackUp(1), 1);
}

}  // namespace
}  // namespace velmora
