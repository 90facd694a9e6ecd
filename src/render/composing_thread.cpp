#include "render/composing_thread.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

namespace velmora {

int runOnComposingThread(const std::function<int()>& compose) {
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool == nullptr || pool->contains(QThread::currentThread())) return compose();
    int result = 0;
    QSemaphore done;
    // Waited for here, so the references stay valid while it runs.
    pool->start([&] {
        result = compose();
        done.release();
    });
    done.acquire();
    return result;
}

}  // namespace velmora
