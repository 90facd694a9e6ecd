#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image/font_record.h"
#include "workspace/editor_canvas.h"

namespace velmora {

class Notifier;
class Slideshow;
struct ModelFlags;
struct SlideImage;

// The picture editor dialog's logic on one slideshow: which picture is
// open, the commands of its buttons and pages, and the question before
// unsaved changes are left behind. The dialog forwards its controls here
// and paints the canvas.
class PictureEditor {
  public:
    struct Setup {
        Slideshow& slideshow;
        int index = 0;
        std::filesystem::path workingFolder;
        bool wideScreen = false;                 // 16:9 preference: the crop ratio
        std::filesystem::path decorationFolder;  // one folder of pictures per category
        Notifier& notifier;
        ModelFlags& flags;
    };

    static constexpr const char* kNewCaptionText = "Insert text here!";

    // Opens the picture at setup.index.
    explicit PictureEditor(Setup setup);

    EditorCanvas& canvas() { return canvas_; }
    const EditorCanvas& canvas() const { return canvas_; }
    int index() const { return index_; }
    bool editedDirty() const { return editedDirty_; }
    bool savedOnce() const { return savedOnce_; }

    // Called with the picture's index after its edited copy was saved (its
    // thumbnail and, for the cover, the slideshow's cover are new).
    std::function<void(int index)> onSaved;

    // Saves when there is anything unsaved; false when the copy could not be
    // written (the reason was shown).
    bool save();
    void cancel();
    void remove();
    void reset();
    // Each asks about unsaved changes first; true when another picture opened.
    bool previous();
    bool next();
    // Asks about unsaved changes; true when the dialog may close.
    bool requestClose();

    // "Transform" page.
    void rotateLeft90();
    void rotateRight90();
    void rotate180();
    void flipHorizontally();
    void flipVertically();
    void showCropRectangle();
    void crop();
    void setTvRatio(bool on);

    // "AddText" page. The text, font and colour go to the selected caption.
    bool addCaption();
    void setCaptionText(std::string text);
    void setCaptionFont(const FontRecord& font);
    void setCaptionColour(uint32_t colour);

    // "AddImage" page.
    static std::vector<std::string> decorationCategories();
    // The pictures of a category folder, in name order.
    std::vector<std::filesystem::path> decorationFiles(const std::string& category) const;
    bool addDecoration(const std::filesystem::path& file);

  private:
    SlideImage& picture();
    void load();
    void edited();
    bool hasUnsavedChanges(bool steppingAway) const;
    bool askToSave(bool steppingAway);
    bool saveNow();

    Slideshow& slideshow_;
    int index_;
    std::filesystem::path workingFolder_;
    std::filesystem::path decorationFolder_;
    Notifier& notifier_;
    ModelFlags& flags_;
    EditorCanvas canvas_;
    bool editedDirty_ = false;
    bool savedOnce_ = false;
    uint64_t savedRevision_ = 0;
};

}  // namespace velmora
