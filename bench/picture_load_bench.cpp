// How much the reduced-size path saves when a large photo is fitted to the
// frame: a 6000 × 4000 JPEG fitted to 755 × 566 (a PAL pan), once decoded at
// a reduced DCT scale and resampled, once decoded whole and resampled. Each
// path runs in a child process of its own so that its peak memory can be
// read from the kernel; the report gives both times, both peaks and the
// ratio full / reduced.
//
//   picture_load_bench [repetitions] [photo.jpg]
//
// Without a photo of your own, a synthetic 6000 × 4000 one is written first.

#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "image/picture_loader.h"

namespace {

using namespace velmora;
namespace fs = std::filesystem;

constexpr QSize kPhotoSize(6000, 4000);
constexpr QSize kFittedSize(755, 566);

struct Measurement {
    double medianMilliseconds = 0;
    long peakKilobytes = 0;
};

// Runs `work` `repetitions` times in a child process: the median time and
// the child's peak resident size.
Measurement inChild(int repetitions, const std::function<void()>& work) {
    const bench::ChildResult result = bench::inChild([&] {
        std::vector<double> times;
        for (int i = 0; i < repetitions; ++i) {
            const double start = bench::now();
            work();
            times.push_back(bench::secondsSince(start) * 1000.0);
        }
        std::sort(times.begin(), times.end());
        return std::vector<double>{times.empty() ? 0 : times[times.size() / 2]};
    });
    return {result.values.at(0), result.peakKilobytes};
}

void expectFitted(const Picture& picture, const std::string& reason) {
    if (picture.size() != kFittedSize) {
        std::fprintf(stderr, "load failed: %s\n", reason.c_str());
        std::exit(1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const fs::path folder =
        fs::temp_directory_path() / ("velmora-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path photo = argc > 2 ? fs::path(argv[2]) : folder / "photo.jpg";
    if (argc <= 2) {
        inChild(1, [&] { bench::writePhoto(photo, kPhotoSize.width(), kPhotoSize.height()); });
    }

    const Measurement baseline = inChild(1, [] {});
    const Measurement reduced = inChild(repetitions, [&] {
        std::string reason;
        expectFitted(loadPictureScaled(photo, ImageType::Jpeg, kFittedSize, &reason), reason);
    });
    const Measurement full = inChild(repetitions, [&] {
        std::string reason;
        const Picture whole = loadPicture(photo, ImageType::Jpeg, &reason);
        expectFitted(whole.downscaled(kFittedSize), reason);
    });
    auto megabytes = [&](const Measurement& m) {
        return (m.peakKilobytes - baseline.peakKilobytes) / 1024.0;
    };
    std::printf("%s (%.1f MB) fitted to 755 x 566, median of %d runs\n",
                argc > 2 ? photo.c_str() : "synthetic 6000 x 4000 JPEG",
                double(fs::file_size(photo)) / (1024 * 1024), repetitions);
    std::printf("  reduced-size decode + resample: %8.1f ms, peak %7.1f MB above a bare process\n",
                reduced.medianMilliseconds, megabytes(reduced));
    std::printf("  full decode + resample:         %8.1f ms, peak %7.1f MB above a bare process\n",
                full.medianMilliseconds, megabytes(full));
    std::printf("  time ratio full / reduced: %.2f (reduced takes %.0f%% of the full time)\n",
                full.medianMilliseconds / reduced.medianMilliseconds,
                100.0 * reduced.medianMilliseconds / full.medianMilliseconds);
    fs::remove_all(folder);
    return 0;
}
