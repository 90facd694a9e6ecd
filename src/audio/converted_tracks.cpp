#include "audio/converted_tracks.h"

#include <string>
#include <system_error>

namespace velmora {

namespace fs = std::filesystem;

namespace {

// The converter's one format, 224 kbit/s at 48 kHz, is 28 bytes a
// millisecond in frames of 672 bytes that are never padded: a conversion's
// size says to the sample how much sound it holds.
constexpr int64_t kMp2BytesPerMillisecond = 224000 / 8 / 1000;

int64_t limitMilliseconds(const ConversionLimit& limit) {
    return int64_t(limit.maxSeconds) * 1000 + int64_t(limit.extraMilliseconds);
}

// Whether a limit cuts sound of `heldMilliseconds`: the converter stops
// taking sound at the limit, so a conversion shorter than it was not cut.
bool cuts(const ConversionLimit& limit, int64_t heldMilliseconds) {
    const int64_t limitMs = limitMilliseconds(limit);
    return limitMs > 0 && heldMilliseconds >= limitMs;
}

bool sameLimit(const ConversionLimit& a, const ConversionLimit& b) {
    return a.maxSeconds == b.maxSeconds && a.fadeOutSeconds == b.fadeOutSeconds &&
           a.extraMilliseconds == b.extraMilliseconds;
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

int64_t sizeOf(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? -1 : int64_t(size);
}

// `target` as a link to `file`, or a copy where links cannot be made.
bool placeAt(const fs::path& file, const fs::path& target) {
    std::error_code error;
    fs::remove(target, error);
    fs::create_hard_link(file, target, error);
    if (error) fs::copy_file(file, target, fs::copy_options::overwrite_existing, error);
    if (error) fs::remove(target, error);
    return !error;
}

}  // namespace

std::optional<SourceState> SourceState::of(const fs::path& source) {
    struct stat status {};
    if (::stat(source.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return SourceState{status.st_dev, status.st_ino, int64_t(status.st_size), status.st_mtim,
                       status.st_ctim};
}

bool SourceState::operator==(const SourceState& other) const {
    return device == other.device && inode == other.inode && sizeBytes == other.sizeBytes &&
           sameTime(modified, other.modified) && sameTime(changed, other.changed);
}

ConvertedTracks::~ConvertedTracks() {
    std::error_code ignored;
    for (const Kept& kept : kept_)
        fs::remove(kept.file, ignored);
}

// A conversion under another limit serves when neither limit cuts the
// sound: both are then the whole source. This is what lets the slideshow
// (no limit) take the menu's conversion (cut at two minutes) of music that
// is shorter than that.
bool ConvertedTracks::serves(const Kept& kept, const ConversionLimit& limit) {
    if (sameLimit(kept.limit, limit)) return true;
    const int64_t heldMilliseconds = kept.sizeBytes / kMp2BytesPerMillisecond;
    return !cuts(kept.limit, heldMilliseconds) && !cuts(limit, heldMilliseconds);
}

bool ConvertedTracks::reuse(const fs::path& source, const ConversionLimit& limit,
                            const fs::path& target) const {
    const std::optional<SourceState> now = SourceState::of(source);
    if (!now) return false;
    for (const Kept& kept : kept_) {
        // The size guards against a kept file shortened behind our back.
        if (kept.state == *now && serves(kept, limit) && sizeOf(kept.file) == kept.sizeBytes)
            return placeAt(kept.file, target);
    }
    return false;
}

void ConvertedTracks::keep(const fs::path& source, const SourceState& before,
                           const ConversionLimit& limit, const fs::path& converted) {
    // A source rewritten while it was read may have given a mix of both.
    if (SourceState::of(source) != before) return;
    const int64_t sizeBytes = sizeOf(converted);
    if (sizeBytes <= 0) return;
    // ".kept" is no name a track's conversion, a soundtrack or a partial
    // file is given.
    const fs::path file = converted.parent_path() / (converted.filename().string() + "." +
                                                     std::to_string(kept_.size()) + ".kept");
    if (!placeAt(converted, file)) return;
    kept_.push_back({before, limit, file, sizeBytes});
}

}  // namespace velmora
