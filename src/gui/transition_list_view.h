#pragma once

#include <QListWidget>
#include <filesystem>

namespace velmora {

// The transition catalogue as a list of covers with names: Random first,
// then every kind. Clicking an entry or moving the selection with the
// arrow keys asks for its preview; an entry dragged onto the picture strip
// carries its catalogue index.
class TransitionListView final : public QListWidget {
    Q_OBJECT
  public:
    static constexpr QSize kCoverSize{80, 60};
    static constexpr QSize kGridSize{96, 110};

    explicit TransitionListView(QWidget* parent = nullptr);

    // One entry per catalogue index, with its cover from `coverFolder`
    // fitted into 80 × 60 on white (a missing cover stays white).
    void fillList(const std::filesystem::path& coverFolder);
    // The selected catalogue entry, or −1.
    int selectedEntry() const;
    // What a drag of `entry` carries to the picture strip.
    static QMimeData* dragData(int entry);

  signals:
    // After the selection has moved: preview this entry.
    void previewRequested(int entry);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override;
    QStringList mimeTypes() const override;
    void startDrag(Qt::DropActions supportedActions) override;
};

}  // namespace velmora
