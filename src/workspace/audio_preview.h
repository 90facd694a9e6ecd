#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "model/audio_track.h"

namespace velmora {

class AudioPlayer;
class Log;
class PreviewTimer;
struct Preferences;

// Lets the user hear a list of tracks before building: the first five
// seconds of each, one after another, whatever a track's length. After the
// last track the list starts again when the LoopAudio preference is on;
// when it is off the preview falls silent but still counts as playing, so
// a new list waits for stopAudioPreview. Failures end the preview with a
// log line and nothing shown to the user. User-interface thread only.
class AudioPreview {
  public:
    static constexpr int kTrackIntervalMs = 5000;

    // All four outlive the preview. The loop flag is read at the end of
    // every pass, so a change in the settings counts from the next pass.
    AudioPreview(AudioPlayer& player, PreviewTimer& timer, const Log& log,
                 const Preferences& preferences);
    ~AudioPreview();
    AudioPreview(const AudioPreview&) = delete;
    AudioPreview& operator=(const AudioPreview&) = delete;

    // Starts with the first track; nothing while a preview plays (silent
    // or not) or is being stopped, and nothing for an empty list.
    void playAudioList(const std::vector<AudioTrack>& tracks);
    // Ends the preview; nothing when none plays.
    void stopAudioPreview();
    // The five-second step: on to the next track.
    void previewTick();

    bool isPlaying() const { return playing_; }
    bool isStopping() const { return stopping_; }
    // Index of the track the next step plays.
    std::size_t nextIndex() const { return next_; }
    // Why the last list ended by itself: no sound output, or a file that
    // cannot be decoded; empty when it did not fail. Cleared by a new list.
    const std::string& lastFailure() const { return lastFailure_; }

  private:
    // Prepares the player for one track; false (preview ended) on failure.
    bool initialisePlayer();
    // Opens and plays `file` and starts the next step; on failure ends the
    // preview.
    void playTrack(const std::filesystem::path& file);
    void closeTrack();
    void startTimer();

    AudioPlayer& player_;
    PreviewTimer& timer_;
    const Log& log_;
    const Preferences& preferences_;
    bool playing_ = false;
    bool stopping_ = false;
    bool trackOpen_ = false;  // the player holds a file to stop
    // A copy: the music list may be edited while its preview runs.
    std::vector<std::filesystem::path> files_;
    std::size_t next_ = 0;
    std::string lastFailure_;
};

}  // namespace velmora
