#include "render/composing_thread.h"

#include <QThread>
#include <QThreadPool>

#include "base/event.h"

namespace velmora {

int runOnComposingThread(const std::function<int()>& compose) {
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool == nullptr || pool->contains(QThread::currentThread())) return compose();
    int result = 0;
    // Waited for here, so the references stay valid while it runs. A
    // standard mutex and condition (not QSemaphore) hands the result over,
    // so that ThreadSanitizer sees the hand-over.
    Event done;
    pool->start([&] {
        result = compose();
        done.set();
    });
    done.wait();
    return result;
}

}  // namespace velmora
