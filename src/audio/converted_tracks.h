#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "interfaces/audio_converter.h"

namespace velmora {

// A source file as a conversion read it. Any rewrite of the file changes
// its size, modification or status-change time, or (when replaced by a
// rename) its inode, so a conversion made before the change is not its
// conversion any more.
struct SourceState {
    dev_t device = 0;
    ino_t inode = 0;
    int64_t sizeBytes = 0;
    timespec modified{};
    timespec changed{};

    // Nothing when the file cannot be examined: such a source is never reused.
    static std::optional<SourceState> of(const std::filesystem::path& source);
    bool operator==(const SourceState& other) const;
};

// The MP2 conversions made so far in one build. The menu and a slideshow
// usually play the same music (the theme's default), and converting it
// again costs as much as the first time: a later soundtrack takes a link to
// (or a copy of) the kept conversion instead. The kept files sit next to the
// conversions they come from, in the build's temporary folder, and are
// deleted with this object.
class ConvertedTracks {
  public:
    ConvertedTracks() = default;
    ~ConvertedTracks();
    ConvertedTracks(const ConvertedTracks&) = delete;
    ConvertedTracks& operator=(const ConvertedTracks&) = delete;

    // True when `target` now holds a kept conversion of `source` in its
    // present state that is what converting it under `limit` would write.
    bool reuse(const std::filesystem::path& source, const ConversionLimit& limit,
               const std::filesystem::path& target) const;

    // Keeps the conversion of `source` just written to `converted` under
    // `limit`, `before` being the source's state when the conversion began.
    // A conversion that cannot be kept (no room, no links) is only not reused.
    void keep(const std::filesystem::path& source, const SourceState& before,
              const ConversionLimit& limit, const std::filesystem::path& converted);

  private:
    struct Kept {
        SourceState state;  // the device and inode say which file it is
        ConversionLimit limit;
        std::filesystem::path file;
        int64_t sizeBytes = 0;
    };
    static bool serves(const Kept& kept, const ConversionLimit& limit);

    std::vector<Kept> kept_;
};

}  // namespace velmora
