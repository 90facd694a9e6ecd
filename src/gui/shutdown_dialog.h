#pragma once

#include <QMessageBox>

#include "interfaces/shutdown.h"

class QTimer;

namespace velmora {

// The countdown before a power-off: the text, OK and Cancel, and the
// seconds left on the OK button. When they run out it closes with OK.
class CountdownDialog final : public QMessageBox {
    Q_OBJECT
  public:
    CountdownDialog(const QString& text, int seconds, QWidget* parent = nullptr);

    int secondsLeft() const { return secondsLeft_; }

  private:
    void tick();
    void showSecondsLeft();

    QTimer* timer_;
    int secondsLeft_;
};

// The desktop's way of powering off: the countdown as a dialog on the
// window's thread, then the system's power-off (`powerOff`).
class DialogShutdown final : public Shutdown {
  public:
    explicit DialogShutdown(Shutdown& powerOff) : powerOff_(powerOff) {}
    void setParentWindow(QWidget* window) { parent_ = window; }
    bool countdown(std::string_view text, int seconds) override;
    bool powerOff() override { return powerOff_.powerOff(); }

  private:
    Shutdown& powerOff_;
    QWidget* parent_ = nullptr;
};

}  // namespace velmora
