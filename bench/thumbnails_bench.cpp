// How quickly the slideshow tab's thumbnail view fills: ThumbnailLoader
// making 160 × 120 thumbnails of N photo-like 4000 × 3000 JPEGs (300
// unless told), against libjpeg-turbo's own djpeg decoding the same files
// at 1/8 scale (its fastest reduced decode) into /dev/null, run as as many
// parallel processes as the loader has worker threads. Velmora's side runs
// in a child process with a Qt event loop, as in the window: the time to
// the first screen (the first 24 thumbnails), the time to all, and the
// longest gap between two turns of the event loop, which a 1 ms timer on
// the loader's thread measures (what a user would feel as a stuck window),
// against the same gap in an idle event loop for as long (the machine's own
// scheduling noise).
// The files are read once before the runs, so both sides decode from the
// page cache; the two sides alternate, medians of the runs.
//
// The photos are made once and kept in build/<flavour>/bench-data/thumbnails
// (remade when missing).
//
//   thumbnails_bench [--count N] [--runs R]

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "image/headless_qt.h"
#include "workspace/thumbnail_loader.h"

namespace {

using namespace velmora;
namespace fs = std::filesystem;

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr QSize kThumbnailSize(160, 120);
constexpr int kFirstScreen = 24;
constexpr int kWriters = 2;

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "thumbnails_bench: %s\n", message.c_str());
    std::exit(1);
}

struct Options {
    int count = 300;
    int runs = 3;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--count") == 0 && hasValue) {
            options.count = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--runs") == 0 && hasValue) {
            options.runs = std::max(1, std::atoi(argv[++i]));
        } else {
            fail("usage: thumbnails_bench [--count N] [--runs R]");
        }
    }
    return options;
}

// The first `count` photos of the folder, writing those that are missing
// with two child processes (a headless Qt each).
std::vector<fs::path> preparePhotos(const fs::path& folder, int count) {
    fs::create_directories(folder);
    std::vector<fs::path> photos, missing;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "photo%03d.jpg", i + 1);
        photos.push_back(folder / name);
        if (!fs::exists(photos.back())) missing.push_back(photos.back());
    }
    if (missing.empty()) return photos;
    std::printf("writing %zu photos of %d x %d into %s (once; kept for the next runs)\n",
                missing.size(), kPhotoWidth, kPhotoHeight, folder.c_str());
    std::fflush(nullptr);
    std::vector<pid_t> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        const pid_t child = fork();
        if (child < 0) fail("cannot start a photo writer");
        if (child == 0) {
            int argc = 1;
            char name[] = "thumbnails_bench";
            char* argv[] = {name, nullptr};
            prepareHeadlessQt();
            QGuiApplication application(argc, argv);
            for (size_t i = size_t(writer); i < missing.size(); i += kWriters) {
                // The scene from the number in the name, so a photo is the same whenever made.
                const int scene = std::atoi(missing[i].stem().string().c_str() + 5);
                const fs::path partial = missing[i].string() + ".part";
                bench::writePhoto(partial, kPhotoWidth, kPhotoHeight, scene);
                fs::rename(partial, missing[i]);
            }
            std::fflush(nullptr);
            _exit(0);
        }
        writers.push_back(child);
    }
    for (const pid_t writer : writers) {
        int status = 0;
        waitpid(writer, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail("a photo writer failed");
    }
    return photos;
}

// Reads every file once, so that both sides find them in the page cache.
double readAll(const std::vector<fs::path>& files) {
    std::vector<char> buffer(1 << 20);
    double megabytes = 0;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        while (in.read(buffer.data(), std::streamsize(buffer.size())) || in.gcount() > 0)
            megabytes += double(in.gcount()) / (1024.0 * 1024.0);
    }
    return megabytes;
}

// The longest time between two turns of the event loop, as a 1 ms timer on
// it sees them.
class LongestGap {
  public:
    LongestGap() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double turn = bench::now();
            longest_ = std::max(longest_, turn - last_);
            last_ = turn;
        });
    }
    void start() {
        last_ = bench::now();
        timer_.start();
    }
    double milliseconds() const { return longest_ * 1000.0; }

  private:
    QTimer timer_;
    double last_ = 0;
    double longest_ = 0;
};

// The same gap in an event loop with nothing to do for `seconds`: what the
// machine's scheduling alone costs.
double idleGapMilliseconds(double seconds) {
    return bench::inChild([seconds] {
               LongestGap gap;
               QEventLoop loop;
               QTimer::singleShot(int(seconds * 1000.0), &loop, &QEventLoop::quit);
               gap.start();
               loop.exec();
               return std::vector<double>{gap.milliseconds()};
           })
        .values.at(0);
}

struct LoaderRun {
    double firstScreenSeconds = 0;
    double allSeconds = 0;
    double longestGapMilliseconds = 0;
    int workers = 0;
    long peakKilobytes = 0;
};

// One batch of thumbnails of every file, in a child process with an event
// loop; exits the benchmark when a thumbnail is missing or of another size.
LoaderRun runLoader(const std::vector<fs::path>& files) {
    const bench::ChildResult result = bench::inChild([&files] {
        ThumbnailLoader loader;
        QEventLoop loop;
        const int firstScreen = std::min(kFirstScreen, int(files.size()));
        std::vector<bool> arrived(files.size(), false);
        int firstScreenArrived = 0;
        bool allMade = true;
        double start = 0, firstScreenAt = 0, allAt = 0;
        LongestGap gap;
        QObject::connect(&loader, &ThumbnailLoader::thumbnailReady,
                         [&](int, int index, const QImage& image) {
                             allMade = allMade && image.size() == kThumbnailSize;
                             arrived[size_t(index)] = true;
                             if (index < firstScreen && ++firstScreenArrived == firstScreen)
                                 firstScreenAt = bench::now();
                         });
        QObject::connect(&loader, &ThumbnailLoader::batchFinished, [&] {
            allAt = bench::now();
            loop.quit();
        });

        start = bench::now();
        gap.start();
        loader.load(files, kThumbnailSize);
        loop.exec();
        if (!allMade || std::count(arrived.begin(), arrived.end(), true) != int(files.size()))
            fail("the loader did not make every thumbnail at 160 x 120");
        return std::vector<double>{firstScreenAt - start, allAt - start, gap.milliseconds(),
                                   double(loader.workerCount())};
    });
    return {result.values.at(0), result.values.at(1), result.values.at(2), int(result.values.at(3)),
            result.peakKilobytes};
}

pid_t startDjpeg(const fs::path& file) {
    const pid_t child = fork();
    if (child < 0) fail("cannot start djpeg");
    if (child == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        dup2(nothing, STDOUT_FILENO);
        close(nothing);
        execlp("djpeg", "djpeg", "-scale", "1/8", "-outfile", "/dev/null", file.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// The seconds djpeg takes for every file with `parallel` processes at a time.
double runDjpeg(const std::vector<fs::path>& files, int parallel) {
    const double start = bench::now();
    size_t next = 0;
    int running = 0;
    while (next < files.size() || running > 0) {
        while (running < parallel && next < files.size()) {
            startDjpeg(files[next++]);
            ++running;
        }
        int status = 0;
        if (wait(&status) < 0) fail("lost a djpeg process");
        --running;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            fail("djpeg failed (is libjpeg-turbo-progs installed?)");
    }
    return bench::secondsSince(start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    const fs::path build = fs::read_symlink("/proc/self/exe").parent_path().parent_path();
    const double preparing = bench::now();
    const std::vector<fs::path> photos =
        preparePhotos(build / "bench-data" / "thumbnails", options.count);
    const double megabytes = readAll(photos);
    std::printf("thumbnails: %d JPEGs of %d x %d (%.0f MB, in the page cache) to %d x %d\n",
                options.count, kPhotoWidth, kPhotoHeight, megabytes, kThumbnailSize.width(),
                kThumbnailSize.height());
    std::printf("(inputs ready in %.1f s, not counted)\n", bench::secondsSince(preparing));
    std::fflush(nullptr);

    std::vector<double> firstScreen, all, gaps, djpeg;
    LoaderRun last;
    for (int run = 0; run < options.runs; ++run) {
        last = runLoader(photos);
        firstScreen.push_back(last.firstScreenSeconds);
        all.push_back(last.allSeconds);
        gaps.push_back(last.longestGapMilliseconds);
        djpeg.push_back(runDjpeg(photos, last.workers));
    }

    const double velmoraSeconds = median(all);
    const double djpegSeconds = median(djpeg);
    const double idleGap = idleGapMilliseconds(velmoraSeconds);
    std::printf(
        "ThumbnailLoader, %d worker thread(s):    %6.2f s (%.1f ms a picture), peak %ld MB\n",
        last.workers, velmoraSeconds, velmoraSeconds * 1000.0 / options.count,
        last.peakKilobytes / 1024);
    std::printf("djpeg -scale 1/8, %d process(es) at once: %6.2f s (%.1f ms a picture)\n",
                last.workers, djpegSeconds, djpegSeconds * 1000.0 / options.count);
    std::printf("ratio Velmora / djpeg:                  %6.2f\n", velmoraSeconds / djpegSeconds);
    std::printf("first screen (the first %2d thumbnails): %6.3f s\n",
                std::min(kFirstScreen, options.count), median(firstScreen));
    std::printf("longest gap between event-loop turns:   %6.1f ms (worst of the runs %.1f ms)\n",
                median(gaps), *std::max_element(gaps.begin(), gaps.end()));
    std::printf("the same in an idle event loop (%.1f s):  %6.1f ms\n", velmoraSeconds, idleGap);
    std::printf("(medians of %d runs, alternating)\n", options.runs);
    return 0;
}
