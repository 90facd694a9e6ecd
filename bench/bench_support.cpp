#include "bench/bench_support.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "image/headless_qt.h"

namespace velmora::bench {

namespace {

// Smooth random values on a grid of `cell`-pixel squares, interpolated
// bilinearly: one octave of value noise, −1..1.
class ValueNoise {
  public:
    ValueNoise(int width, int height, int cell, uint32_t seed)
        : cell_(cell), columns_(width / cell + 2) {
        uint32_t state = seed;
        values_.resize(size_t(columns_) * size_t(height / cell + 2));
        for (float& value : values_) {
            state = state * 1664525u + 1013904223u;
            value = float(state >> 8) / float(1 << 23) - 1.0f;
        }
    }
    float at(int x, int y) const {
        const int gx = x / cell_, gy = y / cell_;
        const float fx = float(x % cell_) / float(cell_), fy = float(y % cell_) / float(cell_);
        const float* top = &values_[size_t(gy) * size_t(columns_) + size_t(gx)];
        const float* bottom = top + columns_;
        const float upper = top[0] + (top[1] - top[0]) * fx;
        const float lower = bottom[0] + (bottom[1] - bottom[0]) * fx;
        return upper + (lower - upper) * fy;
    }

  private:
    int cell_;
    int columns_;
    std::vector<float> values_;
};

// Hard edges of every size, as buildings, branches and leaves give a photo.
void drawShapes(QImage& image, uint32_t seed) {
    uint32_t state = seed;
    auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return int((state >> 8) % uint32_t(range));
    };
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const int width = image.width(), height = image.height();
    for (int i = 0; i < 4000; ++i) {
        const int size = 8 + next(i < 100 ? 900 : i < 1000 ? 200 : 40);
        painter.setBrush(QColor(next(256), next(256), next(256), 90 + next(166)));
        const QRect box(next(width), next(height), size, size * (1 + next(3)) / 2);
        if (i % 3 == 0)
            painter.drawEllipse(box);
        else if (i % 3 == 1)
            painter.drawRect(box);
        else
            painter.drawPolygon(QPolygon({box.topLeft(), box.bottomRight(), box.bottomLeft()}));
    }
}

}  // namespace

void writePhoto(const std::filesystem::path& file, int width, int height, int scene) {
    // Detail at every scale, as in a photo of a landscape: large areas of
    // colour, shapes, texture, and a little sensor grain.
    const int cells[] = {1500, 400, 100, 25, 6};
    const float weights[] = {70, 40, 22, 12, 6};
    std::vector<ValueNoise> octaves;
    for (int i = 0; i < 5; ++i)
        octaves.emplace_back(width, height, cells[i], uint32_t(scene * 7919 + i * 104729 + 1));
    const ValueNoise hue(width, height, 800, uint32_t(scene + 99));
    QImage image(width, height, QImage::Format_RGB32);
    uint32_t grain = uint32_t(scene) * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        const float sky = 60.0f * float(height - y) / float(height);
        for (int x = 0; x < width; ++x) {
            float light = 110 + sky;
            for (int i = 0; i < 5; ++i)
                light += weights[i] * octaves[size_t(i)].at(x, y);
            grain = grain * 1664525u + 1013904223u;
            light += float(int(grain >> 28) - 8);
            const float tint = 50.0f * hue.at(x, y);
            row[x] = qRgb(std::clamp(int(light + tint), 0, 255), std::clamp(int(light), 0, 255),
                          std::clamp(int(light - tint + sky * 0.5f), 0, 255));
        }
    }
    drawShapes(image, uint32_t(scene) + 17);
    QImageWriter writer(QString::fromStdString(file.string()), "jpeg");
    writer.setQuality(90);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::exit(1);
    }
}

ChildResult inChild(const std::function<std::vector<double>()>& work) {
    int channel[2];
    if (pipe(channel) != 0) std::exit(1);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        int argc = 1;
        char name[] = "velmora-bench";
        char* argv[] = {name, nullptr};
        prepareHeadlessQt();
        QGuiApplication application(argc, argv);
        const std::vector<double> values = work();
        const size_t count = values.size();
        bool written = write(channel[1], &count, sizeof count) == ssize_t(sizeof count);
        for (double value : values)
            written = written && write(channel[1], &value, sizeof value) == ssize_t(sizeof value);
        std::fflush(nullptr);
        _exit(written ? 0 : 1);
    }
    close(channel[1]);
    ChildResult result;
    size_t count = 0;
    bool ok = read(channel[0], &count, sizeof count) == ssize_t(sizeof count);
    for (size_t i = 0; ok && i < count; ++i) {
        double value = 0;
        ok = read(channel[0], &value, sizeof value) == ssize_t(sizeof value);
        result.values.push_back(value);
    }
    close(channel[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!ok || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "a benchmark child failed\n");
        std::exit(1);
    }
    result.peakKilobytes = usage.ru_maxrss;
    return result;
}

std::filesystem::path workFolder(int argc, char** argv, const std::string& name) {
    const std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::temp_directory_path() /
                       ("velmora-" + name + "-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double secondsSince(double start) {
    return now() - start;
}

int runProgram(const std::vector<std::string>& arguments, std::string* errors) {
    int channel[2];
    if (pipe(channel) != 0) return -1;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        close(channel[0]);
        dup2(channel[1], STDERR_FILENO);
        std::vector<char*> argv;
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(channel[1]);
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, size_t(got));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (errors != nullptr) *errors = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace velmora::bench
