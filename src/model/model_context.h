#pragma once

#include <QImage>
#include <QSize>
#include <filesystem>
#include <string>

namespace velmora {

class AudioConverterLibrary;
class Notifier;
class RandomSource;

// What the project model needs of the picture library, which sits above it.
class PictureFiles {
  public:
    virtual ~PictureFiles() = default;
    // True when the file loads as a whole, undamaged picture by its type;
    // otherwise false with *reason saying why in a fragment that follows the
    // file's name ("is a FIFO, not a file").
    virtual bool canLoad(const std::filesystem::path& file, std::string* reason) = 0;
    // Writes the 80 × 60 cover of the picture as a BMP; false on failure.
    virtual bool renderCover(const std::filesystem::path& picture,
                             const std::filesystem::path& cover) = 0;
    // The picture fitted on white into `size`; a null image when it cannot
    // be loaded.
    virtual QImage renderThumbnail(const std::filesystem::path& picture, QSize size) = 0;
};

// Notifications of the model to whoever shows it (queued to the user
// interface thread by the desktop program).
class ProjectEvents {
  public:
    virtual ~ProjectEvents() = default;
    // A slideshow's cover (and so the thumbnails shown for it) changed.
    virtual void thumbnailsChanged(int slideshowIndex) = 0;
};

// The two flags every change of the model sets.
struct ModelFlags {
    bool modified = false;   // cleared by a successful save
    bool menuStale = false;  // cleared when the menu is rebuilt
};

// What the slideshows of a project share: its flags and the services the
// operations call. The project owns it; its slideshows refer to it.
struct ProjectContext {
    ModelFlags flags;
    RandomSource& random;
    PictureFiles& pictures;
    AudioConverterLibrary& audio;
    Notifier& notifier;
    ProjectEvents& events;
    std::filesystem::path defaultMusic;  // R/menu_pic/default.mp3
};

}  // namespace velmora
