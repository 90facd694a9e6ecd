#pragma once

#include <QDialog>

#include "workspace/picture_editor.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QToolButton;

namespace velmora {

class EditorCanvasWidget;
class FileDialogs;

// "Modify": the picture editor. The canvas on the left, the Transform,
// AddText and AddImage pages on the right, stepping through the slideshow
// and saving below. Its logic is the PictureEditor's; this only forwards.
class PictureEditorDialog final : public QDialog {
    Q_OBJECT
  public:
    PictureEditorDialog(PictureEditor::Setup setup, FileDialogs& dialogs,
                        QWidget* parent = nullptr);

    PictureEditor& editor() { return editor_; }
    QTabWidget* pages() const { return pages_; }
    EditorCanvasWidget* canvasWidget() const { return canvas_; }

    // Shows what the editor holds: after a change made to it directly.
    void showState();

  public slots:
    // OK, the close box and Escape ask about unsaved changes first.
    void accept() override;
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QWidget* buildTransformPage();
    QWidget* buildTextPage();
    QWidget* buildImagePage();
    QWidget* buildButtonRow();
    QPushButton* addButton(QLayout* layout, const char* objectName, const QString& text,
                           const QString& tooltip);
    // Runs a command of the editor and shows what it left.
    template <typename Command>
    void run(Command command);
    void showDecorations(int category);
    void chooseFont();
    void chooseColour();
    void cancel();

    Slideshow& slideshow_;
    PictureEditor editor_;
    FileDialogs& dialogs_;
    EditorCanvasWidget* canvas_;
    QTabWidget* pages_;
    QLabel* position_ = nullptr;
    QLineEdit* captionText_ = nullptr;
    QComboBox* categories_ = nullptr;
    QListWidget* decorations_ = nullptr;
    QPushButton* colourButton_ = nullptr;
    QCheckBox* tvRatio_ = nullptr;
    bool closing_ = false;
};

}  // namespace velmora
