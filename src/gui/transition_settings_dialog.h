#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "model/transition_setting.h"

class QButtonGroup;
class QComboBox;

namespace velmora {

class RandomSource;

// The settings dialog of one transition kind: per parameter a group of radio
// buttons or a list of numbers, and "Default", "Random", "OK", "Cancel". It
// edits a copy of the parameters; the transition it was opened on is written
// only through applyChoice, after "OK".
class TransitionSettingsDialog final : public QDialog {
    Q_OBJECT
  public:
    TransitionSettingsDialog(const TransitionSetting& transition, RandomSource& random,
                             QWidget* parent = nullptr);
    ~TransitionSettingsDialog() override;

    // The values the controls hold (0 for a parameter the kind lacks).
    int first() const { return controlValue(0); }
    int second() const { return controlValue(1); }

    // Stores the dialog's values in `transition` when the dialog was closed
    // with "OK"; true then. Any other ending leaves it untouched.
    static bool applyChoice(const TransitionSettingsDialog& dialog, TransitionSetting& transition);

  private:
    // One parameter's control: a radio group for a choice, a list for a count
    // or width (index = value - minimum).
    struct ParameterControl {
        QButtonGroup* radios = nullptr;
        QComboBox* list = nullptr;
        int minimum = 0;
    };

    QWidget* buildChoiceGroup(const TransitionParameter& parameter, int index);
    QWidget* buildNumberList(const TransitionParameter& parameter, int index);
    QWidget* buildButtons();
    void showWorkingValues();
    void focusFirstControl();
    int controlValue(int index) const;
    void useDefaults();
    void drawRandom();

    // Holds the values Default and Random produce, so the model's own rules
    // (defaults, draws, ranges) decide them.
    std::unique_ptr<TransitionSetting> working_;
    RandomSource& random_;
    std::array<ParameterControl, 2> controls_;
};

// Opens the settings dialog modally over `parent` and writes the parameters
// back only when the user chooses "OK".
class QtTransitionDialogHost final : public TransitionDialogHost {
  public:
    QtTransitionDialogHost(RandomSource& random, QWidget* parent);
    bool editTransition(TransitionSetting& transition) override;

  private:
    RandomSource& random_;
    QWidget* parent_;
};

}  // namespace velmora
