// Making the DVD from the burn page, on the real build and writing tools.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>
#include <algorithm>

#include "gui/gui_fixture.h"
#include "gui/pages/burn_tab.h"
#include "gui/url_recorder.h"
#include "support/dvd_reading.h"
#include "workspace/disc_writer_station.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

constexpr int kBuildMs = 240000;

class BurnBuildTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        tab = window->burnTab();
        QObject::connect(tab->mainBar(), &QProgressBar::valueChanged,
                         [this](int value) { highestMainBar = std::max(highestMainBar, value); });
    }
    void enterPage() {
        window->pages()->setCurrentIndex(MainWindow::kBurnTab);
        tab->station().waitUntilIdle();
        QCoreApplication::processEvents();
    }
    void clickMake() { QTest::mouseClick(tab->makeButton(), Qt::LeftButton); }
    bool waitUntilIdle() {
        return test::waitUntil([&] { return !tab->isBusy(); }, kBuildMs);
    }
    bool wasShown(const std::string& text) const {
        return std::find(notifier.shown.begin(), notifier.shown.end(), text) !=
               notifier.shown.end();
    }
    bool hasVideoTsFiles() const {
        std::error_code error;
        const fs::path videoTs = app.project.folders().output / "VIDEO_TS";
        return fs::exists(videoTs / "VIDEO_TS.IFO", error) ||
               fs::exists(videoTs / "VTS_01_0.IFO", error);
    }

    BurnTab* tab = nullptr;
    test::UrlRecorder urls;
    int highestMainBar = 0;
};

TEST_F(BurnBuildTest, MakeDvdBuildsBothSlideshowsWithItsBarsLabelsAndClockThenOffersPlay) {
    addPhotoSlideshow(3, 1);
    addPhotoSlideshow(2, 1);
    enterPage();
    clickMake();
    EXPECT_EQ(tab->makeButton()->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(tab->clockLabel()->isVisible());
    ASSERT_TRUE(test::waitUntil([&] { return !window->pages()->tabBar()->isEnabled(); }));
    EXPECT_TRUE(test::waitUntil(
        [&] { return tab->mainLabel()->text() == QStringLiteral("Making DVD..."); }));
    ASSERT_TRUE(waitUntilIdle());
    QCoreApplication::processEvents();

    EXPECT_TRUE(wasShown("Making dvd file structure successful!"));
    EXPECT_EQ(test::titleCount(app.project.folders().output), 2);
    EXPECT_GE(highestMainBar, 62258);  // the authoring's share was reached
    EXPECT_EQ(tab->mainBar()->value(), 0);
    EXPECT_FALSE(tab->mainBar()->isTextVisible());
    EXPECT_EQ(tab->mainLabel()->text(), QStringLiteral("Main progress:"));
    EXPECT_EQ(tab->detailLabel()->text(), QStringLiteral("Detail progress:"));
    EXPECT_EQ(tab->makeButton()->text(), QStringLiteral("Make DVD"));
    EXPECT_FALSE(tab->clockLabel()->isVisible());
    EXPECT_TRUE(window->pages()->tabBar()->isEnabled());

    ASSERT_TRUE(tab->playButton()->isVisible());
    QTest::mouseClick(tab->playButton(), Qt::LeftButton);
    QTest::mouseClick(tab->openFolderButton(), Qt::LeftButton);
    ASSERT_EQ(urls.opened.size(), 2u);
    EXPECT_EQ(fs::path(urls.opened[0].toLocalFile().toStdString()),
              app.project.folders().output / "VIDEO_TS");
    EXPECT_EQ(fs::path(urls.opened[1].toLocalFile().toStdString()),
              app.project.folders().output);
}

TEST_F(BurnBuildTest, CancelAnswersAtOnceStopsTheBuildAndASecondBuildSucceeds) {
    addPhotoSlideshow(4, 3);
    addPhotoSlideshow(4, 3);
    enterPage();
    clickMake();
    // Within the slideshows' share of the main bar.
    ASSERT_TRUE(test::waitUntil([&] { return tab->mainBar()->value() > 9830; }, kBuildMs));
    clickMake();
    EXPECT_FALSE(tab->makeButton()->isEnabled());
    EXPECT_EQ(tab->makeButton()->text(), QStringLiteral("Stoping"));
    ASSERT_TRUE(waitUntilIdle());
    QCoreApplication::processEvents();
    EXPECT_TRUE(wasShown("STOPED!"));
    EXPECT_FALSE(wasShown("Making dvd file structure successful!"));
    EXPECT_FALSE(hasVideoTsFiles());
    EXPECT_EQ(tab->makeButton()->text(), QStringLiteral("Make DVD"));
    EXPECT_TRUE(tab->makeButton()->isEnabled());
    EXPECT_TRUE(window->pages()->tabBar()->isEnabled());
    EXPECT_FALSE(tab->playButton()->isVisible());

    // The second build powers off after it: the project is saved first.
    shutdown.agree = true;
    tab->shutdownBox()->setChecked(true);
    notifier.shown.clear();
    clickMake();
    ASSERT_TRUE(test::waitUntil([&] { return tab->isBusy(); }));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_FALSE(wasShown("Making dvd file structure successful!"));
    EXPECT_EQ(test::titleCount(app.project.folders().output), 2);
    ASSERT_EQ(shutdown.countdowns.size(), 1u);
    EXPECT_EQ(shutdown.countdowns[0].second, 10);
    EXPECT_EQ(shutdown.powerOffs, 1);
    EXPECT_FALSE(app.project.flags().modified);
}

TEST_F(BurnBuildTest, TheImageTargetWritesAnIsoImageAPlayerOpens) {
    addPhotoSlideshow(2, 1);
    enterPage();
    const fs::path image = temporary.path() / "discs" / "holiday.iso";
    fs::create_directories(image.parent_path());
    QRadioButton* imageTarget = tab->imageTarget();
    QTest::mouseClick(imageTarget, Qt::LeftButton, {}, QPoint(8, imageTarget->height() / 2));
    ASSERT_TRUE(imageTarget->isChecked());
    tab->imageField()->setText(QString::fromStdString(image.string()));
    tab->burnBox()->setChecked(true);
    clickMake();
    ASSERT_TRUE(test::waitUntil([&] { return tab->station().writing(); }, kBuildMs))
        << (notifier.shown.empty() ? std::string() : notifier.shown.back());
    ASSERT_TRUE(waitUntilIdle());
    QCoreApplication::processEvents();

    EXPECT_FALSE(wasShown("Making dvd file structure successful!"));  // the write follows
    EXPECT_TRUE(wasShown("The ISO image was written:\n" + image.string()));
    EXPECT_FALSE(wasShown("Burn finished!"));  // no disc was burnt
    EXPECT_EQ(test::titleCount(image), 1);
    EXPECT_EQ(shutdown.countdowns.size(), 0u);
    QTest::mouseClick(tab->playButton(), Qt::LeftButton);
    ASSERT_EQ(urls.opened.size(), 1u);
    EXPECT_EQ(fs::path(urls.opened[0].toLocalFile().toStdString()), image);

    // "Burn..." writes a folder made before; the VIDEO_TS folder picked
    // itself stands for the folder holding it.
    const fs::path second = image.parent_path() / "again.iso";
    tab->imageField()->setText(QString::fromStdString(second.string()));
    files.choices.push_back(app.project.folders().output / "VIDEO_TS");
    QTest::mouseClick(tab->burnButton(), Qt::LeftButton);
    ASSERT_TRUE(tab->isBusy());
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(test::titleCount(second), 1);
}

TEST_F(BurnBuildTest, QuittingDuringABuildAsksAndYesStopsIt) {
    addPhotoSlideshow(4, 3);
    enterPage();
    clickMake();
    ASSERT_TRUE(test::waitUntil([&] { return tab->mainBar()->value() > 9830; }, kBuildMs));

    notifier.answers = {NotifierAnswer::No};
    window->close();
    ASSERT_EQ(notifier.asked.size(), 1u);
    EXPECT_EQ(notifier.asked[0].text, "Do you want to stop making DVD");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(tab->isBusy());

    notifier.answers = {NotifierAnswer::Yes, NotifierAnswer::No};  // stop; then do not save
    window->close();
    EXPECT_FALSE(window->isVisible());
    // The build has stopped: its end comes without a message.
    EXPECT_TRUE(test::waitUntil([&] { return !tab->isBusy(); }));
    EXPECT_FALSE(wasShown("STOPED!"));
    EXPECT_FALSE(hasVideoTsFiles());
}

}  // namespace
}  // namespace velmora

