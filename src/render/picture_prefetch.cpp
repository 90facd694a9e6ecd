#include "render/picture_prefetch.h"

namespace velmora {

PicturePrefetch::~PicturePrefetch() {
    if (decoding_.valid()) decoding_.wait();
}

void PicturePrefetch::start(const std::filesystem::path& picture, MotionEffectKind effect,
                            QSize canvas) {
    if (decoding_.valid()) decoding_.wait();
    started_ = {picture, effect, canvas};
    decoding_ = std::async(std::launch::async, [picture, effect, canvas] {
        return decodeFittedPicture(effect, picture, canvas);
    });
}

FittedPicture PicturePrefetch::take(const std::filesystem::path& picture, MotionEffectKind effect,
                                    QSize canvas) {
    if (decoding_.valid()) {
        FittedPicture decoded = decoding_.get();
        if (started_ == Request{picture, effect, canvas}) return decoded;
    }
    return decodeFittedPicture(effect, picture, canvas);
}

}  // namespace velmora
