#include "menu/menu_set.h"

#include "base/path_text.h"
#include "interfaces/audio_converter.h"
#include "menu/theme_catalogue.h"
#include "model/model_context.h"
#include "model/slide_image.h"

namespace velmora {

namespace fs = std::filesystem;

void MenuPage::placeFilesIn(const fs::path& temporaryFolder) {
    const auto named = [&](const std::string& suffix) {
        return temporaryFolder / (videoName + suffix);
    };
    picturePath = named(".bmp");
    highlightMaskPath = named("highLight.png");
    selectMaskPath = named("selectFile.png");
    jpegPath = named(".jpg");
    videoPath = named(".m2v");
    plainStreamPath = named("NoInteract.MPG");
    menuStreamPath = named(".MPG");
    yuvPath = named(".yuv");
    subpictureScriptPath = named(".xml");
}

int menuPageCount(int slideshowCount, int buttonsPerPage) {
    if (slideshowCount <= 0 || buttonsPerPage <= 0) return 0;
    return (buttonsPerPage + slideshowCount - 1) / buttonsPerPage;
}

int MenuSet::addPage(const fs::path& backgroundPath, const fs::path& workingFolder) {
    if (backgroundPath.empty()) return -1;
    MenuPage page;
    page.backgroundPath = backgroundPath;
    page.videoName = "menuVideo" + std::to_string(pages.size());
    page.pageIndex = int(pages.size());
    page.placeFilesIn(workingFolder / "temp");
    pages.push_back(std::move(page));
    return 1;
}

void MenuSet::fillPage(MenuPage& page, int& next, int pageCount,
                       const std::vector<std::string>& slideshowNames, const MenuTheme& theme,
                       const std::string& title) {
    const int slideshowCount = int(slideshowNames.size());
    const int buttonsPerPage = int(theme.buttonSlots.size());
    page.buttons.clear();
    page.controlButtons.clear();
    while (next < slideshowCount && page.buttonCount() < buttonsPerPage) {
        const ThemeSlot& slot = theme.buttonSlots[size_t(page.buttonCount())];
        page.buttons.push_back({slot.x, slot.y, slot.width, slot.height, next});
        ++next;
    }
    // The catalogue only lists themes with Previous and Next slots.
    const auto control = [&](size_t slotIndex, int type) {
        if (slotIndex >= theme.controlSlots.size()) return;
        const ThemeSlot& slot = theme.controlSlots[slotIndex];
        page.controlButtons.push_back(
            {slot.x, slot.y, slot.width, slot.height, slot.imagePath, type});
    };
    if (page.pageIndex != 0) control(0, MenuControlButton::Previous);
    if (page.pageIndex + 1 != pageCount) control(1, MenuControlButton::Next);
    if (page.texts.empty() && !theme.texts.empty()) {
        page.texts.push_back(theme.texts[0]);
        if (!title.empty()) page.texts[0].setText(title);
    }
    if (theme.texts.size() <= 1) return;
    // Captions: the names of the slideshows the buttons play.
    for (int k = 0; k < page.buttonCount(); ++k) {
        const int slideshow = k + buttonsPerPage * page.pageIndex;
        const std::string name =
            slideshow >= 0 && slideshow < slideshowCount ? slideshowNames[size_t(slideshow)] : "";
        if (page.textCount() < k + 2) {
            if (size_t(k + 1) >= theme.texts.size()) break;
            page.texts.push_back(theme.texts[size_t(k + 1)]);
        }
        page.texts[size_t(k + 1)].setText(name);
    }
    while (page.textCount() > page.buttonCount() + 1)
        page.texts.pop_back();
}

void MenuSet::createPages(const fs::path& workingFolder,
                          const std::vector<std::string>& slideshowNames,
                          const ThemeCatalogue& catalogue) {
    clearPages();
    const MenuTheme* theme = catalogue.selectedTheme();
    if (theme == nullptr) return;  // no theme installed: no pages
    themeIndex = catalogue.selectedIndex();
    const int pageCount = menuPageCount(int(slideshowNames.size()), int(theme->buttonSlots.size()));
    int next = 0;
    for (int i = 0; i < pageCount; ++i) {
        const std::string title = size_t(i) < savedTitles.size() ? savedTitles[size_t(i)] : "";
        addPage(theme->backgroundPath, workingFolder);
        fillPage(pages[size_t(i)], next, pageCount, slideshowNames, *theme, title);
    }
    if (!pages.empty() && (currentPage == -1 || currentPage > pageCount - 1)) currentPage = 0;
}

void MenuSet::updatePages(fs::path backgroundPath, fs::path musicPath,
                          const fs::path& workingFolder,
                          const std::vector<std::string>& slideshowNames,
                          const ThemeCatalogue& catalogue, ProjectContext& context) {
    if (backgroundPath.empty() || musicPath.empty()) return;
    const MenuTheme* theme = catalogue.selectedTheme();
    if (theme == nullptr) return;
    themeIndex = catalogue.selectedIndex();
    const int pageCount = menuPageCount(int(slideshowNames.size()), int(theme->buttonSlots.size()));
    const int existing = int(pages.size());
    int next = 0;
    for (int i = 0; i < pageCount; ++i) {
        const std::string title = size_t(i) < savedTitles.size() ? savedTitles[size_t(i)] : "";
        if (i >= existing) addPage(backgroundPath, workingFolder);
        fillPage(pages[size_t(i)], next, pageCount, slideshowNames, *theme, title);
    }
    if (pageCount < existing) pages.resize(size_t(pageCount));
    setMenuMusic(musicPath, workingFolder, context);
    menuSoundtrackPath = workingFolder / "temp" / "menu.mp2";
    if (!pages.empty() && (currentPage == -1 || currentPage > pageCount - 1)) currentPage = 0;
}

void MenuSet::clearPages() {
    savedTitles.clear();
    for (const MenuPage& page : pages)
        savedTitles.push_back(page.texts.empty() ? std::string() : page.texts[0].text);
    pages.clear();
    currentPage = -1;
}

void MenuSet::clearMenu() {
    clearPages();
    menuTracks.clear();
    menuSoundtrackPath.clear();
    themeIndex = -1;
}

void MenuSet::setMenuMusic(fs::path path, const fs::path& workingFolder, ProjectContext& context) {
    menuTracks.clear();
    // The stem: the file name up to its last ".", or all of it.
    const std::string name = path.filename().string();
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    AudioTrack track;
    std::error_code error;
    track.sourcePath = fs::exists(path, error) ? path : context.defaultMusic;
    track.fileName = stem;
    track.tempMp2Path = workingFolder / "temp" / (stem + ".mp2");
    track.durationSeconds = context.audio.GetFileTimeLength(track.sourcePath);
    track.durationText = clockText(track.durationSeconds);
    menuTracks.push_back(std::move(track));
}

void MenuSet::repointMenuFiles(const fs::path& temporaryFolder) {
    menuSoundtrackPath = temporaryFolder / "menu.mp2";
    for (AudioTrack& track : menuTracks)
        track.tempMp2Path = temporaryFolder / (fileNameSafe(track.fileName) + ".mp2");
    for (size_t i = 0; i < pages.size(); ++i) {
        pages[i].videoName = "menuVideo" + std::to_string(i);
        pages[i].placeFilesIn(temporaryFolder);
    }
}

MenuPage* MenuSet::shownPage() {
    if (currentPage < 0 || currentPage >= int(pages.size())) return nullptr;
    return &pages[size_t(currentPage)];
}

}  // namespace velmora
