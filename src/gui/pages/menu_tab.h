#pragma once

#include <memory>

#include "gui/pages/page.h"
#include "menu/menu_editor.h"
#include "workspace/menu_commands.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace velmora {

class MenuCanvasWidget;
class ThemeListView;

// The DVD menu page: the theme list, the menu music, the page canvas where
// the title and the captions are selected and given their text, font and
// colour, the page list and the menu preview. The menu is made again when a
// theme is picked and whenever the page is refreshed while the project says
// the menu is stale.
class MenuTab final : public Page {
    Q_OBJECT
  public:
    explicit MenuTab(const PageParts& parts, QWidget* parent = nullptr);
    ~MenuTab() override;

    // Entering the page: the menu brought up to date and the current page
    // shown.
    void refreshPage() override;
    // Leaving the page: it is drawn afresh when it comes back.
    void stopPreviews() override;
    // Brings the menu pages up to date with the slideshows before the
    // project is saved or another page is shown; nothing unless stale.
    void refreshMenu();

    // The commands, as the controls run them.
    void applyTheme(int index);
    void chooseMenuMusic();
    void playMenuMusic();
    void stopMenuMusic();
    void chooseFont();
    void chooseColour();
    void switchPage(int index);
    void openPreview();

    MenuEditor& editor() { return editor_; }
    MenuCanvasWidget* canvas() const { return canvas_; }
    ThemeListView* themeList() const { return themes_; }
    QComboBox* pageList() const { return pages_; }
    QLineEdit* textField() const { return text_; }

  private:
    QWidget* buildEditorColumn();
    QWidget* buildThemeColumn();
    QToolButton* toolButton(const char* objectName, const QString& iconName, const QString& tip);
    void connectControls();
    // After a regeneration or a page change: the page list, the canvas and
    // the controls of the selection.
    void showMenu();
    void fillPageList();
    void selectionChanged(int count);
    void textEdited(const QString& text);
    void showSelectedColour();
    void menuEdited();
    void say(const QString& text);

    PageParts parts_;
    MenuEditor editor_;
    MenuCommands commands_;
    MenuCanvasWidget* canvas_ = nullptr;
    QLineEdit* text_ = nullptr;
    QToolButton* fontButton_ = nullptr;
    QToolButton* colourButton_ = nullptr;
    QComboBox* pages_ = nullptr;
    QLineEdit* music_ = nullptr;
    ThemeListView* themes_ = nullptr;
    QPushButton* previewButton_ = nullptr;
    bool filling_ = false;  // the page list is being refilled, not chosen from
    bool redrawWhenShown_ = true;
};

}  // namespace velmora
