#include "workspace/audio_preview.h"

#include "base/log.h"
#include "model/preferences.h"
#include "outside/audio_player.h"
#include "workspace/preview_timer.h"

namespace velmora {

AudioPreview::AudioPreview(AudioPlayer& player, PreviewTimer& timer, const Log& log,
                           const Preferences& preferences)
    : player_(player), timer_(timer), log_(log), preferences_(preferences) {}

// The timer's callback holds this object: stopping kills it.
AudioPreview::~AudioPreview() {
    stopAudioPreview();
}

void AudioPreview::playAudioList(const std::vector<AudioTrack>& tracks) {
    if (playing_ || stopping_ || tracks.empty()) return;
    playing_ = true;
    lastFailure_.clear();
    files_.clear();
    for (const AudioTrack& track : tracks)
        files_.push_back(track.sourcePath);
    if (!initialisePlayer()) return;
    next_ = 1;
    playTrack(files_.front());
}

void AudioPreview::stopAudioPreview() {
    if (!playing_ || stopping_) return;
    stopping_ = true;
    closeTrack();
    timer_.stop();
    next_ = 0;
    playing_ = false;
    stopping_ = false;
}

void AudioPreview::previewTick() {
    if (!playing_) return;
    closeTrack();
    timer_.stop();
    if (next_ >= files_.size()) {
        // Without the loop the preview stays silent but playing until
        // stopped, so no other list starts over it.
        if (!preferences_.loopAudio) return;
        next_ = 0;
    }
    if (!initialisePlayer()) return;
    playTrack(files_[next_++]);
}

bool AudioPreview::initialisePlayer() {
    std::string reason;
    if (!player_.initialise(&reason)) {
        log_.writeLog("Init IID_IGraphBuilder failed!");
        lastFailure_ = reason;
        playing_ = false;
        return false;
    }
    log_.writeLog("Init audio player module ok!");
    return true;
}

void AudioPreview::playTrack(const std::filesystem::path& file) {
    std::string reason;
    if (!player_.open(file, &reason)) {
        log_.writeLog("Render file failed, there is no need audio player module installed!");
        lastFailure_ = file.filename().string() + ": " + reason;
        player_.stop();
        playing_ = false;
        return;
    }
    log_.writeLog("Render file ok!");
    trackOpen_ = true;
    player_.playFromStart();
    startTimer();
}

void AudioPreview::closeTrack() {
    if (!trackOpen_) return;
    player_.stop();
    trackOpen_ = false;
}

void AudioPreview::startTimer() {
    timer_.start(kTrackIntervalMs, [this] { previewTick(); });
}

}  // namespace velmora
