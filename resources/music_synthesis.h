#pragma once

#include <vector>

namespace velmora::resources {

// Stereo samples, interleaved left/right, as floats in -1..1.
struct StereoSound {
    int sampleRate = 44100;
    std::vector<float> samples;
};

// A calm piece of about `seconds` seconds: a four-chord progression played
// as soft pads with an arpeggio over it, fading in and out. It is the
// default music of new slideshows and menus.
StereoSound synthesiseDefaultMusic(int seconds);

// A brighter, quicker piece of about `seconds` seconds for the samples of
// the demonstration: a G major progression at 100 beats a minute with a
// plucked bass, a tune over light chords and a soft tick on the off-beats.
StereoSound synthesiseSampleMusic(int seconds);

}  // namespace velmora::resources
