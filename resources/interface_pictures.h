#pragma once

#include <filesystem>
#include <string>

namespace velmora::resources {

// The pictures of the resource folder that are not themes: the empty
// subpicture canvases the button masks are drawn on (menu_pic/NTSC_BG.png,
// PAL_BG.png), the plain menu backgrounds (menu_pic/ntsc_menu_background.jpg,
// pal_menu_background.jpg), the fallback backgrounds (res/background1.jpg,
// the composer's stand-in for a background it cannot load, and
// res/background2.jpg) and the picture frames of the user interface
// (res/PictureFrame1.jpg, PictureFrame2.jpg).
bool writeInterfacePictures(const std::filesystem::path& resourceFolder, std::string* reason);

}  // namespace velmora::resources
