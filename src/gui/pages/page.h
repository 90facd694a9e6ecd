#pragma once

#include <QString>
#include <QWidget>

class QVBoxLayout;

namespace velmora {

class Application;
class AudioPreview;
class FileDialogs;
class Notifier;
class PageSignals;
class PreviewState;

// What a working page is made with: the engine of the run, the ways it
// talks to the user, the window's notifications, the one preview the
// window plays at a time and its music preview.
struct PageParts {
    Application& app;
    Notifier& notifier;
    FileDialogs& fileDialogs;
    PageSignals& pageSignals;
    PreviewState& preview;
    AudioPreview& audioPreview;
};

// One of the five work pages of the main window. The window tells a page
// when it is shown (refreshPage) and when its previews must stop.
class Page : public QWidget {
    Q_OBJECT
  public:
    explicit Page(QWidget* parent = nullptr);

    virtual void refreshPage() {}
    virtual void stopPreviews() {}

  protected:
    // A page not built yet says what it will hold, in one plain line.
    void showComingLine(const QString& text);
    QVBoxLayout* pageLayout() const { return layout_; }

  private:
    QVBoxLayout* layout_;
};

}  // namespace velmora
