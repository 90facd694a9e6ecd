#pragma once

#include "interfaces/encoder_library.h"

namespace velmora {

// Takes every frame and keeps none: a render whose frames are looked at as
// they are composed (the preview, developer tools, tests) rather than encoded.
class DiscardingEncoder final : public EncoderLibrary {
  public:
    int initVobEncoder(const std::filesystem::path&, const std::filesystem::path&,
                       VideoFormat) override {
        return 0;
    }
    int initEncoder(const std::filesystem::path&, VideoFormat) override { return 0; }
    int EncOneFrame(SharedVideoFrame) override { return 0; }
    bool takesFrames() const override { return false; }
    int closeEncoder() override { return 0; }
};

}  // namespace velmora
