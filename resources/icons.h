#pragma once

#include <filesystem>
#include <string>

namespace velmora::resources {

// The program's fallback icons, for desktops whose icon theme lacks a name:
// icons/<size>x<size>/<name>.png at 16, 24, 32 and 48 pixels for the
// commands (freedesktop names: document-new, document-open, ...) and the
// five pages (velmora-photos, velmora-effects, velmora-music, velmora-menu,
// velmora-burn), and the application icon "velmora" also at 64, 128 and
// 256. Flat shapes in mid tones with a darker outline, on a transparent
// ground, so that they read on light and dark panels alike.
bool writeIcons(const std::filesystem::path& iconsFolder, std::string* reason);

}  // namespace velmora::resources
