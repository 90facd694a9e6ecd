#pragma once

#include <QObject>

#include "base/notifier.h"

namespace velmora {

// A Notifier a worker thread may call: its messages are handed to the
// window's thread and shown there, without waiting for the user. Questions
// cannot wait for an answer across threads: asked from another thread they
// are answered No (the build and the writers ask none).
class QueuedNotifier final : public QObject, public Notifier {
    Q_OBJECT
  public:
    explicit QueuedNotifier(Notifier& target, QObject* parent = nullptr);

    void show(std::string_view text, std::string_view title, NotifierIcon icon) override;
    NotifierAnswer ask(std::string_view text, std::string_view title,
                       NotifierButtons buttons) override;

  private:
    bool onOwnThread() const;

    Notifier& target_;
};

}  // namespace velmora
