#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "base/file_descriptor.h"
#include "outside/ffmpeg_handles.h"

namespace velmora {

// An FFmpeg input read from a regular file through a descriptor opened
// here rather than by FFmpeg: a FIFO, device or socket given as a sound file
// is refused at once instead of blocking in open() or being read for ever,
// and the input cannot reach for other files or addresses (playlists,
// concat lists): FFmpeg reads this one file and nothing else.
class FileInput {
  public:
    FileInput() = default;
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    // 0 when open; 1 when `file` is not a regular file or cannot be opened,
    // with *reason saying why in words that follow a file's name and a
    // colon ("it is a FIFO, not a file"); FFmpeg's error code when it cannot
    // make out the file's format (*reason untouched).
    int open(const std::filesystem::path& file, std::string* reason);

    AVFormatContext* format() const { return format_.get(); }

  private:
    struct IoContextDeleter {
        void operator()(AVIOContext* io) const;
    };

    // Declared in the order they are made: destroyed in reverse, so FFmpeg
    // lets go of the reader before the reader lets go of the descriptor.
    FileDescriptor descriptor_;
    std::unique_ptr<AVIOContext, IoContextDeleter> io_;
    InputFormatPtr format_;
};

}  // namespace velmora
