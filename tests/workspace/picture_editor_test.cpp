#include "workspace/picture_editor.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "base/log.h"
#include "base/notifier.h"
#include "base/random_generator.h"
#include "image/picture_files_service.h"
#include "image/picture_fixtures.h"
#include "model/model_fakes.h"
#include "model/slideshow.h"
#include "render/discarding_encoder.h"
#include "render/timeline.h"
#include "support/temporary_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Answers questions from a queue (Cancel when it runs dry) and keeps what
// was asked and shown, in order.
class ScriptedNotifier final : public Notifier {
  public:
    void show(std::string_view text, std::string_view, NotifierIcon) override {
        said.push_back("show: " + std::string(text));
    }
    NotifierAnswer ask(std::string_view text, std::string_view title,
                       NotifierButtons buttons) override {
        EXPECT_EQ(title, "Query");
        EXPECT_EQ(buttons, NotifierButtons::YesNoCancel);
        said.push_back("ask: " + std::string(text));
        if (answers.empty()) return NotifierAnswer::Cancel;
        const NotifierAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<NotifierAnswer> answers;
    std::vector<std::string> said;
};

const std::string kQuestion = "ask: Do you want to save the pic modify?";

class PictureEditorTest : public ::testing::Test {
  protected:
    PictureEditorTest() {
        fs::create_directories(work() / "temp");
        fs::create_directories(folder_ / "photos");
        for (int i = 0; i < 3; ++i) {
            const fs::path file = folder_ / "photos" / (std::to_string(i) + ".png");
            test::writeWithQt(file, test::quadrants(80, 60), "png");
            EXPECT_EQ(slideshow_.addPicture(file, SlideSettings{}), 0);
        }
    }
    fs::path work() const { return folder_.path() / "work"; }
    PictureEditor editorAt(int index) {
        return PictureEditor({.slideshow = slideshow_,
                              .index = index,
                              .workingFolder = work(),
                              .wideScreen = false,
                              .decorationFolder = folder_ / "decorate_pics",
                              .notifier = notifier_,
                              .flags = context_.flags});
    }
    SlideImage& picture(int index) { return slideshow_.pictures.at(size_t(index)); }

    test::TemporaryFolder folder_;
    RandomGenerator random_{7};
    test::FakePictureFiles pictures_;
    test::FakeAudio audio_;
    ScriptedNotifier notifier_;
    test::RecordingEvents events_;
    ProjectContext context_{
        {}, random_, pictures_, audio_, notifier_, events_, folder_ / "default.mp3"};
    Slideshow slideshow_{"Show", work(), context_};
};

TEST_F(PictureEditorTest, TheSaveQuestionDecidesWhatHappensToTheEdits) {
    const struct {
        NotifierAnswer answer;
        bool moved;
        bool saved;
    } cases[] = {
        {NotifierAnswer::Yes, true, true},
        {NotifierAnswer::No, true, false},
        {NotifierAnswer::Cancel, false, false},
    };
    for (const auto& c : cases) {
        picture(0).workingPath = picture(0).sourcePath;
        picture(0).edits.clear();
        notifier_.said.clear();
        notifier_.answers = {c.answer};
        PictureEditor editor = editorAt(0);
        editor.rotate180();
        EXPECT_EQ(editor.next(), c.moved);
        EXPECT_EQ(notifier_.said, std::vector<std::string>{kQuestion});
        EXPECT_EQ(editor.index(), c.moved ? 1 : 0);
        EXPECT_EQ(editor.editedDirty(), !c.moved);
        EXPECT_EQ(picture(0).edits.size(), c.saved ? 1u : 0u);
        EXPECT_EQ(picture(0).workingPath, c.saved
                                              ? editedCopyPath(work(), picture(0).sourcePath, "bmp")
                                              : picture(0).sourcePath);
        // Cancel keeps the edit on the canvas; the other answers leave it behind.
        EXPECT_EQ(editor.canvas().pendingEdits().size(), c.moved ? 0u : 1u);
    }
}

TEST_F(PictureEditorTest, TheEndsOfTheSlideshowSaySoAndKeepThePicture) {
    PictureEditor first = editorAt(0);
    EXPECT_FALSE(first.previous());
    EXPECT_EQ(first.index(), 0);
    first.flipVertically();
    notifier_.answers = {NotifierAnswer::No};
    EXPECT_FALSE(first.previous());
    EXPECT_EQ(notifier_.said,
              (std::vector<std::string>{"show: This is the first Picture!", kQuestion,
                                        "show: This is the first Picture!"}));

    notifier_.said.clear();
    PictureEditor last = editorAt(2);
    EXPECT_FALSE(last.next());
    EXPECT_EQ(last.index(), 2);
    EXPECT_TRUE(last.previous());
    EXPECT_EQ(last.index(), 1);
    EXPECT_EQ(notifier_.said, std::vector<std::string>{"show: This is the last Picture!"});
}

TEST_F(PictureEditorTest, ASaveRefreshesTheThumbnailTheCoverAndTheProject) {
    PictureEditor editor = editorAt(1);
    std::vector<int> saved;
    editor.onSaved = [&saved](int index) { saved.push_back(index); };
    const size_t coversBefore = pictures_.covers.size();
    context_.flags.modified = false;
    const int thumbnailsBefore = pictures_.thumbnailsMade;

    editor.rotate180();
    ASSERT_TRUE(editor.save());
    EXPECT_EQ(pictures_.thumbnailsMade, thumbnailsBefore + 1);
    EXPECT_EQ(pictures_.covers.size(), coversBefore);  // picture 1 is not the cover
    EXPECT_TRUE(context_.flags.modified);
    EXPECT_TRUE(editor.savedOnce());
    EXPECT_FALSE(editor.editedDirty());

    ASSERT_TRUE(editor.previous());  // nothing unsaved: no question
    editor.flipHorizontally();
    ASSERT_TRUE(editor.save());
    ASSERT_EQ(pictures_.covers.size(), coversBefore + 1);
    EXPECT_EQ(pictures_.covers.back().first, picture(0).workingPath);
    EXPECT_EQ(pictures_.covers.back().second, slideshow_.coverPath);
    EXPECT_EQ(saved, (std::vector<int>{1, 0}));
    EXPECT_TRUE(notifier_.said.empty());
}

TEST_F(PictureEditorTest, ChangesMadeAfterASaveAreNotLostSilently) {
    PictureEditor editor = editorAt(0);
    ASSERT_TRUE(editor.addCaption());
    EXPECT_EQ(editor.canvas().selectedCaptionText(), PictureEditor::kNewCaptionText);
    ASSERT_TRUE(editor.save());
    // Retyping the caption is not an edit command, yet it must be saved.
    editor.setCaptionText("Summer");
    EXPECT_FALSE(editor.editedDirty());
    EXPECT_FALSE(editor.next());  // the question was cancelled
    EXPECT_EQ(notifier_.said, std::vector<std::string>{kQuestion});
    ASSERT_TRUE(editor.save());
    ASSERT_EQ(picture(0).edits.size(), 1u);
    EXPECT_EQ(picture(0).edits[0].text, "Summer");

    // Reset goes back to what was saved.
    editor.rotateLeft90();
    editor.reset();
    EXPECT_TRUE(editor.canvas().pendingEdits().empty());
    ASSERT_EQ(editor.canvas().items().size(), 1u);
    EXPECT_EQ(editor.canvas().items()[0].text, "Summer");
}

TEST_F(PictureEditorTest, APictureThatCannotBeLoadedIsNamed) {
    fs::remove(picture(1).sourcePath);
    PictureEditor editor = editorAt(1);
    EXPECT_TRUE(editor.canvas().isEmpty());
    EXPECT_EQ(notifier_.said, std::vector<std::string>{"show: Can not load file " +
                                                       picture(1).sourcePath.string()});
    EXPECT_TRUE(editor.next());
    EXPECT_FALSE(editor.canvas().isEmpty());
}

TEST_F(PictureEditorTest, DecorationsAreThePicturesOfTheCategoryFolder) {
    const fs::path animals = folder_ / "decorate_pics" / "Animal";
    fs::create_directories(animals / "more.png");  // a folder, not a picture
    for (const char* name : {"owl.png", "cat.gif", "notes.txt"})
        test::writeBytes(animals / name, {1, 2, 3});
    EXPECT_EQ(editorAt(0).decorationFiles("Animal"),
              (std::vector<fs::path>{animals / "cat.gif", animals / "owl.png"}));
    EXPECT_TRUE(editorAt(0).decorationFiles("Face").empty());
}

// What the editor saves is what the disc shows: the slideshow's frames
// are made from the edited copy, caption and all.
TEST_F(PictureEditorTest, ASavedCaptionIsInTheSlideshowsFrames) {
    const fs::path red = folder_ / "photos" / "red.png";
    QImage redPicture(800, 600, QImage::Format_RGB32);
    redPicture.fill(qRgb(220, 0, 0));
    test::writeWithQt(red, redPicture, "png");
    slideshow_.pictures.clear();
    ASSERT_EQ(slideshow_.addPicture(red, SlideSettings{}), 0);

    PictureEditor editor = editorAt(0);
    ASSERT_TRUE(editor.addCaption());
    editor.setCaptionText("WWWWWWWW");
    editor.setCaptionColour(0x00FF00);  // green, as the project keeps colours
    editor.setCaptionFont({"Arial", 60, 900, false});
    ASSERT_TRUE(editor.save());

    DiscardingEncoder encoder;
    QImage lastFrame;
    RenderJob job;
    job.slideshow = &slideshow_;
    job.composedFrame = [&](int, const QImage& frame) { lastFrame = frame; };
    const Log log(folder_ / "log.txt");
    ASSERT_EQ(encodeSlideshow(job, encoder, log), 0);
    ASSERT_FALSE(lastFrame.isNull());
    int green = 0;
    for (int y = 0; y < lastFrame.height(); ++y)
        for (int x = 0; x < lastFrame.width(); ++x) {
            const QRgb pixel = lastFrame.pixel(x, y);
            if (qGreen(pixel) > 180 && qRed(pixel) < 90) ++green;
        }
    EXPECT_GT(green, 500);  // the caption's letters
}

}  // namespace
}  // namespace velmora
