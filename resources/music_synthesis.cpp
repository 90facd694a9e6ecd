#include "music_synthesis.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace velmora::resources {

namespace {

constexpr double kPi = 3.14159265358979323846;

double noteFrequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// A soft tone: a sine with a little of its octave, shaped by an envelope
// that rises over `attack` seconds and dies away exponentially.
double tone(double frequency, double time, double attack, double decay) {
    if (time < 0) return 0;
    const double envelope = std::min(1.0, time / attack) * std::exp(-time / decay);
    const double phase = 2 * kPi * frequency * time;
    return envelope * (std::sin(phase) + 0.25 * std::sin(2 * phase) + 0.08 * std::sin(3 * phase));
}

// C major, A minor, F major, G major: root position triads with a bass note.
constexpr std::array<std::array<int, 4>, 4> kChords = {{
    {48, 60, 64, 67},
    {45, 57, 60, 64},
    {41, 57, 60, 65},
    {43, 55, 59, 62},
}};
constexpr double kChordSeconds = 3.0;
constexpr double kArpeggioStep = kChordSeconds / 8;

}  // namespace

StereoSound synthesiseDefaultMusic(int seconds) {
    StereoSound sound;
    const int frames = seconds * sound.sampleRate;
    sound.samples.resize(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / sound.sampleRate;
        const int chordIndex = int(t / kChordSeconds) % int(kChords.size());
        const auto& chord = kChords[size_t(chordIndex)];
        const double chordTime = std::fmod(t, kChordSeconds);

        double pad = 0;
        for (int note : chord)
            pad += tone(noteFrequency(note), chordTime, 0.6, 2.5);
        // Arpeggio an octave up: the three upper notes, up and down again.
        constexpr int kPattern[8] = {1, 2, 3, 2, 1, 2, 3, 2};
        const int step = int(chordTime / kArpeggioStep);
        const double stepTime = chordTime - step * kArpeggioStep;
        const double arpeggio =
            tone(noteFrequency(chord[size_t(kPattern[step])] + 12), stepTime, 0.01, 0.35);

        // Fade in over two seconds and out over four.
        const double fade = std::min({1.0, t / 2.0, (seconds - t) / 4.0});
        const double left = 0.10 * pad + 0.16 * arpeggio * (step % 2 == 0 ? 1.0 : 0.6);
        const double right = 0.10 * pad + 0.16 * arpeggio * (step % 2 == 0 ? 0.6 : 1.0);
        sound.samples[size_t(i) * 2] = float(std::clamp(left * fade, -1.0, 1.0));
        sound.samples[size_t(i) * 2 + 1] = float(std::clamp(right * fade, -1.0, 1.0));
    }
    return sound;
}

}  // namespace velmora::resources
