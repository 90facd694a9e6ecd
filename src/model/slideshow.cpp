#include "model/slideshow.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

#include "base/notifier.h"
#include "base/path_text.h"
#include "interfaces/audio_converter.h"
#include "interfaces/video_format.h"
#include "model/motion_effect.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

std::time_t modificationTime(const fs::path& file, std::error_code& error) {
    const auto written = fs::last_write_time(file, error);
    if (error) return 0;
    const auto system = std::chrono::file_clock::to_sys(written);
    return std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
}

PictureFileCheck uncheckedFile(const fs::path& file) {
    PictureFileCheck check;
    check.file = file;
    return check;
}

}  // namespace

std::string clockText(int seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

std::string fileSizeText(uint64_t bytes) {
    constexpr uint64_t kKilobyte = 1024;
    constexpr uint64_t kMegabyte = 1024 * 1024;
    if (bytes == 0) return "0KB";
    if (bytes <= kKilobyte) return "1KB";
    if (bytes <= kMegabyte) return std::to_string(bytes / kKilobyte) + "KB";
    return std::to_string(bytes / kMegabyte) + "MB";
}

Slideshow::Slideshow(std::string slideshowName, const fs::path& workingFolder,
                     ProjectContext& context)
    : name(std::move(slideshowName)), context_(context) {
    repointTempFiles(workingFolder / "temp");
}

PictureFileCheck checkPictureFile(const fs::path& file, PictureFiles& pictures) {
    PictureFileCheck check = uncheckedFile(file);
    if (file.empty()) return check;  // the slideshow refuses it by name
    if (!pictures.canLoad(file, &check.refusal)) return check;
    std::error_code error;
    check.fileSize = fs::file_size(file, error);
    if (!error) check.modifiedTime = modificationTime(file, error);
    if (error) {
        check.refusal = "cannot be read: " + error.message();
        return check;
    }
    check.loads = true;
    return check;
}

int Slideshow::addPicture(const fs::path& path, const SlideSettings& defaults,
                          std::string* refusal) {
    // A file refused by its name is not worth decoding.
    if (path.empty() || holdsPicture(path))
        return addCheckedPicture(uncheckedFile(path), defaults, refusal);
    return addCheckedPicture(checkPictureFile(path, context_.pictures), defaults, refusal);
}

int Slideshow::addCheckedPicture(const PictureFileCheck& check, const SlideSettings& defaults,
                                 std::string* refusal) {
    changed();
    auto refuse = [&](std::string why) {
        if (refusal != nullptr) *refusal = std::move(why);
        return 1;
    };
    const fs::path& path = check.file;
    if (path.empty()) return refuse("has no name");
    if (holdsPicture(path)) return refuse("is already in the slideshow");
    if (!check.loads) return refuse(check.refusal);

    SlideImage picture;
    picture.sourcePath = path;
    picture.workingPath = path;
    picture.fileName = path.filename().string();
    picture.modifiedTime = check.modifiedTime;
    picture.fileSize = check.fileSize;
    picture.sizeText = fileSizeText(check.fileSize);
    picture.settings.copyFrom(defaults, context_.random);
    pictures.push_back(std::move(picture));
    recomputeFrames();
    if (pictures.size() == 1) setCover(0);
    return 0;
}

bool Slideshow::holdsPicture(const fs::path& path) const {
    return std::any_of(pictures.begin(), pictures.end(),
                       [&](const SlideImage& picture) { return picture.workingPath == path; });
}

int Slideshow::removePicture(int i) {
    changed();
    if (!isPictureIndex(i)) return 1;
    const int indices[] = {i};
    removePictures(indices);
    return 0;
}

void Slideshow::removePictures(std::span<const int> indices) {
    changed();
    std::vector<int> sorted(indices.begin(), indices.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    bool coverRemoved = false;
    // From the last index to the first, so earlier indices stay valid.
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        if (!isPictureIndex(*it)) continue;
        pictures.erase(pictures.begin() + *it);
        if (*it == coverIndex) {
            coverRemoved = true;
        } else if (*it < coverIndex) {
            --coverIndex;  // the same picture stays the cover
        }
    }
    recomputeFrames();
    if (coverRemoved && !pictures.empty()) setCover(0);
}

int Slideshow::movePictureUp(int i, bool* becameFirst) {
    changed();
    if (becameFirst != nullptr) *becameFirst = false;
    if (!isPictureIndex(i)) return 1;
    if (i == 0) return 0;
    std::swap(pictures[size_t(i)], pictures[size_t(i) - 1]);
    if (becameFirst != nullptr) *becameFirst = i == 1;
    recomputeFrames();
    return 0;
}

int Slideshow::movePictureDown(int i) {
    changed();
    if (!isPictureIndex(i)) return 1;
    if (i == int(pictures.size()) - 1) return 0;
    std::swap(pictures[size_t(i)], pictures[size_t(i) + 1]);
    recomputeFrames();
    return 0;
}

int Slideshow::movePictures(std::vector<int> indices, int target, bool before) {
    changed();
    for (size_t k = 0; k < indices.size() && indices[k] >= 0; ++k) {
        const int from = indices[k];
        if (!isPictureIndex(from) || !isPictureIndex(target)) return -1;
        SlideImage moved = std::move(pictures[size_t(from)]);
        pictures.erase(pictures.begin() + from);
        if (from < target) --target;
        const int to = before ? target : target + 1;
        pictures.insert(pictures.begin() + to, std::move(moved));
        // The indices still to move follow the shift of the list.
        for (size_t j = k + 1; j < indices.size() && indices[j] >= 0; ++j) {
            if (indices[j] > from) --indices[j];
            if (indices[j] >= to) ++indices[j];
        }
        indices[k] = to;
        // The next picture goes right after this one, keeping their order.
        target = before ? to + 1 : to;
    }
    recomputeFrames();
    return target;
}

void Slideshow::setMotionCategoryEffect(std::span<const int> indices, int category) {
    changed();
    for (int i : indices) {
        if (isPictureIndex(i)) {
            pictures[size_t(i)].settings.effect.motionEffect =
                drawMotionEffect(category, context_.random);
        }
    }
}

void Slideshow::setDisplayTime(std::span<const int> indices, int seconds) {
    changed();
    for (int i : indices) {
        if (isPictureIndex(i)) pictures[size_t(i)].settings.effect.displayTime = seconds;
    }
    recomputeFrames();
}

void Slideshow::setTransitionTime(std::span<const int> indices, int seconds) {
    changed();
    for (int i : indices) {
        if (isPictureIndex(i)) pictures[size_t(i)].settings.effect.transitionTime = seconds;
    }
    recomputeFrames();
}

void Slideshow::setTransition(std::span<const int> indices, const TransitionSetting& transition) {
    changed();
    for (int i : indices) {
        if (isPictureIndex(i)) {
            pictures[size_t(i)].settings.effect.transition =
                cloneTransition(transition, context_.random);
        }
    }
}

void Slideshow::sortPictures(SortKey key, SortOrder order) {
    changed();
    for (size_t i = 0; i < pictures.size(); ++i)
        pictures[i].sequence = int(i);
    auto before = [key](const SlideImage& a, const SlideImage& b) {
        return key == SortKey::FileName ? a.fileName < b.fileName : a.modifiedTime < b.modifiedTime;
    };
    // Stable: pictures that compare equal keep their order.
    if (order == SortOrder::Ascending) {
        std::stable_sort(pictures.begin(), pictures.end(), before);
    } else {
        std::stable_sort(pictures.begin(), pictures.end(),
                         [&](const SlideImage& a, const SlideImage& b) { return before(b, a); });
    }
    recomputeFrames();
}

void Slideshow::recomputeFrames() {
    if (pictures.empty()) {
        totalFrames = 0;
        return;
    }
    const int fps = framesPerSecond(pictures.front().settings.tvStandard);
    int frames = 0;
    for (SlideImage& picture : pictures) {
        picture.startSeconds = frames / fps;
        picture.startText = clockText(picture.startSeconds);
        const EffectSetting& effect = picture.settings.effect;
        frames += (effect.displayTime + effect.transitionTime) * fps;
    }
    // The first picture shows one second longer and has no transition into it.
    if (frames != 0) frames += (1 - pictures.front().settings.effect.transitionTime) * fps;
    totalFrames = frames;
}

int Slideshow::setCover(int i) {
    changed();
    const int count = int(pictures.size());
    if (i < 0 || i > count - 1) return count - 1;
    coverIndex = i;
    context_.pictures.renderCover(pictures[size_t(i)].workingPath, coverPath);
    context_.flags.menuStale = true;
    context_.events.thumbnailsChanged(index);
    return i;
}

QSize thumbnailSizeOfClass(int sizeClass) {
    switch (sizeClass) {
        case 0:
            return {60, 45};
        case 1:
            return {80, 60};
        case 2:
            return {160, 120};
        case 3:
            return {320, 240};
        case 4:
            return {80, 60};
        case 5:
            return {76, 95};
        default:
            return {};
    }
}

QImage Slideshow::thumbnail(int i, int sizeClass, bool force) {
    const QSize size = thumbnailSizeOfClass(sizeClass);
    if (!isPictureIndex(i) || !size.isValid()) return {};
    SlideImage& picture = pictures[size_t(i)];
    if (force || picture.thumbnail.isNull() || picture.thumbnailSize != sizeClass) {
        picture.thumbnail = context_.pictures.renderThumbnail(picture.workingPath, size);
        picture.thumbnailSize = sizeClass;
    }
    return picture.thumbnail;
}

const SlideImage* Slideshow::coverPicture() const {
    if (pictures.empty()) return nullptr;
    return &pictures[size_t(std::clamp(coverIndex, 0, int(pictures.size()) - 1))];
}

int Slideshow::addAudioTrack(const fs::path& path, const fs::path& workingFolder) {
    changed();
    if (path.empty() || workingFolder.empty()) return 1;
    for (const AudioTrack& track : audioTracks) {
        if (track.sourcePath == path) return 1;
    }
    AudioTrack track;
    track.fileName = path.filename().string();
    track.tempMp2Path = workingFolder / "temp" / (path.stem().string() + ".mp2");
    std::error_code error;
    // A file that is gone is replaced by the default music.
    track.sourcePath = fs::exists(path, error) ? path : context_.defaultMusic;
    track.durationSeconds = context_.audio.GetFileTimeLength(track.sourcePath);
    if (track.durationSeconds == 0) {
        context_.notifier.show(
            "file:'" + path.string() + "' is not a legal mp3 file, so it will not be added!",
            "Velmora", NotifierIcon::Warning);
        return 0;
    }
    track.durationText = clockText(track.durationSeconds);
    audioTracks.push_back(std::move(track));
    recomputeAudioStarts();
    return 0;
}

int Slideshow::addDefaultAudio(const fs::path& workingFolder) {
    return addAudioTrack(context_.defaultMusic, workingFolder);
}

int Slideshow::removeAudioTrack(int i) {
    changed();
    if (i < 0 || i >= int(audioTracks.size())) return 1;
    audioTracks.erase(audioTracks.begin() + i);
    recomputeAudioStarts();
    return 0;
}

void Slideshow::moveAudioUp(int i) {
    changed();
    if (i <= 0 || i >= int(audioTracks.size())) return;
    std::swap(audioTracks[size_t(i)], audioTracks[size_t(i) - 1]);
    recomputeAudioStarts();
}

void Slideshow::moveAudioDown(int i) {
    changed();
    if (i < 0 || i >= int(audioTracks.size()) - 1) return;
    std::swap(audioTracks[size_t(i)], audioTracks[size_t(i) + 1]);
    recomputeAudioStarts();
}

fs::path Slideshow::soundtrack() const {
    return audioTracks.empty() ? fs::path() : soundtrackPath;
}

void Slideshow::recomputeAudioStarts() {
    int start = 0;
    for (AudioTrack& track : audioTracks) {
        track.startSeconds = start;
        track.startText = clockText(start);
        start += track.durationSeconds;
    }
}

void Slideshow::numberSoundtrack(int position) {
    soundtrackPath =
        sharedSoundtrackPath.parent_path() / ("slideshow_" + std::to_string(position) + ".mp2");
}

void Slideshow::repointTempFiles(const fs::path& folder) {
    const std::string fileName = fileNameSafe(name);
    sharedSoundtrackPath = folder / "slideshow.mp2";
    numberSoundtrack(index);
    programStreamPath = folder / (fileName + ".mpg");
    coverPath = folder / ("cover_" + fileName + ".bmp");
    for (AudioTrack& track : audioTracks)
        track.tempMp2Path = folder / track.tempMp2Path.filename();
    // An edited copy keeps its own name ("~" and the picture's name).
    for (SlideImage& picture : pictures) {
        if (picture.workingPath != picture.sourcePath)
            picture.workingPath = folder / picture.workingPath.filename();
    }
}

}  // namespace velmora
