#include "workspace/music_list.h"

#include <algorithm>
#include <cctype>

#include "base/notifier.h"
#include "model/slideshow.h"
#include "workspace/application.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

std::string lowerExtension(const fs::path& file) {
    std::string extension = file.extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

// The audio files of a folder, sorted by name; none when it cannot be read.
std::vector<fs::path> audioFilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->is_regular_file(error) && MusicList::isAudioFile(entry->path()))
            files.push_back(entry->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

MusicList::MusicList(Application& app, Notifier& notifier) : app_(app), notifier_(notifier) {}

// MP3, MP2, WAV and WMA as the disc tools have always taken them, and the
// formats Linux users keep their music in; FFmpeg decodes them all.
const std::vector<std::string_view>& MusicList::audioExtensions() {
    static const std::vector<std::string_view> extensions = {"mp3", "mp2",  "wav",  "wma", "ogg",
                                                             "oga", "opus", "flac", "m4a", "aac"};
    return extensions;
}

bool MusicList::isAudioFile(const fs::path& file) {
    const std::string extension = lowerExtension(file);
    const auto& known = audioExtensions();
    return std::find(known.begin(), known.end(), extension) != known.end();
}

Slideshow* MusicList::musicSlideshow() const {
    const auto& slideshows = app_.project.slideshows;
    return slideshows.empty() ? nullptr : slideshows.front().get();
}

bool MusicList::isRow(int row) const {
    const Slideshow* slideshow = musicSlideshow();
    return slideshow != nullptr && row >= 0 && row < int(slideshow->audioTracks.size());
}

std::vector<MusicList::Row> MusicList::rows() const {
    std::vector<Row> rows;
    const Slideshow* slideshow = musicSlideshow();
    if (slideshow == nullptr) return rows;
    int index = 0;
    for (const AudioTrack& track : slideshow->audioTracks)
        rows.push_back(
            {std::to_string(index++), track.fileName, track.startText, track.durationText});
    return rows;
}

std::vector<AudioTrack> MusicList::tracks() const {
    const Slideshow* slideshow = musicSlideshow();
    return slideshow == nullptr ? std::vector<AudioTrack>{} : slideshow->audioTracks;
}

int MusicList::addTracks(const std::vector<fs::path>& paths) {
    Slideshow* slideshow = musicSlideshow();
    if (slideshow == nullptr) return 0;
    std::vector<fs::path> files;
    for (const fs::path& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            const std::vector<fs::path> inFolder = audioFilesIn(path);
            files.insert(files.end(), inFolder.begin(), inFolder.end());
        } else if (isAudioFile(path)) {
            files.push_back(path);
        }
    }
    const size_t before = slideshow->audioTracks.size();
    for (const fs::path& file : files)
        slideshow->addAudioTrack(file, app_.project.folders().working);
    return int(slideshow->audioTracks.size() - before);
}

bool MusicList::deleteTrack(int row) {
    Slideshow* slideshow = musicSlideshow();
    if (slideshow == nullptr) return false;
    if (slideshow->audioTracks.size() == 1) {
        notifier_.show("This is last audio, you can not delete it!", "Velmora",
                       NotifierIcon::Warning);
        return false;
    }
    if (!isRow(row)) return false;
    return slideshow->removeAudioTrack(row) == 0;
}

int MusicList::moveTrackUp(int row) {
    if (!isRow(row) || row == 0) return row;
    musicSlideshow()->moveAudioUp(row);
    return row - 1;
}

int MusicList::moveTrackDown(int row) {
    if (!isRow(row) || row + 1 == int(musicSlideshow()->audioTracks.size())) return row;
    musicSlideshow()->moveAudioDown(row);
    return row + 1;
}

}  // namespace velmora
