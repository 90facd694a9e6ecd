#pragma once

#include <string>

namespace velmora {

// TV standards by the numbers project and preference files store.
enum class TvStandard : int { Ntsc = 0, Pal = 1 };

// Display aspect ratios by the numbers preference files store.
enum class AspectRatio : int { Standard = 0, Wide = 1 };  // 4:3, 16:9

// A stored number as a standard or an aspect; a number a hand-edited file
// holds beyond the two is taken as the nearer one.
constexpr TvStandard tvStandardFromNumber(int number) {
    return number >= int(TvStandard::Pal) ? TvStandard::Pal : TvStandard::Ntsc;
}
constexpr AspectRatio aspectRatioFromNumber(int number) {
    return number >= int(AspectRatio::Wide) ? AspectRatio::Wide : AspectRatio::Standard;
}

// The lines of the DVD frame of a standard: 576 PAL, 480 NTSC.
constexpr int dvdFrameHeight(TvStandard standard) {
    return standard == TvStandard::Pal ? 576 : 480;
}

// The square-pixel canvas slideshow frames are composed on and handed to
// the encoder: 720 × 540 (PAL 4:3), 640 × 480 (NTSC 4:3), 704 × 396 (16:9 in
// both standards).
struct ComposedFrameSize {
    int width = 0;
    int height = 0;
    constexpr int planarBytes() const { return width * height * 3 / 2; }  // YUV 4:2:0
};

// What every video of a disc shares: its TV standard and its aspect.
struct VideoFormat {
    TvStandard standard = TvStandard::Pal;
    AspectRatio aspect = AspectRatio::Standard;

    constexpr bool isPal() const { return standard == TvStandard::Pal; }
    constexpr bool isWide() const { return aspect == AspectRatio::Wide; }

    // Frames per second counted by the timeline: 25 for PAL, 30 otherwise
    // (NTSC is counted at 30, not 29.97).
    constexpr int framesPerSecond() const { return isPal() ? 25 : 30; }
    // The longest group of pictures a DVD allows: 15 frames PAL, 18 NTSC.
    constexpr int maxGroupFrames() const { return isPal() ? 15 : 18; }
    // The lines of the DVD frame the encoder writes.
    constexpr int dvdFrameHeight() const { return velmora::dvdFrameHeight(standard); }
    constexpr ComposedFrameSize composedFrameSize() const {
        if (isWide()) return {704, 396};
        return isPal() ? ComposedFrameSize{720, 540} : ComposedFrameSize{640, 480};
    }

    friend constexpr bool operator==(const VideoFormat&, const VideoFormat&) = default;
};

// "PAL 16:9", "NTSC 4:3": the format as messages name it.
inline std::string videoFormatName(VideoFormat format) {
    return std::string(format.isPal() ? "PAL" : "NTSC") + (format.isWide() ? " 16:9" : " 4:3");
}

inline constexpr VideoFormat kPalStandard{TvStandard::Pal, AspectRatio::Standard};
inline constexpr VideoFormat kNtscStandard{TvStandard::Ntsc, AspectRatio::Standard};

// Frames per second of a standard (see VideoFormat::framesPerSecond).
constexpr int framesPerSecond(TvStandard standard) {
    return VideoFormat{standard, AspectRatio::Standard}.framesPerSecond();
}

}  // namespace velmora
