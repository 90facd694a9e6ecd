#pragma once

#include <filesystem>
#include <string>

namespace velmora {

// Plays one audio file at a time on the computer's sound output: what the
// music preview steps through, five seconds a track. Used from the
// user-interface thread only; no call waits for the sound to play.
class AudioPlayer {
  public:
    virtual ~AudioPlayer() = default;

    // Makes the sound output ready; false with *reason when there is none
    // (no output device, no sound server).
    virtual bool initialise(std::string* reason) = 0;
    // Prepares `file` to play from its start; false with *reason when it
    // cannot be decoded. A file already open is closed first.
    virtual bool open(const std::filesystem::path& file, std::string* reason) = 0;
    // Of the open file, 0 when unknown or none is open.
    virtual double durationSeconds() const = 0;
    // Plays the open file from its start.
    virtual void playFromStart() = 0;
    // Stops the sound and closes the file; nothing when nothing plays.
    virtual void stop() = 0;
};

}  // namespace velmora
