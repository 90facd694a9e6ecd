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

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image/headless_qt.h"
#include "image/picture_loader.h"

namespace {

using namespace velmora;
namespace fs = std::filesystem;

constexpr QSize kPhotoSize(6000, 4000);
constexpr QSize kFittedSize(755, 566);

// Something like a photo for the encoder: smooth gradients with fine detail,
// so the JPEG is of realistic size and decoding cost.
void writePhoto(const fs::path& file) {
    QImage image(kPhotoSize, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const double fine = std::sin(x * 0.31) * std::cos(y * 0.23) * 40.0;
            const int r = std::clamp(int(x * 255 / image.width() + fine), 0, 255);
            const int g = std::clamp(int(y * 255 / image.height() - fine), 0, 255);
            const int b = std::clamp(int(128 + fine * 2 + ((x ^ y) & 15)), 0, 255);
            row[x] = qRgb(r, g, b);
        }
    }
    QImageWriter writer(QString::fromStdString(file.string()), "jpeg");
    writer.setQuality(90);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::exit(1);
    }
}

struct Measurement {
    double medianMilliseconds = 0;
    long peakKilobytes = 0;
};

// Runs `work` `repetitions` times in a child process; the child reports the
// median time through a pipe, the kernel its peak resident size.
Measurement inChild(int repetitions, const std::function<void()>& work) {
    int channel[2];
    if (pipe(channel) != 0) std::exit(1);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        int argc = 1;
        char name[] = "picture_load_bench";
        char* argv[] = {name, nullptr};
        prepareHeadlessQt();
        QGuiApplication application(argc, argv);
        std::vector<double> times;
        for (int i = 0; i < repetitions; ++i) {
            const auto start = std::chrono::steady_clock::now();
            work();
            times.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        }
        std::sort(times.begin(), times.end());
        const double median = times.empty() ? 0 : times[times.size() / 2];
        if (write(channel[1], &median, sizeof median) != sizeof median) _exit(1);
        _exit(0);
    }
    close(channel[1]);
    Measurement measurement;
    if (read(channel[0], &measurement.medianMilliseconds, sizeof(double)) != sizeof(double)) {
        std::fprintf(stderr, "a benchmark child failed\n");
        std::exit(1);
    }
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    measurement.peakKilobytes = usage.ru_maxrss;
    return measurement;
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
    if (argc <= 2) inChild(1, [&] { writePhoto(photo); });

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
