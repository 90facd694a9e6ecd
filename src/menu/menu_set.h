#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "menu/menu_text.h"
#include "model/audio_track.h"

namespace velmora {

struct MenuTheme;
struct ProjectContext;
class ThemeCatalogue;

// A slideshow button: selecting it on the disc plays the slideshow.
struct MenuButton {
    int x = 0, y = 0, width = 0, height = 0;
    int slideshowIndex = 0;
};

// A page navigation button.
struct MenuControlButton {
    enum Type { Previous = 0, Next = 1 };
    int x = 0, y = 0, width = 0, height = 0;
    std::filesystem::path imagePath;
    int type = Previous;
};

// One menu page and the files the build makes for it (W/temp/N…, N its
// videoName).
struct MenuPage {
    int processedFrames = 0;
    std::filesystem::path backgroundPath;
    std::filesystem::path picturePath;           // N.bmp
    std::filesystem::path highlightMaskPath;     // NhighLight.png
    std::filesystem::path selectMaskPath;        // NselectFile.png
    std::filesystem::path jpegPath;              // N.jpg
    std::filesystem::path videoPath;             // N.m2v
    std::filesystem::path plainStreamPath;       // NNoInteract.MPG
    std::filesystem::path menuStreamPath;        // N.MPG
    std::filesystem::path yuvPath;               // N.yuv
    std::filesystem::path subpictureScriptPath;  // N.xml
    std::string videoName;                       // "menuVideo%d"
    std::vector<MenuText> texts;                 // [0] the title, [1 + k] the caption of button k
    std::vector<MenuButton> buttons;
    std::vector<MenuControlButton> controlButtons;
    int pageIndex = 0;

    // Every file path from videoName, in `temporaryFolder` (W/temp).
    void placeFilesIn(const std::filesystem::path& temporaryFolder);
    int textCount() const { return int(texts.size()); }
    int buttonCount() const { return int(buttons.size()); }
    int controlButtonCount() const { return int(controlButtons.size()); }
};

// How many pages S slideshows need with B buttons a page: S / B rounded up.
int menuPageCount(int slideshowCount, int buttonsPerPage);

// The whole menu: its pages, its music and the theme they were made with.
class MenuSet {
  public:
    std::vector<MenuPage> pages;
    std::vector<AudioTrack> menuTracks;
    std::filesystem::path menuSoundtrackPath;  // W/temp/menu.mp2
    std::vector<std::string> savedTitles;      // page titles kept across a rebuild
    int themeIndex = -1;
    int currentPage = -1;

    // Appends an empty page on `backgroundPath`; 1, or −1 for an empty path.
    int addPage(const std::filesystem::path& backgroundPath,
                const std::filesystem::path& workingFolder);
    // (Re)makes one page's buttons, navigation and texts from the theme;
    // `next` is the first slideshow without a button, moved on.
    void fillPage(MenuPage& page, int& next, int pageCount,
                  const std::vector<std::string>& slideshowNames, const MenuTheme& theme,
                  const std::string& title);
    // Throws the pages away and makes them anew from the selected theme.
    void createPages(const std::filesystem::path& workingFolder,
                     const std::vector<std::string>& slideshowNames,
                     const ThemeCatalogue& catalogue);
    // Brings the pages in line with the slideshows and renews the music;
    // nothing when either path is empty. The paths are taken by value: they
    // are often the menu's own, which the update replaces.
    void updatePages(std::filesystem::path backgroundPath, std::filesystem::path musicPath,
                     const std::filesystem::path& workingFolder,
                     const std::vector<std::string>& slideshowNames,
                     const ThemeCatalogue& catalogue, ProjectContext& context);
    // Destroys the pages, keeping their titles in savedTitles.
    void clearPages();
    // Back to a new menu for the next project: no pages, no music, no theme;
    // the page titles stay in savedTitles.
    void clearMenu();
    // Makes the file the only menu track (the default music when it is gone).
    void setMenuMusic(std::filesystem::path path, const std::filesystem::path& workingFolder,
                      ProjectContext& context);
    // Moves every file name of the menu into `temporaryFolder`.
    void repointMenuFiles(const std::filesystem::path& temporaryFolder);

    MenuPage* shownPage();
    int pageCount() const { return int(pages.size()); }
    void setCurrentPage(int i) { currentPage = i; }
};

}  // namespace velmora
