#include "gui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/gui_fixture.h"
#include "model/preferences.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

class SettingsDialogTest : public ::testing::Test, protected test::WindowFixture {
  protected:
    SettingsDialog& open() {
        dialog_ = std::make_unique<SettingsDialog>(SettingsDialogParts{app, files, notifier});
        dialog_->show();
        return *dialog_;
    }
    template <class Widget>
    Widget* find(const char* name) {
        auto* widget = dialog_->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void clickSave() { QTest::mouseClick(find<QPushButton>("saveButton"), Qt::LeftButton); }

    std::unique_ptr<SettingsDialog> dialog_;
};

TEST_F(SettingsDialogTest, OpensOnThePreferences) {
    app.preferences.useNation = true;
    app.preferences.nationName = "ger";  // the first name starting so, in any case
    app.preferences.nationTvStandard = TvStandard::Pal;
    app.preferences.aspectRatio = AspectRatio::Wide;
    app.preferences.defaults.effect.displayTime = 7;
    open();
    EXPECT_EQ(find<QComboBox>("countries")->currentText(), QStringLiteral("Germany"));
    EXPECT_TRUE(find<QComboBox>("countries")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>("byCountry")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("pal")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("pal")->isEnabled());
    EXPECT_TRUE(find<QRadioButton>("aspect16x9")->isChecked());
    EXPECT_EQ(find<QComboBox>("photoDuration")->currentText(), QStringLiteral("7"));
    EXPECT_EQ(find<QLineEdit>("outputFolder")->text().toStdString(),
              app.project.folders().working.string());
}

TEST_F(SettingsDialogTest, JapanMeansNtscEverywhere) {
    app.preferences.defaults.tvStandard = app.preferences.tvFormat =
        app.preferences.nationTvStandard = TvStandard::Pal;
    open();
    QTest::mouseClick(find<QRadioButton>("byCountry"), Qt::LeftButton);
    EXPECT_FALSE(find<QRadioButton>("ntsc")->isEnabled());
    EXPECT_FALSE(find<QRadioButton>("pal")->isEnabled());
    QComboBox* countries = find<QComboBox>("countries");
    countries->setFocus();
    QTest::keyClicks(countries, QStringLiteral("Japan"));  // typing picks the entry
    EXPECT_EQ(countries->currentText(), QStringLiteral("Japan"));
    EXPECT_TRUE(find<QRadioButton>("ntsc")->isChecked());
    clickSave();
    EXPECT_EQ(dialog_->result(), QDialog::Accepted);
    const Preferences& preferences = app.preferences;
    EXPECT_TRUE(preferences.useNation);
    EXPECT_EQ(preferences.nationName, "Japan");
    EXPECT_EQ(preferences.defaults.tvStandard, TvStandard::Ntsc);
    EXPECT_EQ(preferences.tvFormat, TvStandard::Ntsc);
    EXPECT_EQ(preferences.nationTvStandard, TvStandard::Ntsc);
    EXPECT_TRUE(app.project.flags().menuStale);  // the standard changed
}

TEST_F(SettingsDialogTest, OnlyAChangedFormatMakesTheMenuStale) {
    struct Case {
        const char* aspectButton;
        bool stale;
    };
    for (const Case& c : {Case{"aspect4x3", false}, Case{"aspect16x9", true}}) {
        SCOPED_TRACE(c.aspectButton);
        app.preferences.aspectRatio = AspectRatio::Standard;
        app.project.flags().menuStale = false;
        open();
        QTest::mouseClick(find<QRadioButton>(c.aspectButton), Qt::LeftButton);
        clickSave();
        EXPECT_EQ(app.project.flags().menuStale, c.stale);
    }
    EXPECT_EQ(app.preferences.aspectRatio, AspectRatio::Wide);
}

TEST_F(SettingsDialogTest, TheChoicesReachThePicturesAndTheFile) {
    open();
    QTest::mouseClick(find<QCheckBox>("loopAudio"), Qt::LeftButton);
    find<QComboBox>("photoDuration")->setCurrentIndex(9);       // 10 s
    find<QComboBox>("transitionDuration")->setCurrentIndex(3);  // 4 s
    const fs::path chosen = user() / "elsewhere";
    files.choices = {chosen};
    fs::create_directories(chosen);
    QTest::mouseClick(dialog_->findChild<QPushButton*>(QStringLiteral("browseButton")),
                      Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>("outputFolder")->text().toStdString(), chosen.string());
    clickSave();
    EXPECT_FALSE(app.preferences.loopAudio);
    EXPECT_EQ(app.preferences.defaults.effect.displayTime, 10);
    EXPECT_EQ(app.preferences.defaults.effect.transitionTime, 4);
    EXPECT_EQ(app.project.folders().working, chosen);
    EXPECT_EQ(app.preferences.outputFolder, chosen / "dvd");
    std::string reason;
    Preferences reread = Preferences::initial(app.folders.userFolder, {});
    ASSERT_EQ(app.preferencesFile.loadPreferences(reread, app.random), 0);
    EXPECT_FALSE(reread.loopAudio);
    EXPECT_EQ(reread.defaults.effect.displayTime, 10);

    // Cancel changes nothing.
    open();
    find<QComboBox>("photoDuration")->setCurrentIndex(0);
    dialog_->reject();
    EXPECT_EQ(app.preferences.defaults.effect.displayTime, 10);
}

}  // namespace
}  // namespace velmora
