#pragma once

#include <filesystem>

#include "interfaces/video_format.h"

namespace velmora {

class Log;
class MenuSet;
class Notifier;
class Project;
class ThemeCatalogue;

// The disc's settings the scripts follow.
struct AuthoringSettings {
    VideoFormat format;  // the project's: titles, menus, mask height
    // The subpicture geometry's standard (the preferences keep it equal to
    // the format's).
    TvStandard subpictureStandard = TvStandard::Pal;
    std::filesystem::path maskTemplate;  // NTSC_BG.png or PAL_BG.png
};

// Writes what spumux and dvdauthor read: one subpicture script per menu
// page (where its buttons are and which masks light them) and the authoring
// script (menus, titles and the jumps between them).
//
// A 16:9 menu is shown letterboxed on a 4:3 set, where its buttons move; so
// it also gets a letterbox subpicture stream (stream 1, with its own masks
// and script beside the page's), and the authoring script declares both
// streams and forbids pan-scan.
class AuthoringScripts {
  public:
    AuthoringScripts(Project& project, const MenuSet& menu, const ThemeCatalogue& catalogue,
                     const AuthoringSettings& settings, Notifier& notifier, const Log& log);

    // Masks, then every page's subpicture script, then the authoring script.
    // False, writing nothing, when the masks cannot be made (no theme, its
    // background unreadable); otherwise the authoring script's result.
    bool writeAuthoringScripts();
    bool writeSubpictureScript(int pageIndex);
    bool writeAuthoringScript();

  private:
    bool isWide() const { return settings_.format.isWide(); }

    Project& project_;
    const MenuSet& menu_;
    const ThemeCatalogue& catalogue_;
    AuthoringSettings settings_;
    Notifier& notifier_;
    const Log& log_;
};

}  // namespace velmora
