#include "gui/message_box_notifier.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QString>

namespace velmora {

namespace {

QString qt(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QMessageBox::Icon boxIcon(NotifierIcon icon) {
    switch (icon) {
        case NotifierIcon::Information:
            return QMessageBox::Information;
        case NotifierIcon::Warning:
            return QMessageBox::Warning;
        case NotifierIcon::Error:
            return QMessageBox::Critical;
    }
    return QMessageBox::Information;
}

}  // namespace

void MessageBoxNotifier::show(std::string_view text, std::string_view title, NotifierIcon icon) {
    QMessageBox box(boxIcon(icon), qt(title), qt(text), QMessageBox::Ok, window_);
    box.exec();
}

NotifierAnswer MessageBoxNotifier::ask(std::string_view text, std::string_view title,
                                       NotifierButtons buttons) {
    QMessageBox box(QMessageBox::Question, qt(title), qt(text), QMessageBox::NoButton, window_);
    QAbstractButton* yes = nullptr;
    QAbstractButton* no = nullptr;
    if (buttons == NotifierButtons::RestoreDiscard) {
        yes = box.addButton(QObject::tr("Restore"), QMessageBox::AcceptRole);
        no = box.addButton(QObject::tr("Discard"), QMessageBox::DestructiveRole);
    } else {
        yes = box.addButton(QMessageBox::Yes);
        no = box.addButton(QMessageBox::No);
    }
    QAbstractButton* cancel =
        buttons == NotifierButtons::YesNoCancel ? box.addButton(QMessageBox::Cancel) : nullptr;
    box.setDefaultButton(static_cast<QPushButton*>(yes));
    // Escape never answers Yes: it cancels when it can, else says No; it
    // never discards (closing that box answers Cancel: decide later).
    if (buttons != NotifierButtons::RestoreDiscard)
        box.setEscapeButton(cancel != nullptr ? cancel : no);
    box.exec();
    if (box.clickedButton() == yes) return NotifierAnswer::Yes;
    if (box.clickedButton() == no) return NotifierAnswer::No;
    return NotifierAnswer::Cancel;
}

}  // namespace velmora
