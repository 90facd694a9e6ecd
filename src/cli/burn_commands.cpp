#include "cli/burn_commands.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <thread>

#include "base/path_text.h"
#include "cli/interruption.h"
#include "disc/burn_engine.h"
#include "interfaces/run_result.h"
#include "outside/libburn_disc_writer.h"
#include "workspace/application.h"

namespace velmora::cli {

namespace fs = std::filesystem;

namespace {

// The write's progress on one terminal line; the lists go nowhere.
class TerminalBurnDisplay final : public BurnDisplay {
  public:
    explicit TerminalBurnDisplay(bool interactive) : interactive_(interactive) {}
    void setWriterNames(const std::vector<std::string>&, int) override {}
    void setMediumText(std::string_view) override {}
    void setSpeedList(const std::vector<SpeedEntry>&, int) override {}
    void setMainLabel(std::string_view) override {}
    void setDetailLabel(std::string_view) override {}
    void setDetailBar(int) override {}
    void setButtonCaption(std::string_view) override {}
    void burnStarted() override {}
    void burnEnded() override {
        std::lock_guard lock(mutex_);
        if (interactive_ && drawn_) std::fputc('\n', stderr);
    }
    void setMainBar(int value) override {
        std::lock_guard lock(mutex_);
        const int percent = value * 100 / 65535;
        if (!interactive_ || percent == lastPercent_) return;
        lastPercent_ = percent;
        drawn_ = true;
        std::fprintf(stderr, "\rWriting the disc  %3d%%", percent);
        std::fflush(stderr);
    }

  private:
    std::mutex mutex_;
    bool interactive_;
    bool drawn_ = false;
    int lastPercent_ = -1;
};

int fail(const std::string& reason) {
    std::cerr << "velmora-cli: " << reason << '\n';
    return 1;
}

// The writer whose name holds `device`; −1 when none does.
int findWriter(DiscWriterLibrary& writer, const std::string& device) {
    for (int i = 0; i < writer.dvdWritersCount(); ++i) {
        if (writer.dvdWriterName(i).find(device) != std::string::npos) return i;
    }
    return -1;
}

int selectSpeed(BurnEngine& engine, int kilobytesPerSecond) {
    const auto& speeds = engine.speeds();
    for (size_t i = 0; i < speeds.size(); ++i) {
        if (speeds[i].kilobytesPerSecond == kilobytesPerSecond) {
            engine.selectSpeed(int(i));
            return 0;
        }
    }
    std::string offered;
    for (const SpeedEntry& speed : speeds)
        offered += " " + std::to_string(speed.kilobytesPerSecond);
    return fail("the writer does not offer " + std::to_string(kilobytesPerSecond) +
                " KB/s; it offers" + offered);
}

// The writer set up as the request asks; 0, else the command's result.
int prepareWriter(BurnEngine& engine, DiscWriterLibrary& writer, const BurnRequest& request) {
    if (!engine.initBurnEngine()) return fail("the disc writing library cannot be started");
    if (engine.writerCount() == 0)
        return fail("no DVD writer was found on this computer (use --iso FILE for an image)");
    if (!request.device.empty()) {
        const int index = findWriter(writer, request.device);
        if (index < 0) return fail("no DVD writer is named like \"" + request.device + "\"");
        engine.selectWriter(index);
    }
    if (request.speedKilobytesPerSecond) {
        engine.checkMedia(BurnEngine::CheckMode::Silent);
        if (selectSpeed(engine, *request.speedKilobytesPerSecond) != 0) return 1;
    }
    return 0;
}

}  // namespace

int burnFolder(Application& app, const BurnRequest& request) {
    const fs::path folder = fs::absolute(request.folder);
    if (!fs::is_directory(folderHoldingVideoTs(folder) / "VIDEO_TS"))
        return fail(quotedPath(folder) + " holds no VIDEO_TS folder");
    if (!request.imageFile.empty()) {
        const std::string problem = isoTargetProblem(request.imageFile, request.force);
        if (!problem.empty()) return fail(problem);
    }
    LibburnDiscWriter writer(
        app.log, request.imageFile.empty() ? fs::path() : fs::absolute(request.imageFile));
    TerminalBurnDisplay display(isatty(STDERR_FILENO) != 0);
    BurnEngine engine(&writer, app.context.notifier, app.log, display);
    if (const int prepared = prepareWriter(engine, writer, request); prepared != 0) return prepared;

    // Interrupted before the write began: nothing is touched.
    if (interruptRequested()) return kCancelled;
    if (!engine.startBurn(folder, request.label)) return fail("the disc was not written");
    while (engine.burning()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (interruptRequested()) engine.abortBurn();
    }
    if (engine.waitForBurn() == kWriteSucceeded) {
        if (!request.imageFile.empty())
            std::cout << "ISO image: " << fs::absolute(request.imageFile).string() << '\n';
        return 0;
    }
    return interruptRequested() ? kCancelled : kFailed;
}

int listDevices(Application& app) {
    LibburnDiscWriter writer(app.log);
    if (writer.init() != 0) return fail("the disc writing library cannot be started");
    const int count = writer.dvdWritersCount();
    if (count == 0) std::cout << "No DVD writer was found on this computer.\n";
    for (int i = 0; i < count; ++i) {
        writer.setWriter(i);
        const int type = writer.mediaType();
        std::cout << i << ": " << writer.dvdWriterName(i)
                  << "\n   medium: " << (type == 0 ? std::string("none") : mediaTypeText(type))
                  << "\n   speeds:";
        const std::vector<int> speeds = writer.writeSpeeds();
        if (speeds.empty()) std::cout << " (none reported)";
        for (int speed : speeds)
            std::cout << ' ' << speed << " KB/s";
        std::cout << '\n';
    }
    writer.free();
    return 0;
}

}  // namespace velmora::cli
