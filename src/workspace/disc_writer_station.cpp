#include "workspace/disc_writer_station.h"

#include <vector>

#include "base/notifier.h"
#include "disc/burn_engine.h"
#include "outside/libburn_disc_writer.h"

namespace velmora {

namespace {

// An image file's engine shows its progress, but not its one pseudo-writer:
// the writer list stays the drives'.
class ProgressOnlyDisplay final : public BurnDisplay {
  public:
    explicit ProgressOnlyDisplay(BurnDisplay& display) : display_(display) {}
    void setWriterNames(const std::vector<std::string>&, int) override {}
    void setMediumText(std::string_view) override {}
    void setSpeedList(const std::vector<SpeedEntry>&, int) override {}
    void setMainLabel(std::string_view text) override { display_.setMainLabel(text); }
    void setDetailLabel(std::string_view text) override { display_.setDetailLabel(text); }
    void setMainBar(int value) override { display_.setMainBar(value); }
    void setDetailBar(int value) override { display_.setDetailBar(value); }
    void setButtonCaption(std::string_view caption) override {
        display_.setButtonCaption(caption);
    }
    void burnStarted() override { display_.burnStarted(); }
    void burnEnded() override { display_.burnEnded(); }

  private:
    BurnDisplay& display_;
};

}  // namespace

DiscWriterStation::DiscWriterStation(const Log& log, Notifier& notifier, BurnDisplay& display,
                                     WriteFinished writeFinished, std::string imageProgram)
    : log_(log),
      notifier_(notifier),
      display_(display),
      writeFinished_(std::move(writeFinished)),
      imageProgram_(std::move(imageProgram)) {
    thread_ = std::thread([this] { run(); });
}

DiscWriterStation::~DiscWriterStation() {
    abort();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    // The engines wait for their writes and give the drives back.
    imageEngine_.reset();
    diskEngine_.reset();
}

void DiscWriterStation::post(Task task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_all();
}

void DiscWriterStation::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty()) return;  // stopping, with nothing left to do
        Task task = std::move(tasks_.front());
        tasks_.pop_front();
        ++running_;
        lock.unlock();
        task();
        lock.lock();
        --running_;
        wake_.notify_all();
    }
}

void DiscWriterStation::waitUntilIdle() {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return tasks_.empty() && running_ == 0; });
}

BurnEngine& DiscWriterStation::diskEngine() {
    if (!diskEngine_) {
        diskWriter_ = std::make_unique<LibburnDiscWriter>(log_, std::filesystem::path(),
                                                          imageProgram_);
        diskEngine_ = std::make_unique<BurnEngine>(diskWriter_.get(), notifier_, log_, display_);
    }
    return *diskEngine_;
}

void DiscWriterStation::refresh() {
    post([this] {
        // Writes run on this thread too, so none runs now.
        BurnEngine& engine = diskEngine();
        engine.unloadBurnEngine();
        if (!engine.initBurnEngine()) {
            display_.setWriterNames({}, -1);
            writerCount_ = 0;
            return;
        }
        writerCount_ = engine.writerCount();
        if (writerCount_ > 0) engine.checkMedia(BurnEngine::CheckMode::Silent);
    });
}

void DiscWriterStation::selectWriter(int index) {
    post([this, index] {
        BurnEngine& engine = diskEngine();
        engine.selectWriter(index);
        engine.checkMedia(BurnEngine::CheckMode::Silent);
    });
}

void DiscWriterStation::selectSpeed(int index) {
    post([this, index] { diskEngine().selectSpeed(index); });
}

void DiscWriterStation::checkMedia(MediaChecked answer) {
    post([this, answer = std::move(answer)] {
        BurnEngine& engine = diskEngine();
        engine.initBurnEngine();
        answer(engine.checkMedia(BurnEngine::CheckMode::Warn));
    });
}

BurnEngine* DiscWriterStation::imageEngine(const std::filesystem::path& imageFile) {
    imageEngine_.reset();  // the last image's write has ended: it reported
    imageWriter_ = std::make_unique<LibburnDiscWriter>(log_, imageFile, imageProgram_);
    imageDisplay_ = std::make_unique<ProgressOnlyDisplay>(display_);
    imageEngine_ =
        std::make_unique<BurnEngine>(imageWriter_.get(), notifier_, log_, *imageDisplay_);
    if (!imageEngine_->initBurnEngine()) return nullptr;
    return imageEngine_.get();
}

void DiscWriterStation::write(const WriteRequest& request) {
    writing_ = true;
    {
        std::lock_guard lock(abortMutex_);
        abortPending_ = false;
    }
    post([this, request] { writeOnThread(request); });
}

void DiscWriterStation::writeOnThread(const WriteRequest& request) {
    BurnEngine* engine = nullptr;
    if (request.target == WriteTarget::ImageFile) {
        engine = imageEngine(request.imageFile);
    } else {
        engine = &diskEngine();
        engine->initBurnEngine();
    }
    int status = kWriteNotStarted;
    if (engine != nullptr) {
        // A quiet success leaves "Burn finished!" out (an image's always:
        // it is no disc); nothing powers off here.
        const bool quiet =
            !request.announceSuccess || request.target == WriteTarget::ImageFile;
        engine->setShutdownAfter(quiet, nullptr, {});
        const bool started = engine->startBurn(request.folder, request.volumeLabel);
        bool abortNow = false;
        if (started) {
            std::lock_guard lock(abortMutex_);
            activeEngine_ = engine;
            abortNow = abortPending_;
        }
        if (abortNow) engine->abortBurn();
        // A write that started ends with its completion; a start the
        // library refused (on a ready medium) has reported its status.
        if (started || engine->mediaReady()) status = engine->waitForBurn();
        std::lock_guard lock(abortMutex_);
        activeEngine_ = nullptr;
    } else {
        notifier_.show("The ISO image cannot be written: the disc writing library cannot start.",
                       "Velmora", NotifierIcon::Warning);
    }
    writing_ = false;
    if (writeFinished_) writeFinished_(status);
}

void DiscWriterStation::abort() {
    std::lock_guard lock(abortMutex_);
    if (activeEngine_ != nullptr)
        activeEngine_->abortBurn();
    else
        abortPending_ = true;
}

}  // namespace velmora
