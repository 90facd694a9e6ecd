#include "workspace/picture_editor.h"

#include <algorithm>
#include <system_error>

#include "base/notifier.h"
#include "image/image_type.h"
#include "model/model_context.h"
#include "model/slideshow.h"

namespace velmora {

namespace {

constexpr const char* kSaveQuestion = "Do you want to save the pic modify?";
constexpr const char* kTitle = "Velmora";

}  // namespace

PictureEditor::PictureEditor(Setup setup)
    : slideshow_(setup.slideshow),
      index_(setup.index),
      workingFolder_(std::move(setup.workingFolder)),
      decorationFolder_(std::move(setup.decorationFolder)),
      notifier_(setup.notifier),
      flags_(setup.flags),
      canvas_(setup.wideScreen) {
    load();
}

SlideImage& PictureEditor::picture() {
    return slideshow_.pictures.at(size_t(index_));
}

void PictureEditor::load() {
    if (index_ < 0 || index_ >= int(slideshow_.pictures.size())) return;
    const SlideImage& shown = picture();
    std::string reason;
    if (!canvas_.loadPicture(shown.sourcePath, shown.edits, &reason))
        notifier_.show("Can not load file " + shown.sourcePath.string(), kTitle,
                       NotifierIcon::Information);
    savedRevision_ = canvas_.revision();
}

void PictureEditor::edited() {
    editedDirty_ = true;
    savedOnce_ = false;
}

// Besides the commands that mark the picture edited, the canvas counts
// changes the dialog does not mark (moving a caption, retyping it, another
// colour): a save or the question must not lose those either.
bool PictureEditor::hasUnsavedChanges(bool steppingAway) const {
    const bool marked = editedDirty_ && !(steppingAway && savedOnce_);
    return marked || canvas_.revision() != savedRevision_;
}

bool PictureEditor::saveNow() {
    std::string reason;
    if (!canvas_.saveEdits(picture(), workingFolder_, &reason)) {
        notifier_.show(reason, kTitle, NotifierIcon::Warning);
        return false;
    }
    editedDirty_ = false;
    savedOnce_ = true;
    savedRevision_ = canvas_.revision();
    slideshow_.thumbnail(index_, picture().thumbnailSize, true);
    if (index_ == slideshow_.coverIndex) slideshow_.setCover(index_);
    flags_.modified = true;
    if (onSaved) onSaved(index_);
    return true;
}

bool PictureEditor::askToSave(bool steppingAway) {
    if (canvas_.isEmpty() || !hasUnsavedChanges(steppingAway)) return true;
    switch (notifier_.ask(kSaveQuestion, "Query", NotifierButtons::YesNoCancel)) {
        case NotifierAnswer::Yes:
            return saveNow();
        case NotifierAnswer::No:
            editedDirty_ = false;
            savedRevision_ = canvas_.revision();
            return true;
        case NotifierAnswer::Cancel:
            break;
    }
    return false;
}

bool PictureEditor::save() {
    if (canvas_.isEmpty() || !hasUnsavedChanges(false)) return true;
    return saveNow();
}

void PictureEditor::cancel() {
    // The dialog closes without saving: nothing of this visit is kept.
    editedDirty_ = false;
    savedRevision_ = canvas_.revision();
}

void PictureEditor::remove() {
    canvas_.removeSelected();
}

void PictureEditor::reset() {
    canvas_.removeAll();
    load();
}

bool PictureEditor::previous() {
    if (!askToSave(true)) return false;
    if (index_ <= 0) {
        notifier_.show("This is the first Picture!", kTitle, NotifierIcon::Information);
        return false;
    }
    --index_;
    load();
    return true;
}

bool PictureEditor::next() {
    if (!askToSave(true)) return false;
    if (index_ >= int(slideshow_.pictures.size()) - 1) {
        notifier_.show("This is the last Picture!", kTitle, NotifierIcon::Information);
        return false;
    }
    ++index_;
    load();
    return true;
}

bool PictureEditor::requestClose() {
    return askToSave(false);
}

void PictureEditor::rotateLeft90() {
    canvas_.rotateLeft90();
    edited();
}

void PictureEditor::rotateRight90() {
    canvas_.rotateRight90();
    edited();
}

void PictureEditor::rotate180() {
    canvas_.rotate180();
    edited();
}

void PictureEditor::flipHorizontally() {
    canvas_.flipHorizontally();
    edited();
}

void PictureEditor::flipVertically() {
    canvas_.flipVertically();
    edited();
}

void PictureEditor::showCropRectangle() {
    canvas_.setCropMode(true);
}

void PictureEditor::crop() {
    canvas_.applyCrop();
    edited();
}

void PictureEditor::setTvRatio(bool on) {
    canvas_.setTvRatio(on);
}

bool PictureEditor::addCaption() {
    const FontRecord font{"Arial", 16, 400, false};
    const QSize size = captionTextSize(kNewCaptionText, font, std::max(1, canvas_.displayW()));
    // In the middle of the picture, where it is seen at once.
    const QRect box(
        QPoint((canvas_.displayW() - size.width()) / 2, (canvas_.displayH() - size.height()) / 2),
        size);
    if (!canvas_.addCaption(kNewCaptionText, font, 0x000000, box)) return false;
    edited();
    return true;
}

void PictureEditor::setCaptionText(std::string text) {
    canvas_.editSelectedText(std::move(text));
}

void PictureEditor::setCaptionFont(const FontRecord& font) {
    canvas_.setSelectedFont(font);
}

void PictureEditor::setCaptionColour(uint32_t colour) {
    canvas_.setSelectedColour(colour);
}

std::vector<std::string> PictureEditor::decorationCategories() {
    return {"Animal", "Dress", "Face", "Mark", "Other"};
}

std::vector<std::filesystem::path> PictureEditor::decorationFiles(
    const std::string& category) const {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(decorationFolder_ / category, error)) {
        if (!entry.is_regular_file(error)) continue;
        if (imageTypeOf(entry.path().filename().string()) == ImageType::Unknown) continue;
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool PictureEditor::addDecoration(const std::filesystem::path& file) {
    if (!canvas_.addDecoration(file)) return false;
    edited();
    return true;
}

}  // namespace velmora
