#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmora {

class Application;
class MenuEditor;
class Notifier;

// What the menu page does to the menu: a theme picked, the menu brought up
// to date when the project changed, the menu music chosen. Each
// regeneration draws the shown page in the editor, writes every page
// picture and then the masks and the authoring scripts, so the files of
// the menu are always those of the last regeneration.
class MenuCommands {
  public:
    MenuCommands(Application& app, MenuEditor& editor, Notifier& notifier);

    // Theme `index` becomes the menu's; with slideshows the pages are made
    // anew on it. The theme's position also chooses the page shown, when
    // the menu has that many pages. False when nothing was regenerated (no
    // such theme, no slideshow yet: the theme waits for the next refresh).
    bool applyTheme(int index);
    // Only while the project says the menu is stale: the pages brought in
    // line with the slideshows on the menu's own background and music.
    // True when the menu was regenerated.
    bool refreshMenu();
    // The editor draws the menu as it stands (every page picture written
    // again), or the background alone while there is no slideshow.
    void showMenu();
    // A file whose length cannot be read is refused with the model's
    // message and the old music stays. True when it became the music.
    bool chooseMenuMusic(const std::filesystem::path& file);

    // "Page0", "Page1" ...
    std::vector<std::string> pageNames() const;
    // What the music field shows.
    const std::filesystem::path& musicPath() const { return musicPath_; }
    // Why the last regeneration could not write the menu's scripts; empty
    // when it could.
    const std::string& lastFailure() const { return lastFailure_; }

  private:
    void regenerated();

    Application& app_;
    MenuEditor& editor_;
    Notifier& notifier_;
    // The background and music the next refresh builds on: the theme
    // picked last and the music chosen, until the menu has pages of its own.
    std::filesystem::path background_;
    std::filesystem::path musicPath_;
    std::string lastFailure_;
};

}  // namespace velmora
