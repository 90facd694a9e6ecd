#include "model/project_file_reading.h"

#include <algorithm>

#include "base/decimal_text.h"
#include "base/log.h"
#include "base/markup_file.h"
#include "base/notifier.h"
#include "base/path_text.h"
#include "base/text_encoding.h"
#include "base/working_folder_claim.h"
#include "interfaces/dvd_file_names.h"
#include "model/preferences.h"
#include "model/project.h"
#include "model/project_file.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr int kLastMotionEffect = 20;  // "none"
constexpr size_t kStoredFaceNameCharacters = 30;

bool sameFile(const fs::path& a, const fs::path& b) {
    return a.lexically_normal() == b.lexically_normal();
}

}  // namespace

ProjectReader::ProjectReader(Project& project, Preferences& preferences,
                             const PreferencesFile& preferencesFile, ProjectFileSection& menu,
                             const Log& log)
    : project_(project),
      preferences_(preferences),
      preferencesFile_(preferencesFile),
      menu_(menu),
      log_(log) {}

bool ProjectReader::read(const fs::path& file) {
    std::string error;
    const std::optional<MarkupFileText> text = readMarkupFile(file, &error);
    if (!text) {
        log_.writeLog("Project not opened: " + error);
        return false;
    }
    if (!doc_.parseText(text->text)) {
        log_.writeLog("Project " + file.string() + " is not readable markup: " + doc_.error());
        project_.context().notifier.show("can not set Doc!", "Velmora", NotifierIcon::Warning);
    }
    if (!doc_.findNext("rorevav") || !doc_.enter()) return false;
    if (!readFolders()) return false;
    while (doc_.findNext("cuteslideshows")) {
        const int listIndex = doc_.currentIndex();
        doc_.enter();
        const Step step = readSlideshows();
        returnTo(listIndex);
        if (step == Step::Stop) return false;
    }
    while (doc_.findNext(ProjectFile::kMenuElement))
        readMenu();
    adoptVideoFormat();
    return true;
}

// A project is built in the format it was made in, whatever this
// installation's settings say: the standard of its first picture and the
// aspect it stored (a project saved before the aspect was stored keeps the
// settings' aspect, as it always did).
void ProjectReader::adoptVideoFormat() {
    const VideoFormat settings = project_.videoFormat();
    VideoFormat format = settings;
    if (storedAspect_) format.aspect = *storedAspect_;
    for (const auto& slideshow : project_.slideshows) {
        if (slideshow->pictures.empty()) continue;
        format.standard = slideshow->pictures.front().settings.tvStandard;
        break;
    }
    if (format != settings) {
        log_.writeLog("The project is made for " + videoFormatName(format) +
                      " and this installation's settings say " + videoFormatName(settings) +
                      "; the project's format is used.");
    }
    project_.changeVideoFormat(format);
}

bool ProjectReader::readFolders() {
    std::string preferenceFile;
    if (!findText("Preference File", &preferenceFile)) return false;
    reloadPreferences(preferenceFile);

    WorkingFolders stored;
    std::string text;
    if (!findText("Working Path", &text)) return false;
    stored.working = text;
    if (!findText("Temp Path", &text)) return false;
    stored.temporary = text;
    if (!findText("OutPut Path", &text)) return false;
    stored.output = text;
    if (int aspect = 0; findNumber(ProjectFile::kAspectElement, &aspect))
        storedAspect_ = aspectRatioFromNumber(aspect);
    project_.setFolders(acceptedFolders(stored));
    return true;
}

// The preferences are read again from this installation's own file. A
// project written elsewhere names another file, which is never read or
// written: reading it would re-create it wherever the project pointed.
void ProjectReader::reloadPreferences(const std::string& storedFile) {
    if (!sameFile(storedFile, preferencesFile_.file())) {
        log_.writeLog("The project names the preferences file \"" + storedFile +
                      "\"; this installation's \"" + preferencesFile_.file().string() +
                      "\" is used.");
    }
    preferencesFile_.loadPreferences(preferences_, project_.context().random);
}

// The folders a build of this project will write and delete in. A project
// file can name any folder, so its working folder is taken only when it is
// a Project_N folder of this user folder with its temp folder inside, and
// its output folder only when no working folder's cleaning would delete the
// DVD and it holds no DVD yet (a folder with a DVD is one the user chooses
// for a build, never one a project file picks). Anything else keeps the
// run's own folder, with the reason in the log.
WorkingFolders ProjectReader::acceptedFolders(const WorkingFolders& stored) {
    WorkingFolders folders = project_.folders();
    storedTemporary_ = stored.temporary;
    const bool ownTemporary =
        stored.temporary.lexically_normal() == (stored.working / "temp").lexically_normal();
    if (stored.working.is_absolute() && ownTemporary &&
        isOwnWorkingFolder(stored.working, preferences_.applicationFolder)) {
        folders = WorkingFolders::inside(stored.working.lexically_normal());
        markWorkingFolder(folders.working);  // saved before working folders were marked
    } else {
        log_.writeLog("Working Path " + quotedPath(stored.working) + " and Temp Path " +
                      quotedPath(stored.temporary) +
                      " of the project are not a working folder of this user's Velmora; " +
                      quotedPath(folders.working) + " is used.");
    }
    const fs::path output = stored.output.lexically_normal();
    const fs::path ownOutput = WorkingFolders::inside(folders.working).output;
    const std::string problem =
        output == ownOutput ? std::string() : outputProblem(output, folders);
    if (problem.empty()) {
        folders.output = output;
    } else {
        folders.output = ownOutput;
        log_.writeLog("OutPut Path " + quotedPath(stored.output) + " of the project " + problem +
                      "; " + quotedPath(folders.output) + " is used.");
    }
    return folders;
}

std::string ProjectReader::outputProblem(const fs::path& output, const WorkingFolders& folders) {
    std::error_code error;
    if (!output.is_absolute() || !fs::is_directory(output, error))
        return "is not an existing folder";
    if (std::string problem = outputFolderProblem(output, folders.working); !problem.empty())
        return problem;
    for (fs::directory_iterator it(output / "VIDEO_TS", error), end; !error && it != end;
         it.increment(error)) {
        if (isDvdFileName(it->path().filename().string())) return "holds a DVD already";
    }
    return {};
}

ProjectReader::Step ProjectReader::readSlideshows() {
    while (doc_.findNext("slideshow")) {
        const int slideshowElement = doc_.currentIndex();
        doc_.enter();
        const Step step = readSlideshow();
        returnTo(slideshowElement);
        if (step == Step::Stop) return Step::Stop;
    }
    return Step::GoOn;
}

ProjectReader::Step ProjectReader::readSlideshow() {
    std::string name;
    if (!findText("name", &name)) return Step::Stop;
    // A repeated name (or a list already full) is refused: the slideshow is
    // passed over with everything in it.
    if (project_.addSlideshow(name) != 0) return Step::GoOn;
    Slideshow& slideshow = *project_.slideshows.back();

    int coverIndex = 0;
    if (!findNumber("cover index", &coverIndex)) {
        project_.removeSlideshow(slideshow.index);
        return Step::GoOn;
    }
    Step step = Step::GoOn;
    while (step == Step::GoOn && doc_.findNext("audio"))
        step = readAudio(slideshow);
    while (step == Step::GoOn && doc_.findNext("pic"))
        step = readPicture(slideshow);
    // Even a slideshow cut short is made whole: its frames count the pictures
    // it got, and one without pictures is not kept.
    finishSlideshow(slideshow, coverIndex);
    return step;
}

void ProjectReader::finishSlideshow(Slideshow& slideshow, int coverIndex) {
    if (slideshow.pictures.empty()) {
        project_.removeSlideshow(slideshow.index);
        return;
    }
    slideshow.recomputeFrames();
    slideshow.setCover(coverIndex);
}

ProjectReader::Step ProjectReader::readAudio(Slideshow& slideshow) {
    const int audioElement = doc_.currentIndex();
    doc_.enter();
    std::string file;
    const bool found = findText("originalFileName", &file);
    if (found) slideshow.addAudioTrack(file, project_.folders().working);
    returnTo(audioElement);
    return found ? Step::GoOn : Step::Stop;
}

ProjectReader::Step ProjectReader::readPicture(Slideshow& slideshow) {
    const int pictureElement = doc_.currentIndex();
    doc_.enter();
    Step step = Step::GoOn;
    std::string source;
    if (!findText("strOriginalFile", &source)) {
        step = Step::Stop;
    } else if (std::string refusal;
               slideshow.addPicture(source, project_.defaults(), &refusal) != 0) {
        // A refused picture (gone, unreadable, already there) is dropped and named.
        log_.writeLog("Picture not added: " + quotedPath(source) + " " + refusal);
    } else {
        SlideImage& picture = slideshow.pictures.back();
        std::string working;
        if (findText("m_strTempFile", &working))
            picture.workingPath = acceptedWorkingCopy(working, picture);
        step = readSettings(picture.settings);
        if (step == Step::GoOn) step = readEdits(picture);
    }
    returnTo(pictureElement);
    return step;
}

// The file a picture is rendered from: its source or an edited copy in the
// project's temp folder; a project naming anything else gets the source.
fs::path ProjectReader::acceptedWorkingCopy(const fs::path& stored, const SlideImage& picture) {
    // Only read, never written: a copy in the temp folder the project names
    // serves even when the run works in a folder of its own.
    if (stored == picture.sourcePath || isInsideFolder(stored, project_.folders().temporary) ||
        isInsideFolder(stored, storedTemporary_))
        return stored;
    log_.writeLog("The edited copy " + quotedPath(stored) + " of " +
                  quotedPath(picture.sourcePath) +
                  " is not in the project's temp folder; the picture itself is used.");
    return picture.sourcePath;
}

ProjectReader::Step ProjectReader::readSettings(SlideSettings& settings) {
    if (!doc_.findNext("RORO_SETTING")) return Step::Stop;
    const int settingsElement = doc_.currentIndex();
    doc_.enter();
    std::string workingPath, tempPath, outputPath;
    int tvStandard = 0;
    EffectSetting& effect = settings.effect;
    int motionNumber = int(effect.motionEffect);
    bool complete = findNumber("IS_NTSC", &tvStandard) && findText("WOKRING_PATH", &workingPath) &&
                    findText("TEMP_PATH", &tempPath) && findText("OUTPUT_PATH", &outputPath) &&
                    doc_.findNext("RORO_EFFECT") && doc_.enter() &&
                    findNumber("SINGLE_EFFECT_TIME", &effect.displayTime) &&
                    findNumber("SINGLE_EFFECT_ID", &motionNumber) &&
                    findNumber("SINGLE_EFFECT_INIT_TYPE", &effect.motionCategory) &&
                    findNumber("TRANSITIO_EFFECT_TIME", &effect.transitionTime);
    if (complete) {
        settings.tvStandard = tvStandardFromNumber(tvStandard);
        settings.workingPath = workingPath;
        settings.tempPath = tempPath;
        settings.outputPath = outputPath;
        complete = loadTransition(doc_, effect.transition);
    }
    effect.displayTime = std::clamp(effect.displayTime, 0, kLongestDisplaySeconds);
    effect.transitionTime = std::clamp(effect.transitionTime, 0, kLongestTransitionSeconds);
    effect.motionEffect = motionEffectFromNumber(motionNumber);
    if (effect.motionCategory < 0 || effect.motionCategory > kLastMotionEffect)
        effect.motionCategory = 0;
    // Every picture keeps a concrete transition: one that cannot be read
    // becomes Alpha, a stored Random is drawn as a new picture's would be.
    if (effect.transition == nullptr) {
        effect.transition = makeTransition(TransitionKind::Alpha);
    } else if (effect.transition->kind() == TransitionKind::Random) {
        effect.transition = cloneTransition(*effect.transition, project_.context().random);
    }
    returnTo(settingsElement);
    return complete ? Step::GoOn : Step::Stop;
}

ProjectReader::Step ProjectReader::readEdits(SlideImage& picture) {
    if (doc_.findNext("General")) {
        const int generalElement = doc_.currentIndex();
        doc_.enter();
        findNumber("BrightnessPos", &picture.brightness);
        findNumber("ContrastPos", &picture.contrast);
        findNumber("SharpenTimes", &picture.sharpen);
        findNumber("SoftenTimes", &picture.soften);
        returnTo(generalElement);
    }
    while (doc_.findNext()) {
        const std::string tag = doc_.currentName();
        const int editElement = doc_.currentIndex();
        PictureEdit edit;
        bool complete = true;
        if (tag == "Text") {
            edit.kind = PictureEditKind::Text;
            doc_.enter();
            complete = findText("TextContent", &edit.text) && findNumber("x", &edit.x) &&
                       findNumber("y", &edit.y) && findNumber("cx", &edit.cx) &&
                       findNumber("cy", &edit.cy) && findText("FontName", &edit.faceName) &&
                       findNumber("FontHeight", &edit.height);
            int colour = 0;
            complete = complete && findNumber("FontColor", &colour) &&
                       findNumber("FontItalic", &edit.italic) &&
                       findNumber("FontWeight", &edit.weight);
            edit.colour = static_cast<uint32_t>(colour);
            edit.faceName = firstCharacters(edit.faceName, kStoredFaceNameCharacters);
        } else if (tag == "Image") {
            edit.kind = PictureEditKind::Image;
            doc_.enter();
            std::string image;
            complete = findText("ImageName", &image) && findNumber("x", &edit.x) &&
                       findNumber("y", &edit.y) && findNumber("cx", &edit.cx) &&
                       findNumber("cy", &edit.cy);
            edit.imagePath = image;
        } else if (tag == "Crop") {
            edit.kind = PictureEditKind::Crop;
            doc_.enter();
            complete = findNumber("upleft.x", &edit.x) && findNumber("upleft.y", &edit.y) &&
                       findNumber("downright.x", &edit.cx) && findNumber("downright.y", &edit.cy);
        } else {
            const auto* named = std::find(kEditElementNames.begin(), kEditElementNames.end(), tag);
            const auto kind = named - kEditElementNames.begin();
            const bool plainEdit =
                named != kEditElementNames.end() && kind >= int(PictureEditKind::RotateLeft90);
            if (!plainEdit) continue;  // any other element is not an edit
            edit.kind = static_cast<PictureEditKind>(kind);
        }
        returnTo(editElement);
        if (!complete) return Step::Stop;
        picture.edits.push_back(std::move(edit));
    }
    return Step::GoOn;
}

void ProjectReader::readMenu() {
    const int menuElement = doc_.currentIndex();
    doc_.enter();
    menu_.loadSection(doc_);
    returnTo(menuElement);
}

bool ProjectReader::findText(std::string_view name, std::string* text) {
    if (!doc_.findNext(name)) return false;
    *text = doc_.currentText();
    return true;
}

bool ProjectReader::findNumber(std::string_view name, int* value) {
    if (!doc_.findNext(name)) return false;
    *value = decimalValue(doc_.currentText());
    return true;
}

// Back to an element from whatever depth inside it a step stopped at.
void ProjectReader::returnTo(int elementIndex) {
    while (doc_.currentIndex() != elementIndex && doc_.leave()) {
    }
}

}  // namespace velmora
