#pragma once

#include <QString>
#include <QWidget>

class QVBoxLayout;

namespace velmora {

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
