#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace velmora {

class Application;
class FileDialogs;
class Notifier;

struct SettingsDialogParts {
    Application& app;
    FileDialogs& fileDialogs;
    Notifier& notifier;
};

// "Settings": the output folder, the TV system (directly or through a
// country), the aspect ratio, and the defaults of new pictures. "Save" hands
// the choices to the engine's settings save; "Cancel" changes nothing.
class SettingsDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit SettingsDialog(const SettingsDialogParts& parts, QWidget* parent = nullptr);

  private:
    QWidget* buildNormalPage();
    QWidget* buildOptionPage();
    void showPreferences();
    void chooseFolder();
    void useCountry(bool byCountry);
    void countryChosen(int row);
    void save();

    SettingsDialogParts parts_;
    QLineEdit* folder_ = nullptr;
    QRadioButton* ntsc_ = nullptr;
    QRadioButton* pal_ = nullptr;
    QRadioButton* specificSystem_ = nullptr;
    QRadioButton* byCountry_ = nullptr;
    QComboBox* countries_ = nullptr;
    QRadioButton* standardAspect_ = nullptr;
    QRadioButton* wideAspect_ = nullptr;
    QCheckBox* loopAudio_ = nullptr;
    QCheckBox* randomTransition_ = nullptr;
    QCheckBox* randomImageEffect_ = nullptr;
    QComboBox* photoDuration_ = nullptr;
    QComboBox* transitionDuration_ = nullptr;
};

}  // namespace velmora
