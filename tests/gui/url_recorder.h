#pragma once

// Takes the addresses the window hands to the desktop (a browser, a player,
// the file manager), so tests read them instead of opening anything.

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <vector>

namespace velmora::test {

class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    // Every address of `scheme` comes here while the recorder lives.
    explicit UrlRecorder(const QString& scheme = QStringLiteral("file")) : scheme_(scheme) {
        QDesktopServices::setUrlHandler(scheme_, this, "open");
    }
    ~UrlRecorder() override { QDesktopServices::unsetUrlHandler(scheme_); }

    std::vector<QUrl> opened;

  public slots:
    void open(const QUrl& address) { opened.push_back(address); }

  private:
    QString scheme_;
};

}  // namespace velmora::test
