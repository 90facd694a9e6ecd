#include "gui/transition_settings_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <functional>
#include <vector>

#include "base/fixed_random.h"
#include "gui/gui_fixture.h"

namespace velmora {
namespace {

struct Values {
    int first;
    int second;
    friend bool operator==(const Values&, const Values&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Values& v) {
        return out << '(' << v.first << ", " << v.second << ')';
    }
};

Values valuesOf(const TransitionSetting& transition) {
    return {transition.firstParameter(), transition.secondParameter()};
}

class TransitionSettingsDialogTest : public ::testing::Test {
  protected:
    TransitionSettingsDialog& open(TransitionKind kind, Values start, int randomValue = 0) {
        transition_ = makeTransition(kind);
        transition_->setParameters(start.first, start.second);
        random_ = std::make_unique<test::ScriptedRandom>(std::vector<int>{randomValue});
        dialog_ = std::make_unique<TransitionSettingsDialog>(*transition_, *random_);
        dialog_->show();
        return *dialog_;
    }
    // The radio button with exactly this label; none when there is none.
    QRadioButton* radio(const QString& label) const {
        for (QRadioButton* button : dialog_->findChildren<QRadioButton*>()) {
            if (button->text() == label) return button;
        }
        ADD_FAILURE() << "no radio button " << label.toStdString();
        return nullptr;
    }
    // A click on the button's circle: the widget stretches across its group,
    // so its middle may lie beyond the label, where a click does nothing.
    static void clickRadio(QRadioButton* button) {
        ASSERT_NE(button, nullptr);
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect circle =
            button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button);
        QTest::mouseClick(button, Qt::LeftButton, {}, circle.center());
    }
    QComboBox* numberList() const {
        auto* list = dialog_->findChild<QComboBox*>();
        EXPECT_NE(list, nullptr);
        return list;
    }
    void click(const char* buttonName) const {
        auto* button = dialog_->findChild<QPushButton*>(QString::fromLatin1(buttonName));
        ASSERT_NE(button, nullptr) << buttonName;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    Values shown() const { return {dialog_->first(), dialog_->second()}; }

    std::unique_ptr<TransitionSetting> transition_;
    std::unique_ptr<test::ScriptedRandom> random_;
    std::unique_ptr<TransitionSettingsDialog> dialog_;
};

TEST_F(TransitionSettingsDialogTest, ShowsTheParametersAndOkStoresTheChange) {
    struct Case {
        TransitionKind kind;
        Values start;
        std::vector<QString> checkedRadios;  // what the start values show
        QString shownNumber;                 // empty: the kind has no list
        std::vector<QString> radiosToClick;
        QString numberToPick;
        Values chosen;
    };
    const Case cases[] = {
        {TransitionKind::Door, {1, 0}, {"Close Door"}, {}, {"Open door"}, {}, {0, 0}},
        {TransitionKind::Blinds, {1, 5}, {"Right to left"}, "5", {"Left to right"}, "10", {0, 10}},
        // The count comes first here, the direction second.
        {TransitionKind::Polygon, {4, 1}, {"Fly out"}, "4", {"Fly in"}, "9", {9, 0}},
        {TransitionKind::Clock, {0, 0}, {"1 Finger", "No"}, {}, {"4 Fingers", "Yes"}, {}, {2, 1}},
        {TransitionKind::Clock, {1, 1}, {"2 Fingers", "Yes"}, {}, {"No"}, {}, {1, 0}},
        {TransitionKind::Sweep, {3, 1}, {"Up to bottom"}, "1", {"Bottom to up"}, "80", {2, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(transitionKindInfo(c.kind).name));
        TransitionSettingsDialog& dialog = open(c.kind, c.start);
        for (const QString& label : c.checkedRadios) {
            QRadioButton* button = radio(label);
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->isChecked()) << label.toStdString();
        }
        if (!c.shownNumber.isEmpty()) {
            EXPECT_EQ(numberList()->currentText(), c.shownNumber);
        }
        EXPECT_EQ(shown(), c.start);

        for (const QString& label : c.radiosToClick)
            clickRadio(radio(label));
        if (!c.numberToPick.isEmpty()) {
            QComboBox* list = numberList();
            list->setCurrentIndex(list->findText(c.numberToPick));
        }
        EXPECT_EQ(shown(), c.chosen);
        EXPECT_EQ(valuesOf(*transition_), c.start);  // the dialog works on a copy

        click("okButton");
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(TransitionSettingsDialog::applyChoice(dialog, *transition_));
        EXPECT_EQ(valuesOf(*transition_), c.chosen);
    }
}

TEST_F(TransitionSettingsDialogTest, OnlyOkWritesTheChoiceBack) {
    struct Case {
        const char* ending;
        std::function<void(TransitionSettingsDialog&)> end;
        bool written;
    };
    const Case cases[] = {
        {"Cancel", [this](TransitionSettingsDialog&) { click("cancelButton"); }, false},
        {"Escape", [](TransitionSettingsDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, false},
        {"Return", [](TransitionSettingsDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ending);
        TransitionSettingsDialog& dialog = open(TransitionKind::Blinds, {0, 8});
        clickRadio(radio("Right to left"));
        numberList()->setCurrentIndex(0);
        c.end(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(TransitionSettingsDialog::applyChoice(dialog, *transition_), c.written);
        EXPECT_EQ(valuesOf(*transition_), (c.written ? Values{1, 4} : Values{0, 8}));
    }
}

// The focus starts on the first parameter's current value, so an arrow key
// moves from there.
TEST_F(TransitionSettingsDialogTest, TheKeyboardStartsOnTheCurrentValue) {
    struct Case {
        TransitionKind kind;
        Values start;
        Qt::Key key;
        Values expected;
    };
    const Case cases[] = {
        {TransitionKind::Clock, {2, 1}, Qt::Key_Up, {1, 1}},      // "4 Fingers" up to "2 Fingers"
        {TransitionKind::Polygon, {5, 1}, Qt::Key_Down, {6, 1}},  // the count list
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(transitionKindInfo(c.kind).name));
        TransitionSettingsDialog& dialog = open(c.kind, c.start);
        dialog.activateWindow();  // arrows move between buttons only in the active window
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QWidget* focus = dialog.focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, c.key);
        EXPECT_EQ(shown(), c.expected);
    }
}

TEST_F(TransitionSettingsDialogTest, DefaultAndRandomFollowTheModel) {
    struct Case {
        TransitionKind kind;
        Values start;
        const char* button;
        int randomValue;
        Values expected;
    };
    const Case cases[] = {
        {TransitionKind::Blinds, {1, 5}, "defaultButton", 0, {0, 8}},
        {TransitionKind::Clock, {0, 0}, "defaultButton", 0, {2, 1}},
        {TransitionKind::Polygon, {3, 1}, "defaultButton", 0, {7, 0}},
        // The top draw folds onto the last value: 32767 / 4680 + 4 = 11 -> 10 blinds.
        {TransitionKind::Blinds, {0, 8}, "randomButton", 32767, {1, 10}},
        {TransitionKind::Polygon, {7, 0}, "randomButton", 32767, {9, 1}},
        {TransitionKind::Polygon, {7, 1}, "randomButton", 0, {3, 0}},
        {TransitionKind::Circle, {1, 40}, "randomButton", 0, {0, 1}},  // no width of 0
        {TransitionKind::Clock, {0, 0}, "randomButton", 32767, {2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(transitionKindInfo(c.kind).name) + " " + c.button);
        TransitionSettingsDialog& dialog = open(c.kind, c.start, c.randomValue);
        click(c.button);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(shown(), c.expected);
        EXPECT_EQ(valuesOf(*transition_), c.start);
    }
}

}  // namespace
}  // namespace velmora
