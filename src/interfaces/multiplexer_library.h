#pragma once

#include <filesystem>

namespace velmora {

// Joins a menu page's MPEG-2 video elementary stream and its MP2 soundtrack
// into a DVD program stream.
class MultiplexerLibrary {
  public:
    virtual ~MultiplexerLibrary() = default;
    // 0 when the program stream was written; any other value is an error
    // code.
    virtual int Mplex(const std::filesystem::path& video, const std::filesystem::path& audio,
                      const std::filesystem::path& output) = 0;
};

}  // namespace velmora
