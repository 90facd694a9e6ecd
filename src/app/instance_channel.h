#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <filesystem>

namespace velmora {

// One window per user folder: a second copy would share the working
// folders, the preferences and the recovery file. The first start holds a
// lock in the user folder and listens on a local socket named after it; a
// later start hands what it was asked to open (absolute paths; none: just
// show the window) to the first and ends, so nothing the user asked for is
// lost.
class InstanceChannel final : public QObject {
    Q_OBJECT
  public:
    explicit InstanceChannel(const std::filesystem::path& userFolder,
                             QObject* parent = nullptr);

    // True when this process is the first: it holds the lock and listens.
    bool claim();
    // Hands `paths` to the first copy; true once it has taken them.
    bool handOver(const QStringList& paths, int timeoutMs = 5000);

  signals:
    // Paths a later start handed over (empty: it only asked to be seen).
    void pathsReceived(const QStringList& paths);

  private:
    void readRequest(QLocalSocket* socket);

    QLockFile lock_;
    QString serverName_;
    QLocalServer server_;
};

}  // namespace velmora
