#include "gui/queued_notifier.h"

#include <QThread>
#include <string>

namespace velmora {

QueuedNotifier::QueuedNotifier(Notifier& target, QObject* parent)
    : QObject(parent), target_(target) {}

bool QueuedNotifier::onOwnThread() const {
    return QThread::currentThread() == thread();
}

void QueuedNotifier::show(std::string_view text, std::string_view title, NotifierIcon icon) {
    if (onOwnThread()) {
        target_.show(text, title, icon);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, text = std::string(text), title = std::string(title), icon] {
            target_.show(text, title, icon);
        },
        Qt::QueuedConnection);
}

NotifierAnswer QueuedNotifier::ask(std::string_view text, std::string_view title,
                                   NotifierButtons buttons) {
    if (onOwnThread()) return target_.ask(text, title, buttons);
    return NotifierAnswer::No;
}

}  // namespace velmora
