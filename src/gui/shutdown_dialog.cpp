#include "gui/shutdown_dialog.h"

#include <QAbstractButton>
#include <QTimer>

namespace velmora {

CountdownDialog::CountdownDialog(const QString& text, int seconds, QWidget* parent)
    : QMessageBox(QMessageBox::Warning, QStringLiteral("Velmora"), text,
                  QMessageBox::Ok | QMessageBox::Cancel, parent),
      timer_(new QTimer(this)),
      secondsLeft_(seconds) {
    setObjectName(QStringLiteral("shutdownCountdown"));
    // Cancel is the safe answer to a key pressed without looking.
    setDefaultButton(QMessageBox::Cancel);
    setEscapeButton(QMessageBox::Cancel);
    connect(timer_, &QTimer::timeout, this, &CountdownDialog::tick);
    timer_->start(1000);
    showSecondsLeft();
}

void CountdownDialog::tick() {
    if (--secondsLeft_ > 0) {
        showSecondsLeft();
        return;
    }
    timer_->stop();
    done(QMessageBox::Ok);
}

void CountdownDialog::showSecondsLeft() {
    button(QMessageBox::Ok)->setText(tr("Shut Down Now (%1)").arg(secondsLeft_));
}

bool DialogShutdown::countdown(std::string_view text, int seconds) {
    CountdownDialog dialog(QString::fromUtf8(text.data(), qsizetype(text.size())), seconds,
                           parent_);
    return dialog.exec() == QMessageBox::Ok;
}

}  // namespace velmora
