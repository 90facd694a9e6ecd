#pragma once

#include <QDialog>
#include <filesystem>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QSettings;

namespace velmora {

class TipOfTheDay;

// The tip of the day: one tip at a time, "Next Tip", and whether tips show
// at start. Where the reading stopped is kept in the settings when the
// dialog closes, so the next tip follows on.
class TipDialog final : public QDialog {
    Q_OBJECT
  public:
    TipDialog(const std::filesystem::path& tipsFile, QSettings& settings,
              QWidget* parent = nullptr);
    ~TipDialog() override;

    void done(int result) override;

  private:
    void showNextTip();

    QSettings& settings_;
    std::unique_ptr<TipOfTheDay> tips_;
    QLabel* title_ = nullptr;
    QLabel* text_ = nullptr;
    QCheckBox* showAtStart_ = nullptr;
    QPushButton* next_ = nullptr;
};

}  // namespace velmora
