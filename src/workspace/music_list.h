#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/audio_track.h"

namespace velmora {

class Application;
class Notifier;
class Slideshow;

// The disc's music as the music page edits it: the track list of the first
// slideshow, which becomes the one soundtrack every title of the disc is
// encoded with, whichever slideshow the page shows.
class MusicList {
  public:
    // One line of the list as the page shows it.
    struct Row {
        std::string index;  // counting from 0
        std::string fileName;
        std::string startText;
        std::string durationText;
    };

    MusicList(Application& app, Notifier& notifier);

    // The extensions taken, lower case: what the converter decodes.
    static const std::vector<std::string_view>& audioExtensions();
    static bool isAudioFile(const std::filesystem::path& file);

    bool hasSlideshow() const { return musicSlideshow() != nullptr; }
    std::vector<Row> rows() const;
    // The first slideshow's tracks; empty without a slideshow.
    std::vector<AudioTrack> tracks() const;

    // Appends the audio files among `paths` in order (a folder gives its
    // audio files in name order; other files are passed over). A file
    // whose length cannot be read is refused with the model's message. The
    // number of tracks added.
    int addTracks(const std::vector<std::filesystem::path>& paths);
    // Removes track `row`; the last track stays, with a message. True when
    // a track went.
    bool deleteTrack(int row);
    // The row the track is on afterwards (unchanged at either end).
    int moveTrackUp(int row);
    int moveTrackDown(int row);

  private:
    Slideshow* musicSlideshow() const;
    bool isRow(int row) const;

    Application& app_;
    Notifier& notifier_;
};

}  // namespace velmora
