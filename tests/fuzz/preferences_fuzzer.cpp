// The preferences reader on arbitrary file contents: the bytes are written
// as the preferences file, read (which rewrites the file) and read again.
// Whatever the file held, reading ends with a file the next start reads.

#include <unistd.h>

#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/random_generator.h"
#include "model/preferences.h"

namespace {

std::filesystem::path preferencesFile() {
    static const std::filesystem::path file = [] {
        const std::filesystem::path base = std::filesystem::exists("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        const auto folder = base / ("velmora-fuzz-prefs-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
        return folder / "referenceFile.xml";
    }();
    return file;
}

void check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path file = preferencesFile();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    velmora::RandomGenerator random(1);
    const velmora::PreferencesFile preferencesFile(file);
    velmora::Preferences first = velmora::Preferences::initial("/u", "/r/res/defaultImage.bmp");
    const int result = preferencesFile.loadPreferences(first, random);
    check(result == 0 || result == -1);
    check(first.defaults.effect.transition != nullptr);
    if (result == 0) {
        // What was written must read back whole and count one more start.
        velmora::Preferences second =
            velmora::Preferences::initial("/u", "/r/res/defaultImage.bmp");
        check(preferencesFile.loadPreferences(second, random) == 0);
        const int64_t next = int64_t(first.runCount) + 1;
        check(second.runCount == (next > INT_MAX ? 3 : next));
        check(second.aspectRatio == first.aspectRatio && second.nationName == first.nationName);
    }
    return 0;
}
