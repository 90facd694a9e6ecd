#include "gui/pages/burn_tab.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "gui/gui_fixture.h"
#include "gui/shutdown_dialog.h"
#include "workspace/disc_writer_station.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class BurnTabTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    void SetUp() override {
        ASSERT_TRUE(started);
        tab = window->burnTab();
    }
    void enterPage() {
        window->pages()->setCurrentIndex(MainWindow::kBurnTab);
        tab->station().waitUntilIdle();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
    bool wasShown(const std::string& text) const {
        for (const std::string& shown : notifier.shown)
            if (shown.find(text) != std::string::npos) return true;
        return false;
    }

    BurnTab* tab = nullptr;
};

TEST_F(BurnTabTest, TheSpaceCheckHoldsBothButtonsWithItsMessageUntilTheDriveHasRoom) {
    addPhotoSlideshow(2, 2);
    tab->imageTarget()->setChecked(true);  // so that no writer is needed for "Burn"
    drives.freeMegabytes = 1;
    enterPage();
    EXPECT_FALSE(tab->makeButton()->isEnabled());
    EXPECT_FALSE(tab->burnButton()->isEnabled());
    EXPECT_TRUE(tab->spaceWarning()->isVisible());
    EXPECT_TRUE(tab->spaceWarning()->text().startsWith(
        QStringLiteral(" No enough space, please change a driver, you need ")))
        << tab->spaceWarning()->text().toStdString();
    EXPECT_TRUE(tab->freeText()->text().endsWith(QStringLiteral(" 1M free!")))
        << tab->freeText()->text().toStdString();

    drives.freeMegabytes.reset();
    tab->refreshPage();
    EXPECT_TRUE(tab->makeButton()->isEnabled());
    EXPECT_TRUE(tab->burnButton()->isEnabled());
    EXPECT_FALSE(tab->spaceWarning()->isVisible());
}

TEST_F(BurnTabTest, BrowseMakesTheChosenFoldersDvdFolderTheOutputAndRefusesAWorkingFolder) {
    addPhotoSlideshow(1, 2);
    enterPage();
    const fs::path chosen = temporary.path() / "discs";
    fs::create_directories(chosen);
    app.project.flags().modified = false;
    files.choices.push_back(chosen);
    click(tab->browseButton());
    const fs::path output = chosen / "DVD";
    EXPECT_EQ(app.project.folders().output, output);
    EXPECT_EQ(tab->outputField()->text().toStdString(), output.string());
    EXPECT_TRUE(app.project.flags().modified);

    // Inside the working folder the DVD would go with the next cleaning.
    files.choices.push_back(app.project.folders().temporary);
    click(tab->browseButton());
    EXPECT_EQ(app.project.folders().output, output);
    ASSERT_FALSE(notifier.shown.empty());
    EXPECT_NE(notifier.shown.back().find(app.project.folders().temporary.string()),
              std::string::npos)
        << notifier.shown.back();
}

TEST_F(BurnTabTest, WithoutAWriterTheListSaysSoBurnExplainsAndTheMediaCheckStopsTheBuild) {
    addPhotoSlideshow(2, 2);
    enterPage();
    if (tab->station().writerCount() > 0) GTEST_SKIP() << "this machine has a DVD writer";
    EXPECT_EQ(tab->writerList()->count(), 0);
    EXPECT_EQ(tab->writerList()->placeholderText(), QStringLiteral("No DVD writer was found"));
    EXPECT_FALSE(tab->burnButton()->isEnabled());
    EXPECT_TRUE(tab->burnButton()->toolTip().contains(QStringLiteral("No DVD writer was found")));

    // An earlier disc in the output folder stays when the build does not start.
    const fs::path earlier = app.project.folders().output / "VIDEO_TS" / "VIDEO_TS.IFO";
    fs::create_directories(earlier.parent_path());
    std::ofstream(earlier) << "an earlier disc";
    tab->burnBox()->setChecked(true);
    click(tab->makeButton());
    ASSERT_TRUE(test::waitUntil([&] { return !tab->isBusy(); }));
    EXPECT_TRUE(wasShown("No select dvd writer! Disk inserted type is 0"));
    EXPECT_TRUE(fs::exists(earlier));
    QCoreApplication::processEvents();
    EXPECT_EQ(tab->makeButton()->text(), QStringLiteral("Make DVD"));
    EXPECT_TRUE(tab->makeButton()->isEnabled());
    EXPECT_TRUE(window->pages()->tabBar()->isEnabled());

    // The image target needs no writer.
    tab->imageTarget()->setChecked(true);
    EXPECT_TRUE(tab->burnButton()->isEnabled());
    EXPECT_TRUE(tab->burnBox()->text().contains(QStringLiteral("ISO image")));
}

TEST_F(BurnTabTest, TheShutdownCountdownAgreesWhenItsTimeRunsOutAndNotWhenCancelled) {
    test::FakeShutdown powerOff;
    DialogShutdown dialogs(powerOff);
    EXPECT_TRUE(dialogs.countdown("10s later will shutdown the computer!", 1));

    QTimer::singleShot(200, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_FALSE(dialogs.countdown("10s later will shutdown the computer!", 10));
    EXPECT_EQ(powerOff.powerOffs, 0);
}

}  // namespace
}  // namespace velmora
