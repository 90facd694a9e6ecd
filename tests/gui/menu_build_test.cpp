// The menu edited in the window is the menu on the disc.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <iterator>

#include "disc/build_job.h"
#include "gui/gui_fixture.h"
#include "gui/menu_canvas_widget.h"
#include "gui/pages/menu_tab.h"
#include "support/run_program.h"
#include "support/silent_build_display.h"
#include "workspace/application_build.h"
#include "workspace/slideshow_commands.h"
#include "workspace/slideshow_import.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Pixels a viewer would call red.
int redPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 170 && c.green() < 70 && c.blue() < 70) ++count;
        }
    return count;
}

class MenuBuildTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void clickItem(int item) {
        const QRect box = window->menuTab()->editor().composer().items().at(size_t(item)).box;
        MenuCanvasWidget* canvas = window->menuTab()->canvas();
        QTest::mouseClick(canvas, Qt::LeftButton, {}, canvas->widgetPointOf(box.center()));
    }
    void typeText(const QString& text) {
        QLineEdit* field = window->menuTab()->textField();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
};

TEST_F(MenuBuildTest, TheDiscShowsTheTitleCaptionColourAndFontEditedInTheWindow) {
    ASSERT_TRUE(started);
    const std::vector<fs::path> samples = importablePictures(test::kResources / "samples");
    ASSERT_GE(samples.size(), 2u);
    SlideshowCommands commands(app, notifier);
    for (int s = 0; s < 2; ++s) {
        const int index = commands.startSlideshow();
        ASSERT_TRUE(commands.fillNewSlideshow(index, {samples[size_t(s)]}));
        Slideshow& slideshow = *app.project.slideshows[size_t(index)];
        const int first[] = {0};
        slideshow.setDisplayTime(first, 1);
        slideshow.setTransitionTime(first, 0);
    }
    window->pages()->setCurrentIndex(MainWindow::kMenuTab);
    QCoreApplication::processEvents();
    ASSERT_EQ(app.menu.pageCount(), 1);
    MenuTab& tab = *window->menuTab();

    clickItem(0);
    ASSERT_EQ(tab.editor().selectedCount(), 1);
    typeText(QStringLiteral("Summer 2026"));
    clickItem(1);  // the first slideshow's caption
    ASSERT_EQ(tab.editor().selectedCount(), 1);
    typeText(QStringLiteral("Lake"));
    EXPECT_EQ(app.project.slideshows[0]->name, "Lake");
    files.colour = 0x0000FF;  // red, as 0x00BBGGRR
    files.font = FontRecord{"DejaVu Sans", 30, 700, false};
    QTest::mouseClick(tab.findChild<QToolButton*>(QStringLiteral("colourButton")), Qt::LeftButton);
    QTest::mouseClick(tab.findChild<QToolButton*>(QStringLiteral("fontButton")), Qt::LeftButton);
    const MenuText& caption = app.menu.pages[0].texts[1];
    EXPECT_EQ(caption.colour, 0x0000FFu);
    EXPECT_EQ(caption.font.weight, 700);
    EXPECT_EQ(app.menu.pages[0].texts[0].text, "Summer 2026");

    // Leaving the page brings the menu's files up to date, as before a save
    // or a build.
    window->pages()->setCurrentIndex(MainWindow::kPhotosTab);
    const fs::path project = temporary.path() / "edited.prg";
    files.choices.push_back(project);
    window->saveProjectAs();
    const std::string saved = fileText(project);
    EXPECT_NE(saved.find("Lake"), std::string::npos);
    EXPECT_NE(saved.find("Summer 2026"), std::string::npos);

    test::SilentBuildDisplay display;
    ApplicationBuild build(app, display);
    ASSERT_TRUE(build.job().startBuild({}));
    ASSERT_EQ(build.job().waitForBuild(), 0) << fileText(app.log.file());

    // The menu's first frame, as a player decodes it: the red caption is
    // there; the theme's own picture has no such red.
    const fs::path frame = temporary.path() / "menu.png";
    const fs::path menuVob = app.project.folders().output / "VIDEO_TS" / "VIDEO_TS.VOB";
    ASSERT_EQ(test::runProgram({"ffmpeg", "-v", "error", "-y", "-i", menuVob.string(), "-frames:v",
                                "1", frame.string()})
                  .exitCode,
              0);
    const QImage decoded(QString::fromStdString(frame.string()));
    ASSERT_FALSE(decoded.isNull());
    const QImage background(
        QString::fromStdString(app.catalogue.selectedTheme()->backgroundPath.string()));
    EXPECT_LT(redPixels(background.scaled(decoded.size())), 20);
    EXPECT_GT(redPixels(decoded), 150);
}

}  // namespace
}  // namespace velmora
