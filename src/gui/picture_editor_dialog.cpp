#include "gui/picture_editor_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/editor_canvas_widget.h"
#include "gui/file_dialogs.h"
#include "model/slideshow.h"

namespace velmora {

namespace {

QIcon colourSwatch(uint32_t colourRef) {
    QPixmap swatch(16, 16);
    swatch.fill(
        QColor(int(colourRef & 0xFF), int(colourRef >> 8 & 0xFF), int(colourRef >> 16 & 0xFF)));
    return QIcon(swatch);
}

}  // namespace

PictureEditorDialog::PictureEditorDialog(PictureEditor::Setup setup, FileDialogs& dialogs,
                                         QWidget* parent)
    : QDialog(parent),
      slideshow_(setup.slideshow),
      editor_(setup),
      dialogs_(dialogs),
      canvas_(new EditorCanvasWidget(editor_.canvas(), this)),
      pages_(new QTabWidget(this)) {
    setObjectName(QStringLiteral("pictureEditor"));
    setWindowTitle(tr("Modify"));
    pages_->setObjectName(QStringLiteral("editorPages"));
    pages_->addTab(buildTransformPage(), tr("Transform"));
    pages_->addTab(buildTextPage(), tr("AddText"));
    pages_->addTab(buildImagePage(), tr("AddImage"));
    // All three page names stay readable: no scrolling tab bar.
    pages_->tabBar()->setUsesScrollButtons(false);
    pages_->setMinimumWidth(pages_->tabBar()->sizeHint().width() + 8);

    auto* top = new QHBoxLayout;
    top->addWidget(canvas_, 1);
    top->addWidget(pages_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buildButtonRow());

    connect(canvas_, &EditorCanvasWidget::canvasChanged, this, &PictureEditorDialog::showState);
    connect(canvas_, &EditorCanvasWidget::deleteRequested, this,
            [this] { run([this] { editor_.remove(); }); });
    showState();
}

QPushButton* PictureEditorDialog::addButton(QLayout* layout, const char* objectName,
                                            const QString& text, const QString& tooltip) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    if (!tooltip.isEmpty()) button->setToolTip(tooltip);
    layout->addWidget(button);
    return button;
}

template <typename Command>
void PictureEditorDialog::run(Command command) {
    command();
    showState();
}

QWidget* PictureEditorDialog::buildTransformPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    const auto command = [&](const char* name, const QString& text, const QString& tip,
                             void (PictureEditor::*action)()) {
        connect(addButton(layout, name, text, tip), &QPushButton::clicked, this,
                [this, action] { run([this, action] { (editor_.*action)(); }); });
    };
    command("rotateLeftButton", tr("Rotate left"), tr("Turn the picture a quarter to the left"),
            &PictureEditor::rotateLeft90);
    command("rotateRightButton", tr("Rotate right"), tr("Turn the picture a quarter to the right"),
            &PictureEditor::rotateRight90);
    command("rotate180Button", tr("Rotate left 180"), tr("Turn the picture upside down"),
            &PictureEditor::rotate180);
    command("flipHorizontallyButton", tr("Flip horizontally"),
            tr("Mirror the picture top to bottom"), &PictureEditor::flipHorizontally);
    command("flipVerticallyButton", tr("Flip vertically"), tr("Mirror the picture left to right"),
            &PictureEditor::flipVertically);
    layout->addSpacing(12);
    command("cropAreaButton", tr("Circle"),
            tr("Show the crop rectangle; drag its corners or move it"),
            &PictureEditor::showCropRectangle);
    command("cropButton", tr("Crop"), tr("Keep only the inside of the crop rectangle"),
            &PictureEditor::crop);
    tvRatio_ = new QCheckBox(tr("TV's Screen Ratio"), page);
    tvRatio_->setObjectName(QStringLiteral("tvRatioBox"));
    tvRatio_->setToolTip(tr("Hold the crop rectangle to the shape of the TV screen"));
    connect(tvRatio_, &QCheckBox::toggled, this,
            [this](bool on) { run([this, on] { editor_.setTvRatio(on); }); });
    layout->addWidget(tvRatio_);
    layout->addStretch();
    return page;
}

QWidget* PictureEditorDialog::buildTextPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    connect(addButton(layout, "addCaptionButton", tr("Add"), tr("Lay a caption over the picture")),
            &QPushButton::clicked, this, [this] {
                run([this] { editor_.addCaption(); });
                captionText_->setFocus();
                captionText_->selectAll();
            });
    connect(addButton(layout, "deleteCaptionButton", tr("Delete"),
                      tr("Remove the selected captions and pictures")),
            &QPushButton::clicked, this, [this] { run([this] { editor_.remove(); }); });
    connect(addButton(layout, "fontButton", tr("Font"), tr("Choose the font of the caption")),
            &QPushButton::clicked, this, &PictureEditorDialog::chooseFont);
    colourButton_ = addButton(layout, "colourButton", tr("Colour"),
                              tr("Choose the colour of the selected captions"));
    connect(colourButton_, &QPushButton::clicked, this, &PictureEditorDialog::chooseColour);
    layout->addWidget(new QLabel(tr("Caption text:"), page));
    captionText_ = new QLineEdit(page);
    captionText_->setObjectName(QStringLiteral("captionText"));
    captionText_->setAccessibleName(tr("Caption text"));
    connect(captionText_, &QLineEdit::textEdited, this, [this](const QString& text) {
        editor_.setCaptionText(text.toStdString());
        canvas_->update();
    });
    layout->addWidget(captionText_);
    layout->addStretch();
    return page;
}

QWidget* PictureEditorDialog::buildImagePage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    categories_ = new QComboBox(page);
    categories_->setObjectName(QStringLiteral("decorationCategories"));
    categories_->setAccessibleName(tr("Category"));
    for (const std::string& category : PictureEditor::decorationCategories())
        categories_->addItem(QString::fromStdString(category));
    layout->addWidget(categories_);
    decorations_ = new QListWidget(page);
    decorations_->setObjectName(QStringLiteral("decorationList"));
    decorations_->setAccessibleName(tr("Pictures to lay over"));
    decorations_->setViewMode(QListView::IconMode);
    decorations_->setIconSize(QSize(48, 48));
    decorations_->setGridSize(QSize(84, 76));
    decorations_->setWordWrap(true);
    decorations_->setResizeMode(QListView::Adjust);
    decorations_->setMovement(QListView::Static);
    layout->addWidget(decorations_, 1);
    const auto addSelected = [this] {
        const QListWidgetItem* item = decorations_->currentItem();
        if (item == nullptr) return;
        const std::filesystem::path file = item->data(Qt::UserRole).toString().toStdString();
        run([this, file] { editor_.addDecoration(file); });
    };
    connect(addButton(layout, "addDecorationButton", tr("Add Pics"),
                      tr("Lay the chosen picture over the photo")),
            &QPushButton::clicked, this, addSelected);
    connect(decorations_, &QListWidget::itemActivated, this, addSelected);
    connect(addButton(layout, "deleteDecorationButton", tr("Del Pics"),
                      tr("Remove the selected captions and pictures")),
            &QPushButton::clicked, this, [this] { run([this] { editor_.remove(); }); });
    connect(categories_, &QComboBox::currentIndexChanged, this,
            &PictureEditorDialog::showDecorations);
    showDecorations(0);
    return page;
}

QWidget* PictureEditorDialog::buildButtonRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    connect(addButton(layout, "previousButton", tr("Previous Pic"), tr("Edit the picture before")),
            &QPushButton::clicked, this, [this] { run([this] { editor_.previous(); }); });
    connect(addButton(layout, "nextButton", tr("Next Pic"), tr("Edit the picture after")),
            &QPushButton::clicked, this, [this] { run([this] { editor_.next(); }); });
    position_ = new QLabel(row);
    position_->setObjectName(QStringLiteral("picturePosition"));
    layout->addWidget(position_);
    layout->addStretch();
    connect(addButton(layout, "resetButton", tr("Reset"),
                      tr("Start again from the picture as it was taken")),
            &QPushButton::clicked, this, [this] { run([this] { editor_.reset(); }); });
    connect(addButton(layout, "removeButton", tr("Remove"),
                      tr("Remove the selected captions and pictures")),
            &QPushButton::clicked, this, [this] { run([this] { editor_.remove(); }); });
    QPushButton* save = addButton(layout, "saveButton", tr("Save"),
                                  tr("Keep the changes; the slideshow shows them"));
    connect(save, &QPushButton::clicked, this, [this] { run([this] { editor_.save(); }); });
    QPushButton* ok = addButton(layout, "okButton", tr("OK"), {});
    connect(ok, &QPushButton::clicked, this, &PictureEditorDialog::accept);
    connect(addButton(layout, "cancelButton", tr("Cancel"), tr("Close without saving")),
            &QPushButton::clicked, this, &PictureEditorDialog::cancel);
    return row;
}

void PictureEditorDialog::showDecorations(int category) {
    decorations_->clear();
    const std::vector<std::string> categories = PictureEditor::decorationCategories();
    if (category < 0 || category >= int(categories.size())) return;
    for (const std::filesystem::path& file :
         editor_.decorationFiles(categories[size_t(category)])) {
        const QString path = QString::fromStdString(file.string());
        const QString name = QString::fromStdString(file.stem().string()).replace('_', ' ');
        auto* item = new QListWidgetItem(QIcon(path), name, decorations_);
        item->setData(Qt::UserRole, path);
        item->setToolTip(name);
    }
    if (decorations_->count() > 0) decorations_->setCurrentRow(0);
}

void PictureEditorDialog::showState() {
    const EditorCanvas& canvas = editor_.canvas();
    {
        const QSignalBlocker blocked(tvRatio_);
        tvRatio_->setChecked(canvas.tvRatio());
    }
    {
        const QSignalBlocker blocked(captionText_);
        captionText_->setEnabled(canvas.hasSelectedCaption());
        captionText_->setText(canvas.hasSelectedCaption()
                                  ? QString::fromStdString(canvas.selectedCaptionText())
                                  : QString());
    }
    if (canvas.hasSelectedCaption())
        colourButton_->setIcon(colourSwatch(canvas.selectedCaptionColour()));
    const auto& pictures = slideshow_.pictures;
    const int index = editor_.index();
    position_->setText(tr("Picture %1 of %2").arg(index + 1).arg(pictures.size()));
    if (index >= 0 && index < int(pictures.size()))
        setWindowTitle(
            tr("Modify \u2014 %1").arg(QString::fromStdString(pictures[size_t(index)].fileName)));
    canvas_->update();
}

void PictureEditorDialog::chooseFont() {
    if (!editor_.canvas().hasSelectedCaption()) return;
    if (const auto font = dialogs_.chooseFont(editor_.canvas().selectedCaptionFont()))
        run([this, &font] { editor_.setCaptionFont(*font); });
}

void PictureEditorDialog::chooseColour() {
    if (!editor_.canvas().hasSelectedCaption()) return;
    if (const auto colour = dialogs_.chooseColour(editor_.canvas().selectedCaptionColour()))
        run([this, &colour] { editor_.setCaptionColour(*colour); });
}

void PictureEditorDialog::cancel() {
    editor_.cancel();
    closing_ = true;
    QDialog::reject();
}

void PictureEditorDialog::accept() {
    if (closing_ || !editor_.requestClose()) return;
    closing_ = true;
    QDialog::accept();
}

void PictureEditorDialog::reject() {
    if (closing_) {
        QDialog::reject();
        return;
    }
    if (!editor_.requestClose()) return;
    closing_ = true;
    QDialog::reject();
}

void PictureEditorDialog::closeEvent(QCloseEvent* event) {
    if (closing_ || editor_.requestClose()) {
        closing_ = true;
        event->accept();
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}

}  // namespace velmora
