#include "disc/burn_engine.h"

#include <array>
#include <cstdio>

#include "base/log.h"
#include "base/notifier.h"
#include "disc/shutdown_countdown.h"
#include "interfaces/disc_writer_library.h"

namespace velmora {

namespace fs = std::filesystem;

namespace {

constexpr int kFastest = 0xFFFF;

struct MediaType {
    int type;
    const char* text;
    bool writable;
};
constexpr std::array<MediaType, 20> kMediaTypes = {{
    {8, "CD-ROM", false},
    {9, "CD-R", false},
    {10, "CD-RW", false},
    {16, "DVD-ROM", false},
    {17, "DVD-R", true},
    {18, "DVD-RAM", true},
    {19, "DVD-RW Restricted Overwrite", true},
    {20, "DVD-RW Sequential", true},
    {21, "Dual Layer DVD-R", false},
    {22, "Dual Layer DVD-R Jump Recording", true},
    {26, "DVD+RW", true},
    {27, "DVD+R", true},
    {32, "Double Density CD-ROM", false},
    {33, "Double Density CD-R", false},
    {34, "Double Density CD-RW", false},
    {42, "Dual Layer DVD+RW", true},
    {43, "Dual Layer DVD+R", true},
    {128, "HD Burn CD-ROM", false},
    {129, "HD Burn CD-R", false},
    {130, "HD Burn CD-RW", false},
}};

const MediaType* findMediaType(int type) {
    for (const MediaType& entry : kMediaTypes) {
        if (entry.type == type) return &entry;
    }
    return nullptr;
}

// The drive's multiplier for a speed: the first bound the speed does not
// exceed.
double speedMultiplier(int kilobytesPerSecond) {
    constexpr std::pair<int, double> kBounds[] = {
        {1022, 0.5},   {1706, 1.0},   {2390, 1.5},  {3007, 2.0},  {4366, 2.4},
        {6150, 4.0},   {7518, 5.0},   {9563, 6.0},  {12300, 8.0}, {15037, 10.0},
        {19126, 12.0}, {24059, 16.0}, {30073, 20.0}};
    for (const auto& [bound, multiplier] : kBounds) {
        if (kilobytesPerSecond <= bound) return multiplier;
    }
    return 24.0;
}

constexpr std::array<const char*, 17> kStatusTexts = {
    "Write init ok - write process has started",
    "Write Failed - No files in the folder",
    "Write Failed - IFO / BUP are missing",
    "Write Failed - IFO contains invalid data. Will not work on some dvd players",
    "Write Failed - Access to files can't be gained",
    "Write Failed - Files are too big to fit on a DVD+/-R(W)",
    "Write Failed - Media is not ready to be written",
    "Write Failed - Erasing a RW media has failed",
    "Write Failed - There is not enough space in temp folder to setup the temp file",
    "Write Failed - Image can't be built - lot of cause, including impossibility to create a "
    "temp file.",
    "Write Failed - Formatting media has failed",
    "Write Failed - Device is busy",
    "Write Failed - initialization of the writing device has failed",
    "Write Failed -  Failed to start the data buffering. Probably a windows out of memory",
    "Write Failed - Media is bad",
    "Write maybe good but Finalization process has failed",
    "Write Failed - write error or aborted by user",
};

}  // namespace

std::string mediaTypeText(int mediaType) {
    const MediaType* entry = findMediaType(mediaType);
    return entry != nullptr ? entry->text : "Unknown type";
}

bool isWritableMediaType(int mediaType) {
    const MediaType* entry = findMediaType(mediaType);
    return entry != nullptr && entry->writable;
}

std::string speedText(int kilobytesPerSecond) {
    if (kilobytesPerSecond >= kFastest) return "Max";
    const double multiplier = speedMultiplier(kilobytesPerSecond);
    char text[96];
    std::snprintf(text, sizeof text, "x%.1f (%d KB/s) - Ref x1 = %.1f", multiplier,
                  kilobytesPerSecond, kilobytesPerSecond / multiplier);
    return text;
}

std::string writeStatusText(int status) {
    if (status == kWriteSucceeded) return {};
    if (status >= 0 && status < int(kStatusTexts.size())) return kStatusTexts[size_t(status)];
    return "Unknown write completion status";
}

fs::path folderHoldingVideoTs(const fs::path& path) {
    const std::string text = fs::absolute(path).string();
    const size_t at = text.find("VIDEO_TS");
    return at == std::string::npos ? fs::path(text) : fs::path(text.substr(0, at));
}

BurnEngine::BurnEngine(DiscWriterLibrary* library, Notifier& notifier, const Log& log,
                       BurnDisplay& display)
    : library_(library), notifier_(notifier), log_(log), display_(display) {}

BurnEngine::~BurnEngine() {
    unloadBurnEngine();
}

bool BurnEngine::initBurnEngine() {
    if (initialised_) return true;
    if (library_ == nullptr || library_->init() != 0) return false;
    initialised_ = true;
    library_->registerCallback([this](WriterEvent event, int64_t value, std::string_view) {
        onEvent(static_cast<int>(event), value);
    });
    fillWriterList();
    if (writerCount_ > 0) selectWriter(0);
    library_->setEnablePolling(true);
    return true;
}

void BurnEngine::unloadBurnEngine() {
    if (!initialised_) return;
    if (burning_) {
        library_->abortWrite();
        waitForBurn();
    }
    library_->free();
    initialised_ = false;
}

void BurnEngine::fillWriterList() {
    if (!initialised_) return;
    writerCount_ = library_->dvdWritersCount();
    std::vector<std::string> names;
    for (int i = 0; i < writerCount_; ++i)
        names.push_back(library_->dvdWriterName(i));
    display_.setWriterNames(names, writerCount_ > 0 ? 0 : -1);
}

void BurnEngine::selectWriter(int index) {
    if (initialised_ && index >= 0 && index < writerCount_) library_->setWriter(index);
}

void BurnEngine::warn(const std::string& text) {
    notifier_.show(text, "Warning", NotifierIcon::Warning);
}

bool BurnEngine::checkMedia(CheckMode mode) {
    const bool loud = mode == CheckMode::Warn;
    if (!initialised_) {
        if (loud) warn("No select dvd writer! Disk inserted type is 0");
        return mediaReady_ = false;
    }
    const int type = library_->mediaType();
    const int status = library_->mediaStatus();
    display_.setMediumText(mediaTypeText(type));
    if (loud) log_.writeLog("vso burn core, Check Inerted Media type:" + std::to_string(status));
    switch (status) {
        case kNoWriterSelected:
            fillSpeedList();
            if (loud) warn("No select dvd writer! Disk inserted type is " + std::to_string(type));
            mediaReady_ = false;
            break;
        case 0:
        case 1:
            fillSpeedList();
            mediaReady_ = true;
            break;
        case kMediaNoMedium:
            if (loud) warn("No media inserted!");
            mediaReady_ = false;
            break;
        case kMediaNotWritable:
            fillSpeedList();
            if (loud) warn("Disk inserted is not writable!");
            mediaReady_ = false;
            break;
        case kMediaNotDvd:
            fillSpeedList();
            if (loud)
                warn("Media inserted is not a DVD! Disk inserted type is " + std::to_string(type));
            mediaReady_ = false;
            break;
        default:
            break;
    }
    if (loud && mediaReady_ && !isWritableMediaType(type)) {
        notifier_.show("Inserted media is not writable DVD Disk!", "Velmora",
                       NotifierIcon::Warning);
        log_.writeLog("vso burn core, confirm Inerted Media is not a dvd");
        mediaReady_ = false;
    }
    return mediaReady_;
}

void BurnEngine::fillSpeedList() {
    speeds_.clear();
    const std::vector<int> offered = library_->writeSpeeds();
    for (size_t i = 0; i < offered.size() && i < 50 && offered[i] != 0; ++i) {
        std::string text = speedText(offered[i]);
        if (i == 0) text += " - recommended";
        speeds_.push_back({text, offered[i]});
    }
    speeds_.insert(speeds_.begin(), {"Max", kFastest});
    selectedSpeed_ = 0;
    display_.setSpeedList(speeds_, 0);
}

void BurnEngine::selectSpeed(int index) {
    if (index >= 0 && index < int(speeds_.size())) selectedSpeed_ = index;
}

void BurnEngine::setShutdownAfter(bool on, Shutdown* shutdown, std::function<bool()> saveProject) {
    shutdownAfter_ = on;
    shutdown_ = shutdown;
    saveProject_ = std::move(saveProject);
}

bool BurnEngine::startBurn(const fs::path& path, const std::string& volumeLabel) {
    log_.writeLog("burn output path: " + path.string());
    if (!checkMedia(CheckMode::Warn)) return false;
    display_.setButtonCaption("Cancel");
    display_.burnStarted();
    burning_ = true;
    log_.writeLog("vso burn core, init ok begin write");
    mainBarPosition_ = 0;
    display_.setMainBar(0);
    {
        std::lock_guard lock(finishedMutex_);
        writing_ = true;
        lastStatus_ = -1;
    }
    display_.setMainLabel(" Burning...");
    const int speed =
        speeds_.empty() ? kFastest : speeds_[size_t(selectedSpeed_)].kilobytesPerSecond;
    library_->setWriteSpeed(speed);
    if (library_->startWriting(folderHoldingVideoTs(path), volumeLabel) != 0) {
        // The library refused at once: no completion will come.
        writeFinished(12);
        return false;
    }
    return true;
}

void BurnEngine::abortBurn() {
    if (!burning_ || abortRequested_) return;
    abortRequested_ = true;
    // Before the first progress the write cannot be stopped yet; the first
    // progress event stops it.
    if (mainBarPosition_ != 0) library_->abortWrite();
    display_.setButtonCaption("Stoping");
}

void BurnEngine::onEvent(int event, int64_t value) {
    switch (static_cast<WriterEvent>(event)) {
        case WriterEvent::NewMediaInserted:
        case WriterEvent::MediaRemoved:
            checkMedia(CheckMode::Silent);
            break;
        case WriterEvent::Writing:
            mainBarPosition_ = static_cast<int>(value);
            display_.setMainBar(static_cast<int>(value));
            if (abortRequested_) library_->abortWrite();
            break;
        case WriterEvent::Finished:
            writeFinished(static_cast<int>(value));
            break;
        case WriterEvent::NumberOfDevicesChanged:
            fillWriterList();
            break;
        default:
            break;
    }
}

void BurnEngine::restoreIdle() {
    display_.setMainLabel("Main progress:");
    display_.setDetailLabel("Detail progress:");
    display_.setMainBar(0);
    display_.setDetailBar(0);
    burning_ = false;
    display_.burnEnded();
}

// Every ending returns to idle, whatever the status: a failed write must
// not leave the project commands locked.
void BurnEngine::writeFinished(int status) {
    if (status != kWriteSucceeded)
        notifier_.show(writeStatusText(status), "Velmora", NotifierIcon::Information);
    abortRequested_ = false;
    display_.setButtonCaption("Make DVD");
    restoreIdle();
    if (status == kWriteSucceeded) {
        if (shutdownAfter_)
            runShutdownCountdown(shutdown_, saveProject_);
        else
            notifier_.show("Burn finished!", "Velmora", NotifierIcon::Information);
    }
    log_.writeLog("vso burn core, End write Status:" + std::to_string(status));
    {
        std::lock_guard lock(finishedMutex_);
        writing_ = false;
        lastStatus_ = status;
    }
    finishedChanged_.notify_all();
}

int BurnEngine::waitForBurn() {
    std::unique_lock lock(finishedMutex_);
    finishedChanged_.wait(lock, [this] { return !writing_; });
    return lastStatus_;
}

}  // namespace velmora
