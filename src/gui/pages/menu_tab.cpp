#include "gui/pages/menu_tab.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/notifier.h"
#include "gui/file_dialogs.h"
#include "gui/menu_canvas_widget.h"
#include "gui/menu_preview_dialog.h"
#include "gui/page_signals.h"
#include "gui/theme_icons.h"
#include "gui/theme_list_view.h"
#include "workspace/application.h"
#include "workspace/audio_preview.h"

namespace velmora {

namespace {

// The editor's text field takes what a caption or title may hold.
constexpr int kTextCharacters = 15;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

// A square of the colour (0x00BBGGRR) in a dark frame, for the colour button.
QIcon colourSwatch(uint32_t colour, QSize size) {
    QPixmap swatch(size);
    swatch.fill(QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF)));
    QPainter painter(&swatch);
    painter.setPen(Qt::darkGray);
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(swatch);
}

}  // namespace

MenuTab::MenuTab(const PageParts& parts, QWidget* parent)
    : Page(parent),
      parts_(parts),
      editor_(parts.app.menu, parts.app.project, parts.app.catalogue, parts.notifier,
              parts.app.resources.background1),
      commands_(parts.app, editor_, parts.notifier) {
    editor_.setVideoFormat(parts_.app.preferences.videoFormat());
    if (parts_.app.catalogue.themeCount() > 0)
        editor_.showBackground(parts_.app.catalogue.themes()[0].backgroundPath);

    auto* row = new QHBoxLayout;
    row->addWidget(buildEditorColumn(), 1);
    row->addWidget(buildThemeColumn(), 1);
    pageLayout()->addLayout(row, 1);
    connectControls();
    music_->setText(qt(commands_.musicPath().string()));
    selectionChanged(0);
}

// The canvas goes first: it draws the editor, a member, which would go
// before the child widgets.
MenuTab::~MenuTab() {
    delete canvas_;
}

QWidget* MenuTab::buildEditorColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    canvas_ = new MenuCanvasWidget(editor_, column);
    layout->addWidget(canvas_, 0, Qt::AlignHCenter);

    auto* controls = new QHBoxLayout;
    text_ = new QLineEdit(column);
    text_->setObjectName(QStringLiteral("menuTextField"));
    text_->setMaxLength(kTextCharacters);
    text_->setAccessibleName(tr("Selected text"));
    text_->setToolTip(
        tr("The text of the title or caption selected on the page; a caption is "
           "its slideshow's name"));
    text_->setPlaceholderText(tr("Click a text on the page"));
    auto* textLabel = new QLabel(tr("&Text:"), column);
    textLabel->setBuddy(text_);
    controls->addWidget(textLabel);
    controls->addWidget(text_, 1);
    fontButton_ =
        toolButton("fontButton", QStringLiteral("preferences-desktop-font"), tr("Font setting"));
    fontButton_->setText(tr("Font"));
    fontButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    controls->addWidget(fontButton_);
    colourButton_ = toolButton("colourButton", QString(), tr("Text colour"));
    controls->addWidget(colourButton_);
    controls->addSpacing(12);
    pages_ = new QComboBox(column);
    pages_->setObjectName(QStringLiteral("pageList"));
    pages_->setAccessibleName(tr("Menu page"));
    pages_->setToolTip(tr("The menu page shown above"));
    auto* pageLabel = new QLabel(tr("&Page:"), column);
    pageLabel->setBuddy(pages_);
    controls->addWidget(pageLabel);
    controls->addWidget(pages_);
    layout->addLayout(controls);
    layout->addStretch(1);
    return column;
}

QWidget* MenuTab::buildThemeColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QGridLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    music_ = new QLineEdit(column);
    music_->setObjectName(QStringLiteral("menuMusicField"));
    music_->setReadOnly(true);
    music_->setAccessibleName(tr("Menu background music"));
    auto* musicLabel = new QLabel(tr("Menu Background &Music:"), column);
    musicLabel->setBuddy(music_);
    layout->addWidget(musicLabel, 0, 0, 1, 4);
    layout->addWidget(toolButton("chooseMusicButton", QStringLiteral("folder-open"),
                                 tr("Select Background Audio")),
                      1, 0);
    layout->addWidget(music_, 1, 1);
    layout->addWidget(toolButton("playMusicButton", QStringLiteral("media-playback-start"),
                                 tr("Play Selected Background Audio")),
                      1, 2);
    layout->addWidget(toolButton("stopMusicButton", QStringLiteral("media-playback-stop"),
                                 tr("Stop Play Selected Background Audio")),
                      1, 3);
    themes_ = new ThemeListView(column);
    themes_->fillList(parts_.app.catalogue);
    layout->addWidget(themes_, 2, 0, 1, 4);
    previewButton_ = new QPushButton(tr("Pre&view"), column);
    previewButton_->setObjectName(QStringLiteral("previewMenuButton"));
    previewButton_->setToolTip(tr("Play the menu as a DVD player shows it"));
    layout->addWidget(previewButton_, 3, 0, 1, 4, Qt::AlignLeft);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    return column;
}

QToolButton* MenuTab::toolButton(const char* objectName, const QString& iconName,
                                 const QString& tip) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(objectName));
    if (!iconName.isEmpty())
        button->setIcon(themeIcon(iconName, parts_.app.folders.resourceFolder));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

void MenuTab::connectControls() {
    const auto onClick = [this](const char* name, void (MenuTab::*command)()) {
        connect(findChild<QToolButton*>(QString::fromLatin1(name)), &QToolButton::clicked, this,
                command);
    };
    onClick("chooseMusicButton", &MenuTab::chooseMenuMusic);
    onClick("playMusicButton", &MenuTab::playMenuMusic);
    onClick("stopMusicButton", &MenuTab::stopMenuMusic);
    onClick("fontButton", &MenuTab::chooseFont);
    onClick("colourButton", &MenuTab::chooseColour);
    connect(previewButton_, &QPushButton::clicked, this, &MenuTab::openPreview);
    connect(themes_, &ThemeListView::themeChosen, this, &MenuTab::applyTheme);
    connect(pages_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!filling_) switchPage(index);
    });
    connect(text_, &QLineEdit::textEdited, this, &MenuTab::textEdited);
    connect(canvas_, &MenuCanvasWidget::selectionChanged, this, &MenuTab::selectionChanged);
}

// ---- regenerating and showing

void MenuTab::refreshPage() {
    // A menu that is up to date is drawn again only when the page comes
    // back (another project may have come in meanwhile), not while the user
    // works on it: drawing empties the selection.
    if (!commands_.refreshMenu() && redrawWhenShown_) commands_.showMenu();
    redrawWhenShown_ = false;
    showMenu();
}

void MenuTab::stopPreviews() {
    redrawWhenShown_ = true;
}

void MenuTab::refreshMenu() {
    if (commands_.refreshMenu()) {
        showMenu();
    } else if (isVisible()) {
        // A new or opened project while the page is shown.
        redrawWhenShown_ = true;
        refreshPage();
    }
}

void MenuTab::showMenu() {
    fillPageList();
    themes_->setCurrentRow(parts_.app.catalogue.selectedIndex());
    music_->setText(qt(commands_.musicPath().string()));
    canvas_->refresh();
    selectionChanged(editor_.selectedCount());
    if (!commands_.lastFailure().empty()) say(qt(commands_.lastFailure()));
}

void MenuTab::fillPageList() {
    filling_ = true;
    pages_->clear();
    for (const std::string& name : commands_.pageNames())
        pages_->addItem(qt(name));
    pages_->setCurrentIndex(parts_.app.menu.currentPage);
    filling_ = false;
}

void MenuTab::applyTheme(int index) {
    if (commands_.applyTheme(index)) {
        showMenu();
        say(tr("The menu has the new theme."));
    } else if (parts_.app.project.slideshows.empty()) {
        commands_.showMenu();  // the theme's background alone
        canvas_->refresh();
        say(tr("The theme is chosen: the menu takes it once there are slideshows."));
    }
}

void MenuTab::switchPage(int index) {
    if (index < 0 || index >= parts_.app.menu.pageCount()) return;
    editor_.showPage(index);
    canvas_->refresh();
    selectionChanged(0);
}

// ---- the selection's text, font and colour

void MenuTab::selectionChanged(int count) {
    const bool selected = count > 0;
    text_->setEnabled(selected);
    fontButton_->setEnabled(selected);
    colourButton_->setEnabled(selected);
    if (count == 1) {
        if (const std::optional<std::string> text = editor_.singleSelectedText())
            text_->setText(qt(*text));
        text_->setFocus();
        text_->selectAll();
    }
    showSelectedColour();
}

void MenuTab::showSelectedColour() {
    colourButton_->setIcon(colourSwatch(editor_.selectedColour(), colourButton_->iconSize()));
}

void MenuTab::textEdited(const QString& text) {
    if (!editor_.editSelectedText(text.toStdString())) return;
    canvas_->refresh();
    menuEdited();
}

void MenuTab::chooseFont() {
    const FontRecord font = editor_.selectedFont();
    if (editor_.selectedCount() == 0 || font.pixelHeight == 0) return;
    const std::optional<FontRecord> chosen = parts_.fileDialogs.chooseFont(font);
    if (!chosen) return;
    editor_.setSelectedFont(*chosen);
    canvas_->refresh();
    menuEdited();
}

void MenuTab::chooseColour() {
    if (editor_.selectedCount() == 0) return;
    const std::optional<uint32_t> colour =
        parts_.fileDialogs.chooseColour(editor_.selectedColour());
    if (!colour) return;
    editor_.setSelectedColour(*colour);
    parts_.app.project.flags().modified = true;
    showSelectedColour();
    canvas_->refresh();
    menuEdited();
}

// The page pictures are written when the menu is made again: a stale menu
// is, before a save, a build or another page, so the disc shows every edit
// (a colour or font alone would otherwise leave the old pictures). The
// window's title mark and the disc overviews follow a renamed slideshow.
void MenuTab::menuEdited() {
    parts_.app.project.flags().menuStale = true;
    emit parts_.pageSignals.projectSizeChanged();
}

// ---- the menu music and the preview

void MenuTab::chooseMenuMusic() {
    const std::optional<std::filesystem::path> file =
        parts_.fileDialogs.openAudioFile(commands_.musicPath().parent_path());
    if (!file || !commands_.chooseMenuMusic(*file)) return;
    music_->setText(qt(file->string()));
    say(tr("The menu plays %1.").arg(qt(file->filename().string())));
}

void MenuTab::playMenuMusic() {
    parts_.audioPreview.stopAudioPreview();
    parts_.audioPreview.playAudioList(parts_.app.menu.menuTracks);
}

void MenuTab::stopMenuMusic() {
    parts_.audioPreview.stopAudioPreview();
}

void MenuTab::openPreview() {
    if (parts_.app.project.slideshows.empty()) {
        parts_.notifier.show("No any slideshow added! Please add slideshow fist and then preview!",
                             "Velmora", NotifierIcon::Information);
        return;
    }
    // The preview shows the page pictures: they are written as the page is.
    refreshMenu();
    commands_.showMenu();
    canvas_->refresh();
    MenuPreviewDialog preview({parts_.app, parts_.preview, parts_.audioPreview}, this);
    preview.exec();
    parts_.audioPreview.stopAudioPreview();
}

void MenuTab::say(const QString& text) {
    emit parts_.pageSignals.statusMessage(text);
}

}  // namespace velmora
