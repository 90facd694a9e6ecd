#include "model/project_file.h"

#include <fstream>
#include <string_view>

#include "base/log.h"
#include "base/markup_document.h"
#include "base/markup_file.h"
#include "base/notifier.h"
#include "base/working_folder_claim.h"
#include "model/preferences.h"
#include "model/project.h"
#include "model/project_file_reading.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

std::string number(int value) {
    return std::to_string(value);
}

// Appends `name` as the next element and makes its children the place
// where the following elements go, until the matching leave.
void openGroup(MarkupDocument& doc, std::string_view name) {
    doc.appendElement(name);
    doc.enter();
}

// The box of a text or decoration edit.
void writeBox(MarkupDocument& doc, const PictureEdit& edit) {
    doc.appendElement("x", number(edit.x));
    doc.appendElement("y", number(edit.y));
    doc.appendElement("cx", number(edit.cx));
    doc.appendElement("cy", number(edit.cy));
}

void writeEdit(MarkupDocument& doc, const PictureEdit& edit) {
    const std::string_view name = kEditElementNames[size_t(edit.kind)];
    switch (edit.kind) {
        case PictureEditKind::Text:
            openGroup(doc, name);
            doc.appendElement("TextContent", edit.text);
            writeBox(doc, edit);
            doc.appendElement("FontName", edit.faceName);
            doc.appendElement("FontHeight", number(edit.height));
            doc.appendElement("FontColor", std::to_string(edit.colour));
            doc.appendElement("FontItalic", number(edit.italic));
            doc.appendElement("FontWeight", number(edit.weight));
            doc.leave();
            return;
        case PictureEditKind::Image:
            openGroup(doc, name);
            doc.appendElement("ImageName", edit.imagePath.string());
            writeBox(doc, edit);
            doc.leave();
            return;
        case PictureEditKind::Crop:
            openGroup(doc, name);
            doc.appendElement("upleft.x", number(edit.x));
            doc.appendElement("upleft.y", number(edit.y));
            doc.appendElement("downright.x", number(edit.cx));
            doc.appendElement("downright.y", number(edit.cy));
            doc.leave();
            return;
        default:
            doc.appendElement(name);
            return;
    }
}

void writeSettings(MarkupDocument& doc, const SlideSettings& settings) {
    openGroup(doc, "RORO_SETTING");
    doc.appendElement("IS_NTSC", number(int(settings.tvStandard)));
    doc.appendElement("WOKRING_PATH", settings.workingPath);
    doc.appendElement("TEMP_PATH", settings.tempPath.string());
    doc.appendElement("OUTPUT_PATH", settings.outputPath.string());
    const EffectSetting& effect = settings.effect;
    openGroup(doc, "RORO_EFFECT");
    doc.appendElement("SINGLE_EFFECT_TIME", number(effect.displayTime));
    doc.appendElement("SINGLE_EFFECT_ID", number(int(effect.motionEffect)));
    doc.appendElement("SINGLE_EFFECT_INIT_TYPE", number(effect.motionCategory));
    doc.appendElement("TRANSITIO_EFFECT_TIME", number(effect.transitionTime));
    effect.transition->save(doc);
    doc.leave();
    doc.leave();
}

void writePicture(MarkupDocument& doc, const SlideImage& picture) {
    openGroup(doc, "pic");
    doc.appendElement("strOriginalFile", picture.sourcePath.string());
    doc.appendElement("m_strTempFile", picture.workingPath.string());
    writeSettings(doc, picture.settings);
    openGroup(doc, "General");
    const std::pair<std::string_view, int> adjustments[] = {{"BrightnessPos", picture.brightness},
                                                            {"ContrastPos", picture.contrast},
                                                            {"SharpenTimes", picture.sharpen},
                                                            {"SoftenTimes", picture.soften}};
    for (const auto& [name, value] : adjustments) {
        if (value > 0) doc.appendElement(name, number(value));
    }
    doc.leave();
    for (const PictureEdit& edit : picture.edits)
        writeEdit(doc, edit);
    doc.leave();
}

void writeSlideshow(MarkupDocument& doc, const Slideshow& slideshow) {
    openGroup(doc, "slideshow");
    doc.appendElement("name", slideshow.name);
    doc.appendElement("cover index", number(slideshow.coverIndex));
    for (const AudioTrack& track : slideshow.audioTracks) {
        openGroup(doc, "audio");
        doc.appendElement("originalFileName", track.sourcePath.string());
        doc.leave();
    }
    for (const SlideImage& picture : slideshow.pictures)
        writePicture(doc, picture);
    doc.leave();
}

}  // namespace

ProjectFile::ProjectFile(Project& project, Preferences& preferences,
                         const PreferencesFile& preferencesFile, ProjectFileSection& menu,
                         const Log& log)
    : project_(project),
      preferences_(preferences),
      preferencesFile_(preferencesFile),
      menu_(menu),
      log_(log) {}

bool ProjectFile::saveProject(bool showMessage) {
    if (!project_.flags().modified) return false;

    const fs::path& file = project_.projectFilePath;
    std::string error;
    if (!writeCopy(file, &error)) {
        log_.writeLog("Project not saved: " + error);
        project_.context().notifier.show(
            "The project could not be saved. " + error + " Your changes are still open.", "Velmora",
            NotifierIcon::Error);
        return false;
    }
    project_.flags().modified = false;
    markWorkingFolderSaved(project_.folders().working);
    if (showMessage) {
        project_.context().notifier.show("Save to '" + file.string() + "' Success!", "Velmora",
                                         NotifierIcon::Information);
    }
    return true;
}

bool looksLikeProjectFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string start(64, '\0');
    in.read(start.data(), std::streamsize(start.size()));
    start.resize(size_t(in.gcount()));
    const size_t first = start.find_first_not_of(" \t\r\n");
    return first != std::string::npos && start.compare(first, 9, "<rorevav>") == 0;
}

bool ProjectFile::writeCopy(const fs::path& file, std::string* error) const {
    MarkupDocument doc;
    openGroup(doc, "rorevav");
    const WorkingFolders& folders = project_.folders();
    doc.appendElement("Preference File", preferencesFile_.file().string());
    doc.appendElement("Working Path", folders.working.string());
    doc.appendElement("Temp Path", folders.temporary.string());
    doc.appendElement("OutPut Path", folders.output.string());
    // The standard is each picture's IS_NTSC; the aspect has no other place.
    // Readers that do not know the element pass over it.
    doc.appendElement(kAspectElement, number(int(project_.videoFormat().aspect)));
    openGroup(doc, "cuteslideshows");
    for (const auto& slideshow : project_.slideshows)
        writeSlideshow(doc, *slideshow);
    doc.leave();
    openGroup(doc, kMenuElement);
    menu_.saveSection(doc);
    doc.leave();
    return writeMarkupFile(file, doc.doc(), error);
}

bool ProjectFile::loadProject() {
    ProjectReader reader(project_, preferences_, preferencesFile_, menu_, log_);
    return reader.read(project_.projectFilePath);
}

}  // namespace velmora
