#pragma once

#include <QImage>
#include <QListWidget>

namespace velmora {

class ThemeCatalogue;

// The menu themes as 70 × 70 pictures in catalogue order. A click or Enter
// on one is the themeChosen signal; the arrow keys only move the choice.
class ThemeListView final : public QListWidget {
    Q_OBJECT
  public:
    static constexpr int kPictureSide = 70;

    explicit ThemeListView(QWidget* parent = nullptr);

    // One entry per theme up to the first whose preview cannot be read.
    void fillList(const ThemeCatalogue& catalogue);
    // A preview fitted into the white square (keeping its proportions) inside
    // a light grey frame, at `pixelRatio` device pixels per pixel.
    static QImage themePicture(const QImage& preview, qreal pixelRatio = 1.0);

  signals:
    void themeChosen(int index);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace velmora
