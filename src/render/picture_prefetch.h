#pragma once

#include <QSize>
#include <filesystem>
#include <future>

#include "model/motion_effect.h"
#include "render/motion_effect_renderer.h"

namespace velmora {

// Decodes the next picture of a slideshow on a thread of its own while the
// current segment renders: a large photo takes as long to decode as
// dozens of frames take to compose, and the encoder would otherwise wait
// for it at every picture.
class PicturePrefetch {
  public:
    PicturePrefetch() = default;
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;
    // Waits for a decode still running.
    ~PicturePrefetch();

    // Starts decoding `picture` for `effect` on `canvas` (one at a time: a
    // decode still running is waited for and dropped).
    void start(const std::filesystem::path& picture, MotionEffectKind effect, QSize canvas);
    // The picture decoded: the one started when it was this picture for
    // this effect and canvas, otherwise decoded here and now.
    FittedPicture take(const std::filesystem::path& picture, MotionEffectKind effect, QSize canvas);

  private:
    struct Request {
        std::filesystem::path picture;
        MotionEffectKind effect = MotionEffectKind::None;
        QSize canvas;
        bool operator==(const Request&) const = default;
    };
    Request started_;
    std::future<FittedPicture> decoding_;
};

}  // namespace velmora
